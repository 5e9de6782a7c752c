// GetActionStatus: the hand-off of pending files to the host, each moved into
// the task's destination folder when one is set.
#include "hotfolder/action_handlers.h"

#include "base/file_io.h"
#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "host/chained_file_item.h"
#include "host/message_handover.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/services/grouping_service.h"
#include "hotfolder/services/preview_service.h"
#include "hotfolder/sluicegate_app.h"
#include "jobs/unique_target.h"
#include "jobs/win32/file_admission.h"

#include <string>

namespace hf {

namespace {

constexpr uint32_t kFileGroupListType = 0x8000000;
constexpr int32_t kNothingHandedOver = 1;
constexpr int32_t kRestartRequest = -1;

enum class MoveOutcome {
  kMoved,    // the record names the file at the destination
  kFailed,   // the file stays in the hot folder; the record names it there
  kDropped,  // the file is gone or cannot be made writable: nothing to hand over
};

// The task's destination folder for one call, with a trailing backslash. It is
// created (with its parents) before the call's first move and again when a
// move finds it gone, rather than before every file.
class DestinationFolder {
 public:
  explicit DestinationFolder(const char* destination) {
    char folder[kMaxPathBytes];
    FormatInto(folder, sizeof folder, "%s", destination);
    RemoveTrailingBackslash(folder);
    bare_ = folder;
    AddTrailingBackslash(folder, sizeof folder);
    path_ = folder;
  }

  const std::string& Prepared() {
    if (!prepared_) Create();
    return path_;
  }

  // A folder that cannot be made shows in the move that follows.
  void Create() {
    CreateFolder(bare_, true);
    prepared_ = true;
  }

 private:
  std::string bare_;
  std::string path_;
  bool prepared_ = false;
};

// After a failed move: whether the target's name is taken. The error tells
// for a rename; a copy onto a folder of that name may answer "access denied"
// instead, so the target itself is looked at too.
bool IsNameTaken(DWORD error, const std::string& targetPath) {
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return true;
  return ::GetFileAttributesA(targetPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A move to another volume, done by hand so that the job ends in exactly one
// place: the copy never replaces anything, and when the source cannot be
// deleted afterwards (another program holds it) the copy is deleted again and
// the move fails, leaving the job whole in the hot folder.
// ERROR_SUCCESS, or the system error that stopped it.
DWORD CopyThenDelete(const std::string& sourcePath, const std::string& targetPath) {
  if (!::CopyFileA(sourcePath.c_str(), targetPath.c_str(), TRUE)) return ::GetLastError();
  if (::DeleteFileA(sourcePath.c_str())) return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  ::DeleteFileA(targetPath.c_str());
  return error;
}

// One attempt at moving a normal file without ever replacing what is at the
// target (a file or folder there, or one that arrives meanwhile, makes it fail
// with the name taken). ERROR_SUCCESS, or the system error of the failure.
DWORD MoveOnce(const std::string& sourcePath, const std::string& targetPath) {
  if (::MoveFileExA(sourcePath.c_str(), targetPath.c_str(), 0)) return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  return error == ERROR_NOT_SAME_DEVICE ? CopyThenDelete(sourcePath, targetPath) : error;
}

// Moves a normal file, re-creating a destination folder that has gone.
// ERROR_SUCCESS, or the system error of the failure.
DWORD MoveNormalFile(DestinationFolder& destination, const std::string& sourcePath, const std::string& targetPath) {
  Log(LogLevel::kDetail, "Moving normal file %s to %s", sourcePath.c_str(), targetPath.c_str());
  const DWORD error = MoveOnce(sourcePath, targetPath);
  if (error != ERROR_PATH_NOT_FOUND || !FileExists(sourcePath)) return error;
  destination.Create();
  return MoveOnce(sourcePath, targetPath);
}

// Moves a normal file under its own name, or under a free name when its own is
// taken. A free name chosen is tried twice more when another file takes it
// first. `targetPath` is the last target tried. True on success.
bool MoveUnderFreeName(DestinationFolder& destination, const char* destinationField, const std::string& fileName,
                       const std::string& sourcePath, std::string& targetPath) {
  targetPath = JoinPath(destination.Prepared(), fileName);
  DWORD error = MoveNormalFile(destination, sourcePath, targetPath);
  for (int attempt = 0; attempt < 3 && error != ERROR_SUCCESS && IsNameTaken(error, targetPath); ++attempt) {
    char unique[kMaxPathBytes] = {};
    if (!makeUniqueTarget(destinationField, fileName.c_str(), 0, 0, unique, sizeof unique)) {
      Log(LogLevel::kError, "No free name for %s in %s.", fileName.c_str(), destination.Prepared().c_str());
      return false;
    }
    targetPath = unique;
    error = MoveNormalFile(destination, sourcePath, targetPath);
  }
  return error == ERROR_SUCCESS;
}

MoveOutcome MoveIntoDestination(PluginParameters* params, CHotFolder& folder, DestinationFolder& destination,
                                ChainedFileItem& record) {
  const std::string fileName = record.fileName;
  const std::string sourcePath = JoinPath(params->sourceFolder, fileName);

  const DWORD attributes = ::GetFileAttributesA(sourcePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      HF_REPORT_ERROR(params,
                      FormatText("GetActionStatus - Cannot MOVE %s, no longer present.", fileName.c_str()).c_str());
      return MoveOutcome::kDropped;
    }
  } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
             !::SetFileAttributesA(sourcePath.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
    HF_REPORT_ERROR(
        params, FormatText("GetActionStatus - Cannot MOVE %s, please make it writeable.", fileName.c_str()).c_str());
    return MoveOutcome::kDropped;
  }

  // An undone group that kept members is no job: what it holds goes back.
  if (record.jobType == kFileGroupListType && RetryStrandedGroup(sourcePath.c_str())) return MoveOutcome::kDropped;

  const DWORD started = ::GetTickCount();
  bool moved = false;
  std::string targetPath;
  if (record.jobType == kFileGroupListType) {
    // A group file is never given another name: its group folder goes with it.
    targetPath = JoinPath(destination.Prepared(), fileName);
    if (folder.thumbnailsEnabled == 1) {
      Log(LogLevel::kDetail, "Compositing group in '%s'", sourcePath.c_str());
      MakeGroupComposite(folder, sourcePath.c_str());
    }
    Log(LogLevel::kDetail, "Moving GroupList file");
    const GroupMoveResult result =
        MoveGroupListWithFolder(destination.Prepared().c_str(), sourcePath.c_str(), targetPath.c_str());
    moved = result.moved();
    if (moved && !result.arrivedAs.empty()) targetPath = result.arrivedAs;  // under a free name
  } else {
    moved = MoveUnderFreeName(destination, params->destinationFolder, fileName, sourcePath, targetPath);
  }
  Log(LogLevel::kDetail, "That move took %d ms", static_cast<int>(::GetTickCount() - started));

  if (!moved) {
    const std::string text = FormatText("GetActionStatus - move file failed, Src/Dest files were %s -> %s",
                                        sourcePath.c_str(), targetPath.c_str());
    Log(LogLevel::kError, "%s\n", text.c_str());
    // The host hears of a job that keeps failing once; the log at every try.
    const uint32_t now = ::GetTickCount();
    const auto [failure, first] = folder.reportedMoveFailures.emplace(fileName, now);
    if (first) {
      HF_REPORT_ERROR(params, text.c_str());
    } else if (record.jobType == kFileGroupListType && now - failure->second >= folder.groupMoveGiveUpMs) {
      // A group is not tried for ever: it stays where it is, and is told once more.
      folder.QueueReport(BlockReport{
          -1, FormatText("HF: group %s could not be handed over for %lu minutes; it is left in the hot folder.\n",
                         sourcePath.c_str(), static_cast<unsigned long>(folder.groupMoveGiveUpMs / 60000))});
      ModuleExclusionLists().ExcludeExactly(fileName.c_str());
      folder.reportedMoveFailures.erase(failure);
      return MoveOutcome::kDropped;
    }
    return MoveOutcome::kFailed;
  }
  folder.reportedMoveFailures.erase(fileName);
  FormatInto(record.folder, sizeof record.folder, "%s", destination.Prepared().c_str());
  FormatInto(record.fileName, sizeof record.fileName, "%s", FileNameOnly(targetPath).c_str());
  return MoveOutcome::kMoved;
}

// Takes the head item off the folder's pending list.
void RemovePendingHead(CSluicegateApp& app, CHotFolder& folder, CLinkedFileList* item) {
  if (RemoveFileItem(app, item) == 0) RemoveHeadItem(folder.pendingList, item);
}

// Hands every pending item of the folder over. The event is held.
void HandOverPendingFiles(CSluicegateApp& app, PluginParameters* params, CHotFolder& folder) {
  auto* list = static_cast<ChainedFileItem*>(params->fileList);
  DestinationFolder destination(params->destinationFolder);
  while (CLinkedFileList* item = folder.pendingList) {
    if (item->fileName[0] == '\0') {  // the spare item that ends a scan list
      RemovePendingHead(app, folder, item);
      continue;
    }
    // The record is ours until it joins the list handed to the host.
    ScopedGlobalBlock block(NewFileItem());
    if (!block) {
      // What is left stays pending; the next call (or scan) takes it up again.
      Log(LogLevel::kError, "GetActionStatus - no memory for a file record; %s waits for the next call.",
          item->fileName);
      break;
    }
    ChainedFileItem& record = *static_cast<ChainedFileItem*>(block.get());
    FillFileItem(record, params->sourceFolder, *item);
    if (record.jobType == kFileGroupListType) record.groupMember = 1;  // the record of a group file
    const bool dropped = params->destinationFolder[0] != '\0' &&
                         MoveIntoDestination(params, folder, destination, record) == MoveOutcome::kDropped;
    RemovePendingHead(app, folder, item);
    if (!dropped) list = AppendFile(list, static_cast<ChainedFileItem*>(block.release()));
  }
  params->fileList = list;
}

}  // namespace

int32_t GetActionStatus(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;

  Log(LogLevel::kTrace, "Synching GetActionStatus...");
  SynchEventLock hold(*app);
  Log(LogLevel::kTrace, "GetActionStatus for item #%d of task #%d : synched...", static_cast<int>(params->itemNumber),
      static_cast<int>(params->taskId));

  // The host's fields may run to their end.
  params->sourceFolder[sizeof params->sourceFolder - 1] = '\0';
  params->destinationFolder[sizeof params->destinationFolder - 1] = '\0';
  if (params->sourceFolder[0] == '\0') {
    HF_REPORT_ERROR(params, "GAS - folder is unset");
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  AddTrailingBackslash(params->sourceFolder, sizeof params->sourceFolder);
  AddTrailingBackslash(params->destinationFolder, sizeof params->destinationFolder);

  CHotFolder* folder = FindFolderByTaskId(*app, params->taskId);
  if (folder == nullptr) {
    HF_REPORT_ERROR(params, "GAStatus - folder unregistered / task Ended.");
    params->actionState = kStateFailed;
    return kResultRefused;
  }

  if (params->itemNumber == kRestartRequest) {
    Log(LogLevel::kDetail, "GAS: caller requests scanner restart.");
    if (params->fileList != nullptr) {
      DeleteFileList(static_cast<ChainedFileItem*>(params->fileList), 1);
      params->fileList = nullptr;
    }
    return kNothingHandedOver;
  }

  if (!folder->pendingReports.empty() && PlaceBlockReport(params, folder->pendingReports.front()))
    folder->pendingReports.pop_front();

  if (folder->pendingList == nullptr) return kNothingHandedOver;
  HandOverPendingFiles(*app, params, *folder);
  return kResultOk;
}

}  // namespace hf
