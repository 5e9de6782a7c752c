// LogSettingsScope: sets the log level and the logging switch the way a user
// does (DWORDs "Hot Folder" and "Logging" under the user's
// "Software\Vorlan\Quillet\Debug"), refreshes the settings as a host call
// would, and restores both values (and refreshes again) when destroyed. The
// machine-wide values under "Software\Quillet\Debug" are removed for the
// scope's lifetime too, so that the user's values decide. Messages reach the
// mailslot only when the log channel's sender is installed: call
// InitialiseLogChannel() first, as the library load does.
#pragma once

#include "tests/support/win32/registry_value_scope.h"

namespace hf {

class LogSettingsScope {
 public:
  explicit LogSettingsScope(int level, DWORD logging = 1);
  ~LogSettingsScope();
  LogSettingsScope(const LogSettingsScope&) = delete;
  LogSettingsScope& operator=(const LogSettingsScope&) = delete;

  // Writes new values and refreshes the settings.
  void Set(int level, DWORD logging = 1);

 private:
  RegistryValueScope values_[4];  // the user's level and switch, then the machine's
};

}  // namespace hf
