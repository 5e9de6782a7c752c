// The plug-in DLL loaded the way the host loads it, for end-to-end tests:
// LoadLibrary, GetProcAddress("ActionEntryPoint"), calls on raw blocks. Each
// instance loads the library afresh when no other instance holds it, so a
// test that owns the only instance starts from a newly loaded plug-in.
#pragma once

#include "base/win32/windows_api.h"
#include "tests/support/win32/raw_block.h"

#include <string>
#include <vector>

namespace hf {

class PluginDll {
 public:
  explicit PluginDll(const std::string& path);
  ~PluginDll();
  PluginDll(const PluginDll&) = delete;
  PluginDll& operator=(const PluginDll&) = delete;

  bool loaded() const { return entryPoint_ != nullptr; }
  const std::string& loadError() const { return loadError_; }
  HMODULE module() const { return module_; }

  // ActionEntryPoint(selector, block).
  int32_t Call(uint32_t selector, RawBlock& block) const { return CallRaw(selector, block.data()); }
  int32_t CallRaw(uint32_t selector, void* block) const;

  // The destructor calls ShutdownHandler when InitializeHandler succeeded and
  // no ShutdownHandler followed; this turns that off.
  void SkipShutdownOnUnload() { shutdownOnUnload_ = false; }

 private:
  HMODULE module_ = nullptr;
  LONG(__stdcall* entryPoint_)(DWORD, void*) = nullptr;
  std::string loadError_;
  mutable bool initialised_ = false;
  bool shutdownOnUnload_ = true;
};

// The names in a loaded module's export directory, and the DLL names in its
// import directory, in table order.
std::vector<std::string> ExportedNames(HMODULE module);
std::vector<std::string> ImportedDllNames(HMODULE module);
// True when the image is a DLL of this build's kind: PE32 for i386 in the
// win32 build, PE32+ for x86-64 in the win64 build.
bool IsDllOfThisBuild(HMODULE module);

}  // namespace hf
