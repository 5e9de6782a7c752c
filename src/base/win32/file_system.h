// Folder creation and removal, global text blocks for the host, handle checks
// and a plain wait. These log nothing: results are system error codes or bools.
#pragma once

#include "base/win32/windows_api.h"

#include <string>

namespace hf {

// Creates the folder. Returns 0 when it exists afterwards (created now or
// already there), else a system error code:
//   - a file (not a folder) of that name: ERROR_ALREADY_EXISTS (183);
//   - empty path: ERROR_INVALID_PARAMETER (87);
//   - access denied on a drive ("X:", "X:\") or a share root ("\\srv\share"):
//     0, as such a root exists; elsewhere ERROR_ACCESS_DENIED (5);
//   - path not found: on a drive or share root ERROR_PATH_NOT_FOUND (3);
//     otherwise, with `createParents`, the parent folder is created first the
//     same way (its failure code is returned) and the folder is tried again;
//     without `createParents`, 3;
//   - any other failure: its code.
int CreateFolder(const std::string& path, bool createParents);

// CreateFolder with its parents; on failure logs at level 0 `failureFormat`,
// which takes the path ("%s") and the error code ("0x%lx"), and gives false.
bool CreateFolderOrLog(const std::string& path, const char* failureFormat);

// Removes the folder and everything in it, depth first. Read-only files are
// made writable first. Sub-folders whose name begins with a dot are kept, and
// then the folder itself stays too (it is not empty). A link to a folder
// elsewhere (junction or symbolic link) is removed as a link; what it points
// to is never touched. Does nothing when the folder does not exist.
void DeleteFolder(const std::string& path);

// As DeleteFolder, but the folder itself stays.
void EmptyFolder(const std::string& path);

// True for "X:", "X:\" and "\\server\share" (with or without a trailing
// separator; slashes count as separators).
bool IsDriveOrShareRoot(const std::string& path);

// The full form of a path for comparing paths: absolute (as GetFullPathName
// makes it), backslashes, no "." or "..", no trailing separator but a drive
// root's, upper case.
std::string ComparablePath(const std::string& path);

// True when `inner` is `outer` or lies below it, compared in ComparablePath
// form. False when `inner` is empty.
bool IsSameOrInside(const std::string& inner, const std::string& outer);

// A zero-filled fixed global memory block holding a copy of the text and its
// NUL, for texts handed to the host. Null for a null text or when memory runs
// out. The block is freed with GlobalFree.
char* CopyToGlobalBlock(const char* text);

// False for a null handle and for INVALID_HANDLE_VALUE.
bool IsValidHandle(HANDLE handle);

// Sleeps by waiting on a private manual-reset event for the given time.
void WaitMilliseconds(DWORD milliseconds);

}  // namespace hf
