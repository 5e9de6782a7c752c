// The scanner does not exist in this build yet: there is nothing to prepare,
// start, stop or release. The scanner module replaces this file.
#include "actions/hotfolderaction/scanner_lifecycle.h"

int32_t PrepareAndStartScanner(PluginParameters*) { return kResultOk; }

void StopScannerAndReleaseFolders() {}
