// The scanner's share of InitializeHandler and ShutdownHandler: configuration
// folder, exclusion lists, scan wake-up event, colour catalogue path and the
// scanner thread; at shutdown their release together with every hot folder.
#pragma once

#include "actions/common/win32/plugin_parameters.h"

#include <cstdint>

// InitializeHandler after its announcement: stops a scanner left running,
// prepares the configuration folder and both exclusion lists, creates the scan
// wake-up event, gives the colour catalogue its path and starts the scanner
// thread with `params` as its argument. 0, or -1 with the system error in the block.
int32_t PrepareAndStartScanner(PluginParameters* params);

// ShutdownHandler between raising and clearing the refusal flag: stops the
// scanner (warning when it is still active), frees both exclusion lists,
// every hot folder with its lists and group list, and empties the catalogue.
void StopScannerAndReleaseFolders();
