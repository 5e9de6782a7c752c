// Release of the chained file list that GetActionStatus handed to the host: at
// the host's next call on the same block the plug-in frees it.
#pragma once

#include "actions/common/win32/plugin_parameters.h"

#include <cstddef>

// The parts of the 1448-byte chained file record that the release reads.
constexpr size_t kFileRecordSize = 1448;
constexpr size_t kFileRecordFileNameOffset = 260;
constexpr size_t kFileRecordFileNameSize = 260;
constexpr size_t kFileRecordSafeToDeleteOffset = 804;
constexpr size_t kFileRecordNextOffset = 808;

// Frees every record of params->fileList from the head on (each pointer checked
// first) and sets the field to null. A record the host has not marked
// safeToDelete is logged at level 2 and freed all the same.
void ReleaseHandedOverFileList(PluginParameters* params);
