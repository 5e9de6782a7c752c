// File, job and group previews with the stand-in renderer (tests/standins/preview_standin.cpp).
#include "base/path_utils.h"
#include "host/zu_ini_file.h"
#include "previews/win32/external_program.h"
#include "previews/win32/group_composite.h"
#include "previews/win32/renderer_previews.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

bool Install(const std::string& path) {
  CreateFolder(ParentFolder(path), true);
  return ::CopyFileA(JoinPath(HostProgramFolder(), "preview_standin.exe").c_str(), path.c_str(), FALSE) != 0;
}

// Ends the stand-ins this test left running, by their IDs.
void EndRunning() {
  for (DWORD id; (id = FindProcessId("prevgen.exe")) != kNoProcessId;) {
    ScopedHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process || !::TerminateProcess(process.get(), 1)) return;
    ::WaitForSingleObject(process.get(), 5000);
  }
}

class PreviewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    IniFileDescriptor descriptor{};
    std::snprintf(descriptor.path, sizeof descriptor.path, "%shost.ini", temp.path().c_str());
    TheIniFile().SetDescriptor(descriptor);
    ::SetEnvironmentVariableA("HF_PREVIEW_RECORD", record.c_str());
    ASSERT_EQ(CreateFolder(hot, false), 0);
  }
  void TearDown() override {
    for (const char* name : {"HF_PREVIEW_RECORD", "HF_PREVIEW_SLEEP_MS"}) ::SetEnvironmentVariableA(name, nullptr);
    EndRunning();
    for (const std::string& file : installed) ::DeleteFileA(file.c_str());
  }
  void Ini(const std::string& lines) { ASSERT_TRUE(Put(temp.path() + "host.ini", "[HFA]\r\n" + lines)); }
  void ConfigureRenderer() { ASSERT_TRUE(Install(renderer) && machine.SetString(renderer)); }
  // The stand-in's lines since the last call: "<current folder>|<command line>\n" each.
  std::string Recorded() {
    std::string text = FileIsThere(record) ? Contents(record) : "";
    return ::DeleteFileA(record.c_str()), text;
  }
  std::string InHostFolder(const std::string& path) {
    return installed.emplace_back(JoinPath(HostProgramFolder(), path));
  }

  TempFolder temp{"previews"};
  std::string hot = temp.path() + "hot\\";
  std::string thumbs = temp.path() + "thumbs";
  std::string bin = temp.path() + "bin";
  std::string renderer = bin + "\\prevgen.exe";
  std::string record = temp.path() + "record.txt";
  RegistryValueScope machine{HKEY_LOCAL_MACHINE, "Software\\Vorlan\\Brenmar", "VEZ_Thumbnail"};
  RegistryValueScope user{HKEY_CURRENT_USER, "Software\\Vorlan\\Brenmar", "VEZ_Thumbnail"};
  std::vector<std::string> installed;
  LogCapture log;
};

TEST_F(PreviewsTest, TheRendererGetsTheSourceAsAbsolutePathInItsOwnFolder) {
  ConfigureRenderer();
  Ini("PreviewConfig=_TestCfg\r\n");
  ASSERT_TRUE(Put(hot + "a.ps", "%!PS"));
  for (const auto& [given, rendered] :
       std::vector<std::pair<std::string, std::string>>{{"a.ps", hot + "a.ps"},
                                                        {"C:\\x\\b.pdf", "C:\\x\\b.pdf"},
                                                        {"\\\\srv\\share\\c.eps", "\\\\srv\\share\\c.eps"}}) {
    EXPECT_TRUE(MakeFilePreview(hot, thumbs, given, "r1", 1)) << given;
    const std::string line =
        "\"" + renderer + "\" -c _TestCfg -p 4 -X -f \"" + thumbs + "\\r1\\r1.png\" \"" + rendered + "\" -nt";
    EXPECT_EQ(Recorded(), bin + "|" + line + "\n");
    EXPECT_TRUE(log.Has(2, "Preview: CommandLine=[" + line + "]."));
  }
  EXPECT_TRUE(log.Has(2, "Preview: Preview app found at '" + renderer + "'."));
}

TEST_F(PreviewsTest, WithCopySourceAPdfIsRenderedFromACopyThatIsGoneAfterwards) {
  ConfigureRenderer();
  Ini("CopySource=1\r\n");
  ASSERT_TRUE(Put(hot + "j.pdf", "%PDF-1.4"));
  EXPECT_TRUE(MakeFilePreview(hot, thumbs, "j.pdf", "r2", 2));
  EXPECT_EQ(Contents(thumbs + "\\r2\\r2.png"), "PNG:%PDF-1.4");
  EXPECT_EQ(FileNamesIn(thumbs + "\\r2"), std::vector<std::string>{"r2.png"});
  EXPECT_EQ(Contents(hot + "j.pdf"), "%PDF-1.4");

  // A renderer that outlives its time-out is left running and holds its copy;
  // the next preview, once no renderer runs, removes that copy.
  Ini("CopySource=1\r\nThumbnailTimeoutSecs=1\r\n");
  ::SetEnvironmentVariableA("HF_PREVIEW_SLEEP_MS", "30000");
  EXPECT_TRUE(MakeFilePreview(hot, thumbs, "j.pdf", "r3", 2));
  EXPECT_TRUE(log.Has(0, "Failed waiting for Thumbnail generation to complete: 0x00000102"));
  EXPECT_NE(FindProcessId("prevgen.exe"), kNoProcessId);
  EndRunning();
  ::SetEnvironmentVariableA("HF_PREVIEW_SLEEP_MS", nullptr);
  EXPECT_TRUE(MakeFilePreview(hot, thumbs, "j.pdf", "r4", 2));
  EXPECT_FALSE(FileIsThere(thumbs + "\\r3\\j.pdf"));
  EXPECT_FALSE(FileIsThere(thumbs + "\\r4\\j.pdf"));
}

TEST_F(PreviewsTest, NoPreviewWithoutAStartableRendererOrSubmittedFile) {
  ASSERT_TRUE(Put(hot + "one.json", R"({"mode":1,"JobFilePaths":["missing.pdf"]})"));
  ASSERT_TRUE(Put(hot + "two.json", "not json"));
  ASSERT_TRUE(Put(hot + "k.pdf", "%PDF"));
  Ini("CopySource=1\r\n");
  for (const auto& [configured, file, type, line] :
       std::vector<std::tuple<std::string, std::string, uint32_t, std::string>>{
           {"", "k.pdf", 2,
            "Preview: Preview app does not exist at '" + JoinPath(HostProgramFolder(), "VEZ\\bin\\prevgen.exe") + "'."},
           {bin + "\\none.exe", "k.pdf", 2, "Preview: Preview app does not exist at '" + bin + "\\none.exe'."},
           {renderer, "one.json", 2048,
            "Preview: File being submitted (" + hot + "missing.pdf) does not exist - cannot preview."},
           {renderer, "two.json", 2048, "Preview: JSON file 'two.json' is NOT a job submission JSON file."},
           {renderer, "k.pdf", 2, "Preview: Failed to launch Thumbnail app. Error 0x"}}) {
    ASSERT_TRUE(configured != renderer || FileIsThere(renderer) || Install(renderer));
    ASSERT_TRUE(configured.empty() ? machine.Delete() && user.Delete() : user.SetString(configured));
    ASSERT_TRUE(line.find("launch") == std::string::npos || Put(renderer, "not a program"));
    EXPECT_FALSE(MakeFilePreview(hot, thumbs, file, "r5", type)) << line;
    EXPECT_TRUE(HasLineStartingWith(log, 0, line)) << line;
  }
  EXPECT_EQ(Recorded(), "");
  EXPECT_EQ(FileNamesIn(thumbs + "\\r5"), std::vector<std::string>{});  // the copy of k.pdf is gone
}

TEST_F(PreviewsTest, AJobPreviewNamesItsFilesInRunOrderFromTheJobFolder) {
  ASSERT_TRUE(Install(InHostFolder("VEZ\\bin\\prevgen.exe")));
  const JdfSubJobMap subJobs{{2, {"C:\\x\\b.pdf", "", ""}}, {1, {hot + "a.ps", "", ""}}};
  EXPECT_TRUE(MakeJobPreview(WithoutTrailingSeparators(hot), thumbs, subJobs, "j1"));
  const std::string line =
      installed[0] + " -c _ZuPng150dpi -p 4 -X -f \"" + thumbs + "\\j1\\j1.png\" \"a.ps\" \"b.pdf\"";
  EXPECT_EQ(Recorded(), WithoutTrailingSeparators(hot) + "|" + line + "\n");
  EXPECT_TRUE(log.Has(2, "Preview: CommandLine=[ " + line + " ]."));
}

TEST_F(PreviewsTest, OnlyATiffGroupWithAResourceIdIsComposited) {
  const std::string app = InHostFolder("ZoRidaziviv.exe");
  const std::string group = hot + "g.fgl";
  for (const auto& [info, made, level, line] : std::vector<std::tuple<std::string, bool, int, std::string>>{
           {"", false, 0, "Composite: Thumbnail app does not exist at '" + app + "'."},
           {"Extension=.pdf\r\nResourceID=g1", true, 2, "Composite: Currently we only composite TIFF files."},
           {"Extension=.tif\r\nJDFFile=t.jdf\r\nResourceID=g1", false, 0, ""},
           {"Extension=.TIFF", false, 0, "Composite: Group file '" + group + "' does NOT have a ResourceID."},
           {"Extension=.tif\r\nResourceID=g1", true, 2, "Composite: Generating composite in background."}}) {
    ASSERT_TRUE(info.empty() || FileIsThere(app) || Install(app));
    ASSERT_TRUE(Put(group, "[FileGroupInfo]\r\n" + info + "\r\n"));
    log.lines.clear();
    EXPECT_EQ(MakeGroupComposite(thumbs, group), made) << info;
    EXPECT_TRUE(line.empty() ? log.lines.empty() : log.Has(level, line)) << info;
  }
  const std::string copy = thumbs + "\\g1\\g.fgl";
  const std::string line = app + " gencomp \"" + copy + "\"";
  EXPECT_EQ(Contents(copy), "[FileGroupInfo]\r\nExtension=.tif\r\nResourceID=g1\r\n");
  EXPECT_TRUE(log.Has(2, "Composite: CommandLine arguments are: " + line + "'."));
  ASSERT_TRUE(WaitUntil([&] { return Contents(record).find("|" + line + "\n") != std::string::npos; }));
}

// A thumbnail folder that cannot be made, or a composite app that cannot start, makes nothing and leaves nothing.
TEST_F(PreviewsTest, PicturesThatCannotBeMadeLeaveNothingBehind) {
  ConfigureRenderer();
  const std::string app = InHostFolder("ZoRidaziviv.exe");
  ASSERT_TRUE(Put(app, "not a program") && Put(hot + "a.ps", "%!PS") && Put(thumbs, "a file, not a folder"));
  ASSERT_TRUE(Put(hot + "g.fgl", "[FileGroupInfo]\r\nExtension=.tif\r\nResourceID=g1\r\n"));
  EXPECT_FALSE(MakeFilePreview(hot, thumbs, "a.ps", "r1", 1));
  EXPECT_FALSE(MakeGroupComposite(thumbs, hot + "g.fgl"));
  EXPECT_TRUE(HasLineStartingWith(log, 0, "Preview: Unable to access/create target folder at '" + thumbs + "\\r1'.") &&
              HasLineStartingWith(log, 0, "Composite: Unable to access/create Thumbnail target folder at '" + thumbs));
  const std::string elsewhere = temp.path() + "thumbs2";
  EXPECT_FALSE(MakeGroupComposite(elsewhere, hot + "g.fgl"));
  EXPECT_TRUE(HasLineStartingWith(log, 0, "Composite: Failed to launch Thumbnail app. Error 0x"));
  EXPECT_FALSE(FileIsThere(elsewhere + "\\g1\\g.fgl"));  // the copy made for it is gone
  EXPECT_EQ(Recorded(), "");
}

TEST_F(PreviewsTest, FindProcessIdAndWaitUntilUniqueSeeOnlyTheProgramAtItsPath) {
  ASSERT_TRUE(Install(renderer));
  ::SetEnvironmentVariableA("HF_PREVIEW_SLEEP_MS", "30000");
  DWORD error = 0;
  ScopedHandle running = StartProgram("\"" + renderer + "\"", "", ProgramStart::kRenderer, error);
  ASSERT_TRUE(running) << error;
  EXPECT_EQ(FindProcessId("PREVGEN.EXE"), ::GetProcessId(running.get()));
  EXPECT_EQ(FindProcessId("no_such_program.exe"), kNoProcessId);
  EXPECT_TRUE(WaitUntilUnique(temp.path() + "elsewhere\\prevgen.exe", "Preview", 1000));
  EXPECT_FALSE(WaitUntilUnique(renderer, "Composite", 1500));
  EXPECT_TRUE(log.Has(2, "Composite: waiting to be unique..."));
  EXPECT_TRUE(log.Has(0, "Composite: Another instance of '" + renderer + "' is still running after 1 s; giving up."));
  EndRunning();
  EXPECT_EQ(FindProcessId("prevgen.exe"), kNoProcessId);
}

}  // namespace

}  // namespace hf
