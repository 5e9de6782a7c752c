// StartAction: registration of a hot folder, or renewal of its set-up.
#include "base/format.h"
#include "hotfolder/action_handlers.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "host/message_handover.h"
#include "hotfolder/folder_setup.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/sluicegate_app.h"

#include <memory>
#include <new>

namespace hf {

namespace {

// Lists the folder once to see that it can be read. False with the system
// error reported.
bool FolderCanBeListed(PluginParameters* params) {
  char pattern[kMaxPathBytes];
  FormatInto(pattern, sizeof pattern, "%s*.*", params->sourceFolder);
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search(::FindFirstFileA(pattern, &entry));
  const DWORD error = ::GetLastError();
  Log(LogLevel::kTrace, "SA: Info: [%s] FFF TEST returns %d", pattern,
      static_cast<int>(reinterpret_cast<intptr_t>(search.get())));
  if (search) return true;
  HF_REPORT_SYSTEM_ERROR(params, error, nullptr);
  return false;
}

// Steps taken while holding the synchronisation event. kResultOk, or
// kResultRefused with the block already updated.
int32_t RegisterFolder(CSluicegateApp& app, PluginParameters* params, const TaskSettingsView& view) {
  SynchEventLock hold(app);

  CHotFolder* existing = FindFolderByPath(app, params->sourceFolder);
  if (existing != nullptr) {
    Log(LogLevel::kError, "SA: Info: -- Restarting an existing scan for %s --", params->sourceFolder);
    SetUpFolderServices(*existing, view, params);
  }

  if (!FolderCanBeListed(params)) return kResultRefused;

  if (existing != nullptr) {
    // The second task shares the first task's number and folder.
    params->taskId = existing->taskId;
    return kResultOk;
  }

  std::unique_ptr<CHotFolder> folder(new (std::nothrow) CHotFolder());
  if (!folder) {
    HF_REPORT_ERROR(params, "SA: Error: StartAction : new CHotFolder failed");
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  Log(LogLevel::kProgress, "SA: Info: Adding folder \"%s\", timeout = %d", params->sourceFolder,
      static_cast<int>(TheScanner().scanInterval()));
  FormatInto(folder->path, sizeof folder->path, "%s", params->sourceFolder);
  folder->folderFlags = params->folderFlags;
  folder->taskId = params->taskId;
  SetUpFolderServices(*folder, view, params);
  AppendFolder(app, folder.release());
  return kResultOk;
}

}  // namespace

int32_t StartAction(PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;

  TheScanner().OfferScanInterval(params->scanTimeout);

  if (params->sourceFolder[0] == '\0') {
    HF_REPORT_ERROR(params, "SA: Error: StartAction : no folder");
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  if (params->actionState < kStateInitChecked) {
    HF_REPORT_ERROR(params, "SA: Error: StartAction called before SAI/CAI succeeded.");
    params->actionState = kStateCalledTooEarly;
    return kResultRefused;
  }

  params->sourceFolder[sizeof params->sourceFolder - 1] = '\0';  // the host's field may run to its end
  AddTrailingBackslash(params->sourceFolder, sizeof params->sourceFolder);
  // A destination in the hot folder would have every job found and handed over again.
  params->destinationFolder[sizeof params->destinationFolder - 1] = '\0';
  if (params->destinationFolder[0] != '\0' && IsSameOrInside(params->destinationFolder, params->sourceFolder)) {
    HF_REPORT_ERROR(params, FormatText("SA: Error: StartAction : the destination folder %s is the hot folder %s or "
                                       "inside it",
                                       params->destinationFolder, params->sourceFolder)
                                .c_str());
    params->actionState = kStateFailed;
    return kResultRefused;
  }
  const TaskSettingsView view(*params);
  if (RegisterFolder(*app, params, view) != kResultOk) return kResultRefused;

  // A scanner that an EndAction left stopped, or that ended after a wake-up,
  // must watch the new folder too. Started only after the event is released.
  if (!TheScanner().EnsureRunning(app->securityAttributes())) {
    HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "AfxBeginThread for scan");
    params->actionState = kStateFailed;
    return kResultRefused;
  }

  params->actionState = kStateStarted;
  return kResultOk;
}

}  // namespace hf
