// Preparing and starting the scanner at InitializeHandler; stopping it and
// releasing everything at ShutdownHandler.
#include "hotfolder/scanner/scanner_lifecycle.h"

#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "formats/exclusion_file.h"
#include "host/message_handover.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/scanner/critical_notice.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/services/colour_catalogue_service.h"
#include "hotfolder/sluicegate_app.h"
#include "jobs/win32/file_admission.h"

#include <cstring>

namespace hf {

namespace {

constexpr const char* kConfigFolderName = "Config";
constexpr const char* kExcludedFileNamesFile = "FilenameExceptions.bin";
constexpr const char* kExcludedExtensionsFile = "ExtensionExceptions.bin";

void CannotFindOrCreate(const std::string& what) {
  ShowCriticalNotice(FormatText("CRITICAL ERROR - HF cannot find or create (%s)!", what.c_str()).c_str());
}

void LoadList(const std::string& path, const std::vector<std::string>& defaults, const ExclusionListMessages& messages,
              TextNode*& list) {
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
    Log(LogLevel::kProgress, "No data folder given: the configuration folder is under %s.", dataFolder.c_str());
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
    HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "CreateEvent for scan");
    return kResultRefused;
  }

  SetColourCataloguePath(DefaultColourCataloguePath());

  CSluicegateApp* app = CSluicegateApp::Current();
  if (!scanner.Start(params, app != nullptr ? app->securityAttributes() : nullptr)) {
    HF_REPORT_SYSTEM_ERROR(params, ::GetLastError(), "AfxBeginThread for scan");
    return kResultRefused;
  }
  return kResultOk;
}

void StopScannerAndReleaseFolders() {
  ScannerState& scanner = TheScanner();
  if (scanner.running()) {
    Log(LogLevel::kError, "== WARNING == EndAction/CancelAction has not been called!");
    Log(LogLevel::kError, "== WARNING == HF Scanner is still active, and files may be transferring!");
    Log(LogLevel::kError, "== WARNING == Memory leakage/data corruption may occur!");
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

}  // namespace hf
