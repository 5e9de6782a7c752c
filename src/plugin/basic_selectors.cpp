// The small selectors that need no module of their own.
#include "plugin/basic_selectors.h"

#include "base/log.h"
#include "base/win32/windows_api.h"
#include "host/message_handover.h"
#include "hotfolder/sluicegate_app.h"

#include <cstring>

namespace hf {

namespace {

// Frees the chain of global blocks hanging in initDataList; each block holds
// the address of the next one at kInitDataNextOffset.
void FreeInitDataList(PluginParameters& params) {
  void* current = params.initDataList;
  params.initDataList = nullptr;
  while (current != nullptr) {
    if (!HF_IS_VALID_POINTER(&current)) break;
    void* next = nullptr;
    std::memcpy(&next, static_cast<const unsigned char*>(current) + kInitDataNextOffset, sizeof next);
    ::GlobalFree(current);
    current = next;
  }
}

}  // namespace

int32_t ClearError(PluginParameters& params) {
  params.errorCode = 0;
  return kResultOk;
}

int32_t GetVersion(PluginParameters& params) {
  params.versionFlag = 1;
  params.versionByte = 2;
  params.version = kInterfaceVersion;
  return kResultOk;
}

int32_t GetCaps(PluginParameters& params) {
  params.dwFlags |= kCapsFlags;
  params.capsExtra1 = -1;
  params.capsExtra2 = -1;
  return kResultOk;
}

int32_t GetTargets(PluginParameters&) {
  Log(LogLevel::kError, "! HOTFOLDER plugin should not be asked to discover its targets!");
  return kResultOk;
}

int32_t StartActionInit(CSluicegateApp& app, PluginParameters& params) {
  if (params.taskId == 0) params.taskId = app.TakeNextTaskId();
  if (params.actionState <= kLastPluginState) params.actionState = kStateTaskNumbered;
  return kResultOk;
}

int32_t CheckActionInit(CSluicegateApp& app, PluginParameters& params) {
  if (params.actionState <= kLastPluginState) StartActionInit(app, params);
  if (params.actionState < kStateTaskNumbered) return kResultRefused;
  if (params.initDataList != nullptr) FreeInitDataList(params);
  if (params.actionState <= kStateTaskNumbered) params.actionState = kStateInitChecked;
  return kResultOk;
}

}  // namespace hf
