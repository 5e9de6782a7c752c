// CancelAction and EndAction: a task's folder leaves the list while the
// scanner is stopped.
#include "hotfolder/action_handlers.h"

#include "base/log.h"
#include "host/message_handover.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/services/colour_catalogue_service.h"
#include "hotfolder/services/grouping_service.h"
#include "hotfolder/sluicegate_app.h"

namespace hf {

namespace {

bool AnyFolderGroups(const CSluicegateApp& app) {
  for (const CHotFolder* folder = app.folderListHead; folder != nullptr; folder = folder->nextFolder)
    if (folder->groupingActive != 0) return true;
  return false;
}

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
    // The catalogue is shared: folders that still group need it whole.
    if (AnyFolderGroups(app))
      LoadColourCatalogue();
    else
      ClearCatalogue();
  }
  folder->scriptingEnabled = 0;
  folder->scriptName.clear();
  Log(LogLevel::kProgress, "Removing folder \"%s\" from list", folder->path);
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
    Log(LogLevel::kTrace, "unlinked %s and its filelist.", folder->path);
    UnlinkFolder(app, folder);  // destroyed here, with its group list
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
    Log(LogLevel::kProgress, "fnCancelAction - Note: the task is not listed, the action does not exist.");
    if (params->actionState == kStateEnded) Log(LogLevel::kProgress, "  (it was never initialized).");
    params->actionState = kStateFailed;
    return kResultOk;
  }

  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(LogLevel::kProgress, "Stopping scanner");
    scanner.Stop(kCancelStopStepMs);
  }
  Log(LogLevel::kProgress, "Scanner inactive");

  RemoveCancelledFolder(*app, params);

  Log(LogLevel::kProgress, "Restarting scanning for the remaining folders...");
  if (!scanner.Start(params, app->securityAttributes())) {
    HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "AfxBeginThread for scan");
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  return kResultOk;
}

int32_t EndAction(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;
  if (params->taskId == 0 || params->actionState < kStateTaskNumbered) return kResultOk;

  Log(LogLevel::kTrace, "EndAction call - stop scanner, and remove this task's folder list.");
  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(LogLevel::kProgress, "Stopping scanner...");
    scanner.Stop(kEndStopStepMs);
  }
  Log(LogLevel::kDetail, "Scanner inactive");

  if (RemoveTaskFolders(*app, params->taskId) == 0)
    Log(LogLevel::kProgress, "task %d not found. Cannot end it.", static_cast<int>(params->taskId));

  // The other tasks' folders are still to be watched.
  if (FoldersRemain(*app)) {
    Log(LogLevel::kProgress, "Restarting scanning for the remaining folders...");
    if (!scanner.EnsureRunning(app->securityAttributes()))
      HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "AfxBeginThread for scan");
  }

  params->actionState = kStateEnded;
  return kResultOk;
}

}  // namespace hf
