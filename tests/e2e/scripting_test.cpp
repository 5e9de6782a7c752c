// Scripts run on arriving files, end to end: hfhost (copied into a scratch
// folder, so that its Config\Scripts folder is the test's own) drives the real
// DLL over real hot folders; scripts are the script stand-in program (with a
// plan per file) and batch files written by the test. Log records are read
// from the machine's mailslot.
#include "tests/e2e/host_run.h"
#include "tests/e2e/hot_folder_session.h"

#include <tlhelp32.h>  // after windows_api.h, which it needs

#include <thread>

namespace hf {

namespace hot_folder_e2e {
namespace {

using namespace host_run;

constexpr DWORD kRunLimitMs = 180000;
constexpr DWORD kLogWaitMs = 60000;

const std::string kPostScript = "%!PS-Adobe-3.0\n%%Title: Scripted\n%%EndComments\nshowpage\n";

// The number of running processes with this executable name.
int ProcessesNamed(const std::string& exeName) {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return -1;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry))
    if (_stricmp(entry.szExeFile, exeName.c_str()) == 0) ++count;
  return count;
}

// One section of a script stand-in's plan.
std::string PlanSection(const std::string& file, const std::vector<std::string>& settings) {
  std::string text = "[" + file + "]\r\n";
  for (const std::string& setting : settings) text += setting + "\r\n";
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

  HostRun Run(const std::string& script, const std::string& arguments) {
    return RunHost(CommandLine(script, arguments), kRunLimitMs);
  }

  static void CheckEnded(const HostRun& run) {
    ASSERT_TRUE(run.process.started) << run.process.startError;
    ASSERT_TRUE(run.process.finished) << run.process.output;
    EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
    EXPECT_EQ(run.lines.Of("task").size(), 1u) << run.process.output;
  }

  // A log record (after its time and id prefixes) contains `text`.
  static bool Logged(const std::string& text) { return Reader()->Sync() && Reader()->Contains(text); }

  LogSettingsScope logSettings{3};
  ScratchFolder scratch{"script"};
  std::string hostFolder = scratch.MakeSubfolder("host dir");
  std::string scriptsFolder = scratch.MakeSubfolder("host dir\\Config\\Scripts");
  std::string dataFolder = scratch.MakeSubfolder("data");
  std::string in = scratch.MakeSubfolder("hot folder & co");
  std::string out = scratch.path() + "out\\";
  std::string iniFile = scratch.path() + "host.ini";
};

TEST_F(ScriptingTest, EachFileGoesOnAsItsScriptLeftIt) {
  const std::string elsewhere = scratch.MakeSubfolder("elsewhere");
  const std::string junk = std::string("\xEF\xBB\x00\xFF[General\n\x01ResourceID\n=NEWNAME\r\n[\n\xFE\xFF", 32);
  const std::string junkPath = scratch.path() + "junk.bin";
  ASSERT_TRUE(WriteBytes(junkPath, junk));
  InstallStandin("outcomes",
                 PlanSection("keep.ps", {"Record=" + scratch.path() + "keep.rec"}) +
                     PlanSection("rename.ps", {"CopyAs=HF_rename.ps", "NewName=HF_rename.ps"}) +
                     PlanSection("same.ps", {"NewName=SAME.PS"}) + PlanSection("gone.ps", {"Delete=1"}) +
                     PlanSection("away.ps", {"MoveTo=" + elsewhere + "away.ps"}) +
                     PlanSection("id.ps", {"ResourceId=job-42"}) +
                     PlanSection("both.ps", {"NewName=both.ps", "ResourceId=not-taken"}) +
                     PlanSection("back.ps", {"Reappear=1"}) + PlanSection("missing.ps", {"NewName=nothere.ps"}) +
                     PlanSection("outside.ps", {"CopyAs=..\\..\\outside.ps", "NewName=..\\..\\outside.ps"}) +
                     PlanSection("junkname.ps", {"NewNameFrom=" + junkPath}) +
                     PlanSection("junkid.ps", {"ResultsFrom=" + junkPath}));
  WriteIni("HideScriptWindow=1\r\n");
  const std::vector<std::string> arrived = {"keep.ps",    "rename.ps",  "same.ps",     "gone.ps",
                                            "away.ps",    "id.ps",      "both.ps",     "back.ps",
                                            "missing.ps", "outside.ps", "junkname.ps", "junkid.ps"};
  for (const std::string& name : arrived) ASSERT_TRUE(WriteBytes(in + name, kPostScript));

  // Idle for several scan intervals (the first cycle comes within the first
  // one): a file handed over twice would show.
  HostRun run = Run("outcomes.exe", "--exit-after-idle 20");
  CheckEnded(run);

  std::map<std::string, HostEvent> files = run.FilesByName();
  EXPECT_EQ(run.lines.Of("file").size(), 10u) << run.process.output;
  for (const char* name : {"keep.ps", "HF_rename.ps", "same.ps", "id.ps", "both.ps", "back.ps", "missing.ps",
                           "outside.ps", "junkname.ps", "junkid.ps"}) {
    ASSERT_EQ(files.count(name), 1u) << name << "\n" << run.process.output;
    EXPECT_EQ(files[name].Number("jobTypeCode"), 1) << name;
    // Size and type are those measured before the script ran.
    EXPECT_EQ(files[name].Number("size"), static_cast<int64_t>(kPostScript.size())) << name;
  }
  std::string renamed;
  ASSERT_TRUE(ReadBytes(out + "HF_rename.ps", renamed));
  EXPECT_EQ(renamed, kPostScript + "%%Scripted\n");
  EXPECT_EQ(files["id.ps"].Text("resourceId"), "job-42");
  EXPECT_NE(files["both.ps"].Text("resourceId"), "not-taken");
  EXPECT_FALSE(files["junkid.ps"].Text("resourceId").empty());
  for (const char* name : {"rename.ps", "gone.ps", "away.ps", "nothere.ps"}) EXPECT_EQ(files.count(name), 0u) << name;

  // Nothing is lost or left behind but what the scripts took away themselves.
  EXPECT_EQ(FileNamesIn(in), std::vector<std::string>{});
  EXPECT_EQ(FileNamesIn(elsewhere), std::vector<std::string>{"away.ps"});
  std::string outside;
  ASSERT_TRUE(ReadBytes(scratch.path() + "outside.ps", outside));
  EXPECT_EQ(outside, kPostScript + "%%Scripted\n");

  // The script's command line, working folder and window.
  std::string record;
  ASSERT_TRUE(ReadBytes(scratch.path() + "keep.rec", record));
  EXPECT_EQ(Lines(record),
            (std::vector<std::string>{"3", scriptsFolder + "outcomes.exe", in + "_.script\\keep.ps", in + "_.script",
                                      WithoutBackslash(scriptsFolder), "1 " + std::to_string(SW_SHOWMINIMIZED)}));

  EXPECT_TRUE(Logged("ScriptThisFile(): CommandLine: <\"" + scriptsFolder + "outcomes.exe\" \"" + in +
                     "_.script\\keep.ps\" \"" + in + "_.script\">"));
  EXPECT_TRUE(Logged("Attempting to restore file <" + in + "_.script\\keep.ps>."));
  EXPECT_TRUE(Logged("File <rename.ps> will reappear as <HF_rename.ps>."));
  EXPECT_TRUE(Logged("File <same.ps> will reappear."));
  EXPECT_TRUE(Logged("File <back.ps> has reappeared."));
  EXPECT_TRUE(Logged("File <" + in + "_.script\\gone.ps> has been moved out of HF by the script"));
  EXPECT_TRUE(Logged("File <" + in + "_.script\\away.ps> has been moved out of HF by the script"));
  EXPECT_TRUE(Logged("ScriptThisFile(): NEWNAME <nothere.ps> names no file in the scripting folder - it is ignored."));
  EXPECT_TRUE(Logged("ScriptThisFile(): NEWNAME <..\\..\\outside.ps> is not a plain file name - it is ignored."));
  EXPECT_TRUE(Logged("ScriptThisFile(): Results file 2 exists"));
}

TEST_F(ScriptingTest, BatchScriptGetsThreeIntactArgumentsWithBlanksAndSpecialCharacters) {
  const std::string record = scratch.path() + "batch.rec";
  ASSERT_TRUE(WriteBytes(scriptsFolder + "record args.cmd",
                         "@echo off\r\n"
                         ">\"" +
                             record +
                             "\" echo %0\r\n"
                             ">>\"" +
                             record +
                             "\" echo %1\r\n"
                             ">>\"" +
                             record +
                             "\" echo %2\r\n"
                             ">>\"" +
                             record +
                             "\" echo \"%CD%\"\r\n"
                             ">>\"" +
                             record + "\" echo [%3]\r\n"));
  const std::string name = "Job 1 & (co) ^ 100.ps";
  ASSERT_TRUE(WriteBytes(in + name, kPostScript));

  HostRun run = Run("record args.cmd", "--max-files 1 --exit-after-idle 60");
  CheckEnded(run);

  ASSERT_EQ(run.lines.Of("file").size(), 1u) << run.process.output;
  EXPECT_EQ(run.lines.Of("file")[0].Text("name"), name);
  std::string recorded;
  ASSERT_TRUE(ReadBytes(record, recorded)) << run.process.output;
  EXPECT_EQ(Lines(recorded),
            (std::vector<std::string>{Quoted(scriptsFolder + "record args.cmd"), Quoted(in + "_.script\\" + name),
                                      Quoted(in + "_.script"), Quoted(WithoutBackslash(scriptsFolder)), "[]"}));
  EXPECT_TRUE(Logged("SP: Launched record args.cmd - waiting for it to complete."));
}

TEST_F(ScriptingTest, SampleScriptAddsItsPrefixOnce) {
  std::string sample;
  ASSERT_TRUE(ReadBytes(std::string(HF_SOURCE_DIR) + "/config/Config/Scripts/AddPrefix.cmd", sample));
  ASSERT_TRUE(WriteBytes(scriptsFolder + "AddPrefix.cmd", sample));
  ASSERT_TRUE(WriteBytes(in + "Flyer & (A5).ps", kPostScript));
  ASSERT_TRUE(WriteBytes(in + "HF_done.ps", kPostScript));

  HostRun run = Run("AddPrefix.cmd", "--max-files 2 --exit-after-idle 60");
  CheckEnded(run);

  std::map<std::string, HostEvent> files = run.FilesByName();
  ASSERT_EQ(files.size(), 2u) << run.process.output;
  ASSERT_EQ(files.count("HF_Flyer & (A5).ps"), 1u) << run.process.output;
  ASSERT_EQ(files.count("HF_done.ps"), 1u) << run.process.output;
  std::string moved;
  ASSERT_TRUE(ReadBytes(out + "HF_Flyer & (A5).ps", moved));
  EXPECT_EQ(moved, kPostScript);
  EXPECT_TRUE(Logged("File <Flyer & (A5).ps> will reappear as <HF_Flyer & (A5).ps>."));
}

TEST_F(ScriptingTest, ProgramThatNeverEndsIsStoppedAfterScriptTimeoutSecs) {
  InstallStandin("hang", "[*]\r\nHold=1\r\n");
  WriteIni("ScriptTimeoutSecs=2\r\n");
  ASSERT_TRUE(WriteBytes(in + "held.ps", kPostScript));

  HostRun run = Run("hang.exe", "--max-files 1 --exit-after-idle 60");
  CheckEnded(run);

  // Handed over under its own name: the stopped script no longer holds it.
  ASSERT_EQ(run.lines.Of("file").size(), 1u) << run.process.output;
  EXPECT_EQ(run.lines.Of("file")[0].Text("name"), "held.ps");
  std::string moved;
  ASSERT_TRUE(ReadBytes(out + "held.ps", moved));
  EXPECT_EQ(moved, kPostScript);
  EXPECT_TRUE(Logged("SP: Error: hang.exe did not complete within 2 seconds - stopping it."));
  EXPECT_TRUE(Logged("Failed to process <held.ps> using <hang.exe>."));
  EXPECT_EQ(ProcessesNamed("hang.exe"), 0);
}

TEST_F(ScriptingTest, BatchScriptThatNeverEndsIsStoppedWithTheProgramsItStarted) {
  // A child of the batch file holds the scripted file open and never ends.
  const std::string holder = "holder_" + std::to_string(::GetCurrentProcessId());
  InstallStandin(holder, "[*]\r\nHold=1\r\n");
  ASSERT_TRUE(WriteBytes(scriptsFolder + "slow.cmd", "@echo off\r\n\"%~dp0" + holder + ".exe\" %1 %2\r\n"));
  WriteIni("ScriptTimeoutSecs=2\r\n");
  ASSERT_TRUE(WriteBytes(in + "tree.ps", kPostScript));

  HostRun run = Run("slow.cmd", "--max-files 1 --exit-after-idle 60");
  CheckEnded(run);

  ASSERT_EQ(run.lines.Of("file").size(), 1u) << run.process.output;
  EXPECT_EQ(run.lines.Of("file")[0].Text("name"), "tree.ps");
  EXPECT_TRUE(Logged("SP: Error: slow.cmd did not complete within 2 seconds - stopping it."));
  EXPECT_TRUE(Logged("SP: slow.cmd was stopped."));
  EXPECT_EQ(ProcessesNamed(holder + ".exe"), 0);
}

TEST_F(ScriptingTest, ScriptDeletedAfterTheStartIsReportedOnceAndFilesGoOnUnscripted) {
  InstallStandin("vanishing", "[*]\r\nDelete=1\r\n");
  CapturedProcess process;
  std::thread host(
      [&] { process = RunCaptured(CommandLine("vanishing.exe", "--max-files 2 --exit-after-idle 60"), kRunLimitMs); });
  // The task has checked its script and the scanner has walked the empty
  // folder once; now the script goes, and then the files arrive.
  const bool started = Reader()->WaitForText("No files in folder \"" + in + "*.*\"", kLogWaitMs);
  ::DeleteFileA((scriptsFolder + "vanishing.exe").c_str());
  ASSERT_TRUE(WriteBytes(in + "first.ps", kPostScript));
  ASSERT_TRUE(WriteBytes(in + "second.ps", kPostScript));
  host.join();
  ASSERT_TRUE(started);

  HostRun run{process, ParseHostOutput(process.output)};
  CheckEnded(run);
  std::map<std::string, HostEvent> files = run.FilesByName();
  EXPECT_EQ(files.size(), 2u) << run.process.output;
  EXPECT_EQ(files.count("first.ps") + files.count("second.ps"), 2u) << run.process.output;
  ASSERT_TRUE(Reader()->Sync());
  int warnings = 0;
  for (const LogRecord& record : Reader()->Drain())
    if (record.text.find("STF: Warning - Script File is missing. Scripting will be disabled.") != std::string::npos)
      ++warnings;
  EXPECT_EQ(warnings, 1);
  int messages = 0;
  for (const HostEvent& message : run.lines.Of("message"))
    if (message.Text("text") == "Script File is missing. Scripting will be disabled.") ++messages;
  EXPECT_EQ(messages, 1) << run.process.output;
}

TEST_F(ScriptingTest, ScriptingFolderThatCannotBeMadeLeavesFilesUnscripted) {
  InstallStandin("deleter", "[*]\r\nDelete=1\r\n");
  // A hidden file (passed over by the scan) takes the scripting folder's name.
  ASSERT_TRUE(WriteBytes(in + "_.script", "in the way"));
  ASSERT_TRUE(::SetFileAttributesA((in + "_.script").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(WriteBytes(in + "kept.ps", kPostScript));

  HostRun run = Run("deleter.exe", "--max-files 1 --exit-after-idle 60");
  CheckEnded(run);

  ASSERT_EQ(run.lines.Of("file").size(), 1u) << run.process.output;
  EXPECT_EQ(run.lines.Of("file")[0].Text("name"), "kept.ps");
  EXPECT_TRUE(Logged("Failed to create script folder. Error 0xb7"));
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
