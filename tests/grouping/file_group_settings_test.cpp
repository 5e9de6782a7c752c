// Group settings: defaults, reading from a group file versus a template,
// writing, the log lines, and loading a hot folder's template.
#include "grouping/file_group_settings.h"
#include "base/log.h"

#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace hf {

namespace {

class FileGroupSettingsTest : public ::testing::Test {
 protected:
  // Host folder with a trailing separator, and the template placed where
  // GroupTemplatePath says (real sub-folders on Windows; natively the path
  // keeps its backslashes inside one file name).
  std::string PlaceTemplate(const std::string& name, const std::string& text) {
    std::string host = scratch.folder.string() + static_cast<char>(std::filesystem::path::preferred_separator);
#ifdef _WIN32
    std::filesystem::create_directories(scratch.folder / "Config" / "FilenameSetups");
#endif
    WriteBytes(GroupTemplatePath(host, name), text);
    return host;
  }
  // Trigger, serial mode, timeout and count, in the order the group file lists them.
  static void ExpectSettings(const CFileGroupSettings& settings, int trigger, int serial, int timeout, int count) {
    EXPECT_EQ(settings.fileCountTrigger(), trigger);
    EXPECT_EQ(settings.serialMode(), serial);
    EXPECT_EQ(settings.timeoutSeconds(), timeout);
    EXPECT_EQ(settings.fileCount(), count);
  }

  ScratchFolder scratch{"hf_group_settings_"};
  LogCapture log;
  std::vector<LogLine>& records = log.lines;
};

const char kGroupFileSettings[] =
    "[FileGroupInfo]\r\n"
    "FolderPath=C:\\Hot\\Job\r\n"
    "\r\n"
    "[SettingsInfo]\r\n"
    "TimeoutSeconds=90\r\n"
    "SerialMode=1\r\n"
    "FileCountTrigger=1\r\n"
    "FileCount=8\r\n"
    "GroupMethod=2\r\n"
    "\r\n"
    "[GroupId]\r\n"
    "SEP_GROUP_TIMEOUT_SECONDS=45\r\n"
    "SEP_GROUP_CLOSE_ON_FILECOUNT=0\r\n"
    "SEP_GROUP_CLOSE_FILECOUNT=6\r\n";

const char kTemplate[] =
    "; separations: <job>_<colour>.tif\n"
    "[GroupId]\n"
    "SEP_GROUP_OFFSET=0\n"
    "SEP_GROUP_TIMEOUT_SECONDS = 12\n"
    "SerialMode=1\n"
    "SEP_GROUP_CLOSE_ON_FILECOUNT=1\n"
    "SEP_GROUP_CLOSE_FILECOUNT=3\n"
    "[SettingsInfo]\n"
    "SerialMode=1\n";

}  // namespace

TEST_F(FileGroupSettingsTest, DefaultsAndTheEqualsSeparator) {
  CFileGroupSettings settings;
  ExpectSettings(settings, 0, 0, 30, 4);
  ExpectSettings(CFileGroupSettingsFNS(), 0, 0, 30, 4);
  EXPECT_TRUE(settings.document().separatorFlag());
  settings.WriteSettings();
  EXPECT_EQ(settings.document().SaveToBuffer(),
            "[SettingsInfo]\r\nTimeoutSeconds=30\r\nSerialMode=0\r\nFileCountTrigger=0\r\nFileCount=4\r\n");
  EXPECT_TRUE(records.empty());  // writing does not log
}

TEST_F(FileGroupSettingsTest, GroupFileReadsSettingsInfoAndTemplateReadsGroupIdButNeverSerialMode) {
  CIniDocument document;
  document.LoadFromBuffer(kGroupFileSettings);
  CFileGroupSettings settings;
  EXPECT_EQ(settings.ReadSettings(document), 0);
  ExpectSettings(settings, 1, 1, 90, 8);
  // The same group file read as a template.
  CFileGroupSettingsFNS templateSettings;
  EXPECT_EQ(templateSettings.ReadSettings(document), 0);
  ExpectSettings(templateSettings, 0, 0, 45, 6);

  document.LoadFromBuffer(kTemplate);
  EXPECT_EQ(templateSettings.ReadSettings(document), 0);
  ExpectSettings(templateSettings, 1, 0, 12, 3);
}

TEST_F(FileGroupSettingsTest, MissingAndEmptyKeysGiveDefaults) {
  CIniDocument document;
  document.LoadFromBuffer("[GroupId]\nSEP_GROUP_OFFSET=2\n[SettingsInfo]\nGroupMethod=3\n");
  CFileGroupSettingsFNS fromTemplate;
  fromTemplate.SetTimeoutSeconds(99);
  fromTemplate.SetFileCount(99);
  fromTemplate.SetFileCountTrigger(1);
  EXPECT_EQ(fromTemplate.ReadSettings(document), 0);
  ExpectSettings(fromTemplate, 0, 0, 30, 4);
  CFileGroupSettings fromGroup;
  fromGroup.SetSerialMode(1);
  EXPECT_EQ(fromGroup.ReadSettings(document), 0);
  ExpectSettings(fromGroup, 0, 0, 30, 4);

  document.LoadFromBuffer(
      "[GroupId]\nSEP_GROUP_TIMEOUT_SECONDS=\nSEP_GROUP_CLOSE_ON_FILECOUNT=\nSEP_GROUP_CLOSE_FILECOUNT=\n"
      "[SettingsInfo]\nTimeoutSeconds=\nSerialMode=\nFileCountTrigger=\nFileCount=\n");
  EXPECT_EQ(fromTemplate.ReadSettings(document), 0);
  ExpectSettings(fromTemplate, 0, 0, 30, 4);
  EXPECT_EQ(fromGroup.ReadSettings(document), 0);
  ExpectSettings(fromGroup, 0, 0, 30, 4);

  // Present but not a number: the leading-integer rule gives 0.
  document.LoadFromBuffer("[GroupId]\nSEP_GROUP_TIMEOUT_SECONDS=soon\nSEP_GROUP_CLOSE_FILECOUNT= 5 files\n");
  EXPECT_EQ(fromTemplate.ReadSettings(document), 0);
  ExpectSettings(fromTemplate, 0, 0, 0, 5);
}

TEST_F(FileGroupSettingsTest, ReadingLogsTheSettings) {
  CIniDocument document;
  document.LoadFromBuffer(kGroupFileSettings);
  CFileGroupSettings settings;
  settings.ReadSettings(document);
  const std::vector<std::pair<int, std::string>> expected = {
      {3, "LogSettings()"},        {3, "TimeoutSeconds = 90"}, {3, "SerialMode = 1"},
      {3, "FileCountTrigger = 1"}, {3, "FileCount = 8"},
  };
  EXPECT_EQ(records, expected);

  records.clear();
  SetLogSettings(2, true);
  settings.LogSettings();
  EXPECT_TRUE(records.empty());  // trace lines only at level 3
}

TEST_F(FileGroupSettingsTest, ReadThroughAPathOrTheOwnDocument) {
  const std::string path = scratch.PathOf("Job.fgl");
  WriteBytes(path, kGroupFileSettings);
  CFileGroupSettings settings;
  EXPECT_EQ(settings.ReadSettings(path), 0);
  ExpectSettings(settings, 1, 1, 90, 8);
  EXPECT_EQ(settings.document().SectionCount(), 0u);  // a temporary document was used

  // Through a base reference, the template object still reads GroupId.
  CFileGroupSettingsFNS templateSettings;
  CFileGroupSettings& asBase = templateSettings;
  EXPECT_EQ(asBase.ReadSettings(path), 0);
  ExpectSettings(templateSettings, 0, 0, 45, 6);
  templateSettings.document().LoadFromBuffer(kTemplate);
  EXPECT_EQ(asBase.ReadSettings(), 0);
  ExpectSettings(templateSettings, 1, 0, 12, 3);

  records.clear();
  EXPECT_EQ(settings.ReadSettings(scratch.PathOf("missing.fgl")), kSettingsFileNotLoaded);
  ExpectSettings(settings, 1, 1, 90, 8);
  EXPECT_TRUE(records.empty());
}

TEST_F(FileGroupSettingsTest, WriteIntoADocumentReplacesInPlace) {
  CIniDocument document;
  document.SetSeparatorFlag(true);
  document.LoadFromBuffer(
      "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n\r\n[SettingsInfo]\r\nGroupMethod=3\r\n"
      "FileCount=1\r\nNoSubScan=Yes\r\n");
  CFileGroupSettings settings;
  settings.SetTimeoutSeconds(-5);
  settings.SetSerialMode(1);
  settings.SetFileCountTrigger(1);
  settings.SetFileCount(12);
  EXPECT_EQ(settings.WriteSettings(document), 0);
  EXPECT_EQ(document.SaveToBuffer(),
            "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n\r\n[SettingsInfo]\r\nGroupMethod=3\r\n"
            "FileCount=12\r\nNoSubScan=Yes\r\nTimeoutSeconds=-5\r\nSerialMode=1\r\nFileCountTrigger=1\r\n");

  CFileGroupSettings reread;
  reread.ReadSettings(document);
  ExpectSettings(reread, 1, 1, -5, 12);
}

TEST_F(FileGroupSettingsTest, WriteThroughAPathSavesTheFile) {
  const std::string path = scratch.PathOf("Job.fgl");
  WriteBytes(path, "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n");
  CFileGroupSettingsFNS settings;
  settings.SetFileCount(7);
  EXPECT_EQ(settings.WriteSettings(path), 0);
  EXPECT_EQ(ReadBytes(path),
            "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n\r\n[SettingsInfo]\r\nTimeoutSeconds=30\r\n"
            "SerialMode=0\r\nFileCountTrigger=0\r\nFileCount=7\r\n");
  EXPECT_EQ(settings.WriteSettings(scratch.PathOf("missing.fgl")), kSettingsFileNotLoaded);
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("missing.fgl")));
}

TEST_F(FileGroupSettingsTest, CopyingTakesAllFour) {
  CFileGroupSettingsFNS listSettings;
  listSettings.SetFileCountTrigger(1);
  listSettings.SetSerialMode(1);
  listSettings.SetTimeoutSeconds(5);
  listSettings.SetFileCount(2);
  CFileGroupSettings group;
  group.CopySettingsFrom(listSettings);
  ExpectSettings(group, 1, 1, 5, 2);
}

TEST_F(FileGroupSettingsTest, LoadTemplateOfAHotFolderOrKeepTheDefaults) {
  EXPECT_EQ(GroupTemplatePath("C:\\Quillet\\", "Standard"), "C:\\Quillet\\Config\\FilenameSetups\\Standard.fns");
  EXPECT_EQ(GroupTemplatePath("C:\\Quillet", "ByType"), "C:\\Quillet\\Config\\FilenameSetups\\ByType.fns");

  std::string host = PlaceTemplate("Standard", kTemplate);
  CFileGroupSettingsFNS settings;
  EXPECT_EQ(settings.LoadTemplate(host, "Standard"), 0);
  ExpectSettings(settings, 1, 0, 12, 3);
  EXPECT_EQ(records.size(), 5u);
  // The template stays in the own document.
  EXPECT_EQ(settings.document().GetValue("GroupId", "SEP_GROUP_OFFSET", ""), "0");

  host = PlaceTemplate("GroupByFileType", "[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=20\r\n");
  CFileGroupSettingsFNS byType;
  EXPECT_EQ(byType.LoadTemplate(host, "GroupByFileType"), 0);
  ExpectSettings(byType, 0, 0, 20, 4);

  records.clear();
  CFileGroupSettingsFNS missing;
  EXPECT_EQ(missing.LoadTemplate(scratch.folder.string(), "NoSuchScheme"), kSettingsFileNotLoaded);
  ExpectSettings(missing, 0, 0, 30, 4);
  EXPECT_TRUE(records.empty());
}

}  // namespace hf
