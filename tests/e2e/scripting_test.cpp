// Scripts run on arriving files: hfhost, copied beside the test's own Config\Scripts, drives the
// real DLL; the scripts are the script stand-in (with a plan per file) and batch files.
#include "tests/support/win32/host_run.h"
#include "tests/support/win32/hot_folder_session.h"

#include "base/path_utils.h"

#include <algorithm>
#include <thread>

namespace hf::hot_folder_e2e {
namespace {

constexpr DWORD kRunLimitMs = 180000;
constexpr DWORD kLogWaitMs = 60000;

const std::string kPostScript = "%!PS-Adobe-3.0\n%%Title: Scripted\n%%EndComments\nshowpage\n";

// A script stand-in's plan: file name, then its settings.
std::string Plan(const std::vector<std::vector<std::string>>& sections) {
  std::string text;
  for (const auto& section : sections)
    for (size_t i = 0; i < section.size(); ++i) text += (i == 0 ? "[" + section[i] + "]" : section[i]) + "\r\n";
  return text;
}

class ScriptingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.ok());
    ASSERT_NE(Reader(), nullptr);
    ASSERT_TRUE(Reader()->ok()) << Reader()->error();
    ASSERT_TRUE(::CopyFileA(HF_HOST_PATH, (hostFolder + "hfhost.exe").c_str(), FALSE)) << ::GetLastError();
    Reader()->Drain();
  }

  // The script stand-in installed as Config\Scripts\<name>.exe with its plan.
  void InstallStandin(const std::string& name, const std::string& plan) {
    ASSERT_TRUE(::CopyFileA((HostProgramFolder() + "\\script_standin.exe").c_str(),
                            (scriptsFolder + name + ".exe").c_str(), FALSE))
        << ::GetLastError();
    ASSERT_TRUE(WriteBytes(scriptsFolder + name + ".plan", plan));
  }

  void WriteIni(const std::string& settings) { ASSERT_TRUE(WriteBytes(iniFile, "[HFA]\r\n" + settings)); }

  std::string CommandLine(const std::string& script, const std::string& arguments) const {
    return Quoted(hostFolder + "hfhost.exe") + " --dll " + Quoted(HF_DLL_PATH) + " --data-folder " +
           Quoted(WithoutBackslash(dataFolder)) + " --source " + Quoted(WithoutBackslash(in)) + " --dest " +
           Quoted(WithoutBackslash(out)) + " --script " + Quoted(script) + " --ini " + Quoted(iniFile) +
           " --json --poll-ms 200 " + arguments;
  }

  // One run of hfhost; its log records are kept in `logged`.
  HostRun Run(const std::string& script, const std::string& arguments) {
    HostRun run = RunHost(CommandLine(script, arguments), kRunLimitMs);
    logged = ReceivedMessages();
    return run;
  }
  bool Logged(const std::string& text) const { return HasMessageStarting(logged, -1, "", text); }

  LogSettingsScope logSettings{3};
  ScratchFolder scratch{"script"};
  std::string hostFolder = scratch.MakeSubfolder("host dir");
  std::string scriptsFolder = scratch.MakeSubfolder("host dir\\Config\\Scripts");
  std::string dataFolder = scratch.MakeSubfolder("data");
  std::string in = scratch.MakeSubfolder("hot folder & co");
  std::string out = scratch.path() + "out\\";
  std::string iniFile = scratch.path() + "host.ini";
  LogMessages logged;
};

TEST_F(ScriptingTest, EachFileGoesOnAsItsScriptLeftIt) {
  const std::string elsewhere = scratch.MakeSubfolder("elsewhere");
  const std::string junkPath = scratch.path() + "junk.bin";
  ASSERT_TRUE(
      WriteBytes(junkPath, std::string("\xEF\xBB\x00\xFF[General\n\x01ResourceID\n=NEWNAME\r\n[\n\xFE\xFF", 32)));
  const std::vector<std::vector<std::string>> plan = {
      {"keep.ps", "Record=" + scratch.path() + "keep.rec"},
      {"rename.ps", "CopyAs=HF_rename.ps", "NewName=HF_rename.ps"},
      {"same.ps", "NewName=SAME.PS"},
      {"gone.ps", "Delete=1"},
      {"away.ps", "MoveTo=" + elsewhere + "away.ps"},
      {"id.ps", "ResourceId=job-42"},
      {"both.ps", "NewName=both.ps", "ResourceId=not-taken"},
      {"back.ps", "Reappear=1"},
      {"missing.ps", "NewName=nothere.ps"},
      {"outside.ps", "CopyAs=..\\..\\outside.ps", "NewName=..\\..\\outside.ps"},
      {"junkname.ps", "NewNameFrom=" + junkPath},
      {"junkid.ps", "ResultsFrom=" + junkPath}};
  InstallStandin("outcomes", Plan(plan));
  WriteIni("HideScriptWindow=1\r\n");
  for (const auto& section : plan) ASSERT_TRUE(WriteBytes(in + section[0], kPostScript));

  // Idle for several scan intervals: a file handed over twice would show.
  HostRun run = Run("outcomes.exe", "--exit-after-idle 20");
  ExpectCleanRun(run, "idle");

  // Once each; size and type are those measured before the script ran.
  EXPECT_EQ(run.FileNames(),
            (std::vector<std::string>{"HF_rename.ps", "back.ps", "both.ps", "id.ps", "junkid.ps", "junkname.ps",
                                      "keep.ps", "missing.ps", "outside.ps", "same.ps"}))
      << run.process.output;
  std::map<std::string, HostEvent> files = run.FilesByName();
  for (const auto& [name, file] : files) {
    EXPECT_EQ(file.Number("jobTypeCode"), 1) << name;
    EXPECT_EQ(file.Number("size"), static_cast<int64_t>(kPostScript.size())) << name;
  }
  EXPECT_EQ(BytesOf(out + "HF_rename.ps"), kPostScript + "%%Scripted\n");
  EXPECT_EQ(files["id.ps"].Text("resourceId"), "job-42");
  EXPECT_NE(files["both.ps"].Text("resourceId"), "not-taken");
  EXPECT_FALSE(files["junkid.ps"].Text("resourceId").empty());

  // Nothing is lost or left behind but what the scripts took away themselves.
  EXPECT_EQ(FileNamesIn(in), std::vector<std::string>{});
  EXPECT_EQ(FileNamesIn(elsewhere), std::vector<std::string>{"away.ps"});
  EXPECT_EQ(BytesOf(scratch.path() + "outside.ps"), kPostScript + "%%Scripted\n");

  // The script's command line, working folder and window.
  EXPECT_EQ(Lines(BytesOf(scratch.path() + "keep.rec")),
            (std::vector<std::string>{"3", scriptsFolder + "outcomes.exe", in + "_.script\\keep.ps", in + "_.script",
                                      WithoutBackslash(scriptsFolder), "1 " + std::to_string(SW_SHOWMINIMIZED)}));

  for (const std::string& line :
       {"ScriptThisFile(): CommandLine: <\"" + scriptsFolder + "outcomes.exe\" \"" + in + "_.script\\keep.ps\" \"" +
            in + "_.script\">",
        "Attempting to restore file <" + in + "_.script\\keep.ps>.",
        std::string("File <rename.ps> will reappear as <HF_rename.ps>."), std::string("File <same.ps> will reappear."),
        std::string("File <back.ps> has reappeared."),
        "File <" + in + "_.script\\gone.ps> has been moved out of HF by the script",
        "File <" + in + "_.script\\away.ps> has been moved out of HF by the script",
        std::string("ScriptThisFile(): NEWNAME <nothere.ps> names no file in the scripting folder - it is ignored."),
        std::string("ScriptThisFile(): NEWNAME <..\\..\\outside.ps> is not a plain file name - it is ignored."),
        std::string("ScriptThisFile(): Results file 2 exists")})
    EXPECT_TRUE(Logged(line)) << line;
}

TEST_F(ScriptingTest, BatchScriptGetsThreeIntactArgumentsWithBlanksAndSpecialCharacters) {
  const std::string record = scratch.path() + "batch.rec";
  std::string batch = "@echo off\r\n";
  for (const char* line : {"echo %0", "echo %1", "echo %2", "echo \"%CD%\"", "echo [%3]"})
    batch += ">>\"" + record + "\" " + line + "\r\n";
  ASSERT_TRUE(WriteBytes(scriptsFolder + "record args.cmd", batch));
  const std::string name = "Job 1 & (co) ^ 100.ps";
  ASSERT_TRUE(WriteBytes(in + name, kPostScript));

  HostRun run = Run("record args.cmd", "--max-files 1 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");

  EXPECT_EQ(run.FileNames(), std::vector<std::string>{name}) << run.process.output;
  EXPECT_EQ(Lines(BytesOf(record)),
            (std::vector<std::string>{Quoted(scriptsFolder + "record args.cmd"), Quoted(in + "_.script\\" + name),
                                      Quoted(in + "_.script"), Quoted(WithoutBackslash(scriptsFolder)), "[]"}));
  EXPECT_TRUE(Logged("SP: Launched record args.cmd - waiting for it to complete."));
}

TEST_F(ScriptingTest, SampleScriptAddsItsPrefixOnce) {
  ASSERT_TRUE(WriteBytes(scriptsFolder + "AddPrefix.cmd",
                         BytesOf(std::string(HF_SOURCE_DIR) + "/config/Config/Scripts/AddPrefix.cmd")));
  ASSERT_TRUE(WriteBytes(in + "Flyer & (A5).ps", kPostScript));
  ASSERT_TRUE(WriteBytes(in + "HF_done.ps", kPostScript));

  HostRun run = Run("AddPrefix.cmd", "--max-files 2 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");

  EXPECT_EQ(run.FileNames(), (std::vector<std::string>{"HF_Flyer & (A5).ps", "HF_done.ps"})) << run.process.output;
  EXPECT_EQ(BytesOf(out + "HF_Flyer & (A5).ps"), kPostScript);
  EXPECT_TRUE(Logged("File <Flyer & (A5).ps> will reappear as <HF_Flyer & (A5).ps>."));
}

// A job left in the scripting folder by a host that ended is put back by StartAction.
TEST_F(ScriptingTest, AJobLeftInTheScriptingFolderComesBackUnderAFreeName) {
  InstallStandin("keeper", "[*]\r\n");
  const std::string older = kPostScript + "% the older job\n";
  ASSERT_TRUE(WriteBytes(scratch.MakeSubfolder("hot folder & co\\_.script") + "job.ps", older));
  ASSERT_TRUE(WriteBytes(in + "_.script\\results.txt", "[General]\r\nResourceID=stale\r\n"));
  ASSERT_TRUE(WriteBytes(in + "job.ps", kPostScript));

  HostRun run = Run("keeper.exe", "--max-files 2 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");
  EXPECT_EQ(run.FileNames(), (std::vector<std::string>{"job.ps", "job_0_0_0.ps"})) << run.process.output;
  EXPECT_EQ(BytesOf(out + "job.ps"), kPostScript);
  EXPECT_EQ(BytesOf(out + "job_0_0_0.ps"), older);
  EXPECT_TRUE(
      Logged("Scripting folder: <job.ps> was left there and is put back into the hot folder as <job_0_0_0.ps>."));
}

TEST_F(ScriptingTest, AScriptThatNeverEndsIsStoppedWithTheProgramsItStartedAfterScriptTimeoutSecs) {
  // A child of the batch file holds the scripted file open and never ends.
  InstallStandin("holder", "[*]\r\nHold=1\r\n");
  ASSERT_TRUE(WriteBytes(scriptsFolder + "slow.cmd", "@echo off\r\n\"%~dp0holder.exe\" %1 %2\r\n"));
  WriteIni("ScriptTimeoutSecs=2\r\n");
  ASSERT_TRUE(WriteBytes(in + "held.ps", kPostScript));

  HostRun run = Run("slow.cmd", "--max-files 1 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");
  // Handed over: the stopped script's child, which held it without sharing, was ended too.
  EXPECT_EQ(run.FileNames(), std::vector<std::string>{"held.ps"}) << run.process.output;
  EXPECT_EQ(BytesOf(out + "held.ps"), kPostScript);
  for (const char* line : {"SP: Error: slow.cmd did not complete within 2 seconds - stopping it.",
                           "SP: slow.cmd was stopped.", "Failed to process <held.ps> using <slow.cmd>."})
    EXPECT_TRUE(Logged(line)) << line;
}

TEST_F(ScriptingTest, ScriptDeletedAfterTheStartIsReportedOnceAndFilesGoOnUnscripted) {
  InstallStandin("vanishing", "[*]\r\nDelete=1\r\n");
  CapturedProcess process;
  std::thread host(
      [&] { process = RunCaptured(CommandLine("vanishing.exe", "--max-files 2 --exit-after-idle 60"), kRunLimitMs); });
  // The task has checked its script and the scanner walked the empty folder; now the script goes.
  const bool started = Reader()->WaitForText("No files in folder \"" + in + "*.*\"", kLogWaitMs);
  ::DeleteFileA((scriptsFolder + "vanishing.exe").c_str());
  ASSERT_TRUE(WriteBytes(in + "first.ps", kPostScript));
  ASSERT_TRUE(WriteBytes(in + "second.ps", kPostScript));
  host.join();
  ASSERT_TRUE(started);

  HostRun run = ReadHostRun(process);
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  EXPECT_EQ(run.FileNames(), (std::vector<std::string>{"first.ps", "second.ps"})) << run.process.output;
  const std::string missing = "Script File is missing. Scripting will be disabled.";
  EXPECT_EQ(CountMessages(ReceivedMessages(), 0, "STF: Warning - " + missing), 1);
  const std::vector<HostEvent> told = run.Of("message");
  EXPECT_EQ(std::count_if(told.begin(), told.end(), [&](const HostEvent& m) { return m.Text("text") == missing; }), 1)
      << run.process.output;
}

TEST_F(ScriptingTest, ScriptingFolderThatCannotBeMadeLeavesFilesUnscripted) {
  InstallStandin("deleter", "[*]\r\nDelete=1\r\n");
  // A hidden file (passed over by the scan) takes the scripting folder's name.
  ASSERT_TRUE(WriteBytes(in + "_.script", "in the way"));
  ASSERT_TRUE(::SetFileAttributesA((in + "_.script").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(WriteBytes(in + "kept.ps", kPostScript));

  HostRun run = Run("deleter.exe", "--max-files 1 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");

  EXPECT_EQ(run.FileNames(), std::vector<std::string>{"kept.ps"}) << run.process.output;
  EXPECT_TRUE(Logged("Failed to create script folder. Error 0xb7"));
}

}  // namespace
}  // namespace hf::hot_folder_e2e
