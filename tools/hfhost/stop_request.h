// The request to stop hfhost: Ctrl+C, Ctrl+Break or closing the console sets
// it; the poll loop waits on it between polls.
#pragma once

#include "base/win32/windows_api.h"

namespace hf {

// Creates the stop event and installs the console control handler. False when
// the event cannot be created (the handler is then not installed).
bool InstallStopRequest();

// Waits up to `timeoutMs` for a stop request; true when one was made.
bool WaitForStopRequest(DWORD timeoutMs);

// Tells a waiting close handler that the host has shut the plug-in down, and
// removes the handler.
void StopRequestFinished();

}  // namespace hf
