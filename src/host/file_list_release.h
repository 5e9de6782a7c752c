// Release of the chained file list that GetActionStatus handed to the host: at
// the host's next call on the same block the plug-in frees it.
#pragma once

#include "host/plugin_parameters.h"

namespace hf {

// Frees every record of params->fileList with DeleteFileList (warning about
// each record the host has not marked safeToDelete) and sets the field to null.
void ReleaseHandedOverFileList(PluginParameters* params);

}  // namespace hf
