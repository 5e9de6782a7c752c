// Reads the export and import tables of a loaded module's PE image.
#pragma once

#include "base/win32/windows_api.h"

#include <string>
#include <vector>

namespace hf {

// The names in the module's export directory, in table order.
std::vector<std::string> ExportedNames(HMODULE module);

// The DLL names in the module's import directory, in table order.
std::vector<std::string> ImportedDllNames(HMODULE module);

// True when the image is a DLL of this build's kind: PE32 for i386 in the
// win32 build, PE32+ for x86-64 in the win64 build.
bool IsDllOfThisBuild(HMODULE module);

}  // namespace hf
