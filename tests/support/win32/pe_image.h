// Reads the export and import tables of a loaded module's PE image.
#pragma once

#include "common/win32/windows_api.h"

#include <string>
#include <vector>

// The names in the module's export directory, in table order.
std::vector<std::string> ExportedNames(HMODULE module);

// The DLL names in the module's import directory, in table order.
std::vector<std::string> ImportedDllNames(HMODULE module);

// True when the image is PE32 for i386 and marked as a DLL.
bool IsPe32Dll(HMODULE module);
