// Registry reads with the user's value preferred, the move of machine-wide
// values into the user's hive, writes, deletes and their error texts.
#include "base/win32/registry_access.h"

#include "base/win32/scoped_handle.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace hf {

namespace {

constexpr REGSAM kReadAccess = 0x20019;  // KEY_READ
constexpr char kMappedMarker[] = "Software\\Quillet";
constexpr char kUserHiveInsert[] = "\\Vorlan";

// Value names appear in error texts; null names the key's default value.
const char* Shown(const char* valueName) { return valueName != nullptr ? valueName : ""; }

std::string Formatted(const char* format, const char* valueName) {
  char text[1024];
  std::snprintf(text, sizeof text, format, Shown(valueName));
  return text;
}

// A value already in its user-hive place is not moved onto itself.
bool MovesToUserHive(HKEY root, const std::string& keyPath) {
  return !(root == HKEY_CURRENT_USER && UserHiveKeyPath(keyPath) == keyPath);
}

}  // namespace

std::string UserHiveKeyPath(const std::string& keyPath) {
  if (keyPath.find(kMappedMarker) == std::string::npos) return keyPath;
  size_t firstElementEnd = keyPath.find('\\');
  if (firstElementEnd == std::string::npos) return keyPath;
  std::string mapped = keyPath;
  mapped.insert(firstElementEnd, kUserHiveInsert);
  return mapped;
}

std::string RegistryErrorText(const std::string& context, DWORD error) {
  char* message = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&message), 0, nullptr);
  ScopedLocalBlock owner(message);
  std::string text(message != nullptr ? message : "", message != nullptr ? length : 0);
  // System messages end with a full stop and a line break; the error text
  // stays on one line and ends with the format's own full stop.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty()) {
    char code[64];
    std::snprintf(code, sizeof code, " - Error code = 0x%lx.", static_cast<unsigned long>(error));
    return context + code;
  }
  return context + " - " + text + ".";
}

void RegistryAccess::SetLastErrorText(const std::string& context, DWORD error) {
  lastError_ = RegistryErrorText(context, error);
}

bool RegistryAccess::ReadDword(HKEY root, const char* valueName, const std::string& keyPath, DWORD& value) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(root, keyPath.c_str(), 0, kReadAccess, &opened);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText("GetRegEntry(): RegOpenKeyEx()", static_cast<DWORD>(result));
    return false;
  }
  ScopedRegKey key(opened);
  unsigned char data[8] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  result = ::RegQueryValueExA(key.get(), valueName, nullptr, &type, data, &size);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText(Formatted("GetRegEntry(): RegGetValue('%s')", valueName), static_cast<DWORD>(result));
    return false;
  }
  // Both types are little-endian; a QWORD's first four bytes are its low half.
  if ((type == REG_DWORD && size == 4) || (type == REG_QWORD && size == 8)) {
    std::memcpy(&value, data, sizeof value);
    return true;
  }
  return false;
}

bool RegistryAccess::ReadString(HKEY root, const char* valueName, const std::string& keyPath, std::string& value) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(root, keyPath.c_str(), 0, kReadAccess, &opened);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText("GetRegEntry(): RegOpenKeyEx()", static_cast<DWORD>(result));
    return false;
  }
  ScopedRegKey key(opened);
  const std::string queryContext = Formatted("GetRegEntry(): RegGetValue('%s')", valueName);
  DWORD type = REG_NONE;
  DWORD size = 0;
  result = ::RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText(queryContext, static_cast<DWORD>(result));
    return false;
  }
  // One zeroed byte more than the data: a stored string without its NUL
  // still ends.
  std::vector<char> data;
  try {
    data.assign(static_cast<size_t>(size) + 1, '\0');
  } catch (...) {
    SetLastErrorText(Formatted("GetRegEntry(): Allocate data storage for ('%s').", valueName), ERROR_OUTOFMEMORY);
    return false;
  }
  result = ::RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText(queryContext, static_cast<DWORD>(result));
    return false;
  }
  if (type != REG_SZ) return false;
  value.assign(data.data());
  return true;
}

DWORD RegistryAccess::GetRegEntry(HKEY root, const char* valueName, const char* keyPath, DWORD defaultValue,
                                  PreferUser preferUser) {
  const std::string path = keyPath != nullptr ? keyPath : "";
  if (preferUser == PreferUser::kYes) {
    DWORD user = defaultValue;
    if (ReadDword(HKEY_CURRENT_USER, valueName, UserHiveKeyPath(path), user) && user != defaultValue) return user;
  }
  DWORD value = defaultValue;
  if (!ReadDword(root, valueName, path, value)) return defaultValue;
  if (preferUser == PreferUser::kYes && value != defaultValue && MovesToUserHive(root, path)) {
    if (SetRegEntry(root, valueName, keyPath, value, PreferUser::kYes)) DeleteRegEntry(root, valueName, keyPath);
  }
  return value;
}

std::string RegistryAccess::GetRegEntry(HKEY root, const char* valueName, const char* keyPath,
                                        const std::string& defaultValue, PreferUser preferUser) {
  const std::string path = keyPath != nullptr ? keyPath : "";
  if (preferUser == PreferUser::kYes) {
    std::string user;
    if (ReadString(HKEY_CURRENT_USER, valueName, UserHiveKeyPath(path), user) && !user.empty()) return user;
  }
  std::string value;
  if (!ReadString(root, valueName, path, value)) return defaultValue;
  if (preferUser == PreferUser::kYes && !value.empty() && MovesToUserHive(root, path)) {
    if (SetRegEntry(root, valueName, keyPath, value, PreferUser::kYes)) DeleteRegEntry(root, valueName, keyPath);
  }
  return value;
}

// Opens (creating when missing) the key a write goes to: the user hive under
// the mapped path, or the given root. Failures leave their text under `context`.
ScopedRegKey RegistryAccess::CreateWriteKey(HKEY root, const char* keyPath, PreferUser preferUser,
                                            const char* context) {
  const std::string path = keyPath != nullptr ? keyPath : "";
  HKEY target = preferUser == PreferUser::kYes ? HKEY_CURRENT_USER : root;
  const std::string targetPath = preferUser == PreferUser::kYes ? UserHiveKeyPath(path) : path;
  HKEY created = nullptr;
  LONG result = ::RegCreateKeyExA(target, targetPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &created, nullptr);
  if (result != ERROR_SUCCESS) {
    SetLastErrorText(context, static_cast<DWORD>(result));
    return ScopedRegKey();
  }
  return ScopedRegKey(created);
}

bool RegistryAccess::SetRegEntry(HKEY root, const char* valueName, const char* keyPath, const std::string& value,
                                 PreferUser preferUser) {
  ScopedRegKey key = CreateWriteKey(root, keyPath, preferUser, "SetRegEntry(): RegCreateKeyEx() failed");
  if (!key) return false;
  LONG result = ::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  if (result != ERROR_SUCCESS) {
    char context[1024];
    std::snprintf(context, sizeof context, "SetRegEntry(): RegSetValueEx(%s, %s)", Shown(valueName), value.c_str());
    SetLastErrorText(context, static_cast<DWORD>(result));
    return false;
  }
  return true;
}

bool RegistryAccess::SetRegEntry(HKEY root, const char* valueName, const char* keyPath, DWORD value,
                                 PreferUser preferUser) {
  ScopedRegKey key = CreateWriteKey(root, keyPath, preferUser, "SetRegEntry(): RegCreateKeyEx()");
  if (!key) return false;
  LONG result =
      ::RegSetValueExA(key.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  if (result != ERROR_SUCCESS) {
    char context[1024];
    std::snprintf(context, sizeof context, "SetRegEntry: RegSetValueEx(%s, %lu)", Shown(valueName),
                  static_cast<unsigned long>(value));
    SetLastErrorText(context, static_cast<DWORD>(result));
    return false;
  }
  return true;
}

bool RegistryAccess::DeleteRegEntry(HKEY root, const char* valueName, const char* keyPath) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(root, keyPath != nullptr ? keyPath : "", 0, KEY_SET_VALUE, &opened);
  ScopedRegKey key(opened);
  if (result == ERROR_SUCCESS) result = ::RegDeleteValueA(key.get(), valueName);
  if (result != ERROR_SUCCESS) {
    char context[1024];
    std::snprintf(context, sizeof context, "DeleteRegEntry(): RegDeleteValue(%s) failed - error - 0x%lx.",
                  Shown(valueName), static_cast<unsigned long>(result));
    SetLastErrorText(context, static_cast<DWORD>(result));
    return false;
  }
  return true;
}

}  // namespace hf
