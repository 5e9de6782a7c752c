// The task selectors that work on hot folders: StartAction, GetActionStatus,
// CancelAction and EndAction. Each returns the selector's result as it is.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>

namespace hf {

// Registers sourceFolder as a hot folder (or renews the set-up of the folder
// already registered under that name, ignoring case, whose task number the
// block then takes) and sets up its services. 0, or -1 for a missing folder
// name, a call before StartActionInit/CheckActionInit, a folder that cannot be
// listed or a failed allocation.
int32_t StartAction(PluginParameters* params);

// Hands every file pending for the task to the host as a chained file list in
// fileList, moving each into destinationFolder when one is set. 0 when a list
// was handed over, 1 when nothing was pending or a restart (itemNumber -1) was
// asked for, -1 when the folder is unset or the task has no folder.
int32_t GetActionStatus(PluginParameters* params);

// Stops the scanner, removes the task's folder and starts the scanner again
// for the other folders. 0 (also for a task that is not listed), or -1.
int32_t CancelAction(PluginParameters* params);

// Stops the scanner and removes every folder of the task. Always 0.
int32_t EndAction(PluginParameters* params);

}  // namespace hf
