// The work of ActionEntryPoint: the checks made on every call, the order in
// which calls are admitted, the release of what the previous call handed over,
// and the dispatch by selector.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>

namespace hf {

// Result 0 = success, -1 = refused or failed, -2 = wrong block version or size
// (also for a missing block); a handler's own result is returned as it is.
int32_t RunActionEntryPoint(uint32_t selector, PluginParameters* params);

}  // namespace hf
