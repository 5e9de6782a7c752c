// Saving, changing and restoring single registry values for tests.
#include "tests/support/win32/registry_value_scope.h"

#include "base/win32/scoped_handle.h"

#include <utility>

namespace hf {

namespace {

// The number of sub-keys and values of a key; -1 when it cannot be opened.
int KeyEntries(HKEY root, const std::string& keyPath) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return -1;
  ScopedRegKey key(opened);
  DWORD subKeys = 0, values = 0;
  ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
  return static_cast<int>(subKeys + values);
}

}  // namespace

bool ReadRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD& type,
                       std::vector<unsigned char>& bytes) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  ScopedRegKey key(opened);
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  bytes.assign(size, 0);
  if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS)
    return false;
  bytes.resize(size);
  return true;
}

bool DeleteRegistryTree(HKEY root, const std::string& keyPath) {
  ::RegDeleteTreeA(root, keyPath.c_str());
  ::RegDeleteKeyA(root, keyPath.c_str());
  return KeyEntries(root, keyPath) < 0;
}

bool DeleteEmptyRegistryKey(HKEY root, const std::string& keyPath) {
  return KeyEntries(root, keyPath) == 0 && ::RegDeleteKeyA(root, keyPath.c_str()) == ERROR_SUCCESS;
}

RegistryValueScope::RegistryValueScope(HKEY root, std::string keyPath, std::string valueName)
    : root_(root), keyPath_(std::move(keyPath)), valueName_(std::move(valueName)) {
  // The outermost missing level: keys from there down are the scope's to remove.
  for (size_t at = keyPath_.find('\\');; at = keyPath_.find('\\', at + 1)) {
    const std::string level = keyPath_.substr(0, at);
    if (KeyEntries(root_, level) < 0) {
      firstCreated_ = level;
      break;
    }
    if (at == std::string::npos) break;
  }
  valueExisted_ = ReadRegistryValue(root_, keyPath_, valueName_, type_, data_);
}

void RegistryValueScope::Restore() {
  if (std::exchange(restored_, true)) return;
  if (valueExisted_) {
    SetRaw(type_, data_);
    return;
  }
  Delete();
  if (firstCreated_.empty()) return;
  for (std::string level = keyPath_; level.size() >= firstCreated_.size(); level.erase(level.rfind('\\')))
    if (!DeleteEmptyRegistryKey(root_, level) || level.size() == firstCreated_.size()) break;
}

bool RegistryValueScope::SetRaw(DWORD type, const std::vector<unsigned char>& bytes) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(root_, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
    return false;
  ScopedRegKey key(created);
  return ::RegSetValueExA(key.get(), valueName_.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size())) ==
         ERROR_SUCCESS;
}

bool RegistryValueScope::Delete() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return true;
  ScopedRegKey key(opened);
  LONG result = ::RegDeleteValueA(key.get(), valueName_.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace hf
