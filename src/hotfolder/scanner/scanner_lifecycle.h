// The scanner's share of InitializeHandler and ShutdownHandler: configuration
// folder, exclusion lists, scan wake-up event, colour catalogue path and the
// scanner thread; at shutdown their release together with every hot folder.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>
#include <string>

namespace hf {

// InitializeHandler after its announcement:
//   - stops a scanner left running (100 ms steps);
//   - creates the configuration folder <dataFolder>\Config (that level only;
//     the host program's folder stands in when the block names no data folder);
//   - loads "FilenameExceptions.bin" and "ExtensionExceptions.bin" from it,
//     writing them with their defaults when they cannot be read;
//   - creates the scan wake-up event "QuilletHotFolder" when missing;
//   - gives the colour catalogue its path;
//   - starts the scanner thread with `params` as its block. The block must
//     stay valid while the scanner runs (until ShutdownHandler).
// A folder or list that cannot be found or created is a critical notice
// ("CRITICAL ERROR - HF cannot find or create (%s)!") and initialisation goes
// on. 0, or -1 with the system error in the block ("CreateEvent for scan",
// "AfxBeginThread for scan").
int32_t PrepareAndStartScanner(PluginParameters* params);

// ShutdownHandler between raising and clearing the refusal flag: stops the
// scanner (with three warnings when it is still active), frees both exclusion
// lists, every hot folder with its lists and group list, and empties the
// colour catalogue.
void StopScannerAndReleaseFolders();

// The configuration folder for a block: <dataFolder>\Config.
std::string ConfigurationFolder(const PluginParameters& params);

}  // namespace hf
