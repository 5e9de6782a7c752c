// Folder and file arguments turned into the full Windows paths that go into
// the parameter block: Windows paths as given, and under Wine also Linux paths.
#pragma once

#include <string>

namespace hf {

// The full Windows path of `path`:
//   - a path that starts with '/' is a Linux path when the process runs under
//     Wine (kernel32 exports wine_get_dos_file_name): "/work/in" -> "Z:\work\in";
//   - anything else (and '/' paths on Windows) goes through GetFullPathName,
//     relative to the current folder.
// The folder need not exist. Returns false with the reason in `error`.
bool ToFullWindowsPath(const std::string& path, std::string& windowsPath, std::string& error);

// The folder that holds hfhost.exe, with a trailing backslash.
std::string HostExecutableFolder();

}  // namespace hf
