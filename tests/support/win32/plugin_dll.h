// The plug-in DLL loaded the way the host loads it, for end-to-end tests:
// LoadLibrary, GetProcAddress("ActionEntryPoint"), calls on raw blocks.
// Each instance loads the library afresh when no other instance holds it, so a
// test that owns the only instance starts from a newly loaded plug-in.
#pragma once

#include "base/win32/windows_api.h"
#include "tests/support/win32/raw_block.h"

#include <cstdint>
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
  int32_t Call(uint32_t selector, RawBlock& block) const;
  int32_t CallRaw(uint32_t selector, void* block) const;

  // The destructor calls ShutdownHandler when InitializeHandler succeeded and
  // no ShutdownHandler followed; this turns that off.
  void SkipShutdownOnUnload() { shutdownOnUnload_ = false; }

 private:
  using EntryPoint = LONG(__stdcall*)(DWORD, void*);
  HMODULE module_ = nullptr;
  EntryPoint entryPoint_ = nullptr;
  std::string loadError_;
  static constexpr uint32_t kInitializeSelector = 0;
  static constexpr uint32_t kShutdownSelector = 1;
  mutable bool initialised_ = false;
  bool shutdownOnUnload_ = true;
};

}  // namespace hf
