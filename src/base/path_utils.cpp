// Path text operations on Windows-style paths, portable to both builds.
#include "base/path_utils.h"
#include "base/ascii.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace hf {

namespace {

std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// "X:\" at the start: an absolute path on a drive.
bool StartsWithDriveRoot(const std::string& path) {
  return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

void RemoveTrailingBackslashes(std::string& path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
}

// True when the component that starts at `start` belongs to the path's root
// ("X:", the empty name before a leading "\", or the server and share names of
// "\\server\share"), which a ".." must not remove.
bool IsRootComponent(const std::string& path, size_t start) {
  if (StartsWithDriveRoot(path)) return start == 0;
  if (path.compare(0, 2, "\\\\") == 0) {
    size_t serverEnd = path.find('\\', 2);
    return serverEnd == std::string::npos || start <= serverEnd + 1;
  }
  if (!path.empty() && path[0] == '\\') return start == 0;
  return false;
}

void RemoveDotSegments(std::string& path) {
  size_t at = 0;
  while ((at = path.find("\\.\\", at)) != std::string::npos) path.erase(at, 2);
}

void ResolveDotDotSegments(std::string& path) {
  size_t from = 0;
  for (;;) {
    size_t at = path.find("\\..\\", from);
    if (at == std::string::npos) return;
    size_t start = 0;
    if (at > 0) {
      size_t previous = path.rfind('\\', at - 1);
      start = previous == std::string::npos ? 0 : previous + 1;
    }
    if (at - start == 2 && path.compare(start, 2, "..") == 0) {
      from = at + 1;  // "..\..\" in a relative path: nothing left to remove
    } else if (IsRootComponent(path, start)) {
      path.erase(at, 3);  // drop "\.." and stay at the root
      from = at;
    } else {
      path.erase(start, at + 4 - start);
      from = start > 0 ? start - 1 : 0;
    }
  }
}

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

std::string JoinPath(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  std::string folder = WithBackslashes(first);
  std::string rest = WithBackslashes(second);
  if (StartsWithDriveRoot(rest)) return rest;
  RemoveTrailingBackslashes(folder);
  return NormalizePath(folder + "\\" + rest);
}

std::string NormalizePath(const std::string& path) {
  std::string result = WithBackslashes(path);
  if (result.compare(0, 2, ".\\") == 0 || result.compare(0, 3, "..\\") == 0) {
    std::string host = WithBackslashes(HostProgramFolder());
    RemoveTrailingBackslashes(host);
    if (!host.empty()) result = host + "\\" + result;
  }
  RemoveDotSegments(result);
  ResolveDotDotSegments(result);
  return result;
}

std::string ParentFolder(const std::string& path) {
  size_t last = LastSeparator(path);
  if (last == std::string::npos) return std::string();
  std::string parent = path.substr(0, last);
  if (!parent.empty() && parent.back() == ':') parent += '\\';
  return parent;
}

std::string FileNameOnly(const std::string& path) {
  size_t last = LastSeparator(path);
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string GetExtension(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return std::string();
  size_t last = LastSeparator(path);
  if (last != std::string::npos && last > dot) return std::string();
  return path.substr(dot);
}

std::string RemoveExtension(const std::string& path) { return path.substr(0, path.size() - GetExtension(path).size()); }

void AddTrailingBackslash(char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return;
  size_t length = strnlen(buffer, size);
  if (length == 0 || length >= kMaxPathBytes - 1 || length + 2 > size) return;
  if (buffer[length - 1] == '\\') return;
  buffer[length] = '\\';
  buffer[length + 1] = '\0';
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsPathSeparator(path.back()) && path[path.size() - 2] != ':') path.pop_back();
  return path;
}

int RemoveTrailingBackslash(char* buffer) {
  if (buffer == nullptr) return 0;
  size_t length = std::strlen(buffer);
  if (length == 0 || buffer[length - 1] != '\\') return 0;
  buffer[length - 1] = '\0';
  return 1;
}

}  // namespace hf
