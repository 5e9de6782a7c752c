// The plug-in DLL as the host sees it: loaded with LoadLibrary and called
// through its one export, ActionEntryPoint.
#pragma once

#include "base/win32/windows_api.h"
#include "host/plugin_parameters.h"

#include <cstdint>
#include <string>

namespace hf {

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the DLL and finds "ActionEntryPoint". On failure returns false and
  // describes the failure in `error`.
  bool Load(const std::string& path, std::string& error);

  // Calls ActionEntryPoint(selector, &block).
  int32_t Call(uint32_t selector, PluginParameters& block) const;

 private:
  using EntryPoint = LONG(__stdcall*)(DWORD, PluginParameters*);
  HMODULE module_ = nullptr;
  EntryPoint entryPoint_ = nullptr;
};

}  // namespace hf
