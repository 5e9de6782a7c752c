// Test control of the log level and switch through the user's registry values.
#include "tests/support/win32/log_settings_scope.h"

#include "host/log_channel.h"

namespace hf {

LogSettingsScope::LogSettingsScope(int level, DWORD logging)
    : values_{{HKEY_CURRENT_USER, "Software\\Vorlan\\Quillet\\Debug", "Hot Folder"},
              {HKEY_CURRENT_USER, "Software\\Vorlan\\Quillet\\Debug", "Logging"},
              {HKEY_LOCAL_MACHINE, "Software\\Quillet\\Debug", "Hot Folder"},
              {HKEY_LOCAL_MACHINE, "Software\\Quillet\\Debug", "Logging"}} {
  values_[2].Delete();
  values_[3].Delete();
  Set(level, logging);
}

LogSettingsScope::~LogSettingsScope() {
  for (RegistryValueScope& value : values_) value.Restore();
  RefreshLogSettings();
}

void LogSettingsScope::Set(int level, DWORD logging) {
  values_[0].SetDword(static_cast<DWORD>(level));
  values_[1].SetDword(logging);
  RefreshLogSettings();
}

}  // namespace hf
