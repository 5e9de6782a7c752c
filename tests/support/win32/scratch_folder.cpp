// Scratch folders and whole files of the Windows tests.
#include "tests/support/win32/scratch_folder.h"

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace hf {

namespace {

std::string WithBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

void MakeFolders(const std::string& folder) {
  for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
    ::CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  ::CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& prefix, const std::string& parent) {
  static std::atomic<int> made{0};
  char temp[MAX_PATH] = {};
  DWORD length = parent.empty() ? ::GetTempPathA(MAX_PATH, temp) : 0;
  if (parent.empty() && (length == 0 || length >= MAX_PATH)) return;
  // Process numbers come round again (under Wine quickly), and a folder left
  // by an earlier run may hold what cannot be removed through this API (a
  // name with a control character): such a folder is passed over.
  const std::string base = WithBackslash(parent.empty() ? std::string(temp, length) : parent) + "hf_" + prefix + "_" +
                           std::to_string(::GetCurrentProcessId()) + "_";
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base + std::to_string(++made) + "\\";
    RemoveTree(path_);
    if (::GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) break;
  }
  MakeFolders(path_);
  DWORD attributes = ::GetFileAttributesA(path_.c_str());
  ok_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

std::string ScratchFolder::MakeSubfolder(const std::string& name) const {
  std::string folder = WithBackslash(path_ + name);
  MakeFolders(folder);
  return folder;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  ScopedHandle file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() || (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size());
}

bool ReadBytes(const std::string& path, std::string& bytes) {
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return true;
}

std::string BytesOf(const std::string& path) {
  std::string bytes;
  return ReadBytes(path, bytes) ? bytes : std::string("<unreadable>");
}

bool FileIsThere(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(::FindFirstFileA((WithBackslash(folder) + "*").c_str(), &found));
  if (!search) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
  } while (::FindNextFileA(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& folder) {
  const std::string base = WithBackslash(folder);
  WIN32_FIND_DATAA found;
  {
    ScopedFindHandle search(::FindFirstFileA((base + "*").c_str(), &found));
    if (search) {
      do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = base + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveTree(path);
        } else {
          ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          ::DeleteFileA(path.c_str());
        }
      } while (::FindNextFileA(search.get(), &found));
    }
  }
  ::RemoveDirectoryA(base.c_str());
}

std::string UnixPathOf(const std::string& windowsPath) {
  using ToUnix = char*(__cdecl*)(const WCHAR*);
  auto convert = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  const std::wstring wide(windowsPath.begin(), windowsPath.end());  // the tests' paths are ASCII
  char* unixPath = convert != nullptr ? convert(wide.c_str()) : nullptr;
  if (unixPath == nullptr) return std::string();
  std::string result = unixPath;
  ::HeapFree(::GetProcessHeap(), 0, unixPath);
  // Drive C: is reached through the prefix's "dosdevices/c:" link to "drive_c";
  // the link's name holds a ':', which a "SRC:DEST" argument cannot carry.
  const std::string link = "/dosdevices/c:/";
  size_t at = result.find(link);
  if (at != std::string::npos) result.replace(at, link.size(), "/drive_c/");
  return result;
}

}  // namespace hf
