// Group settings: defaults, reading from a group file versus a template,
// writing, the log lines, and loading a hot folder's template.
#include "grouping/file_group_settings.h"

#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace hf {

namespace {

// Trigger, serial mode, timeout and count, in the order the group file lists them.
std::vector<int> Settings(const CFileGroupSettings& settings) {
  return {settings.fileCountTrigger(), settings.serialMode(), settings.timeoutSeconds(), settings.fileCount()};
}

const char kGroupFile[] =
    "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n\r\n"
    "[SettingsInfo]\r\nTimeoutSeconds=90\r\nSerialMode=1\r\nFileCountTrigger=1\r\nFileCount=8\r\nGroupMethod=2\r\n\r\n"
    "[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=45\r\nSEP_GROUP_CLOSE_ON_FILECOUNT=0\r\nSEP_GROUP_CLOSE_FILECOUNT=6\r\n";

const char kTemplate[] =
    "; separations: <job>_<colour>.tif\n[GroupId]\nSEP_GROUP_OFFSET=0\nSEP_GROUP_TIMEOUT_SECONDS = 12\nSerialMode=1\n"
    "SEP_GROUP_CLOSE_ON_FILECOUNT=1\nSEP_GROUP_CLOSE_FILECOUNT=3\n[SettingsInfo]\nSerialMode=1\n";

}  // namespace

TEST(FileGroupSettings, GroupFileReadsSettingsInfoTemplateReadsGroupIdButNeverSerialModeAndBothLog) {
  LogCapture log;
  CIniDocument document;
  document.LoadFromBuffer(kGroupFile);
  CFileGroupSettings settings;
  EXPECT_EQ(settings.ReadSettings(document), 0);
  EXPECT_EQ(Settings(settings), (std::vector<int>{1, 1, 90, 8}));
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "LogSettings()"}, {3, "TimeoutSeconds = 90"}, {3, "SerialMode = 1"},
                                             {3, "FileCountTrigger = 1"}, {3, "FileCount = 8"}}));
  CFileGroupSettingsFNS fromTemplate;
  fromTemplate.SetSerialMode(1);
  EXPECT_EQ(fromTemplate.ReadSettings(document), 0);  // the same group file read as a template
  EXPECT_EQ(Settings(fromTemplate), (std::vector<int>{0, 1, 45, 6}));
  EXPECT_EQ(log.lines.size(), 10u);
  document.LoadFromBuffer(kTemplate);
  EXPECT_EQ(fromTemplate.ReadSettings(document), 0);
  EXPECT_EQ(Settings(fromTemplate), (std::vector<int>{1, 1, 12, 3}));

  // Missing or empty keys give the defaults.
  document.LoadFromBuffer("[GroupId]\nSEP_GROUP_TIMEOUT_SECONDS=\n[SettingsInfo]\nGroupMethod=3\nFileCount=\n");
  fromTemplate.ReadSettings(document);
  EXPECT_EQ(Settings(fromTemplate), (std::vector<int>{0, 1, 30, 4}));
  settings.ReadSettings(document);
  EXPECT_EQ(Settings(settings), (std::vector<int>{0, 0, 30, 4}));
}

TEST(FileGroupSettings, ReadThroughAPathOrTheOwnDocumentReachesTheTemplateReader) {
  ScratchFolder scratch("hf_group_settings_");
  const std::string path = scratch.Write("Job.fgl", kGroupFile);
  CFileGroupSettings settings;
  EXPECT_EQ(settings.ReadSettings(path), 0);
  EXPECT_EQ(Settings(settings), (std::vector<int>{1, 1, 90, 8}));
  EXPECT_EQ(settings.document().SectionCount(), 0u);  // a temporary document was used
  EXPECT_EQ(settings.ReadSettings(scratch.PathOf("missing.fgl")), kSettingsFileNotLoaded);
  EXPECT_EQ(Settings(settings), (std::vector<int>{1, 1, 90, 8}));

  CFileGroupSettingsFNS fromTemplate;
  CFileGroupSettings& asBase = fromTemplate;
  EXPECT_EQ(asBase.ReadSettings(path), 0);
  EXPECT_EQ(Settings(fromTemplate), (std::vector<int>{0, 0, 45, 6}));
  fromTemplate.document().LoadFromBuffer(kTemplate);
  EXPECT_EQ(asBase.ReadSettings(), 0);
  EXPECT_EQ(Settings(fromTemplate), (std::vector<int>{1, 0, 12, 3}));
  CFileGroupSettings copy;
  copy.CopySettingsFrom(fromTemplate);
  EXPECT_EQ(Settings(copy), (std::vector<int>{1, 0, 12, 3}));
}

TEST(FileGroupSettings, DefaultsWriteReplacesInPlaceAndThroughAPathSavesTheFile) {
  LogCapture log;
  CFileGroupSettings defaults;
  EXPECT_EQ(Settings(defaults), (std::vector<int>{0, 0, 30, 4}));
  EXPECT_EQ(defaults.WriteSettings(), 0);  // into the own document, with equals signs
  EXPECT_EQ(defaults.document().SaveToBuffer(),
            "[SettingsInfo]\r\nTimeoutSeconds=30\r\nSerialMode=0\r\nFileCountTrigger=0\r\nFileCount=4\r\n");
  EXPECT_TRUE(log.lines.empty());  // writing does not log
  CIniDocument document;
  document.LoadFromBuffer("[SettingsInfo]\r\nGroupMethod=3\r\nFileCount=1\r\nNoSubScan=Yes\r\n");
  CFileGroupSettings settings;
  settings.SetTimeoutSeconds(-5);
  settings.SetSerialMode(1);
  settings.SetFileCountTrigger(1);
  settings.SetFileCount(12);
  EXPECT_EQ(settings.WriteSettings(document), 0);
  EXPECT_EQ(document.SaveToBuffer(),
            "[SettingsInfo]\r\nGroupMethod=3\r\nFileCount=12\r\nNoSubScan=Yes\r\nTimeoutSeconds=-5\r\nSerialMode=1\r\n"
            "FileCountTrigger=1\r\n");

  ScratchFolder scratch("hf_group_settings_");
  const std::string path = scratch.Write("Job.fgl", "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n");
  CFileGroupSettingsFNS fromTemplate;
  fromTemplate.SetFileCount(7);
  EXPECT_EQ(fromTemplate.WriteSettings(path), 0);
  EXPECT_EQ(scratch.Read("Job.fgl"),
            "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\Job\r\n\r\n[SettingsInfo]\r\nTimeoutSeconds=30\r\n"
            "SerialMode=0\r\nFileCountTrigger=0\r\nFileCount=7\r\n");
  EXPECT_EQ(fromTemplate.WriteSettings(scratch.PathOf("missing.fgl")), kSettingsFileNotLoaded);
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("missing.fgl")));
}

TEST(FileGroupSettings, LoadTemplateOfAHotFolderOrKeepTheDefaults) {
  EXPECT_EQ(GroupTemplatePath("C:\\Quillet\\", "Standard"), "C:\\Quillet\\Config\\FilenameSetups\\Standard.fns");
  EXPECT_EQ(GroupTemplatePath("C:\\Quillet", "ByType"), "C:\\Quillet\\Config\\FilenameSetups\\ByType.fns");
  // Natively the template path keeps its backslashes inside one file name.
  ScratchFolder scratch("hf_group_settings_");
  const std::string host = scratch.folder.string() + static_cast<char>(std::filesystem::path::preferred_separator);
#ifdef _WIN32
  std::filesystem::create_directories(scratch.folder / "Config" / "FilenameSetups");
#endif
  scratch.Write(GroupTemplatePath("", "Standard"), kTemplate);
  CFileGroupSettingsFNS settings;
  EXPECT_EQ(settings.LoadTemplate(host, "Standard"), 0);
  EXPECT_EQ(Settings(settings), (std::vector<int>{1, 0, 12, 3}));
  EXPECT_EQ(settings.document().GetValue("GroupId", "SEP_GROUP_OFFSET", ""), "0");  // kept in the own document
  CFileGroupSettingsFNS missing;
  EXPECT_EQ(missing.LoadTemplate(host, "NoSuchScheme"), kSettingsFileNotLoaded);
  EXPECT_EQ(Settings(missing), (std::vector<int>{0, 0, 30, 4}));
}

}  // namespace hf
