// RegistryValueScope: one registry value put back as it was when destroyed (keys it made, when empty, removed).
#pragma once

#include "base/win32/windows_api.h"

#include <string>
#include <vector>

namespace hf {

class RegistryValueScope {
 public:
  RegistryValueScope(HKEY root, std::string keyPath, std::string valueName);
  ~RegistryValueScope() { Restore(); }
  RegistryValueScope(const RegistryValueScope&) = delete;
  RegistryValueScope& operator=(const RegistryValueScope&) = delete;

  bool SetDword(DWORD value) {
    return SetRaw(REG_DWORD, {reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value + 1)});
  }
  bool SetString(const std::string& value) { return SetRaw(REG_SZ, {value.c_str(), value.c_str() + value.size() + 1}); }
  bool SetRaw(DWORD type, const std::vector<unsigned char>& bytes);
  bool Delete();
  void Restore();

 private:
  HKEY root_;
  std::string keyPath_;
  std::string valueName_;
  std::string firstCreated_;  // empty when the key existed
  bool valueExisted_ = false;
  bool restored_ = false;
  DWORD type_ = REG_NONE;
  std::vector<unsigned char> data_;
};

bool ReadRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD& type,
                       std::vector<unsigned char>& bytes);
// Deletes a key and everything below it; true when it is gone afterwards.
bool DeleteRegistryTree(HKEY root, const std::string& keyPath);
// Deletes a key only when it has neither values nor sub-keys.
bool DeleteEmptyRegistryKey(HKEY root, const std::string& keyPath);

}  // namespace hf
