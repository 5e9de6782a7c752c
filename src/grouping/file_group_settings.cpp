// Group settings: reading, writing and logging of the four closing settings.
#include "grouping/file_group_settings.h"

#include "base/log.h"

namespace hf {

namespace {

// Keys of a group file's SettingsInfo section.
const char kTimeoutSecondsKey[] = "TimeoutSeconds";
const char kSerialModeKey[] = "SerialMode";
const char kFileCountTriggerKey[] = "FileCountTrigger";
const char kFileCountKey[] = "FileCount";

// The template section and keys of the same settings.
const char kTemplateGroupSection[] = "GroupId";
const char kTemplateTimeoutKey[] = "SEP_GROUP_TIMEOUT_SECONDS";
const char kTemplateCloseOnCountKey[] = "SEP_GROUP_CLOSE_ON_FILECOUNT";
const char kTemplateCloseCountKey[] = "SEP_GROUP_CLOSE_FILECOUNT";

constexpr int kDefaultFileCountTrigger = 0;
constexpr int kDefaultSerialMode = 0;
constexpr int kDefaultTimeoutSeconds = 30;
constexpr int kDefaultFileCount = 4;

}  // namespace

// ---- CFileGroupSettings ----

CFileGroupSettings::CFileGroupSettings()
    : fileCountTrigger_(kDefaultFileCountTrigger),
      serialMode_(kDefaultSerialMode),
      timeoutSeconds_(kDefaultTimeoutSeconds),
      fileCount_(kDefaultFileCount) {}

CFileGroupSettings::~CFileGroupSettings() = default;

int CFileGroupSettings::ReadSettings(const CIniDocument& document) {
  CGroupDocumentReader reader(document);
  reader.GetInteger(kSettingsInfoSection, kTimeoutSecondsKey, kDefaultTimeoutSeconds, timeoutSeconds_);
  reader.GetInteger(kSettingsInfoSection, kSerialModeKey, kDefaultSerialMode, serialMode_);
  reader.GetInteger(kSettingsInfoSection, kFileCountTriggerKey, kDefaultFileCountTrigger, fileCountTrigger_);
  reader.GetInteger(kSettingsInfoSection, kFileCountKey, kDefaultFileCount, fileCount_);
  LogSettings();
  return 0;
}

int CFileGroupSettings::ReadSettings(const std::string& path) {
  CIniDocument temporary;
  if (!temporary.Load(path)) return kSettingsFileNotLoaded;
  return ReadSettings(temporary);
}

int CFileGroupSettings::ReadSettings() { return ReadSettings(document()); }

int CFileGroupSettings::WriteSettings(CIniDocument& document) {
  CGroupDocument writer(document);
  writer.SetInteger(kSettingsInfoSection, kTimeoutSecondsKey, timeoutSeconds_);
  writer.SetInteger(kSettingsInfoSection, kSerialModeKey, serialMode_);
  writer.SetInteger(kSettingsInfoSection, kFileCountTriggerKey, fileCountTrigger_);
  writer.SetInteger(kSettingsInfoSection, kFileCountKey, fileCount_);
  return 0;
}

// A write through a path that left the file untouched would be a silent no-op,
// so the temporary document is saved back.
int CFileGroupSettings::WriteSettings(const std::string& path) {
  CIniDocument temporary;
  if (!temporary.Load(path)) return kSettingsFileNotLoaded;
  int result = WriteSettings(temporary);
  if (result != 0) return result;
  return temporary.Save() ? 0 : kSettingsFileNotLoaded;
}

int CFileGroupSettings::WriteSettings() { return WriteSettings(document()); }

void CFileGroupSettings::LogSettings() const {
  Log(LogLevel::kTrace, "LogSettings()");
  Log(LogLevel::kTrace, "%s = %d", kTimeoutSecondsKey, timeoutSeconds_);
  Log(LogLevel::kTrace, "%s = %d", kSerialModeKey, serialMode_);
  Log(LogLevel::kTrace, "%s = %d", kFileCountTriggerKey, fileCountTrigger_);
  Log(LogLevel::kTrace, "%s = %d", kFileCountKey, fileCount_);
}

void CFileGroupSettings::CopySettingsFrom(const CFileGroupSettings& other) {
  fileCountTrigger_ = other.fileCountTrigger_;
  serialMode_ = other.serialMode_;
  timeoutSeconds_ = other.timeoutSeconds_;
  fileCount_ = other.fileCount_;
}

// ---- CFileGroupSettingsFNS ----

CFileGroupSettingsFNS::CFileGroupSettingsFNS() = default;

CFileGroupSettingsFNS::~CFileGroupSettingsFNS() = default;

int CFileGroupSettingsFNS::ReadSettings(const CIniDocument& document) {
  CGroupDocumentReader reader(document);
  int value = 0;
  reader.GetInteger(kTemplateGroupSection, kTemplateTimeoutKey, kDefaultTimeoutSeconds, value);
  SetTimeoutSeconds(value);
  reader.GetInteger(kTemplateGroupSection, kTemplateCloseOnCountKey, kDefaultFileCountTrigger, value);
  SetFileCountTrigger(value);
  reader.GetInteger(kTemplateGroupSection, kTemplateCloseCountKey, kDefaultFileCount, value);
  SetFileCount(value);
  LogSettings();
  return 0;
}

// The remaining slots behave as the base ones; the reads through a path or the
// own document reach the template reader above by virtual dispatch.
int CFileGroupSettingsFNS::ReadSettings(const std::string& path) { return CFileGroupSettings::ReadSettings(path); }
int CFileGroupSettingsFNS::ReadSettings() { return CFileGroupSettings::ReadSettings(); }
int CFileGroupSettingsFNS::WriteSettings(CIniDocument& document) { return CFileGroupSettings::WriteSettings(document); }
int CFileGroupSettingsFNS::WriteSettings(const std::string& path) { return CFileGroupSettings::WriteSettings(path); }
int CFileGroupSettingsFNS::WriteSettings() { return CFileGroupSettings::WriteSettings(); }

int CFileGroupSettingsFNS::LoadTemplate(const std::string& hostProgramFolder, const std::string& templateName) {
  if (!document().Load(GroupTemplatePath(hostProgramFolder, templateName))) return kSettingsFileNotLoaded;
  return ReadSettings();
}

std::string GroupTemplatePath(const std::string& hostProgramFolder, const std::string& templateName) {
  std::string path = hostProgramFolder;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path.push_back('\\');
  path.append("Config\\FilenameSetups\\");
  path.append(templateName);
  path.append(".fns");
  return path;
}

}  // namespace hf
