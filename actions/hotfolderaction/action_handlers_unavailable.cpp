// Until the hot folder list and the status hand-off exist, the task selectors
// refuse every call: each logs that it is not available yet and returns -1.
// The real handlers replace this file.
#include "actions/hotfolderaction/action_handlers.h"

#include "common/log.h"

namespace {

int32_t NotAvailableYet(const char* name, Selector selector) {
  Log(0, "Selector #%d (%s) is not available in this build yet!", static_cast<int>(selector), name);
  return kResultRefused;
}

}  // namespace

int32_t StartAction(PluginParameters*) { return NotAvailableYet("StartAction", kStartAction); }
int32_t GetActionStatus(PluginParameters*) { return NotAvailableYet("GetActionStatus", kGetActionStatus); }
int32_t CancelAction(PluginParameters*) { return NotAvailableYet("CancelAction", kCancelAction); }
int32_t EndAction(PluginParameters*) { return NotAvailableYet("EndAction", kEndAction); }
