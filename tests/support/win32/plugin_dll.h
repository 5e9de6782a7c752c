// The plug-in DLL loaded the way the host loads it, called on raw blocks; a test that owns
// the only instance starts from a newly loaded plug-in.
#pragma once

#include "base/win32/windows_api.h"
#include "tests/support/win32/raw_block.h"

#include <string>

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

  // Turns off the destructor's ShutdownHandler after an InitializeHandler that none followed.
  void SkipShutdownOnUnload() { shutdownOnUnload_ = false; }

 private:
  HMODULE module_ = nullptr;
  LONG(__stdcall* entryPoint_)(DWORD, void*) = nullptr;
  std::string loadError_;
  mutable bool initialised_ = false;
  bool shutdownOnUnload_ = true;
};

}  // namespace hf
