// DLL glue of hotfolder.dll: the exported entry point and DllMain.
#include "common/win32/windows_api.h"

extern "C" LONG __stdcall ActionEntryPoint(DWORD selector, void* params);

extern "C" LONG __stdcall ActionEntryPoint(DWORD selector, void* params) {
  (void)selector;
  (void)params;
  return -1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
