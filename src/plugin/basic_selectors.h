// The selectors answered by the boundary itself: ClearError, GetVersion,
// GetCaps, GetTargets, StartActionInit and CheckActionInit. Each returns its
// result as the entry point passes it to the host.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>

namespace hf {

class CSluicegateApp;

// errorCode = 0.
int32_t ClearError(PluginParameters& params);
// version 5, versionFlag 1, versionByte 2.
int32_t GetVersion(PluginParameters& params);
// dwFlags |= 0x24103 (other bits as the host set them), capsExtra1/2 = -1.
int32_t GetCaps(PluginParameters& params);
// The hot folder has no targets to discover: logged, 0.
int32_t GetTargets(PluginParameters& params);

// Gives a block without a task number the next one (under the synchronisation
// event, so no two blocks share a number); actionState <= 6 becomes 1.
int32_t StartActionInit(CSluicegateApp& app, PluginParameters& params);
// StartActionInit for actionState <= 6, frees the initDataList chain and moves
// actionState 1 (or below) to 3. -1 when actionState is below 1.
int32_t CheckActionInit(CSluicegateApp& app, PluginParameters& params);

}  // namespace hf
