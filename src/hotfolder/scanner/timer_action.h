// One scan cycle, timerAction: every registered hot folder is listed, its
// finished and wanted files are admitted, typed and recorded as items of a new
// list, which then replaces the folder's pending list for GetActionStatus.
// The whole cycle holds the synchronisation event.
#pragma once

#include "host/plugin_parameters.h"

namespace hf {

// Per folder and cycle at most FileLoopLimit files (section "HFA" of the
// host's INI file, default 20) are added; the walk also ends once a file was
// previewed and PreviewFileLoopLimit (default 5) files are added. Both are read
// at the start of every folder's walk. `params` is the scanner's own block (no
// host's): its dwFlags decide whether scripts may run, and system errors are
// reported in it (it may be null). Returns 0.
int timerAction(PluginParameters* params);

}  // namespace hf
