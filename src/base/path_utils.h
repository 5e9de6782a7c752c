// Path text operations on Windows-style paths ("C:\a\b.ps", "\\server\share\x"),
// the same in both builds. Backslash is the separator; operations that take user
// paths also accept the slash. Nothing here touches the file system.
#pragma once

#include <cstddef>
#include <string>

namespace hf {

// The system path limit: 259 characters and a NUL.
constexpr size_t kMaxPathBytes = 260;

// A separator of a user's path: backslash, or the slash that is taken for one.
constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// Joins a folder and a second part.
//   - An empty part gives the other part unchanged.
//   - Slashes become backslashes in both.
//   - A second part that is absolute ("X:\...") is the result as it stands.
//   - Otherwise: first without its trailing backslashes, "\", second, and the
//     result goes through NormalizePath.
//   JoinPath("C:\hot\", "a.ps") == JoinPath("C:\hot", "a.ps") == "C:\hot\a.ps"
//   JoinPath("C:\hot", "D:\x.ps") == "D:\x.ps"
//   JoinPath("C:\hot\in", "..\a.ps") == "C:\hot\a.ps"
std::string JoinPath(const std::string& first, const std::string& second);

// Tidies a path:
//   1. slashes become backslashes;
//   2. a path that begins ".\" or "..\" is taken relative to HostProgramFolder();
//   3. every "\.\" becomes "\";
//   4. every "\..\" is removed together with the folder name before it. A ".."
//      never climbs above the root ("C:\..\x" is "C:\x", "\\srv\share\..\x" is
//      "\\srv\share\x"), and one that follows another ".." stays.
std::string NormalizePath(const std::string& path);

// The part before the last separator ("\" or "/"); "X:" becomes "X:\" (a drive
// root). Empty when the path has no separator.
//   ParentFolder("C:\a\b.ps") == "C:\a";  ParentFolder("C:\b.ps") == "C:\"
//   ParentFolder("C:\a\") == "C:\a";      ParentFolder("b.ps") == ""
std::string ParentFolder(const std::string& path);

// The part after the last separator; the whole path when there is none.
std::string FileNameOnly(const std::string& path);

// From the last dot to the end, dot included, when no separator follows that
// dot; otherwise empty. GetExtension("C:\a.b\c") == "", GetExtension("x.") == ".".
std::string GetExtension(const std::string& path);

// The path without what GetExtension returns.
std::string RemoveExtension(const std::string& path);

// Appends a backslash to the text in `buffer` (of `size` bytes) when the text is
// not empty, is shorter than 259 characters, does not already end with a
// backslash and the backslash and its NUL fit the buffer.
void AddTrailingBackslash(char* buffer, size_t size);

// The path without trailing separators, keeping the one of a drive root
// ("C:\" stays as it is) and a lone separator.
std::string WithoutTrailingSeparators(std::string path);

// Removes one trailing backslash. Returns 1 when one was removed, else 0.
int RemoveTrailingBackslash(char* buffer);

// Folder of the executable of this process (the program that loaded the
// plug-in), without a trailing backslash unless it is a drive root. Empty when
// the name cannot be read. Implemented per platform.
std::string HostProgramFolder();

}  // namespace hf
