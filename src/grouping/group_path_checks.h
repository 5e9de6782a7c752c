// Checks of the paths that the group operations are handed: a file, a folder,
// and a group file together with the folder it names. Each failure is logged
// at level 2 with the caller's source name and line.
#pragma once

#include <string>

namespace hf {

// Results of the checks, with the status numbers the group code logs.
enum class PathCheck : int {
  kValid = 0,
  kEmpty = 1,
  kMissing = 3,
  kNotGroupFile = 4,
};

// kEmpty for an empty path, kMissing when no such file exists
// ("%s(%d): Path <%s> is invalid: empty" / "... invalid: missing").
PathCheck CheckFilePath(const std::string& path, const char* sourceName, int sourceLine);

// kEmpty for an empty path, kMissing when it is not an existing folder
// ("... invalid: empty" / "... invalid: non-folder/missing").
PathCheck CheckFolderPath(const std::string& path, const char* sourceName, int sourceLine);

// The file check; then kNotGroupFile unless the extension is ".fgl" (any
// case); then the group file's FileGroupInfo FolderPath is read into
// `folderPath` (left empty when an earlier check fails) and the folder check
// applied to it.
PathCheck CheckGroupFile(const std::string& path, std::string& folderPath, const char* sourceName, int sourceLine);

}  // namespace hf
