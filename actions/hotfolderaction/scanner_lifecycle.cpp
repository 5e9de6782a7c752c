// Preparing and starting the scanner at InitializeHandler; stopping it and
// releasing everything at ShutdownHandler.
#include "actions/hotfolderaction/scanner_lifecycle.h"

#include "actions/common/win32/message_handover.h"
#include "actions/hotfolderaction/colour_catalogue_service.h"
#include "actions/hotfolderaction/critical_notice.h"
#include "actions/hotfolderaction/hot_folder_list.h"
#include "actions/hotfolderaction/scanner_state.h"
#include "actions/hotfolderaction/sluicegate_app.h"
#include "actions/hotfolderaction/text_format.h"
#include "common/exclusion_file.h"
#include "common/log.h"
#include "common/path_utils.h"
#include "common/win32/file_admission.h"
#include "common/win32/file_system.h"

#include <cstring>

namespace {

constexpr const char* kConfigFolderName = "Config";
constexpr const char* kExcludedFileNamesFile = "FilenameExceptions.bin";
constexpr const char* kExcludedExtensionsFile = "ExtensionExceptions.bin";

void CannotFindOrCreate(const std::string& what) {
  ShowCriticalNotice(FormatText("CRITICAL ERROR - HF cannot find or create (%s)!", what.c_str()).c_str());
}

void LoadList(const std::string& path, const std::vector<std::string>& defaults,
              const ExclusionListMessages& messages, TextNode*& list) {
  if (LoadExclusionList(path, defaults, messages, list) == ExclusionFileStatus::kCannotCreate) CannotFindOrCreate(path);
}

}  // namespace

std::string ConfigurationFolder(const PluginParameters& params) {
  std::string dataFolder;
  if (IsUsablePointer(params.dataFolder)) {
    dataFolder.assign(params.dataFolder, strnlen(params.dataFolder, kMaxPathBytes - 1));
  }
  if (dataFolder.empty()) {
    dataFolder = HostProgramFolder();
    Log(1, "No data folder given: the configuration folder is under %s.", dataFolder.c_str());
  }
  return JoinPath(dataFolder, kConfigFolderName);
}

int32_t PrepareAndStartScanner(PluginParameters* params) {
  ScannerState& scanner = TheScanner();
  scanner.Stop(kShutdownStopStepMs);

  const std::string configFolder = ConfigurationFolder(*params);
  if (CreateFolder(configFolder, false) != 0) CannotFindOrCreate(configFolder);

  // A list left from an earlier initialisation would be read twice.
  ExclusionLists& lists = ModuleExclusionLists();
  lists.Clear();
  LoadList(JoinPath(configFolder, kExcludedFileNamesFile), kDefaultExcludedFileNames, kExcludedFileNameMessages,
           lists.fileNames);
  LoadList(JoinPath(configFolder, kExcludedExtensionsFile), kDefaultExcludedExtensions, kExcludedExtensionMessages,
           lists.extensions);

  if (!scanner.EnsureWakeEvent()) {
    HF_REPORT_SYSTEM_ERROR(params, "CreateEvent for scan");
    return kResultRefused;
  }

  SetColourCataloguePath(DefaultColourCataloguePath());

  CSluicegateApp* app = CSluicegateApp::Current();
  if (!scanner.Start(params, app != nullptr ? app->securityAttributes() : nullptr)) {
    HF_REPORT_SYSTEM_ERROR(params, "AfxBeginThread for scan");
    return kResultRefused;
  }
  return kResultOk;
}

void StopScannerAndReleaseFolders() {
  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(0, "== WARNING == EndAction/CancelAction has not been called!");
    Log(0, "== WARNING == HF Scanner is still active, and files may be transferring!");
    Log(0, "== WARNING == Memory leakage/data corruption may occur!");
    scanner.Stop(kShutdownStopStepMs);
  }

  ModuleExclusionLists().Clear();

  if (CSluicegateApp* app = CSluicegateApp::Current()) {
    // A GetActionStatus already under way on another thread finishes first.
    SynchEventLock hold(*app);
    DestroyAllFolders(*app);
  }

  ClearCatalogue();
}
