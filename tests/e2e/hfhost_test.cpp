// hfhost as a user runs it: real hot folders, real files and the real DLL.
// Each run is a separate hfhost process whose --json lines are parsed.
#include "tests/e2e/host_run.h"
#include "tests/support/win32/scratch_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace hf {

namespace {

using namespace host_run;

constexpr DWORD kRunLimitMs = 120000;

std::string Arg(const std::string& folder) { return Quoted(WithoutBackslash(folder)); }

class HfhostTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.ok()); }

  // Runs hfhost with the test's DLL and data folder, polling every 200 ms.
  HostRun Run(const std::string& arguments) {
    return RunHost(Quoted(HF_HOST_PATH) + " --dll " + Quoted(HF_DLL_PATH) + " --data-folder " + Arg(dataFolder) +
                       " --poll-ms 200 " + arguments,
                   kRunLimitMs);
  }

  ScratchFolder scratch{"hfhost"};
  std::string dataFolder = scratch.MakeSubfolder("data");
};

const std::string kPostScript =
    "%!PS-Adobe-3.0\n%%Title: Annual report\n%%For: Jo Bloggs\n%%EndComments\n/Helvetica findfont\nshowpage\n";
const std::string kEps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 72 72\n%%Title: Logo\n%%EndComments\n";
const std::string kPdf = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";
const std::string kTiff = std::string("II*\0\x08\0\0\0", 8) + std::string(40, '\0');
const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20) + "pixels";

void CheckRunEndedNormally(const HostRun& run, const char* reason) {
  ASSERT_TRUE(run.process.started) << run.process.startError;
  ASSERT_TRUE(run.process.finished) << run.process.output;
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  EXPECT_TRUE(run.lines.badJson.empty()) << run.lines.badJson.front();
  std::vector<HostEvent> stops = run.lines.Of("stop");
  ASSERT_EQ(stops.size(), 1u) << run.process.output;
  EXPECT_EQ(stops[0].Text("reason"), reason) << run.process.output;
  EXPECT_EQ(stops[0].Number("files"), static_cast<int64_t>(run.lines.Of("file").size()));
  EXPECT_TRUE(run.lines.Of("message").empty()) << run.process.output;
}

TEST_F(HfhostTest, HandsOverEachJobWithItsTypeAndMovesItToTheDestination) {
  std::string in = scratch.MakeSubfolder("in");
  std::string out = scratch.path() + "out\\";  // made by the plug-in
  const std::map<std::string, std::string> jobs = {
      {"report.ps", kPostScript}, {"logo.eps", kEps}, {"leaflet.pdf", kPdf}, {"scan.tif", kTiff}, {"photo.jpg", kJpeg}};
  for (const auto& job : jobs) ASSERT_TRUE(WriteBytes(in + job.first, job.second));

  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) + " --json --max-files 5 --exit-after-idle 60");
  CheckRunEndedNormally(run, "max-files");

  std::vector<HostEvent> tasks = run.lines.Of("task");
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].Number("task"), 1);
  EXPECT_GT(tasks[0].Number("taskId"), 0);
  EXPECT_EQ(tasks[0].Text("source"), in);
  // The block holds the destination as given; the plug-in adds the backslash when it moves files.
  EXPECT_EQ(tasks[0].Text("destination"), WithoutBackslash(out));
  ASSERT_EQ(run.lines.Of("ready").size(), 1u);
  EXPECT_GT(run.lines.Of("ready")[0].Number("peakWorkingSetKB"), 0);

  std::map<std::string, HostEvent> files = run.FilesByName();
  ASSERT_EQ(files.size(), 5u) << run.process.output;
  const std::map<std::string, std::pair<const char*, int64_t>> types = {{"report.ps", {"PostScript", 1}},
                                                                          {"logo.eps", {"EPS", 0x40}},
                                                                          {"leaflet.pdf", {"PDF", 2}},
                                                                          {"scan.tif", {"TIFF", 4}},
                                                                          {"photo.jpg", {"JPEG", 8}}};
  std::set<int64_t> indexes;
  for (const auto& job : jobs) {
    const HostEvent& file = files[job.first];
    EXPECT_EQ(file.Number("task"), 1);
    indexes.insert(file.Number("index"));
    EXPECT_EQ(file.Text("folder"), out) << job.first;
    EXPECT_EQ(file.Text("jobType"), types.at(job.first).first) << job.first;
    EXPECT_EQ(file.Number("jobTypeCode"), types.at(job.first).second) << job.first;
    EXPECT_EQ(file.Number("size"), static_cast<int64_t>(job.second.size())) << job.first;
    EXPECT_FALSE(file.Text("resourceId").empty()) << job.first;
    EXPECT_EQ(file.Number("groupMember"), 0);
    EXPECT_EQ(file.Text("intakeFailure"), "");
    std::string moved;
    ASSERT_TRUE(ReadBytes(out + job.first, moved)) << job.first;
    EXPECT_EQ(moved, job.second) << job.first;
  }
  EXPECT_EQ(indexes, (std::set<int64_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(files["report.ps"].Text("title"), "Annual report");
  EXPECT_EQ(files["report.ps"].Text("for"), "Jo Bloggs");
  EXPECT_TRUE(FileNamesIn(in).empty());
}

// The third task has no destination: its file is handed over where it is.
TEST_F(HfhostTest, TasksRunSideBySideEachWithItsOwnFolders) {
  std::string in1 = scratch.MakeSubfolder("in1");
  std::string in2 = scratch.MakeSubfolder("in2");
  std::string in3 = scratch.MakeSubfolder("in3");
  std::string out1 = scratch.MakeSubfolder("out1");
  std::string out2 = scratch.MakeSubfolder("out2");
  ASSERT_TRUE(WriteBytes(in1 + "one.ps", kPostScript));
  ASSERT_TRUE(WriteBytes(in2 + "two.pdf", kPdf));
  ASSERT_TRUE(WriteBytes(in2 + "three.pdf", kPdf + "%more\n"));
  ASSERT_TRUE(WriteBytes(in3 + "stays.pdf", kPdf));

  HostRun run = Run("--task " + Quoted(WithoutBackslash(in1) + ":" + WithoutBackslash(out1)) + " --task " +
                    Quoted(WithoutBackslash(in2) + ":" + WithoutBackslash(out2)) + " --task " + Arg(in3) +
                    " --json --max-files 4 --exit-after-idle 60");
  CheckRunEndedNormally(run, "max-files");

  std::vector<HostEvent> tasks = run.lines.Of("task");
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[0].Text("source"), in1);
  EXPECT_EQ(tasks[0].Text("destination"), WithoutBackslash(out1));
  EXPECT_EQ(tasks[1].Text("source"), in2);
  EXPECT_EQ(tasks[1].Text("destination"), WithoutBackslash(out2));
  EXPECT_NE(tasks[0].Number("taskId"), tasks[1].Number("taskId"));

  EXPECT_EQ(tasks[2].Text("destination"), "");
  std::map<std::string, HostEvent> files = run.FilesByName();
  ASSERT_EQ(files.size(), 4u) << run.process.output;
  EXPECT_EQ(files["one.ps"].Number("task"), 1);
  EXPECT_EQ(files["one.ps"].Text("folder"), out1);
  EXPECT_EQ(files["two.pdf"].Number("task"), 2);
  EXPECT_EQ(files["two.pdf"].Text("folder"), out2);
  EXPECT_EQ(files["three.pdf"].Number("task"), 2);
  EXPECT_EQ(FileNamesIn(out1), (std::vector<std::string>{"one.ps"}));
  EXPECT_EQ(FileNamesIn(out2), (std::vector<std::string>{"three.pdf", "two.pdf"}));
  EXPECT_EQ(files["stays.pdf"].Number("task"), 3);
  EXPECT_EQ(files["stays.pdf"].Text("folder"), in3);
  EXPECT_EQ(FileNamesIn(in3), (std::vector<std::string>{"stays.pdf"}));
}

TEST_F(HfhostTest, LinuxPathsAreTurnedIntoWindowsPaths) {
  std::string in = scratch.MakeSubfolder("linux in");
  std::string out = scratch.MakeSubfolder("linux out");
  std::string unixIn = UnixPathOf(in);
  std::string unixOut = UnixPathOf(out);
  if (unixIn.empty()) GTEST_SKIP() << "Linux paths are understood only under Wine";
  ASSERT_EQ(unixIn[0], '/');
  ASSERT_TRUE(WriteBytes(in + "job.ps", kPostScript));

  if (unixIn.back() == '/') unixIn.pop_back();
  if (unixOut.back() == '/') unixOut.pop_back();
  HostRun run = Run("--task " + Quoted(unixIn + ":" + unixOut) + " --json --max-files 1 --exit-after-idle 60");
  CheckRunEndedNormally(run, "max-files");

  // The block got full Windows paths: the plug-in found the folder and moved the file.
  std::vector<HostEvent> tasks = run.lines.Of("task");
  ASSERT_EQ(tasks.size(), 1u);
  std::string source = tasks[0].Text("source");
  ASSERT_GE(source.size(), 3u);
  EXPECT_EQ(source.substr(1, 2), ":\\") << source;
  EXPECT_NE(source.find("\\linux in\\"), std::string::npos) << source;
  std::vector<HostEvent> files = run.lines.Of("file");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].Text("folder"), tasks[0].Text("destination") + "\\");
  EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"job.ps"}));
}

TEST_F(HfhostTest, TextOutputShowsEachFileOnOneLine) {
  std::string in = scratch.MakeSubfolder("in");
  std::string out = scratch.MakeSubfolder("out");
  ASSERT_TRUE(WriteBytes(in + "report.ps", kPostScript));

  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) + " --max-files 1 --exit-after-idle 60");
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  const std::vector<std::string>& lines = run.lines.otherLines;
  auto has = [&lines](const std::string& start) {
    for (const std::string& line : lines)
      if (line.rfind(start, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(has("task 1 (task number ")) << run.process.output;
  EXPECT_TRUE(has("watching 1 hot folder; press Ctrl+C to stop")) << run.process.output;
  const std::string fileLine = "task 1 file 0: " + out + "report.ps | PostScript (0x1) | " +
                               std::to_string(kPostScript.size()) +
                               " bytes | title \"Annual report\" | for \"Jo Bloggs\" | resource ";
  EXPECT_TRUE(has(fileLine)) << run.process.output;
  EXPECT_TRUE(has("stopped (max-files) after 1 file ")) << run.process.output;
}

TEST_F(HfhostTest, IdleTimeEndsARunWithoutFiles) {
  std::string in = scratch.MakeSubfolder("in");
  HostRun run = Run("--source " + Arg(in) + " --json --exit-after-idle 1");
  CheckRunEndedNormally(run, "idle");
  EXPECT_EQ(run.lines.Of("task").size(), 1u);
  EXPECT_EQ(run.lines.Of("file").size(), 0u);
}

TEST_F(HfhostTest, AWarningFromStartActionIsPrintedAndTheRunGoesOn) {
  std::string in = scratch.MakeSubfolder("in");
  std::string out = scratch.MakeSubfolder("out");
  ASSERT_TRUE(WriteBytes(in + "job.ps", kPostScript));

  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) +
                    " --grouping NoSuchTemplate --json --max-files 1 --exit-after-idle 60");
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  std::vector<HostEvent> messages = run.lines.Of("message");
  ASSERT_EQ(messages.size(), 1u) << run.process.output;
  EXPECT_EQ(messages[0].Number("task"), 1);
  EXPECT_EQ(messages[0].Text("selector"), "StartAction");
  EXPECT_EQ(messages[0].Number("errorCode"), 0);
  const std::string& text = messages[0].Text("text");
  EXPECT_NE(text.find(". Grouping was disabled for '" + in + "'."), std::string::npos) << text;
  ASSERT_EQ(run.lines.Of("file").size(), 1u);
  EXPECT_EQ(run.lines.Of("file")[0].Text("folder"), out);
}

TEST_F(HfhostTest, AFolderThatCannotBeListedFailsTheStartWithThePluginsMessage) {
  std::string missing = scratch.path() + "no such folder\\";
  HostRun run = Run("--source " + Arg(missing) + " --json --exit-after-idle 30");
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 1u) << run.process.output;
  std::vector<HostEvent> messages = run.lines.Of("message");
  ASSERT_EQ(messages.size(), 1u) << run.process.output;
  EXPECT_EQ(messages[0].Text("selector"), "StartAction");
  EXPECT_EQ(messages[0].Number("errorCode"), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(messages[0].Text("text").rfind(std::to_string(ERROR_PATH_NOT_FOUND) + ": ", 0), 0u);
  ASSERT_EQ(run.lines.Of("stop").size(), 1u);
  EXPECT_EQ(run.lines.Of("stop")[0].Text("reason"), "start failed");
  EXPECT_NE(run.process.output.find("hfhost: StartAction of task 1 ("), std::string::npos) << run.process.output;
}

TEST_F(HfhostTest, FoldersThatDoNotFitTheBlockAreACommandLineError) {
  // 259 characters fit a 260-byte field but leave no room for the backslash the plug-in adds.
  std::string tooLong = scratch.path() + std::string(100, 'a') + "\\";
  tooLong += std::string(259 - tooLong.size(), 'b');
  ASSERT_EQ(tooLong.size(), 259u);
  HostRun run = Run("--source " + Quoted(tooLong) + " --json --exit-after-idle 1");
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 3u) << run.process.output;
  EXPECT_NE(run.process.output.find("hfhost: source folder \"" + tooLong + "\" is longer than 258 characters"),
            std::string::npos)
      << run.process.output;
  EXPECT_TRUE(run.lines.events.empty());

  // Longer still: the system refuses to make it a full path; the same exit status.
  HostRun longer = Run("--task " + Quoted(tooLong + "\\more") + " --json --exit-after-idle 1");
  ASSERT_TRUE(longer.process.finished);
  EXPECT_EQ(longer.process.exitCode, 3u) << longer.process.output;
  EXPECT_NE(longer.process.output.find("hfhost: source folder"), std::string::npos) << longer.process.output;
}

TEST_F(HfhostTest, AMissingPluginHasItsOwnExitStatus) {
  HostRun run = RunHost(Quoted(HF_HOST_PATH) + " --dll no-such-plugin.dll --source " + Arg(scratch.path()),
                        kRunLimitMs);
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 2u);
  EXPECT_NE(run.process.output.find("hfhost: cannot load "), std::string::npos) << run.process.output;
  EXPECT_NE(run.process.output.find("\\no-such-plugin.dll"), std::string::npos) << run.process.output;
}

}  // namespace

}  // namespace hf
