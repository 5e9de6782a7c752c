// InitializeHandler (selector 0) and ShutdownHandler (selector 1). The entry
// point admits InitializeHandler only once until the next ShutdownHandler.
#pragma once

#include "host/plugin_parameters.h"

#include <cstdint>

namespace hf {

class CSluicegateApp;

// Starts the remote log channel (when logging is on), announces the plug-in,
// writes pluginName, takes the host's INI descriptor and then prepares and
// starts the scanner. 0, or -1 when the scanner cannot be started.
int32_t InitializeHandler(PluginParameters* params);

// Refuses every selector while it runs, marks the library not initialised,
// stops the scanner and releases every folder and list. Always 0.
int32_t ShutdownHandler(CSluicegateApp& app, PluginParameters* params);

// "1.0.0": the build's revision text.
const char* RevisionText();

}  // namespace hf
