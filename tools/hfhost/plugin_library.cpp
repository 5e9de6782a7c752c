// Loading the plug-in DLL and calling its entry point.
#include "tools/hfhost/plugin_library.h"

namespace hf {

PluginLibrary::~PluginLibrary() {
  if (module_ != nullptr) ::FreeLibrary(module_);
}

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  module_ = ::LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    DWORD code = ::GetLastError();
    error = "cannot load " + path + " (error " + std::to_string(code) + ")";
    return false;
  }
  FARPROC procedure = ::GetProcAddress(module_, "ActionEntryPoint");
  if (procedure == nullptr) {
    DWORD code = ::GetLastError();
    error = path + " has no export ActionEntryPoint (error " + std::to_string(code) + ")";
    return false;
  }
  entryPoint_ = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(procedure));
  return true;
}

int32_t PluginLibrary::Call(uint32_t selector, PluginParameters& block) const { return entryPoint_(selector, &block); }

}  // namespace hf
