// hfhost --probe: a quick check of a plug-in DLL's boundary.
#pragma once

#include <string>

namespace hf {

// Loads the DLL and runs GetVersion and GetCaps (refused until the plug-in is
// initialised), InitializeHandler, GetVersion and GetCaps again, and
// ShutdownHandler on one default-initialised block, printing each result and
// the fields the call wrote. Exit status as described in HostUsageText().
int RunProbe(const std::string& dllPath);

}  // namespace hf
