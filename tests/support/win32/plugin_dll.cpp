// Loading the plug-in DLL as the host does.
#include "tests/support/win32/plugin_dll.h"

namespace hf {

namespace {
constexpr uint32_t kInitializeSelector = 0, kShutdownSelector = 1;
}  // namespace

PluginDll::PluginDll(const std::string& path) {
  module_ = ::LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    loadError_ = "LoadLibrary(" + path + ") failed with error " + std::to_string(::GetLastError());
    return;
  }
  FARPROC procedure = ::GetProcAddress(module_, "ActionEntryPoint");
  if (procedure == nullptr) loadError_ = "no export ActionEntryPoint in " + path;
  entryPoint_ = reinterpret_cast<decltype(entryPoint_)>(reinterpret_cast<void*>(procedure));
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

int32_t PluginDll::CallRaw(uint32_t selector, void* block) const {
  int32_t result = entryPoint_(selector, block);
  if (result == 0 && (selector == kInitializeSelector || selector == kShutdownSelector))
    initialised_ = selector == kInitializeSelector;
  return result;
}

}  // namespace hf
