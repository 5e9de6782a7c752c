// hfhost's run: load the plug-in, initialise it, start every task, poll each
// task for files until a stop condition, then end the tasks and shut down.
#pragma once

#include "tools/hfhost/host_options.h"

namespace hf {

// Exit status: 0 after a normal stop (Ctrl+C, --exit-after-idle, --max-files),
// 1 when the plug-in refused a call that the run needs (initialisation, a
// task's start) or every task failed, 2 when the DLL cannot be loaded, 3 when a
// path of the command line cannot be used.
int RunHotFolders(const HostOptions& options);

}  // namespace hf
