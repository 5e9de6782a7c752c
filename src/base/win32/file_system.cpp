// Folder creation and removal, global text blocks, handle checks and a wait.
#include "base/win32/file_system.h"
#include "base/ascii.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"

#include <cstring>

namespace hf {

namespace {

bool IsDriveRoot(const std::string& path) {
  if (path.empty() || !IsAsciiLetter(path[0]) || path.size() < 2 || path[1] != ':') return false;
  return path.size() == 2 || (path.size() == 3 && IsPathSeparator(path[2]));
}

bool IsShareRoot(const std::string& path) {
  if (path.size() < 5 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return false;
  size_t at = 2;
  size_t serverStart = at;
  while (at < path.size() && !IsPathSeparator(path[at])) ++at;
  if (at == serverStart || at == path.size()) return false;
  size_t shareStart = ++at;
  while (at < path.size() && !IsPathSeparator(path[at])) ++at;
  if (at == shareStart) return false;
  return at == path.size() || at + 1 == path.size();
}

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder;
  return folder + "\\";
}

void RemoveContents(const std::string& folder) {
  std::string prefix = WithTrailingSeparator(folder);
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(::FindFirstFileA((prefix + "*.*").c_str(), &found));
  if (!find) return;
  do {
    std::string entry = prefix + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Names beginning with a dot are kept: "." and ".." and hidden folders.
      if (found.cFileName[0] == '.') continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A junction or folder link: remove the link, never what it points to.
        ::RemoveDirectoryA(entry.c_str());
        continue;
      }
      DeleteFolder(entry);
    } else {
      ::SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(entry.c_str());
    }
  } while (::FindNextFileA(find.get(), &found));
}

}  // namespace

bool IsDriveOrShareRoot(const std::string& path) { return IsDriveRoot(path) || IsShareRoot(path); }

int CreateFolder(const std::string& path, bool createParents) {
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  if (::CreateDirectoryA(path.c_str(), nullptr)) return 0;
  DWORD error = ::GetLastError();
  switch (error) {
    case ERROR_ALREADY_EXISTS:
      // A file of that name is no folder: that is not success.
      return FolderExists(path) ? 0 : ERROR_ALREADY_EXISTS;
    case ERROR_ACCESS_DENIED: return IsDriveOrShareRoot(path) ? 0 : ERROR_ACCESS_DENIED;
    case ERROR_PATH_NOT_FOUND: {
      if (IsDriveOrShareRoot(path) || !createParents) return ERROR_PATH_NOT_FOUND;
      // A parent that is no shorter than the path (or none at all) cannot
      // be created first; stop rather than try the same path again.
      std::string parent = ParentFolder(path);
      if (parent.empty() || parent.size() >= path.size()) return ERROR_PATH_NOT_FOUND;
      int parentResult = CreateFolder(parent, true);
      if (parentResult != 0) return parentResult;
      if (::CreateDirectoryA(path.c_str(), nullptr)) return 0;
      DWORD again = ::GetLastError();
      return again == ERROR_ALREADY_EXISTS && FolderExists(path) ? 0 : static_cast<int>(again);
    }
    default: return static_cast<int>(error);
  }
}

bool CreateFolderOrLog(const std::string& path, const char* failureFormat) {
  const int error = CreateFolder(path, true);
  if (error != 0) Log(LogLevel::kError, failureFormat, path.c_str(), static_cast<unsigned long>(error));
  return error == 0;
}

void DeleteFolder(const std::string& path) {
  if (path.empty() || !FolderExists(path)) return;
  RemoveContents(path);
  ::RemoveDirectoryA(path.c_str());
}

void EmptyFolder(const std::string& path) {
  if (path.empty() || !FolderExists(path)) return;
  RemoveContents(path);
}

std::string ComparablePath(const std::string& path) {
  char full[MAX_PATH * 2];
  DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string result = (length > 0 && length < sizeof full) ? std::string(full, length) : NormalizePath(path);
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  result = WithoutTrailingSeparators(result);
  ::CharUpperBuffA(&result[0], static_cast<DWORD>(result.size()));
  return result;
}

bool IsSameOrInside(const std::string& inner, const std::string& outer) {
  if (inner.empty()) return false;
  const std::string in = ComparablePath(inner);
  std::string out = ComparablePath(outer);
  if (in == out) return true;
  if (!out.empty() && out.back() == '\\') out.pop_back();  // a drive root
  return in.size() > out.size() && in.compare(0, out.size(), out) == 0 && in[out.size()] == '\\';
}

char* CopyToGlobalBlock(const char* text) {
  if (text == nullptr) return nullptr;
  size_t length = std::strlen(text);
  auto* block = static_cast<char*>(::GlobalAlloc(GPTR, length + 1));
  if (block != nullptr) std::memcpy(block, text, length + 1);
  return block;
}

bool IsValidHandle(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

void WaitMilliseconds(DWORD milliseconds) {
  ScopedHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!event) {
    ::Sleep(milliseconds);
    return;
  }
  ::WaitForSingleObject(event.get(), milliseconds);
}

}  // namespace hf
