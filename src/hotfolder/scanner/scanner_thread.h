// The scanner thread: waits for the scan interval (or a wake-up), runs one
// scan cycle per wait, and ends on a stop request or after the cycle that
// follows a wake-up.
#pragma once

#include "base/win32/windows_api.h"

namespace hf {

// The thread procedure started by ScannerState, given the module reference
// taken for it (TakeModuleReference, may be null), which it gives back as it
// ends with 0.
DWORD WINAPI ScannerThreadProc(LPVOID moduleReference);

}  // namespace hf
