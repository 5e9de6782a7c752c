// Module references of the library's own threads.
#include "base/win32/module_reference.h"

namespace hf {

HMODULE TakeModuleReference() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&TakeModuleReference),
                            &module))
    return nullptr;
  return module;
}

void ReleaseModuleReference(HMODULE module) {
  if (module != nullptr) ::FreeLibrary(module);
}

void ExitThreadReleasingModule(HMODULE module, DWORD exitCode) {
  if (module != nullptr) ::FreeLibraryAndExitThread(module, exitCode);
  ::ExitThread(exitCode);
}

}  // namespace hf
