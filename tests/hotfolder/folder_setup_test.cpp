// The set-up of a hot folder's optional services: the settings file check and
// its texts, and the warnings handed to the host when a service is switched off.
#include "hotfolder/folder_setup.h"

#include "hotfolder/services/grouping_service.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace hf {

namespace {

// Frees a message the set-up handed over, as the host would after reading it.
void ReleaseMessage(PluginParameters& params) {
  if (params.messageText != nullptr && params.messageOwned != 0) ::GlobalFree(params.messageText);
  params.messageText = nullptr;
}

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
  void TearDown() override { ReleaseMessage(params); }

  TempFolder temp{"folder_setup"};
  std::string config;
  PluginParameters params = DefaultBlock();
};

TEST_F(FolderSetupTest, CheckSettingsFileNamesWhatIsMissing) {
  ASSERT_EQ(CreateFolder(config + "\\FilenameSetups\\Folder.fns", false), 0);
  const struct {
    const char* name;
    const char* folder;
    bool addExtension;  // only when asked for
    std::string error;
  } rows[] = {
      {"", "FilenameSetups", true, "No Filename provided"},
      {"x.cmd", "Scripts", false, "Folder '" + config + "\\Scripts' does not exist"},
      {"Scheme B", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\Scheme B.fns' does not exist"},
      {"Scheme A", "FilenameSetups", false, "File '" + config + "\\FilenameSetups\\Scheme A' does not exist"},
      {"plain", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\plain.fns' does not exist"},
      // A folder of the name is not a settings file.
      {"Folder", "FilenameSetups", true, "File '" + config + "\\FilenameSetups\\Folder.fns' does not exist"},
  };
  for (const auto& row : rows) {
    std::string error;
    EXPECT_FALSE(CheckSettingsFileIn(config, row.name, row.folder, error, row.addExtension)) << row.name;
    EXPECT_EQ(error, row.error) << row.name;
  }

  std::string error = "untouched";
  EXPECT_TRUE(CheckSettingsFileIn(config, "Scheme A", "FilenameSetups", error, true));
  EXPECT_TRUE(CheckSettingsFileIn(config, "plain", "FilenameSetups", error, false));
  EXPECT_EQ(error, "untouched");
}

TEST_F(FolderSetupTest, GroupingNotAskedForOrWithoutASettingsNameIsSwitchedOff) {
  CHotFolder folder;
  std::strcpy(folder.path, "C:\\hot\\");
  folder.groupingActive = 1;
  SetUpGrouping(folder, TaskSettingsView(params), &params);
  EXPECT_EQ(folder.groupingActive, 0u);
  EXPECT_EQ(params.messageText, nullptr);  // not asked for: nothing to say

  folder.groupingActive = 1;
  params.taskSettings.groupingEnabled = 1;
  LogCapture log;
  SetUpGrouping(folder, TaskSettingsView(params), &params);
  EXPECT_EQ(folder.groupingActive, 0u);
  EXPECT_EQ(folder.groupList, nullptr);
  const std::string text = "No Filename provided. Grouping was disabled for 'C:\\hot\\'.";
  EXPECT_EQ(MessageOf(params), text);
  EXPECT_EQ(params.messageLength, text.size());  // the host reads this many bytes
  EXPECT_TRUE(log.Has(0, "SA: Warning - " + text));
  EXPECT_EQ(params.errorCode, 0);
}

TEST_F(FolderSetupTest, ScriptingSetUpPutsBackWhatTheScriptingFolderHoldsAndAWarningNamesTheReason) {
  CHotFolder folder;
  std::snprintf(folder.path, sizeof folder.path, "%s", temp.path().c_str());
  const std::string scripting = temp.path() + "_.script";
  ASSERT_EQ(CreateFolder(scripting, true), 0);
  WriteFile(scripting + "\\left.ps");
  folder.scriptingEnabled = 1;
  folder.scriptName = "old.cmd";

  SetUpScripting(folder, TaskSettingsView(params), &params);
  EXPECT_TRUE(FileExists(temp.path() + "left.ps"));  // a job is never deleted
  EXPECT_EQ(::GetFileAttributesA(scripting.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(folder.scriptingEnabled, 0u);
  EXPECT_EQ(folder.scriptName, "");
  EXPECT_EQ(params.messageText, nullptr);

  params.taskSettings.scriptingEnabled = 1;  // but no script named
  LogCapture log;
  SetUpScripting(folder, TaskSettingsView(params), &params);
  EXPECT_EQ(folder.scriptingEnabled, 0u);
  EXPECT_EQ(MessageOf(params), "No Filename provided. Scripting will be disabled.");
  EXPECT_TRUE(log.Has(0, "STF: Warning - No Filename provided. Scripting will be disabled."));
}

TEST_F(FolderSetupTest, ThumbnailsFollowTheTaskAndTheirFolderIsMadeWithItsParents) {
  CHotFolder folder;
  const std::string thumbnails = temp.path() + "htdocs\\Thumbnails";
  SetUpThumbnails(folder, TaskSettingsView(params), &params, thumbnails);
  EXPECT_EQ(folder.thumbnailsEnabled, 0u);
  EXPECT_EQ(folder.thumbnailFolder, thumbnails);
  EXPECT_NE(::GetFileAttributesA(thumbnails.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  params.taskSettings.thumbnailsEnabled = 1;
  SetUpThumbnails(folder, TaskSettingsView(params), &params, thumbnails);
  EXPECT_EQ(folder.thumbnailsEnabled, 1u);
  EXPECT_EQ(params.messageText, nullptr);
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

}  // namespace

}  // namespace hf
