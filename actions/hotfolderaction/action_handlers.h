// The task selectors that work on hot folders: StartAction, GetActionStatus,
// CancelAction and EndAction. Each returns the selector's result as it is.
#pragma once

#include "actions/common/win32/plugin_parameters.h"

#include <cstdint>

int32_t StartAction(PluginParameters* params);
int32_t GetActionStatus(PluginParameters* params);
int32_t CancelAction(PluginParameters* params);
int32_t EndAction(PluginParameters* params);
