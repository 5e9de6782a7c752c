// Path conversion for the stand-in host.
#include "tools/hfhost/windows_path.h"

#include "base/win32/windows_api.h"

#include <vector>

namespace hf {

namespace {

// Wine's converter from a Unix path to a DOS path; the result is allocated on
// the process heap.
using UnixToDosName = WCHAR*(__cdecl*)(const char*);

UnixToDosName WineConverter() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  FARPROC procedure = ::GetProcAddress(kernel, "wine_get_dos_file_name");
  return reinterpret_cast<UnixToDosName>(reinterpret_cast<void*>(procedure));
}

bool Narrow(const WCHAR* wide, std::string& narrow) {
  int size = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::vector<char> buffer(static_cast<size_t>(size));
  if (::WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer.data(), size, nullptr, nullptr) <= 0) return false;
  narrow.assign(buffer.data());
  return true;
}

bool FullPathName(const std::string& path, std::string& full, std::string& error) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) {
      DWORD code = ::GetLastError();
      error = "cannot make a full path of \"" + path + "\" (error " + std::to_string(code) + ")";
      return false;
    }
    if (length < buffer.size()) {
      full.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length + 1);
  }
}

}  // namespace

bool ToFullWindowsPath(const std::string& path, std::string& windowsPath, std::string& error) {
  if (path.empty()) {
    error = "empty path";
    return false;
  }
  UnixToDosName converter = path[0] == '/' ? WineConverter() : nullptr;
  if (converter == nullptr) return FullPathName(path, windowsPath, error);

  WCHAR* dosName = converter(path.c_str());
  if (dosName == nullptr) {
    error = "cannot turn the Linux path \"" + path + "\" into a Windows path";
    return false;
  }
  std::string converted;
  bool narrowed = Narrow(dosName, converted);
  ::HeapFree(::GetProcessHeap(), 0, dosName);
  if (!narrowed) {
    error = "the Windows form of \"" + path + "\" cannot be written in this code page";
    return false;
  }
  // The converter keeps "." and ".." parts; the full path name removes them.
  return FullPathName(converted, windowsPath, error);
}

std::string HostExecutableFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string(".\\");
    if (length < buffer.size()) {
      std::string module(buffer.data(), length);
      size_t slash = module.find_last_of("\\/");
      return slash == std::string::npos ? std::string(".\\") : module.substr(0, slash + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace hf
