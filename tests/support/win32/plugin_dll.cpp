// Loading the plug-in DLL for end-to-end tests.
#include "tests/support/win32/plugin_dll.h"

namespace hf {

PluginDll::PluginDll(const std::string& path) {
  module_ = ::LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    DWORD error = ::GetLastError();
    loadError_ = "LoadLibrary(" + path + ") failed with error " + std::to_string(error);
    return;
  }
  FARPROC procedure = ::GetProcAddress(module_, "ActionEntryPoint");
  if (procedure == nullptr) {
    loadError_ = "no export ActionEntryPoint in " + path;
    return;
  }
  entryPoint_ = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(procedure));
}

PluginDll::~PluginDll() {
  // A host shuts the plug-in down before it unloads it; so do the tests,
  // unless a test is about an unload without shutdown.
  if (entryPoint_ != nullptr && initialised_ && shutdownOnUnload_) {
    RawBlock shutdown = RawBlock::Default();
    entryPoint_(kShutdownSelector, shutdown.data());
  }
  if (module_ != nullptr) ::FreeLibrary(module_);
}

int32_t PluginDll::Call(uint32_t selector, RawBlock& block) const { return CallRaw(selector, block.data()); }

int32_t PluginDll::CallRaw(uint32_t selector, void* block) const {
  int32_t result = entryPoint_(selector, block);
  if (selector == kInitializeSelector && result == 0) initialised_ = true;
  if (selector == kShutdownSelector && result == 0) initialised_ = false;
  return result;
}

}  // namespace hf
