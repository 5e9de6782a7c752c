// RegistryAccess: reads and writes the plug-in's registry values with the
// current user's value preferred over the machine-wide one, moving a
// machine-wide value that is found into the user's hive.

// User-hive key mapping: a key path that contains "Software\Quillet"
// (case-sensitive) gets "\Vorlan" inserted after its first element, so
// "Software\Quillet\Debug" is looked up in the user hive as
// "Software\Vorlan\Quillet\Debug". Other key paths are used unchanged.
//
// Nothing here fails its caller: a read that fails gives the caller's default,
// and every failing operation leaves a text in LastError():
// "<context> - <system message>." or "<context> - Error code = 0x<hex>.".
#pragma once

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <string>

namespace hf {

enum class PreferUser { kNo, kYes };

class RegistryAccess {
 public:
  // DWORD value. With PreferUser::kYes (the plug-in's only use): the user
  // hive's value under the mapped key path when it differs from the default;
  // otherwise the value under `root` and the unmapped path, which is then
  // moved into the user hive (written there; deleted from `root` only when
  // that write succeeded). A REG_QWORD gives its low 32 bits; any other type
  // gives the default.
  DWORD GetRegEntry(HKEY root, const char* valueName, const char* keyPath, DWORD defaultValue,
                    PreferUser preferUser = PreferUser::kYes);

  // String value (REG_SZ only; any other type gives the default). With
  // PreferUser::kYes as above, "differs from the default" meaning "not empty".
  std::string GetRegEntry(HKEY root, const char* valueName, const char* keyPath, const std::string& defaultValue,
                          PreferUser preferUser = PreferUser::kYes);

  // Writes a REG_SZ or REG_DWORD value, creating the key when missing. With
  // PreferUser::kYes it goes to the user hive under the mapped key path,
  // otherwise to `root` under `keyPath`.
  bool SetRegEntry(HKEY root, const char* valueName, const char* keyPath, const std::string& value,
                   PreferUser preferUser = PreferUser::kYes);
  bool SetRegEntry(HKEY root, const char* valueName, const char* keyPath, DWORD value,
                   PreferUser preferUser = PreferUser::kYes);

  // Removes one value from `root` under `keyPath` (no mapping).
  bool DeleteRegEntry(HKEY root, const char* valueName, const char* keyPath);

  // The text of the last failure; empty until something fails.
  const std::string& LastError() const { return lastError_; }

 private:
  bool ReadDword(HKEY root, const char* valueName, const std::string& keyPath, DWORD& value);
  bool ReadString(HKEY root, const char* valueName, const std::string& keyPath, std::string& value);
  void SetLastErrorText(const std::string& context, DWORD error);
  ScopedRegKey CreateWriteKey(HKEY root, const char* keyPath, PreferUser preferUser, const char* context);

  std::string lastError_;
};

// The key path used in the user hive for `keyPath` (see the mapping above).
std::string UserHiveKeyPath(const std::string& keyPath);

// "<context> - <system message>." for an error number, or
// "<context> - Error code = 0x<hex>." when the system has no message for it.
std::string RegistryErrorText(const std::string& context, DWORD error);

}  // namespace hf
