// hfhost as a user runs it over the real DLL: probe, hot folders, text and --json output, failures.
#include "grouping/group_document.h"
#include "tests/support/win32/host_run.h"
#include "tests/support/win32/scratch_folder.h"
#include "tests/tools/picture_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace hf {
namespace {

constexpr DWORD kRunLimitMs = 120000;

std::string Arg(const std::string& folder) { return Quoted(WithoutBackslash(folder)); }
std::string TaskArg(const std::string& source, const std::string& destination) {
  return " --task " + Quoted(WithoutBackslash(source) + ":" + WithoutBackslash(destination));
}

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
const std::string kPdf = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";

TEST(HfhostProbeTest, ProbeShowsTheGateThenTheInitialisedAnswers) {
  CapturedProcess run = RunCaptured(Quoted(HF_HOST_PATH) + " --probe " + Quoted(HF_DLL_PATH), kRunLimitMs);
  ASSERT_TRUE(run.finished) << run.startError;
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  std::string output;
  for (const std::string& line : Lines(run.output)) output += line + "|";
  for (const char* expected :
       {"GetVersion (10): result -1|  version 5, versionFlag 0, versionByte 0|  errorCode -1|  message (messageLength "
        "77, messageOwned 1): \"Selector rejected - InitializeHandler has not yet been called successfully!\\n\"|"
        "GetCaps (11): result -1|  dwFlags 0x00000000, capsExtra1 -1, capsExtra2 -1|",
        "InitializeHandler (0): result 0|  pluginName \"Hot Folder\"|",
        "GetVersion (10): result 0|  version 5, versionFlag 1, versionByte 2|  errorCode -1|  message: none|"
        "GetCaps (11): result 0|  dwFlags 0x00024103, capsExtra1 -1, capsExtra2 -1|",
        "ShutdownHandler (1): result 0|"})
    EXPECT_NE(output.find(expected), std::string::npos) << expected << "\nin:\n" << run.output;
}

// Tasks by --source and --dest (a job of each type), by Linux paths, and without a destination.
TEST_F(HfhostTest, EachTaskHandsOverItsJobsWithTheirTypesIntoItsOwnDestination) {
  const std::string in = scratch.MakeSubfolder("in"), out = scratch.path() + "out\\";  // made by the plug-in
  const std::string in2 = scratch.MakeSubfolder("linux in"), out2 = scratch.MakeSubfolder("linux out");
  const std::string in3 = scratch.MakeSubfolder("in3");
  const std::map<std::string, std::pair<std::string, int64_t>> jobs = {
      {"report.ps", {kPostScript, 1}},
      {"logo.eps", {"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 72 72\n%%Title: Logo\n%%EndComments\n", 0x40}},
      {"leaflet.pdf", {kPdf, 2}},
      {"scan.tif", {std::string("II*\0\x08\0\0\0", 8) + std::string(40, '\0'), 4}},
      {"photo.jpg", {std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20) + "pixels", 8}}};
  const std::map<int64_t, std::string> typeNames = {
      {1, "PostScript"}, {0x40, "EPS"}, {2, "PDF"}, {4, "TIFF"}, {8, "JPEG"}};
  for (const auto& [name, job] : jobs) ASSERT_TRUE(WriteBytes(in + name, job.first));
  ASSERT_TRUE(WriteBytes(in2 + "two.pdf", kPdf));
  ASSERT_TRUE(WriteBytes(in3 + "stays.pdf", kPdf));
  std::string unixIn = UnixPathOf(in2), unixOut = UnixPathOf(out2);
  for (std::string* path : {&unixIn, &unixOut})
    if (!path->empty() && path->back() == '/') path->pop_back();
  const std::string task2 = unixIn.empty() ? TaskArg(in2, out2) : " --task " + Quoted(unixIn + ":" + unixOut);

  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) + task2 + " --task " + Arg(in3) +
                    " --json --max-files 7 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");
  std::vector<HostEvent> tasks = run.Of("task");
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_TRUE(tasks[0].Number("taskId") > 0 && tasks[0].Number("taskId") != tasks[1].Number("taskId"));
  // The block holds the destination as given; the plug-in adds the backslash when it moves files.
  EXPECT_EQ(std::make_tuple(tasks[0].Number("task"), tasks[0].Text("source"), tasks[0].Text("destination")),
            std::make_tuple(1, in, WithoutBackslash(out)));
  // Linux paths become full Windows paths, which the plug-in finds.
  const std::string source2 = tasks[1].Text("source");
  ASSERT_GE(source2.size(), 10u);
  EXPECT_EQ(source2.substr(1, 2), ":\\") << source2;
  EXPECT_EQ(source2.substr(source2.size() - 10), "\\linux in\\") << source2;
  EXPECT_EQ(tasks[2].Text("destination"), "");
  ASSERT_EQ(run.Of("ready").size(), 1u);
  EXPECT_GT(run.Of("ready")[0].Number("peakWorkingSetKB"), 0);

  std::map<std::string, HostEvent> files = run.FilesByName();
  ASSERT_EQ(files.size(), 7u) << run.process.output;
  std::set<int64_t> indexes;
  for (const auto& [name, file] : files) indexes.insert(file.Number("index"));
  EXPECT_EQ(indexes, (std::set<int64_t>{0, 1, 2, 3, 4, 5, 6}));
  for (const auto& [name, job] : jobs) {
    const HostEvent& file = files[name];
    EXPECT_EQ(
        std::make_tuple(file.Number("task"), file.Text("folder"), file.Number("jobTypeCode"), file.Text("jobType"),
                        file.Number("size"), file.Text("resourceId").empty(), BytesOf(out + name)),
        std::make_tuple(1, out, job.second, typeNames.at(job.second), static_cast<int64_t>(job.first.size()), false,
                        job.first))
        << name;
  }
  EXPECT_EQ(files["report.ps"].Text("title") + "|" + files["report.ps"].Text("for"), "Annual report|Jo Bloggs");
  EXPECT_TRUE(FileNamesIn(in).empty());
  const std::vector<std::string> two = {"two.pdf"}, stays = {"stays.pdf"};
  EXPECT_EQ(std::make_tuple(files["two.pdf"].Number("task"), files["two.pdf"].Text("folder"), FileNamesIn(out2)),
            std::make_tuple(2, tasks[1].Text("destination") + "\\", two));
  EXPECT_EQ(std::make_tuple(files["stays.pdf"].Number("task"), files["stays.pdf"].Text("folder"), FileNamesIn(in3)),
            std::make_tuple(3, in3, stays));
}

// A warning of StartAction is printed and the run goes on.
TEST_F(HfhostTest, TextOutputShowsEachMessageAndFileOnOneLine) {
  const std::string in = scratch.MakeSubfolder("in"), out = scratch.MakeSubfolder("out");
  ASSERT_TRUE(WriteBytes(in + "report.ps", kPostScript));
  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) +
                    " --grouping NoSuchTemplate --max-files 1 --exit-after-idle 60");
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  for (const std::string& start :
       {std::string("task 1 (task number "), std::string("watching 1 hot folder; press Ctrl+C to stop"),
        std::string("task 1 message after StartAction (errorCode 0): "),
        "task 1 file 0: " + out + "report.ps | PostScript (0x1) | " + std::to_string(kPostScript.size()) +
            " bytes | title \"Annual report\" | for \"Jo Bloggs\" | resource ",
        std::string("stopped (max-files) after 1 file ")}) {
    bool shown = false;
    for (const std::string& line : run.otherLines) shown = shown || line.rfind(start, 0) == 0;
    EXPECT_TRUE(shown) << start << "\nin:\n" << run.process.output;
  }
  EXPECT_NE(run.process.output.find(". Grouping was disabled for '" + in + "'."), std::string::npos);
}

// --thumbnails: the page beside hfhost.exe lists the job, its name escaped; the renderer is in place.
TEST_F(HfhostTest, ThumbnailPageListsTheHandedOverJob) {
  const std::string in = scratch.MakeSubfolder("in"), out = scratch.MakeSubfolder("out");
  ASSERT_TRUE(WriteBytes(in + "Tom & Jerry's.ps", kPostScript));
  const std::string tools = std::string(HF_TOOLS_DIR) + "/";  // a Unix path, reached through drive Z:
  HostRun run =
      Run("--source " + Arg(in) + " --dest " + Arg(out) + " --thumbnails --json --max-files 1 --exit-after-idle 60");
  ExpectCleanRun(run, "max-files");
  ASSERT_EQ(run.Of("file").size(), 1u);
  const std::string page = BytesOf(tools + "htdocs/Thumbnails/index.html");
  EXPECT_NE(page.find("<td>Tom &amp; Jerry&#39;s.ps</td><td>PostScript</td><td>" + std::to_string(kPostScript.size()) +
                      " bytes</td><td>" + run.Of("file")[0].Text("resourceId") + "</td></tr>"),
            std::string::npos)
      << page;
  EXPECT_NE(BytesOf(tools + "VEZ/bin/prevgen.exe"), "<unreadable>");
  EXPECT_EQ(run.process.output.find("will not be"), std::string::npos) << run.process.output;
}

// A binary EPS whose TIFF preview is `tiff`.
std::string BinaryEps(const std::string& tiff) {
  const std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 8 8\n%%EndComments\n%%EOF\n";
  std::string bytes("\xC5\xD0\xD3\xC6", 4);
  for (uint32_t field : {30u, static_cast<uint32_t>(postScript.size()), 0u, 0u,
                         30u + static_cast<uint32_t>(postScript.size()), static_cast<uint32_t>(tiff.size())})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((field >> (8 * i)) & 0xFF);
  return bytes + "\xFF\xFF" + postScript + tiff;
}

// The first PNG that appears in `folder` within `seconds`, decoded; false when none does.
bool AwaitPng(const std::string& folder, int seconds, uint32_t& width, uint32_t& height, std::vector<uint8_t>& rgb) {
  for (int waited = 0; waited <= seconds * 10; ++waited, ::Sleep(100))
    for (const std::string& name : FileNamesIn(folder))
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
        return DecodePng(folder + name, width, height, rgb);
  return false;
}

// --thumbnails with the real picture programs, started by the plug-in: prevgen.exe renders an
// EPS job's preview, and ZoRidaziviv.exe, started detached before a group of separations is
// handed over, writes the group's composite.
TEST_F(HfhostTest, RealPictureProgramsRenderAPreviewAndAGroupComposite) {
  const std::string in = scratch.MakeSubfolder("in"), out = scratch.MakeSubfolder("out");
  std::vector<uint8_t> ramp(64);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i * 4);
  const TestTiff grey{8, 8, 8, 1, PHOTOMETRIC_MINISBLACK, ramp};
  ASSERT_TRUE(WriteTestTiff(scratch.path() + "ramp.tif", grey));
  ASSERT_TRUE(WriteBytes(in + "logo.eps", BinaryEps(BytesOf(scratch.path() + "ramp.tif"))));
  for (const char* colour : {"Cyan", "Magenta", "Yellow", "Black"})
    ASSERT_TRUE(WriteTestTiff(in + "ALPHA_p1_" + colour + ".tif", grey));
  HostRun run = Run("--source " + Arg(in) + " --dest " + Arg(out) +
                    " --grouping \"Default RUD Without PREPS\" --thumbnails --json --max-files 2 --exit-after-idle 90");
  ASSERT_EQ(run.process.exitCode, 0u) << run.process.output;
  std::map<std::string, HostEvent> files = run.FilesByName();
  ASSERT_EQ(files.size(), 2u) << run.process.output;
  const std::string thumbnails = std::string(HF_TOOLS_DIR) + "/htdocs/Thumbnails/";
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;
  // The plug-in hands the PostScript section on, which prevgen renders as its placeholder.
  const std::string epsId = files["logo.eps"].Text("resourceId");
  ASSERT_TRUE(DecodePng(thumbnails + epsId + "/" + epsId + ".png", width, height, rgb)) << run.process.output;
  EXPECT_EQ(std::make_tuple(width, height), std::make_tuple(300u, 400u));
  // The separations' thumbnails and the composite are filed under the group's resource ID.
  files.erase("logo.eps");
  const std::string group = out + files.begin()->second.Text("name");
  std::string groupId;
  CGroupDocumentReader::ReadTextFromFile(group, kFileGroupInfoSection, "ResourceID", groupId);
  ASSERT_TRUE(AwaitPng(thumbnails + groupId + "/", 60, width, height, rgb)) << BytesOf(group);
  EXPECT_EQ(std::make_tuple(width, height), std::make_tuple(8u, 8u));
}

TEST_F(HfhostTest, BadCommandLinesAndMissingPluginsHaveTheirOwnExitStatus) {
  // 259 characters fit a 260-byte field but leave no room for the backslash the plug-in adds.
  std::string tooLong = scratch.path() + std::string(100, 'a') + "\\";
  tooLong += std::string(259 - tooLong.size(), 'b');
  const std::string host = Quoted(HF_HOST_PATH);
  // The arguments, the exit status and a part of the output.
  const std::tuple<std::string, DWORD, std::string> cases[] = {
      {" --help", 0, "Usage: hfhost --probe DLL"},
      {"", 3, "Usage: hfhost"},
      {" --probe", 3, "Usage: hfhost"},
      {" --frobnicate", 3, "Usage: hfhost"},
      {" --json --source " + Quoted(tooLong), 3,
       "hfhost: source folder \"" + tooLong + "\" is longer than 258 characters"},
      {" --json --task " + Quoted(tooLong + "\\more"), 3, "hfhost: source folder"},  // no full path can be made
      {" --probe no-such-plugin.dll", 2, "cannot load no-such-plugin.dll"},
      {" --json --dll no-such-plugin.dll --source " + Arg(scratch.path()), 2, "hfhost: cannot load "},
      {" --dll " + Quoted(HF_DLL_PATH) + " --data-folder " + Arg(dataFolder) + " --source " +
           Arg(scratch.path() + "no such folder\\") + " --exit-after-idle 30",
       1, "task 1 message after StartAction (errorCode 3): 3: "},  // a folder that cannot be listed
  };
  for (const auto& [arguments, exitCode, shown] : cases) {
    HostRun run = RunHost(host + arguments, kRunLimitMs);
    ASSERT_TRUE(run.process.finished) << arguments;
    EXPECT_EQ(
        std::make_tuple(run.process.exitCode, run.process.output.find(shown) != std::string::npos, run.events.empty()),
        std::make_tuple(exitCode, true, true))
        << arguments << "\n"
        << run.process.output;
  }
}

}  // namespace
}  // namespace hf
