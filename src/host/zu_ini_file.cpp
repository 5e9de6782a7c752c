// The host's INI file: the descriptor, the search for the file and the
// profile reads.
#include "host/zu_ini_file.h"

#include "base/win32/windows_api.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include "base/log.h"
#include "base/win32/scoped_handle.h"

#include <cstring>

namespace hf {

namespace {

constexpr size_t kFieldLimit = 259;  // a 260-byte field holds 259 characters and a NUL

std::string FieldText(const char (&field)[260]) { return std::string(field, strnlen(field, kFieldLimit)); }

std::string Join(std::string folder, const std::string& name) {
  if (name.empty()) return folder;
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder + name;
}

std::string ShellFolder(int csidl) {
  char folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return std::string();
  return folder;
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  UINT length = ::GetWindowsDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return std::string();
  return folder;
}

bool FileIsThere(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Creates the folder and every missing parent; an existing folder is fine.
void CreateFolderWithParents(const std::string& folder) {
  for (size_t at = folder.find_first_of("\\/", 3);; at = folder.find_first_of("\\/", at + 1)) {
    const std::string level = folder.substr(0, at);
    if (!level.empty() && level.back() != ':') ::CreateDirectoryA(level.c_str(), nullptr);
    if (at == std::string::npos) break;
  }
}

std::string StemOf(std::string name) {
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string ExecutableFromProcessList() {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::string();
  const DWORD self = ::GetCurrentProcessId();
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self) return std::string(entry.szExeFile, strnlen(entry.szExeFile, MAX_PATH));
  }
  return std::string();
}

std::string MainModuleName() {
  char module[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) return std::string();
  return module;
}

// A found older copy moves to the preferred place; when the copy fails it is
// used where it is.
std::string Adopt(const std::string& found, const std::string& preferred) {
  if (!::CopyFileA(found.c_str(), preferred.c_str(), FALSE)) return found;
  ::DeleteFileA(found.c_str());
  return preferred;
}

}  // namespace

std::string CurrentProcessStem() {
  std::string name = ExecutableFromProcessList();
  if (StemOf(name).empty()) name = MainModuleName();
  return StemOf(name);
}

ZuIniFile::ZuIniFile() : productFolder_("Brenmar"), companyFolder_("Vorlan") {}

void ZuIniFile::SetDescriptor(const IniFileDescriptor& descriptor) {
  std::lock_guard<std::mutex> hold(lock_);
  path_ = FieldText(descriptor.path);
  productFolder_ = FieldText(descriptor.productFolder);
  companyFolder_ = FieldText(descriptor.companyFolder);
}

bool ZuIniFile::Locate() {
  std::lock_guard<std::mutex> hold(lock_);
  return LocateHeld();
}

bool ZuIniFile::LocateHeld() {
  if (!path_.empty()) return true;
  const std::string fileName = CurrentProcessStem() + ".ini";

  const std::string preferredFolder = Join(Join(ShellFolder(CSIDL_APPDATA), companyFolder_), productFolder_);
  CreateFolderWithParents(preferredFolder);
  const std::string preferred = Join(preferredFolder, fileName);
  const std::string virtualised =
      Join(Join(Join(ShellFolder(CSIDL_LOCAL_APPDATA), "VirtualStore"), "Windows"), fileName);
  const std::string windows = Join(WindowsFolder(), fileName);

  if (FileIsThere(preferred)) {
    path_ = preferred;
  } else if (FileIsThere(virtualised)) {
    path_ = Adopt(virtualised, preferred);
  } else if (FileIsThere(windows)) {
    path_ = Adopt(windows, preferred);
  } else {
    path_ = preferred;
    Log(LogLevel::kProgress, "ZuIniFile: No INI file located. Defaulting path to %s", path_.c_str());
    return !path_.empty();
  }
  Log(LogLevel::kDetail, "ZuIniFile: INI file located at %s", path_.c_str());
  return true;
}

int ZuIniFile::GetInt(const char* section, const char* key, int defaultValue) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!LocateHeld() || path_.empty()) return defaultValue;
  return static_cast<int>(::GetPrivateProfileIntA(section, key, defaultValue, path_.c_str()));
}

std::string ZuIniFile::GetString(const char* section, const char* key, const char* defaultValue) {
  std::lock_guard<std::mutex> hold(lock_);
  const char* fallback = defaultValue != nullptr ? defaultValue : "";
  if (!LocateHeld() || path_.empty()) return fallback;
  char value[kFieldLimit + 1] = {};
  ::GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path_.c_str());
  return value;
}

std::string ZuIniFile::GetLongString(const char* section, const char* key, bool& complete) {
  std::lock_guard<std::mutex> hold(lock_);
  complete = true;
  if (!LocateHeld() || path_.empty()) return std::string();
  std::string value(kLongValueLimit + 1, '\0');
  DWORD length = ::GetPrivateProfileStringA(section, key, "", &value[0], static_cast<DWORD>(value.size()),
                                            path_.c_str());
  complete = length < kLongValueLimit;
  value.resize(length);
  return value;
}

std::string ZuIniFile::path() const {
  std::lock_guard<std::mutex> hold(lock_);
  return path_;
}

std::string ZuIniFile::productFolder() const {
  std::lock_guard<std::mutex> hold(lock_);
  return productFolder_;
}

std::string ZuIniFile::companyFolder() const {
  std::lock_guard<std::mutex> hold(lock_);
  return companyFolder_;
}

ZuIniFile& TheIniFile() {
  static ZuIniFile instance;
  return instance;
}

}  // namespace hf
