// ScriptThisFile, MoveTheFile and the script launch; scripts live in Config\Scripts beside this program.
#include "scripting/win32/scripting_service.h"
#include "base/file_io.h"
#include "base/path_utils.h"
#include "host/plugin_parameters.h"
#include "hotfolder/hot_folder.h"
#include "scripting/win32/move_the_file.h"
#include "scripting/win32/script_launch.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

const std::string kJob = "%!PS-Adobe-3.0\nshowpage\n";

// Config\Scripts beside this program, with the folders it had to make removed again.
class ScriptsFolderScope {
 public:
  ScriptsFolderScope() {
    const std::string config = JoinPath(HostProgramFolder(), "Config");
    for (const std::string& folder : {config, ScriptsFolder()}) {
      if (FolderExists(folder)) continue;
      CreateFolder(folder, false);
      made_.insert(made_.begin(), folder);
    }
  }
  ~ScriptsFolderScope() {
    for (const std::string& file : files_) ::DeleteFileA(file.c_str());
    for (const std::string& folder : made_) ::RemoveDirectoryA(folder.c_str());
  }

  // The script stand-in as <name>.exe with its plan.
  bool InstallStandin(const std::string& name, const std::string& plan) {
    const std::string standin = JoinPath(HostProgramFolder(), "script_standin.exe");
    return ::CopyFileA(standin.c_str(), Remember(name + ".exe").c_str(), FALSE) && Put(Remember(name + ".plan"), plan);
  }

 private:
  // The path of a file in the scripts folder, removed at the end.
  std::string Remember(const std::string& name) {
    files_.push_back(JoinPath(ScriptsFolder(), name));
    return files_.back();
  }
  std::vector<std::string> made_;
  std::vector<std::string> files_;
};

class ScriptThisFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hot.ok());
    std::strcpy(folder.path, hot.path().c_str());
    folder.scriptingEnabled = 1;
    InitialiseDefaultParameters(params);
  }
  void TearDown() override {
    if (params.messageText != nullptr) ::GlobalFree(params.messageText);
  }

  int Script(const std::string& script, std::string& name) {
    folder.scriptName = script;
    return ScriptThisFile(&params, {folder.path, folder.scriptName, folder.scriptingEnabled}, name, resourceId);
  }

  ScriptsFolderScope scripts;
  TempFolder hot{"scripting"};
  CHotFolder folder;
  PluginParameters params;
  std::string resourceId = "1f2e3d";
  LogCapture log;
};

TEST_F(ScriptThisFileTest, NewNameOfAFileAlreadyInTheHotFolderIsIgnored) {
  ASSERT_TRUE(scripts.InstallStandin("clash", "[*]\r\nCopyAs=other.ps\r\nNewName=other.ps\r\n"));
  ASSERT_TRUE(Put(hot.path() + "a.ps", kJob));
  ASSERT_TRUE(Put(hot.path() + "other.ps", "another job"));
  std::string name = "a.ps";
  EXPECT_EQ(Script("clash.exe", name), 1);
  EXPECT_EQ(std::make_tuple(name, Contents(hot.path() + "a.ps"), Contents(hot.path() + "other.ps")),
            std::make_tuple("a.ps", kJob, "another job"));
  EXPECT_TRUE(
      log.Has(0, "ScriptThisFile(): NEWNAME <other.ps> names a file already in the hot folder - it is ignored."));
}

TEST_F(ScriptThisFileTest, ResourceIdThatIsNotAPlainNameIsIgnored) {
  ASSERT_TRUE(
      scripts.InstallStandin("badid", "[a.ps]\r\nResourceId=..\\..\\Windows\r\n[b.ps]\r\nResourceId=id 7  \r\n"));
  ASSERT_TRUE(Put(hot.path() + "a.ps", kJob));
  std::string name = "a.ps";
  EXPECT_EQ(Script("badid.exe", name), 1);
  EXPECT_EQ(resourceId, "1f2e3d");
  EXPECT_TRUE(log.Has(0, "ScriptThisFile(): ResourceID <..\\..\\Windows> is not a plain name - it is ignored."));

  ASSERT_TRUE(Put(hot.path() + "b.ps", kJob));
  name = "b.ps";
  EXPECT_EQ(Script("badid.exe", name), 1);
  EXPECT_TRUE(resourceId == "id 7" && !FileExists(hot.path() + "_.script\\results.txt")) << resourceId;
}

TEST_F(ScriptThisFileTest, FileNamedLikeAnAnswerFileGoesOnUnscripted) {
  ASSERT_TRUE(scripts.InstallStandin("eraser", "[*]\r\nDelete=1\r\n"));
  for (const char* answer : {"newname.txt", "Results.TXT"}) {
    ASSERT_TRUE(Put(hot.path() + answer, "job"));
    std::string name = answer;
    EXPECT_EQ(Script("eraser.exe", name), 1);
    EXPECT_EQ(Contents(hot.path() + answer), "job") << answer;
  }
}

TEST(MoveTheFile, NeverReplacesTakesAFreeNameWhenAskedOrLogsBothPaths) {
  TempFolder folder("move");
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(Put(folder.path() + "a", "new"));
  ASSERT_TRUE(Put(folder.path() + "b", "old"));
  EXPECT_EQ(MoveTheFile(folder.path() + "a", folder.path() + "b"), 0);  // taken, and no free name asked for
  std::string arrived;
  EXPECT_EQ(MoveTheFile(folder.path() + "a", folder.path() + "b", &arrived), 1);
  EXPECT_EQ(std::make_tuple(arrived, Contents(folder.path() + "b"), Contents(arrived), FileExists(folder.path() + "a")),
            std::make_tuple(folder.path() + "b_0_0_0", "old", "new", false));

  LogCapture log;
  EXPECT_EQ(MoveTheFile(folder.path() + "a", folder.path() + "c"), 0);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{0, "MoveTheFile(): MoveFileEx failed with error: 2"},
                                             {0, "MoveTheFile():  Moving file from: " + folder.path() +
                                                     "a, To: " + folder.path() + "c"}}));
}

TEST(RunScript, ReportsAProgramThatCannotStart) {
  LogCapture log;
  const std::string commandLine = "\"" + JoinPath(HostProgramFolder(), "no-such-script.exe") + "\" \"a\" \"b\"";
  EXPECT_EQ(RunScript("ghost.exe", commandLine, "", ScriptLaunchSettings()), ScriptRunResult::kNotStarted);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{1, "CommandLine: " + commandLine},
                                             {0, "SP: Error: Couldn't start ghost.exe: error 0x2"}}));
}

}  // namespace

}  // namespace hf
