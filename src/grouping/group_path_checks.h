// Checks of the paths that the group operations are handed: a file, a folder,
// and a group file together with the folder it names. Each failure is logged
// at level 2 with the caller's source name and line.
#pragma once

#include <string>

namespace hf {

// Results of the checks.
constexpr int kPathValid = 0;
constexpr int kPathEmpty = 1;
constexpr int kPathMissing = 3;
constexpr int kPathNotGroupFile = 4;

// kPathEmpty for an empty path, kPathMissing when no such file exists
// ("%s(%d): Path <%s> is invalid: empty" / "... invalid: missing").
int CheckFilePath(const std::string& path, const char* sourceName, int sourceLine);

// kPathEmpty for an empty path, kPathMissing when it is not an existing folder
// ("... invalid: empty" / "... invalid: non-folder/missing").
int CheckFolderPath(const std::string& path, const char* sourceName, int sourceLine);

// The file check; then kPathNotGroupFile unless the extension is ".fgl" (any
// case); then the group file's FileGroupInfo FolderPath is read into
// `folderPath` (left empty when an earlier check fails) and the folder check
// applied to it.
int CheckGroupFile(const std::string& path, std::string& folderPath, const char* sourceName, int sourceLine);

}  // namespace hf
