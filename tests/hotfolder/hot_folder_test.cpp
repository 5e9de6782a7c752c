// A hot folder's set-up of its optional services, and the module-wide folder list.
#include "hotfolder/folder_setup.h"

#include "hotfolder/hot_folder_list.h"
#include "hotfolder/sluicegate_app.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace hf {

namespace {

void WriteFile(const std::string& path) { ASSERT_TRUE(Put(path, "")) << path; }

class FolderSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    config = temp.path() + "Config";
    ASSERT_EQ(CreateFolder(config + "\\FilenameSetups", true), 0);
    WriteFile(config + "\\FilenameSetups\\Scheme A.fns");
    WriteFile(config + "\\FilenameSetups\\plain");
  }
  void TearDown() override { ::GlobalFree(params.messageText); }  // what the set-up handed over, if anything

  TempFolder temp{"folder_setup"};
  std::string config;
  PluginParameters params = DefaultBlock();
};

TEST_F(FolderSetupTest, CheckSettingsFileNamesWhatIsMissing) {
  ASSERT_EQ(CreateFolder(config + "\\FilenameSetups\\Folder.fns", false), 0);
  // The name, its folder, whether the extension is added (only when asked for) and the error.
  const std::tuple<const char*, const char*, bool, std::string> rows[] = {
      {"", "FilenameSetups", true, "No Filename provided"},
      {"x.cmd", "Scripts", false, "Folder '" + config + "\\Scripts' does not exist"},
      {"Scheme B", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\Scheme B.fns' does not exist"},
      {"Scheme A", "FilenameSetups", false, "File '" + config + "\\FilenameSetups\\Scheme A' does not exist"},
      {"plain", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\plain.fns' does not exist"},
      // A folder of the name is not a settings file.
      {"Folder", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\Folder.fns' does not exist"},
  };
  for (const auto& [name, folder, addExtension, expected] : rows) {
    std::string error;
    EXPECT_FALSE(CheckSettingsFileIn(config, name, folder, error, addExtension)) << name;
    EXPECT_EQ(error, expected) << name;
  }

  std::string error = "untouched";
  EXPECT_TRUE(CheckSettingsFileIn(config, "Scheme A", "FilenameSetups", error, true));
  EXPECT_TRUE(CheckSettingsFileIn(config, "plain", "FilenameSetups", error, false));
  EXPECT_EQ(error, "untouched");
}

// (A job left in the scripting folder coming back is pinned end to end.)
TEST_F(FolderSetupTest, AScriptingSetUpThatFailsSwitchesScriptingOffAndAWarningNamesTheReason) {
  CHotFolder folder;
  std::snprintf(folder.path, sizeof folder.path, "%s", temp.path().c_str());
  folder.scriptingEnabled = 1;
  folder.scriptName = "old.cmd";
  params.taskSettings.scriptingEnabled = 1;  // but no script named
  LogCapture log;
  SetUpScripting(folder, TaskSettingsView(params), &params);
  EXPECT_EQ(std::make_tuple(folder.scriptingEnabled, folder.scriptName, MessageOf(params)),
            std::make_tuple(0u, "", "No Filename provided. Scripting will be disabled."));
  EXPECT_TRUE(log.Has(0, "STF: Warning - No Filename provided. Scripting will be disabled."));
}

TEST_F(FolderSetupTest, AThumbnailFolderThatCannotBeMadeSwitchesThumbnailsOff) {
  WriteFile(temp.path() + "htdocs");  // a file where the folder should be
  const std::string thumbnails = temp.path() + "htdocs\\Thumbnails";
  CHotFolder folder;
  params.taskSettings.thumbnailsEnabled = 1;
  LogCapture log;
  SetUpThumbnails(folder, TaskSettingsView(params), &params, thumbnails);
  EXPECT_EQ(folder.thumbnailsEnabled, 0u);
  const std::string text = "Failed to create folder '" + thumbnails + "'. Thumbnail Generation will be disabled.";
  EXPECT_EQ(MessageOf(params), text);
  EXPECT_TRUE(log.Has(0, "Hot Folder: Warning - " + text));
}

// ---- the module-wide folder list ----

CHotFolder* NewFolder(const char* path, uint32_t taskId) {
  CHotFolder* folder = new CHotFolder();
  std::strcpy(folder->path, path);
  folder->taskId = taskId;
  return folder;
}

CLinkedFileList* NewItem(const char* name, CLinkedFileList* next = nullptr) {
  CLinkedFileList* item = new CLinkedFileList();
  item->Initialise();
  std::strcpy(item->fileName, name);
  item->next = next;
  return item;
}

class HotFolderListTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DestroyAllFolders(app);
    if (params.messageText != nullptr) ::GlobalFree(params.messageText);
  }

  CSluicegateApp app;
  PluginParameters params = DefaultBlock();
};

TEST_F(HotFolderListTest, LookupsUnlinkingAndTheRemovalOfAnItemHeadingAList) {
  EXPECT_EQ(unlinkFolderEntry(app, &params, "C:\\a\\"), 0);
  EXPECT_EQ(MessageOf(params), "unlinkFolderEntry - Folder list is empty.\n");
  ::GlobalFree(params.messageText);
  params = DefaultBlock();

  CHotFolder* a = NewFolder("C:\\Hot\\In\\", 1);
  CHotFolder* b = NewFolder("C:\\b\\", 2);
  CHotFolder* c = NewFolder("C:\\c\\", 2);
  b->pendingList = NewItem("x.ps", NewItem(""));
  for (CHotFolder* folder : {a, b, c}) AppendFolder(app, folder);
  // By task, the first of the task's folders; by path, in any case but with its backslash.
  EXPECT_EQ(std::make_tuple(FolderCountUnlocked(app), FindFolderByTaskId(app, 2), FindFolderByTaskId(app, 9),
                            FindFolderByPath(app, "c:\\HOT\\in\\"), FindFolderByPath(app, "C:\\Hot\\In")),
            std::make_tuple(3, b, nullptr, a, nullptr));

  EXPECT_EQ(unlinkFolderEntry(app, &params, "C:\\b\\"), 1);
  EXPECT_TRUE(app.folderCount == 2 && a->nextFolder == c && params.messageText == nullptr);
  EXPECT_EQ(unlinkFolderEntry(app, &params, "c:\\hot\\in\\"), 0);  // the path's case must match
  EXPECT_EQ(std::make_tuple(MessageOf(params), params.errorCode, app.folderCount),
            std::make_tuple("unlinkFolderEntry - Folder is not in the list.\n", -1, 2));

  // An item is removed only from the head of a list, pending lists first.
  CLinkedFileList* second = NewItem("second.ps");
  CLinkedFileList* pending = NewItem("pending.ps", second);
  c->pendingList = pending;
  c->foundList = NewItem("found.ps");
  EXPECT_EQ(RemoveFileItem(app, second), 0);
  EXPECT_EQ(RemoveFileItem(app, pending), 1);
  EXPECT_EQ(c->pendingList, second);
  EXPECT_EQ(RemoveFileItem(app, c->foundList), 1);
  EXPECT_EQ(c->foundList, nullptr);
  EXPECT_EQ(RemoveFileItem(app, nullptr), 0);
}

}  // namespace

}  // namespace hf
