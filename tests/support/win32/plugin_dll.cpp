// Loading the plug-in DLL, and reading its PE image.
#include "tests/support/win32/plugin_dll.h"

namespace hf {

namespace {

constexpr uint32_t kInitializeSelector = 0;
constexpr uint32_t kShutdownSelector = 1;

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

// The start of a data directory, or null when the image has none.
const BYTE* Directory(HMODULE module, DWORD index) {
  const IMAGE_NT_HEADERS* nt = NtHeaders(module);
  if (nt == nullptr || nt->OptionalHeader.NumberOfRvaAndSizes <= index) return nullptr;
  const DWORD address = nt->OptionalHeader.DataDirectory[index].VirtualAddress;
  return address != 0 ? reinterpret_cast<const BYTE*>(module) + address : nullptr;
}

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

std::vector<std::string> ExportedNames(HMODULE module) {
  std::vector<std::string> names;
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT));
  auto base = reinterpret_cast<const BYTE*>(module);
  for (DWORD i = 0; exports != nullptr && i < exports->NumberOfNames; ++i)
    names.emplace_back(
        reinterpret_cast<const char*>(base + reinterpret_cast<const DWORD*>(base + exports->AddressOfNames)[i]));
  return names;
}

std::vector<std::string> ImportedDllNames(HMODULE module) {
  std::vector<std::string> names;
  auto imports = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT));
  for (; imports != nullptr && imports->Name != 0; ++imports)
    names.emplace_back(reinterpret_cast<const char*>(module) + imports->Name);
  return names;
}

bool IsDllOfThisBuild(HMODULE module) {
#if defined(_WIN64)
  const WORD machine = IMAGE_FILE_MACHINE_AMD64, magic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
  const WORD machine = IMAGE_FILE_MACHINE_I386, magic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif
  const IMAGE_NT_HEADERS* nt = NtHeaders(module);
  return nt != nullptr && nt->FileHeader.Machine == machine && nt->OptionalHeader.Magic == magic &&
         (nt->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0;
}

}  // namespace hf
