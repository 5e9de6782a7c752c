// CFileGroupList: the open groups of one hot folder that groups separations,
// with the folder's group settings, the filename analyser and the lock that
// guards every match, creation and removal of a group.
#pragma once

#include "base/win32/critical_section.h"
#include "base/win32/scoped_handle.h"
#include "grouping/colours/colour_info.h"
#include "grouping/file_group_common.h"
#include "grouping/file_group_settings.h"
#include "grouping/scheme/filename_analyser.h"
#include "grouping/win32/file_group.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hf {

// The template name that selects grouping by file type.
constexpr const char kGroupByFileTypeTemplate[] = "GroupByFileType";

class CFileGroupList : public CFileGroupCommon {
 public:
  CFileGroupList();
  // Closes every group and waits up to 10 s (100 ms steps) for the monitors to
  // save and remove them; a group still there after that has its monitor
  // terminated, its document saved and is deleted. Then waits for the monitor
  // threads to end (at most 10 s more).
  ~CFileGroupList() override;

  // Method 3 when the template name is "GroupByFileType" (case ignored), else
  // 2; loads <host program folder>\Config\FilenameSetups\<name>.fns into the
  // settings. 0, or kTemplateNotLoaded. The hot folder path is not used.
  GroupStatus SetUpGrouping(const std::string& hotFolderPath, const std::string& templateName, CColourInfo* colourInfo);
  // As SetUpGrouping, with the host program folder given.
  GroupStatus SetUpGroupingIn(const std::string& hostProgramFolder, const std::string& templateName,
                              CColourInfo* colourInfo);

  // Offers a PDF (method 3) or TIFF (method 2) file in `sourceFolder` to the
  // groups. 0 when it was moved into a group (`outPath` its new path, `outGroup`
  // the group); otherwise it stays where it is: kWrongExtension,
  // kNotAnalysed, kNotCreated, kNotListed or the failure of the
  // group's creation or addition. `outGroup` only identifies the group: its
  // monitor may close and delete it as soon as AddFile returns, so it is
  // reached afterwards only through WithOpenGroup. `whileTaken`, when given,
  // runs on the group under the lock once the file is in it: the group's
  // monitor cannot have closed and removed it yet, even when this file
  // completed it.
  GroupStatus AddFile(const std::string& fileName, const std::string& sourceFolder, std::string& outPath,
                      CFileGroup*& outGroup, const std::function<void(CFileGroup&)>& whileTaken = nullptr);

  // "$$<process>-<thread>-<list>-<counter>" in hex (4, 4, 8 and 4 digits at
  // least) when unique names are on, else empty. Counts up.
  std::string MakeUniqueGroupName();

  // Analyses a file name (without extension) by the template; the results
  // stay in the analyser for the groups' matches.
  bool AnalyseFile(const std::string& name);

  // Closes the first group of that name (case-sensitive); logs "Remove group
  // failed" when there is none. 0.
  int TriggerRemoval(const std::string& groupName);

  // Takes the group out of the list, saves its document over its group file
  // (not for an undone group) and deletes it. 0.
  int RemoveGroup(CFileGroup* group);

  // Runs `action` under the lock when `group` is still open in this list;
  // false when it is not (its monitor has removed it meanwhile).
  bool WithOpenGroup(CFileGroup* group, const std::function<void(CFileGroup&)>& action);

  // Open groups now.
  size_t GroupCount();

  CFileGroupSettingsFNS& settings() { return settings_; }
  const CFileGroupSettingsFNS& settings() const { return settings_; }
  CFilenameAnalyser* analyser() { return analyser_.get(); }
  CColourInfo* colourInfo() const { return colourInfo_; }
  const std::string& templateName() const { return templateName_; }
  const std::string& templatePath() const { return templatePath_; }
  int method() const { return method_; }
  int uniqueNames() const { return uniqueNames_; }
  void SetUniqueNames(int value) { uniqueNames_ = value; }

  CCriticalSection& lock() { return lock_; }

 private:
  std::unique_ptr<CFileGroup> CreateGroup();
  GroupStatus StartNewGroup(const std::string& fileName, const std::string& sourceFolder, std::string& outPath,
                            CFileGroup*& outGroup, const std::function<void(CFileGroup&)>& whileTaken);
  // Closes the handles of monitor threads that have ended.
  void ForgetEndedThreads();
  // The destructor's steps: a group whose monitor did not close it in time is
  // ended and written here; then the monitors on their way out are waited for.
  void FinishAbandonedGroup(CFileGroup* group, DWORD waitMs);
  void WaitForEndingThreads();
  // Saves a group's document over its group file, retrying for a while when
  // the file is briefly held by a reader. False when it could not be saved.
  static bool SaveGroupFile(CFileGroup& group);

  CFileGroupSettingsFNS settings_;
  CColourInfo* colourInfo_ = nullptr;
  std::unique_ptr<CFilenameAnalyser> analyser_;
  std::vector<CFileGroup*> groups_;  // open groups, in order of creation; owned
  CCriticalSection lock_;
  std::string templateName_;
  std::string templatePath_;
  int method_ = kGroupMethodFilenameScheme;
  int uniqueNames_ = 0;
  int nameCounter_ = 1;
  uint32_t createdAt_ = 0;  // milliseconds of the system clock, low 32 bits
  // Monitor threads whose groups are gone, kept until the threads have ended.
  std::vector<ScopedHandle> endingThreads_;
  // Groups the destructor took over from monitors that did not close them in
  // time: a late monitor's RemoveGroup leaves them to the destructor.
  std::vector<CFileGroup*> abandoned_;
};

}  // namespace hf
