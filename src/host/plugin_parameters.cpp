// The default-initialised parameter block and the task settings view.
#include "host/plugin_parameters.h"

#include <cstring>

namespace hf {

void InitialiseDefaultParameters(PluginParameters& params) {
  std::memset(&params, 0, sizeof params);
  params.version = kInterfaceVersion;
  params.structSize = kParameterBlockSize;
  params.capsExtra1 = -1;
  params.capsExtra2 = -1;
  params.scanTimeout = kDefaultScanTimeout;
  params.charSize = 1;
  params.taskSettingsHeader = kDefaultTaskSettingsHeader;
}

TaskSettingsView::TaskSettingsView(const PluginParameters& params)
    : settings_(&params.taskSettings), texts_(params.taskText) {}

std::string TaskSettingsView::Text(int index) const {
  const char* text = texts_[index];
  return std::string(text, strnlen(text, kTaskTextSize));
}

}  // namespace hf
