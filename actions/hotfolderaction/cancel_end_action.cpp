// CancelAction and EndAction: a task's folder leaves the list while the
// scanner is stopped.
#include "actions/hotfolderaction/action_handlers.h"

#include "actions/common/win32/message_handover.h"
#include "actions/hotfolderaction/colour_catalogue_service.h"
#include "actions/hotfolderaction/grouping_service.h"
#include "actions/hotfolderaction/hot_folder_list.h"
#include "actions/hotfolderaction/scanner_state.h"
#include "actions/hotfolderaction/sluicegate_app.h"
#include "common/log.h"

namespace {

constexpr int32_t kStateEnded = 0;
constexpr int32_t kStateTaskNumbered = 1;
constexpr int32_t kStateFailed = 6;

bool TaskHasFolder(CSluicegateApp& app, uint32_t taskId) {
  SynchEventLock hold(app);
  return FindFolderByTaskId(app, taskId) != nullptr;
}

// CancelAction's removal of the task's folder. The scanner is stopped; the
// event keeps a GetActionStatus of another task out meanwhile.
void RemoveCancelledFolder(CSluicegateApp& app, PluginParameters* params) {
  SynchEventLock hold(app);
  CHotFolder* folder = FindFolderByTaskId(app, params->taskId);
  if (folder == nullptr) return;  // another thread took it meanwhile
  if (folder->groupingActive != 0) {
    DestroyGroupList(folder->groupList);
    folder->groupingActive = 0;
    ClearCatalogue();
  }
  folder->scriptingEnabled = 0;
  folder->scriptName.clear();
  Log(1, "Removing folder \"%s\" from list", folder->path);
  DeleteLinkedFileList(folder->foundList);
  DeleteLinkedFileList(folder->pendingList);
  unlinkFolderEntry(app, params, params->sourceFolder);
}

// EndAction's removal of every folder of the task. Returns how many there were.
int RemoveTaskFolders(CSluicegateApp& app, uint32_t taskId) {
  SynchEventLock hold(app);
  int removed = 0;
  while (CHotFolder* folder = FindFolderByTaskId(app, taskId)) {
    DeleteLinkedFileList(folder->foundList);
    DeleteLinkedFileList(folder->pendingList);
    Log(3, "unlinked %s and its filelist.", folder->path);
    UnlinkFolder(app, folder);
    DestroyGroupList(folder->groupList);
    delete folder;
    ++removed;
  }
  return removed;
}

bool FoldersRemain(CSluicegateApp& app) {
  SynchEventLock hold(app);
  return app.folderListHead != nullptr;
}

}  // namespace

int32_t CancelAction(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;

  params->sourceFolder[sizeof params->sourceFolder - 1] = '\0';  // the host's field may run to its end
  if (params->actionState >= kStateTaskNumbered && params->sourceFolder[0] == '\0') {
    HF_REPORT_ERROR(params, "fnCancelAction - empty folder name in config");
    params->actionState = kStateFailed;
    return kResultRefused;
  }

  if (!TaskHasFolder(*app, params->taskId)) {
    Log(1, "fnCancelAction - Note: the task is not listed, the action does not exist.");
    if (params->actionState == kStateEnded) Log(1, "  (it was never initialized).");
    params->actionState = kStateFailed;
    return kResultOk;
  }

  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(1, "Stopping scanner");
    scanner.Stop(kCancelStopStepMs);
  }
  Log(1, "Scanner inactive");

  RemoveCancelledFolder(*app, params);

  Log(1, "Restarting scanning for the remaining folders...");
  if (!scanner.Start(params, app->securityAttributes())) {
    HF_REPORT_SYSTEM_ERROR(params, "AfxBeginThread for scan");
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  return kResultOk;
}

int32_t EndAction(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;
  if (params->taskId == 0 || params->actionState < kStateTaskNumbered) return kResultOk;

  Log(3, "EndAction call - stop scanner, and remove this task's folder list.");
  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(1, "Stopping scanner...");
    scanner.Stop(kEndStopStepMs);
  }
  Log(2, "Scanner inactive");

  if (RemoveTaskFolders(*app, params->taskId) == 0)
    Log(1, "task %d not found. Cannot end it.", static_cast<int>(params->taskId));

  // The other tasks' folders are still to be watched.
  if (FoldersRemain(*app)) {
    Log(1, "Restarting scanning for the remaining folders...");
    if (!scanner.EnsureRunning(app->securityAttributes())) HF_REPORT_SYSTEM_ERROR(params, "AfxBeginThread for scan");
  }

  params->actionState = kStateEnded;
  return kResultOk;
}
