// CFileGroupSettings: the four settings that decide when an open group is
// closed (file count trigger, serial mode, time-out, file count), read from
// and written to the SettingsInfo section of a group file; and
// CFileGroupSettingsFNS, which reads them from a filename-scheme template.
#pragma once

#include "grouping/file_group_common.h"

#include <string>

namespace hf {

// A template or group file that could not be loaded.
constexpr int kSettingsFileNotLoaded = 17;

class CFileGroupSettings : public CFileGroupCommon {
 public:
  // Defaults: FileCountTrigger 0, SerialMode 0, TimeoutSeconds 30, FileCount 4.
  CFileGroupSettings();
  ~CFileGroupSettings() override;

  // The virtual operations keep this order (slot 0 is the destructor).
  // Reads SettingsInfo (missing or empty keys give the defaults), logs; 0.
  virtual int ReadSettings(const CIniDocument& document);
  // Loads the file into a temporary document and reads that; 17 when it
  // cannot be loaded (the settings are then unchanged).
  virtual int ReadSettings(const std::string& path);
  // Reads the own group document.
  virtual int ReadSettings();
  // Sets the four keys of SettingsInfo in memory; 0.
  virtual int WriteSettings(CIniDocument& document);
  // Loads the file, sets the keys and saves it again; 17 when it cannot be
  // loaded or saved.
  virtual int WriteSettings(const std::string& path);
  // Writes into the own group document (in memory).
  virtual int WriteSettings();
  // Five level-3 lines: "LogSettings()" and "<key> = <value>" per setting.
  virtual void LogSettings() const;

  // Takes the four settings of another object (a new group takes its list's).
  void CopySettingsFrom(const CFileGroupSettings& other);

  int fileCountTrigger() const { return fileCountTrigger_; }
  int serialMode() const { return serialMode_; }
  int timeoutSeconds() const { return timeoutSeconds_; }
  int fileCount() const { return fileCount_; }
  void SetFileCountTrigger(int value) { fileCountTrigger_ = value; }
  void SetSerialMode(int value) { serialMode_ = value; }
  void SetTimeoutSeconds(int value) { timeoutSeconds_ = value; }
  void SetFileCount(int value) { fileCount_ = value; }

 private:
  int fileCountTrigger_;
  int serialMode_;
  int timeoutSeconds_;
  int fileCount_;
};

// The settings of a hot folder that groups: read from the GroupId section of
// its filename-scheme template (SEP_GROUP_TIMEOUT_SECONDS,
// SEP_GROUP_CLOSE_ON_FILECOUNT, SEP_GROUP_CLOSE_FILECOUNT). SerialMode is not
// in a template and keeps its value.
class CFileGroupSettingsFNS : public CFileGroupSettings {
 public:
  CFileGroupSettingsFNS();
  ~CFileGroupSettingsFNS() override;

  int ReadSettings(const CIniDocument& document) override;
  int ReadSettings(const std::string& path) override;
  int ReadSettings() override;
  int WriteSettings(CIniDocument& document) override;
  int WriteSettings(const std::string& path) override;
  int WriteSettings() override;

  // Loads the template of a hot folder into the own group document and reads
  // the settings from it; 17 when the template cannot be loaded. The template
  // is <hostProgramFolder>\Config\FilenameSetups\<templateName>.fns (also for
  // the "GroupByFileType" template).
  int LoadTemplate(const std::string& hostProgramFolder, const std::string& templateName);
};

// <hostProgramFolder>\Config\FilenameSetups\<templateName>.fns; a backslash
// is put after the folder when it does not end with one.
std::string GroupTemplatePath(const std::string& hostProgramFolder, const std::string& templateName);

}  // namespace hf
