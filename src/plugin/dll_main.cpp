// DLL glue of hotfolder.dll: the exported entry point and DllMain. DllMain only
// builds and tears down the application object; it starts and waits for
// nothing (the library's threads hold it loaded while they run).
#include "base/log.h"
#include "base/win32/windows_api.h"
#include "host/log_channel.h"
#include "host/plugin_parameters.h"
#include "hotfolder/sluicegate_app.h"
#include "plugin/entry_point.h"

using namespace hf;

#ifdef HF_COVERAGE
// The line counts of a coverage build (scripts/coverage).
extern "C" void __gcov_dump(void);
#endif

extern "C" LONG __stdcall ActionEntryPoint(DWORD selector, PluginParameters* params);

extern "C" LONG __stdcall ActionEntryPoint(DWORD selector, PluginParameters* params) {
  try {
    return RunActionEntryPoint(selector, params);
  } catch (...) {
    Log(LogLevel::kError, "=== ERROR === Selector %d failed with an unexpected exception.", static_cast<int>(selector));
    return kResultRefused;
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH: return CreateTheApp() ? TRUE : FALSE;
      case DLL_PROCESS_DETACH:
        // At process exit (reserved non-null) the system closes the handles.
        // Otherwise no thread of ours runs any more: each keeps the library
        // loaded until its last step.
        if (reserved == nullptr) {
          DestroyTheApp();
          // Let go of the mailslot, so that a monitor can be started again
          // after the host has unloaded the library.
          ShutdownLogChannel();
        }
#ifdef HF_COVERAGE
        // A library still loaded at process exit (its scanner holds it) is
        // never unloaded, so its counts are written here or not at all.
        if (reserved != nullptr) __gcov_dump();
#endif
        break;
      default: break;
    }
  } catch (...) {
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
  }
  return TRUE;
}
