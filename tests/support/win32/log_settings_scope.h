// LogSettingsScope: the log level and switch set in the user's registry values (the machine's
// removed meanwhile) and refreshed; both restored when destroyed. Messages reach the mailslot
// only once InitialiseLogChannel() has run, as the library load does.
#pragma once

#include "tests/support/win32/registry_value_scope.h"

namespace hf {

class LogSettingsScope {
 public:
  explicit LogSettingsScope(int level, DWORD logging = 1);
  ~LogSettingsScope();
  LogSettingsScope(const LogSettingsScope&) = delete;
  LogSettingsScope& operator=(const LogSettingsScope&) = delete;

  void Set(int level, DWORD logging = 1);

 private:
  RegistryValueScope values_[4];  // the user's level and switch, then the machine's
};

}  // namespace hf
