// The group list of a hot folder: set-up, the offer of each arriving file to
// the open groups, group creation and removal, and the list's end.
#include "grouping/win32/file_group_list.h"
#include "base/ascii.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <mutex>
#include <new>

namespace hf {

namespace {

constexpr int kCloseWaitSteps = 100;  // of 100 ms: the monitors' 10 s
constexpr DWORD kCloseWaitStepMs = 100;
constexpr DWORD kThreadEndWaitMs = 10000;
constexpr int kSaveAttempts = 50;  // of 100 ms: a reader holds a group file briefly
constexpr DWORD kSaveRetryMs = 100;

using Hold = std::lock_guard<CCriticalSection>;

}  // namespace

CFileGroupList::CFileGroupList() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  createdAt_ = static_cast<uint32_t>(ticks / 10000);  // 100 ns ticks to milliseconds
}

// Every monitor thread is waited for outside the list's lock (a monitor
// closing its group takes the lock to remove it), so that none is still
// running, or calls back into the list, once the list is gone.
CFileGroupList::~CFileGroupList() {
  {
    Hold hold(lock_);
    for (CFileGroup* group : groups_) group->CloseGroup();
  }
  for (int step = 0; step < kCloseWaitSteps; ++step) {
    {
      Hold hold(lock_);
      if (groups_.empty()) break;
    }
    WaitMilliseconds(kCloseWaitStepMs);
  }
  {
    Hold hold(lock_);
    abandoned_.swap(groups_);
  }
  // One time budget for all the monitors that are late.
  const DWORD started = ::GetTickCount();
  for (CFileGroup* group : abandoned_) {
    const DWORD spent = ::GetTickCount() - started;
    FinishAbandonedGroup(group, spent < kThreadEndWaitMs ? kThreadEndWaitMs - spent : 0);
  }
  {
    Hold hold(lock_);
    abandoned_.clear();
  }
  WaitForEndingThreads();
  analyser_.reset();
}

void CFileGroupList::FinishAbandonedGroup(CFileGroup* group, DWORD waitMs) {
  Log(LogLevel::kError, "Group <%s> was not closed by its monitor in time - ending the monitor", group->name().c_str());
  ScopedHandle thread = group->TakeMonitorThread();
  if (thread && ::WaitForSingleObject(thread.get(), waitMs) != WAIT_OBJECT_0) {
    // A monitor that does not end at all is stopped: it holds none of our locks now.
    ::TerminateThread(thread.get(), 1);
    ::WaitForSingleObject(thread.get(), kThreadEndWaitMs);
  }
  // Its files are in its folder: the group file is written all the same,
  // so that the group is handed over once the folder is watched again.
  group->CloseGroupFileHandle();
  if (!group->undone() && !SaveGroupFile(*group))
    Log(LogLevel::kError, "Group file <%s> could not be written", group->groupFile().c_str());
  delete group;
}

void CFileGroupList::WaitForEndingThreads() {
  // Monitors that have removed their groups may still be on their way out;
  // they touch the list no more, but their code must not be unloaded under them.
  const DWORD started = ::GetTickCount();
  for (;;) {
    std::vector<ScopedHandle> ending;
    {
      Hold hold(lock_);
      ending.swap(endingThreads_);
    }
    if (ending.empty()) return;
    for (ScopedHandle& thread : ending) {
      // A monitor's last step (giving back its module reference) may be what
      // unloads the library and ends this list: it does not wait for itself.
      if (::GetThreadId(thread.get()) == ::GetCurrentThreadId()) continue;
      const DWORD spent = ::GetTickCount() - started;
      ::WaitForSingleObject(thread.get(), spent < kThreadEndWaitMs ? kThreadEndWaitMs - spent : 0);
    }
  }
}

GroupStatus CFileGroupList::SetUpGrouping(const std::string&, const std::string& templateName,
                                          CColourInfo* colourInfo) {
  return SetUpGroupingIn(HostProgramFolder(), templateName, colourInfo);
}

GroupStatus CFileGroupList::SetUpGroupingIn(const std::string& hostProgramFolder, const std::string& templateName,
                                            CColourInfo* colourInfo) {
  templateName_ = templateName;
  colourInfo_ = colourInfo;
  method_ = EqualsIgnoringAsciiCase(templateName, kGroupByFileTypeTemplate) ? kGroupMethodFileType
                                                                            : kGroupMethodFilenameScheme;
  templatePath_ = GroupTemplatePath(hostProgramFolder, templateName);
  return settings_.LoadTemplate(hostProgramFolder, templateName) == 0 ? GroupStatus::kOk
                                                                      : GroupStatus::kTemplateNotLoaded;
}

std::string CFileGroupList::MakeUniqueGroupName() {
  if (uniqueNames_ == 0) return std::string();
  Hold hold(lock_);
  // Process, thread and list say which list made the group; the list's
  // creation time keeps names apart across restarts, which reuse the others.
  char name[64];
  std::snprintf(name, sizeof name, "%s%04lx-%04lx-%08lx-%08lx-%04x", "$$",
                static_cast<unsigned long>(::GetCurrentProcessId()), static_cast<unsigned long>(::GetCurrentThreadId()),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(this)), static_cast<unsigned long>(createdAt_),
                static_cast<unsigned>(nameCounter_));
  ++nameCounter_;
  return name;
}

bool CFileGroupList::AnalyseFile(const std::string& name) {
  Log(LogLevel::kDetail, "Analysing file %s", name.c_str());
  Hold hold(lock_);
  if (!analyser_) {
    analyser_.reset(new (std::nothrow) CFilenameAnalyser());
    if (!analyser_) {
      Log(LogLevel::kError, "Failed to create analyser object");
      return false;
    }
  }
  analyser_->SetRequireCatalogueMatch(false);
  analyser_->SetColourInfo(colourInfo_);
  analyser_->ReadTemplate(templatePath_);
  const bool analysed = analyser_->Analyse(name);
  Log(LogLevel::kDetail, "Analyse %s returned %s", name.c_str(), analysed ? "true" : "false");
  return analysed;
}

GroupStatus CFileGroupList::AddFile(const std::string& fileName, const std::string& sourceFolder, std::string& outPath,
                                    CFileGroup*& outGroup, const std::function<void(CFileGroup&)>& whileTaken) {
  outPath.clear();
  outGroup = nullptr;
  Log(LogLevel::kTrace, "AddFile(%s, %s)", fileName.c_str(), sourceFolder.c_str());
  const std::string extension = GetExtension(fileName);
  if (method_ == kGroupMethodFilenameScheme && !EqualsIgnoringAsciiCase(extension, ".tif")) {
    Log(LogLevel::kDetail, "Purported TIFF file %s has non-TIFF extension", fileName.c_str());
    return GroupStatus::kWrongExtension;
  }
  if (method_ == kGroupMethodFileType && !EqualsIgnoringAsciiCase(extension, ".pdf")) {
    Log(LogLevel::kDetail, "Purported PDF file %s has non-PDF extension.", fileName.c_str());
    return GroupStatus::kWrongExtension;
  }
  if (method_ == kGroupMethodFilenameScheme) {
    if (!AnalyseFile(RemoveExtension(fileName))) {
      Log(LogLevel::kDetail, "Failed to analyse file %s", fileName.c_str());
      return GroupStatus::kNotAnalysed;
    }
  } else if (method_ != kGroupMethodFileType) {
    return GroupStatus::kNotAnalysed;
  }

  Hold hold(lock_);
  ForgetEndedThreads();
  Log(LogLevel::kDetail, "%d Group(s) to compare with - check for a match", static_cast<int>(groups_.size()));
  // Monitors remove groups only under the lock, so the array holds still here.
  for (CFileGroup* group : groups_) {
    if (!group->AcceptsFiles()) {
      Log(LogLevel::kDetail, "Group <%s> is closing - not compared", group->name().c_str());
      continue;
    }
    const bool matches = method_ == kGroupMethodFilenameScheme
                             ? static_cast<CFileGroupFNS*>(group)->MatchesFile(fileName)
                             : static_cast<CFileGroupByType*>(group)->MatchesFile(extension, fileName);
    if (matches) {
      Log(LogLevel::kDetail, "Found match - adding to group");
      GroupStatus result = group->AddFileToGroup(fileName, sourceFolder, outPath);
      if (result == GroupStatus::kOk) {
        outGroup = group;
        if (whileTaken) whileTaken(*group);
        return GroupStatus::kOk;
      }
      Log(LogLevel::kDetail, "Add failed - treat as standalone file");
      TriggerRemoval(group->name());
      outPath.clear();
      return result;
    }
    if (settings_.serialMode() != 0) {
      Log(LogLevel::kDetail, "In Serial Mode");
      TriggerRemoval(group->name());
    }
  }
  return StartNewGroup(fileName, sourceFolder, outPath, outGroup, whileTaken);
}

std::unique_ptr<CFileGroup> CFileGroupList::CreateGroup() {
  if (method_ == kGroupMethodFilenameScheme) return std::unique_ptr<CFileGroup>(new (std::nothrow) CFileGroupFNS(this));
  return std::unique_ptr<CFileGroup>(new (std::nothrow) CFileGroupByType(this));
}

// The lock is held.
GroupStatus CFileGroupList::StartNewGroup(const std::string& fileName, const std::string& sourceFolder,
                                          std::string& outPath, CFileGroup*& outGroup,
                                          const std::function<void(CFileGroup&)>& whileTaken) {
  Log(LogLevel::kDetail, "Creating new Group");
  std::unique_ptr<CFileGroup> group = CreateGroup();
  if (!group) {
    Log(LogLevel::kDetail, "new CFileGroup failed");
    return GroupStatus::kNotCreated;
  }
  GroupStatus result = method_ == kGroupMethodFilenameScheme
                           ? static_cast<CFileGroupFNS*>(group.get())->NewGroup(fileName, sourceFolder, outPath)
                           : static_cast<CFileGroupByType*>(group.get())->NewGroup(fileName, sourceFolder, outPath);
  if (result != GroupStatus::kOk) {
    Log(LogLevel::kDetail, "NewGroup(%s) failed", fileName.c_str());
    outPath.clear();
    if (!group->name().empty() && group->monitorThread() != nullptr) {
      TriggerRemoval(group->name());  // it is not in the list: "Remove group failed"
      // Its monitor ends at once rather than after the time-out, and deletes it.
      group->CloseGroup();
      group.release();
    } else {
      RemoveGroup(group.release());
    }
    return result;
  }

  Log(LogLevel::kDetail, "Adding group to list");
  try {
    groups_.push_back(group.get());
  } catch (const std::exception& error) {
    Log(LogLevel::kDetail, "Failed to add file group to list - %s", error.what());
    TriggerRemoval(group->name());
    // The file is in the group's folder: it goes back and stands alone.
    if (group->UndoGrouping()) group->DiscardGroupFileAndFolder();
    group->CloseGroup();
    group.release();  // its monitor deletes it
    outPath.clear();
    return GroupStatus::kNotListed;
  }
  outGroup = group.release();
  if (whileTaken) whileTaken(*outGroup);
  return GroupStatus::kOk;
}

int CFileGroupList::TriggerRemoval(const std::string& groupName) {
  Log(LogLevel::kTrace, "Triggering removal of group <%s>", groupName.c_str());
  Hold hold(lock_);
  for (CFileGroup* group : groups_) {
    if (group->name() == groupName) {
      group->CloseGroup();
      return 0;
    }
  }
  Log(LogLevel::kDetail, "Remove group failed");
  return 0;
}

bool CFileGroupList::SaveGroupFile(CFileGroup& group) {
  for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
    if (attempt > 0) WaitMilliseconds(kSaveRetryMs);
    if (group.document().SaveAs(group.groupFile())) return true;
  }
  return false;
}

int CFileGroupList::RemoveGroup(CFileGroup* group) {
  if (group != nullptr && !group->name().empty())
    Log(LogLevel::kTrace, "Removing group <%s> from list", group->name().c_str());
  Hold hold(lock_);
  if (std::find(abandoned_.begin(), abandoned_.end(), group) != abandoned_.end()) {
    Log(LogLevel::kDetail, "Group <%s> was taken over as its list closed", group->name().c_str());
    return 0;
  }
  auto found = std::find(groups_.begin(), groups_.end(), group);
  if (group != nullptr && found != groups_.end()) {
    Log(LogLevel::kTrace, "Closing GroupFile <%s>", group->groupFile().c_str());
    // The held group file is closed first: a file that is open cannot be
    // replaced in one step.
    group->CloseGroupFileHandle();
    if (!group->undone() && !SaveGroupFile(*group)) {
      // Without its group file the group cannot be handed over: its files go
      // back to the hot folder and are handed over on their own.
      Log(LogLevel::kError, "Group file <%s> could not be written - its files are returned to the hot folder",
          group->groupFile().c_str());
      if (group->UndoGrouping()) group->DiscardGroupFileAndFolder();
    }
    groups_.erase(found);
  } else {
    Log(LogLevel::kDetail, "Deleted group was not in the list");
  }
  if (group != nullptr) {
    ScopedHandle thread = group->TakeMonitorThread();
    if (thread) endingThreads_.push_back(std::move(thread));
    delete group;
  }
  return 0;
}

bool CFileGroupList::WithOpenGroup(CFileGroup* group, const std::function<void(CFileGroup&)>& action) {
  Hold hold(lock_);
  if (group == nullptr || std::find(groups_.begin(), groups_.end(), group) == groups_.end()) return false;
  action(*group);
  return true;
}

size_t CFileGroupList::GroupCount() {
  Hold hold(lock_);
  return groups_.size();
}

void CFileGroupList::ForgetEndedThreads() {
  endingThreads_.erase(std::remove_if(endingThreads_.begin(), endingThreads_.end(),
                                      [](const ScopedHandle& thread) {
                                        return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
                                      }),
                       endingThreads_.end());
}

}  // namespace hf
