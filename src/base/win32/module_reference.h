// The threads the library starts keep it loaded while they run: each takes a
// reference to the module that holds this code before it is created, and
// gives it back as its very last step, so that a host that unloads the
// library (even without ShutdownHandler) never unmaps code that still runs.
#pragma once

#include "base/win32/windows_api.h"

namespace hf {

// One more reference to the module holding this code (the DLL, or the test
// program it is linked into); null when none could be taken.
HMODULE TakeModuleReference();

// Gives back a reference for a thread that could not be started.
void ReleaseModuleReference(HMODULE module);

// Ends the calling thread with `exitCode` and gives back its reference in the
// same step (the code after the release is the system's, not ours).
[[noreturn]] void ExitThreadReleasingModule(HMODULE module, DWORD exitCode);

}  // namespace hf
