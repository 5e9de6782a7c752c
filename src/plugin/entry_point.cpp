// Per-call checks, admission and selector dispatch of ActionEntryPoint.
#include "plugin/entry_point.h"

#include "base/log.h"
#include "host/file_list_release.h"
#include "host/log_channel.h"
#include "host/message_handover.h"
#include "hotfolder/action_handlers.h"
#include "hotfolder/sluicegate_app.h"
#include "plugin/basic_selectors.h"
#include "plugin/initialize_handler.h"

#include <mutex>

namespace hf {

namespace {

// The library keeps no framework module state; a call has nothing to switch
// to. The object marks the step for the code that would need one.
struct ModuleStateScope {};

// -2 when the block is missing or has the wrong version (GetVersion excepted) or size.
bool BlockIsAcceptable(uint32_t selector, const PluginParameters* params) {
  if (!IsUsablePointer(params)) {
    Log(LogLevel::kError, "=== ERROR === %s called without a parameter block.", kPluginDisplayName);
    return false;
  }
  if (params->version != kInterfaceVersion && selector != kGetVersion) {
    Log(LogLevel::kError, "=== ERROR === %s version mismatch, expected %d.", kPluginDisplayName,
        static_cast<int>(kInterfaceVersion));
    return false;
  }
  if (params->structSize != kParameterBlockSize) {
    Log(LogLevel::kError, "=== ERROR === HF: %s size mismatch, expected %d.", kPluginDisplayName,
        static_cast<int>(kParameterBlockSize));
    return false;
  }
  return true;
}

int32_t AdmitInitializeHandler(CSluicegateApp& app, PluginParameters& params) {
  std::lock_guard<std::mutex> hold(app.lifecycleLock());
  if (app.initialised) return kResultOk;
  if (params.charSize != 0 && params.charSize != 1) {
    HF_REPORT_ERROR(&params, "Character size mismatch! Mixing wide/narrow charset modules is not permitted");
    return kResultRefused;
  }
  int32_t result = InitializeHandler(&params);
  if (result == kResultOk) app.initialised = true;
  return result;
}

int32_t Dispatch(CSluicegateApp& app, uint32_t selector, PluginParameters& params) {
  switch (selector) {
    case kShutdownHandler: {
      std::lock_guard<std::mutex> hold(app.lifecycleLock());
      return ShutdownHandler(app, &params);
    }
    case kStartAction: return StartAction(&params);
    case kGetActionStatus: return GetActionStatus(&params);
    case kCancelAction: return CancelAction(&params);
    case kEndAction: return EndAction(&params);
    case kClearError: return ClearError(params);
    case kGetVersion: return GetVersion(params);
    case kGetCaps: return GetCaps(params);
    case kStartActionInit: return StartActionInit(app, params);
    case kCheckActionInit: return CheckActionInit(app, params);
    case kGetTargets: return GetTargets(params);
    default:
      Log(LogLevel::kProgress, "Selector #%d is not supported!", static_cast<int>(selector));
      return kResultRefused;
  }
}

}  // namespace

int32_t RunActionEntryPoint(uint32_t selector, PluginParameters* params) {
  CSluicegateApp* app = CSluicegateApp::Current();
  if (app == nullptr) return kResultRefused;  // not loaded: nothing to answer with

  const ModuleStateScope moduleState;
  (void)moduleState;
  RefreshLogSettings();

  if (!BlockIsAcceptable(selector, params)) return kResultWrongBlock;

  if (app->endActionInProgress) {
    Log(LogLevel::kError, "- ! Selector %d requested while EndAction is being executed!", static_cast<int>(selector));
    return kResultRefused;
  }

  if (selector == kInitializeHandler) return AdmitInitializeHandler(*app, *params);

  if (!app->initialised) {
    HF_REPORT_ERROR(params, "Selector rejected - InitializeHandler has not yet been called successfully!");
    return kResultRefused;
  }

  ReleaseHandedOverMessage(params);
  ReleaseHandedOverFileList(params);
  return Dispatch(*app, selector, *params);
}

}  // namespace hf
