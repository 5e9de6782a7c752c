// The scan cycle and the steps taken for each directory entry.
#include "hotfolder/scanner/timer_action.h"
#include "base/format.h"

#include "base/leading_integer.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "formats/job_type.h"
#include "host/message_handover.h"
#include "host/zu_ini_file.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/services/grouping_service.h"
#include "hotfolder/services/job_intake_service.h"
#include "hotfolder/services/preview_service.h"
#include "hotfolder/sluicegate_app.h"
#include "jobs/clean_file_name.h"
#include "jobs/win32/file_admission.h"
#include "jobs/win32/file_size_and_type.h"
#include "scripting/win32/scripting_service.h"

#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace hf {

namespace {

constexpr const char* kIniSection = "HFA";
constexpr int kDefaultFileLoopLimit = 20;
constexpr int kDefaultPreviewFileLoopLimit = 5;

// The resource ID of a file: the performance counter now, in lowercase hex.
// A report made while walking a folder went into the scanner's block: it
// belongs to the folder's task, whose host takes it at its next poll.
void QueueBlockReport(PluginParameters* block, CHotFolder& folder) {
  if (block == nullptr) return;
  if (std::optional<BlockReport> report = TakeBlockReport(*block)) folder.QueueReport(std::move(*report));
}

std::string NewResourceId() {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  char text[24];
  FormatInto(text, sizeof text, "%llx", static_cast<unsigned long long>(counter.QuadPart));
  return text;
}

CLinkedFileList* NewSpareItem() {
  CLinkedFileList* item = new (std::nothrow) CLinkedFileList();
  if (item != nullptr) item->Initialise();
  return item;
}

// A loop limit of section HFA. Missing: the default; 0, negative or not a
// number would stop every hand-over, so the default is used then too, logged
// once for each value met.
int LoopLimit(const char* key, int defaultValue) {
  const std::string text = TheIniFile().GetString(kIniSection, key, "");
  if (text.empty()) return defaultValue;
  const int value = static_cast<int>(LeadingInteger(text));
  if (value > 0) return value;
  static std::mutex lock;
  static std::set<std::string> reported;
  std::lock_guard<std::mutex> hold(lock);
  if (reported.insert(std::string(key) + "=" + text).second)
    Log(LogLevel::kError, "HFA: %s=%s is not a usable limit; %d is used.", key, text.c_str(), defaultValue);
  return defaultValue;
}

// One folder's walk over its listing, building the folder's found-file list.
class FolderWalk {
 public:
  FolderWalk(PluginParameters* params, CHotFolder& folder, CLinkedFileList* firstSpare)
      : params_(params), folder_(folder), spare_(firstSpare) {
    fileLoopLimit_ = LoopLimit("FileLoopLimit", kDefaultFileLoopLimit);
    previewLoopLimit_ = LoopLimit("PreviewFileLoopLimit", kDefaultPreviewFileLoopLimit);
  }

  // Processes the entries from `entry` on until the listing or a limit ends
  // the walk, or the scanner is asked to stop.
  void Run(HANDLE listing, WIN32_FIND_DATAA& entry, const ScannerState& scanner);

  int added() const { return added_; }

 private:
  void ProcessEntry(const WIN32_FIND_DATAA& entry);
  std::string UsableName(const WIN32_FIND_DATAA& entry, bool& inUse);
  bool RenameInPlace(const WIN32_FIND_DATAA& entry, const std::string& target);
  void ThumbnailStage(const std::string& name, uint32_t type, bool jsonValid, const GroupMember* member,
                      const std::string& previewPath, const std::string& resourceId);
  void Drop() { spare_->Initialise(); }
  void Admit(const std::string& name, const std::string& resourceId, const std::string& failureText);
  uint32_t dwFlags() const { return params_ != nullptr ? params_->dwFlags : 0; }

  PluginParameters* params_;
  CHotFolder& folder_;
  CLinkedFileList* spare_;  // the item the next admitted file fills; null when none could be made
  int fileLoopLimit_;
  int previewLoopLimit_;
  int added_ = 0;
  bool previewed_ = false;
};

void FolderWalk::Run(HANDLE listing, WIN32_FIND_DATAA& entry, const ScannerState& scanner) {
  // The limits are tested after every entry, skipped ones included, so at
  // least one entry is looked at per folder and cycle.
  for (;;) {
    ProcessEntry(entry);
    QueueBlockReport(params_, folder_);
    if (previewed_ && added_ >= previewLoopLimit_) {
      Log(LogLevel::kDetail, "Breaking out of loop as we previewed %ld files (limited to %ld per cycle).",
          static_cast<long>(added_), static_cast<long>(previewLoopLimit_));
      return;
    }
    if (added_ >= fileLoopLimit_) {
      Log(LogLevel::kDetail, "Breaking out of loop as we added %ld files (limited to %ld per cycle).",
          static_cast<long>(added_), static_cast<long>(fileLoopLimit_));
      return;
    }
    if (spare_ == nullptr) return;  // nowhere to record a further file
    if (!::FindNextFileA(listing, &entry)) return;
    previewed_ = false;
    if (scanner.stopRequested()) return;
  }
}

void FolderWalk::ProcessEntry(const WIN32_FIND_DATAA& entry) {
  if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)) != 0) return;

  bool inUse = false;
  std::string name = UsableName(entry, inUse);
  const bool excluded = IsExcludedFile(name.c_str()) != 0;
  if (excluded)
    Log(LogLevel::kTrace, "Ignoring excluded file: %s", name.c_str());
  else
    Log(LogLevel::kTrace, "File <%s> not excluded - continue processing", name.c_str());
  if (excluded || inUse) return;

  // The in-use test's exclusive handle also serves the size-and-type read,
  // so that an admitted file is opened once.
  ScopedHandle opened;
  if (IsFileInUse(params_, JoinPath(folder_.path, name).c_str(), &opened)) return;

  CLinkedFileList& item = *spare_;
  item.fileSize =
      opened ? SizeAndTypeOfOpenedFile(params_, folder_.path, name.c_str(), std::move(opened), &item.jobType,
                                       item.title, item.owner)
             : GetUnopenedFileSizeAndType(params_, folder_.path, name.c_str(), &item.jobType, item.title, item.owner);
  if (item.fileSize <= 0) return;  // empty, or it cannot be opened or read now

  std::string resourceId = NewResourceId();

  Log(LogLevel::kTrace, "dwFlags = 0x%lx, ScriptBit = 0x%lx, ScriptingFlag = %d", static_cast<unsigned long>(dwFlags()),
      static_cast<unsigned long>(ScriptBit), static_cast<int>(folder_.scriptingEnabled));
  if ((dwFlags() & ScriptBit) != 0 && folder_.scriptingEnabled != 0) {
    Log(LogLevel::kDetail, "Attempting to run script <%s> on file <%s>", folder_.scriptName.c_str(), name.c_str());
    const ScriptedFolder scripted{folder_.path, folder_.scriptName, folder_.scriptingEnabled};
    if (ScriptThisFile(params_, scripted, name, resourceId) == 0) return Drop();
  } else {
    Log(LogLevel::kDetail, "Scripting not available");
  }

  const uint32_t type = item.jobType;
  bool taken = false;
  bool jsonValid = true;
  std::string failureText;
  std::string previewPath;
  GroupMember member;
  if (type == kJobTypeJson) {
    if (CheckJsonSubmission(folder_.path, name.c_str()) == IntakeResult::kRefused) {
      Log(LogLevel::kProgress, "JSON file \"%s\" was deemed not valid.", name.c_str());
      jsonValid = false;
    }
  } else if (type == kJobTypeJdf) {
    if (ProcessJDFFile(folder_, name.c_str(), item, resourceId, failureText) == IntakeResult::kTaken) {
      taken = true;
      previewed_ = true;
    }
  } else if (folder_.groupingActive == 1 && (type == kJobTypePdf || type == kJobTypeTiff)) {
    // With thumbnails on, the grouped files share the group's resource ID.
    std::string* sharedId = folder_.thumbnailsEnabled != 0 ? &resourceId : nullptr;
    taken = AddFileToGroup(folder_.groupList.get(), name.c_str(), folder_.path, previewPath, sharedId, &member) ==
            GroupStatus::kOk;
  }

  if (type != kJobTypeJdf && folder_.thumbnailsEnabled != 0)
    ThumbnailStage(name, type, jsonValid, taken ? &member : nullptr, previewPath, resourceId);

  if (!jsonValid || taken) return Drop();
  Admit(name, resourceId, failureText);
}

std::string FolderWalk::UsableName(const WIN32_FIND_DATAA& entry, bool& inUse) {
  char clean[kMaxPathBytes];
  if (CleanFileName(entry.cFileName, clean, sizeof clean) == 0) return clean;
  if (IsExcludedFile(clean) != 0) return clean;  // a rename that failed before

  Log(LogLevel::kTrace, "Badly named file, attempting to rename it physically.");
  if (RenameInPlace(entry, JoinPath(folder_.path, clean))) return clean;
  const DWORD error = ::GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    inUse = true;
    return clean;
  }
  // The task's host hears of it at its next GetActionStatus, once, in words
  // of its own (the system error is in the log).
  HF_REPORT_SYSTEM_ERROR(nullptr, error, "MoveFile on BadFileName");
  folder_.QueueReport(
      BlockReport{-1, FormatText("HF: %s%s cannot be handed over: its name could not be changed to %s "
                                 "(error %lu). It stays in the hot folder.",
                                 folder_.path, entry.cFileName, clean, static_cast<unsigned long>(error)) +
                          "\n"});
  Log(LogLevel::kTrace, "Adding %s to the exclusions list (in memory only).", clean);
  ModuleExclusionLists().ExcludeExactly(clean);
  return clean;
}

bool FolderWalk::RenameInPlace(const WIN32_FIND_DATAA& entry, const std::string& target) {
  if (::MoveFileA(JoinPath(folder_.path, entry.cFileName).c_str(), target.c_str())) return true;
  // A name that the path functions refuse (it holds a character they do not
  // allow) can still be reached through the file's short name.
  if (::GetLastError() != ERROR_INVALID_NAME || entry.cAlternateFileName[0] == '\0') return false;
  return ::MoveFileA(JoinPath(folder_.path, entry.cAlternateFileName).c_str(), target.c_str()) != 0;
}

void FolderWalk::ThumbnailStage(const std::string& name, uint32_t type, bool jsonValid, const GroupMember* member,
                                const std::string& previewPath, const std::string& resourceId) {
  if (folder_.groupingActive == 1) {
    previewed_ = GroupedThumbnailStage(folder_, name.c_str(), type, jsonValid, member, previewPath, resourceId) != 0;
    return;
  }
  const bool previewable =
      type == kJobTypePostScript || type == kJobTypePdf || type == kJobTypeEps || (type == kJobTypeJson && jsonValid);
  if (previewable) previewed_ = MakeFilePreview(folder_, name, resourceId, type) != 0;
}

void FolderWalk::Admit(const std::string& name, const std::string& resourceId, const std::string& failureText) {
  ++added_;
  CLinkedFileList& item = *spare_;
  item.typeChecked = 1;
  FormatInto(item.fileName, sizeof item.fileName, "%s", name.c_str());
  FormatInto(item.uniqueId, sizeof item.uniqueId, "%s", resourceId.c_str());
  FormatInto(item.intakeFailureText, sizeof item.intakeFailureText, "%s", failureText.c_str());
  item.next = NewSpareItem();
  if (item.next == nullptr)
    Log(LogLevel::kError, "timerAction - no memory for a further file item in %s.", folder_.path);
  spare_ = item.next;
}

// Lists one folder and replaces its pending list with what the walk found.
// The synchronisation event is held.
void WalkFolder(PluginParameters* params, CHotFolder& folder, const ScannerState& scanner) {
  char pattern[kMaxPathBytes];
  FormatInto(pattern, sizeof pattern, "%s*.*", folder.path);
  WIN32_FIND_DATAA entry;
  ScopedFindHandle listing(::FindFirstFileA(pattern, &entry));
  const DWORD error = ::GetLastError();
  Log(LogLevel::kTrace, "[%s] FFF returns %d", pattern, static_cast<int>(reinterpret_cast<intptr_t>(listing.get())));
  if (!listing) {
    Log(LogLevel::kDetail, "FFF error: %ld", static_cast<long>(error));
    HF_REPORT_SYSTEM_ERROR(params, error, "FindFirstFile");
    return;
  }

  folder.foundList = NewSpareItem();
  if (folder.foundList == nullptr) {
    Log(LogLevel::kError, "timerAction - no memory for a file item; %s waits for the next cycle.", folder.path);
    return;
  }
  FolderWalk walk(params, folder, folder.foundList);
  if (!scanner.stopRequested()) walk.Run(listing.get(), entry, scanner);
  listing.reset();

  const int added = walk.added();
  if (added == 0) {
    DeleteLinkedFileList(folder.foundList);
    Log(LogLevel::kTrace, "No files in folder \"%s\"", pattern);
  }
  folder.addedCount = static_cast<uint32_t>(added);
  Log(LogLevel::kTrace, "%d stops remaining, so replacing static list, now %d items.",
      static_cast<int>(folder.stopsRemaining), added);
  if (added > 0) Log(LogLevel::kTrace, "Added %d items to %s", added, folder.path);
  DeleteLinkedFileList(folder.pendingList);
  folder.pendingList = folder.foundList;
  folder.foundList = nullptr;
  folder.addedCount = 0;
}

}  // namespace

int timerAction(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return 0;
  if (FolderCountUnlocked(*app) == 0) {
    Log(LogLevel::kTrace, "No folders in scan list. Nothing to do.");
    return 0;
  }

  Log(LogLevel::kTrace, "Synching timerAction...");
  SynchEventLock hold(*app);
  const ScannerState& scanner = TheScanner();
  Log(LogLevel::kTrace, "Beginning scan on %d folders", app->folderCount);

  int index = 0;
  for (CHotFolder* folder = app->folderListHead; folder != nullptr && index < app->folderCount;
       folder = folder->nextFolder, ++index) {
    DeleteLinkedFileList(folder->foundList);
    folder->addedCount = 0;
  }

  index = 0;
  for (CHotFolder* folder = app->folderListHead; folder != nullptr && index < app->folderCount;
       folder = folder->nextFolder, ++index) {
    if (scanner.stopRequested()) break;
    WalkFolder(params, *folder, scanner);
    QueueBlockReport(params, *folder);
  }

  Log(LogLevel::kTrace, "TimerAction complete");
  return 0;
}

}  // namespace hf
