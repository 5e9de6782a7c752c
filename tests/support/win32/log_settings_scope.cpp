// Test control of the log level and switch through the user's registry values.
#include "tests/support/win32/log_settings_scope.h"

#include "host/log_channel.h"

namespace hf {

namespace {

constexpr char kUserDebugKey[] = "Software\\Vorlan\\Quillet\\Debug";
constexpr char kMachineDebugKey[] = "Software\\Quillet\\Debug";
constexpr char kLevelValue[] = "Hot Folder";
constexpr char kLoggingValue[] = "Logging";

}  // namespace

LogSettingsScope::LogSettingsScope(int level, DWORD logging)
    : userLevel_(HKEY_CURRENT_USER, kUserDebugKey, kLevelValue),
      userLogging_(HKEY_CURRENT_USER, kUserDebugKey, kLoggingValue),
      machineLevel_(HKEY_LOCAL_MACHINE, kMachineDebugKey, kLevelValue),
      machineLogging_(HKEY_LOCAL_MACHINE, kMachineDebugKey, kLoggingValue) {
  machineLevel_.Delete();
  machineLogging_.Delete();
  Set(level, logging);
}

LogSettingsScope::~LogSettingsScope() = default;

LogSettingsScope::RefreshOnExit::~RefreshOnExit() { RefreshLogSettings(); }

void LogSettingsScope::Set(int level, DWORD logging) {
  userLevel_.SetDword(static_cast<DWORD>(level));
  userLogging_.SetDword(logging);
  RefreshLogSettings();
}

}  // namespace hf
