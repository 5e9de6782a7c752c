// Walking the export and import directories of a mapped PE image.
#include "tests/support/win32/pe_image.h"

namespace hf {

namespace {

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

const IMAGE_DATA_DIRECTORY* Directory(HMODULE module, int index) {
  const IMAGE_NT_HEADERS* nt = NtHeaders(module);
  if (nt == nullptr || nt->OptionalHeader.NumberOfRvaAndSizes <= static_cast<DWORD>(index)) return nullptr;
  const IMAGE_DATA_DIRECTORY* directory = &nt->OptionalHeader.DataDirectory[index];
  return directory->VirtualAddress != 0 ? directory : nullptr;
}

}  // namespace

std::vector<std::string> ExportedNames(HMODULE module) {
  std::vector<std::string> names;
  const IMAGE_DATA_DIRECTORY* directory = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (directory == nullptr) return names;
  auto base = reinterpret_cast<const BYTE*>(module);
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory->VirtualAddress);
  auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
  return names;
}

std::vector<std::string> ImportedDllNames(HMODULE module) {
  std::vector<std::string> names;
  const IMAGE_DATA_DIRECTORY* directory = Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (directory == nullptr) return names;
  auto base = reinterpret_cast<const BYTE*>(module);
  for (auto imports = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory->VirtualAddress);
       imports->Name != 0; ++imports)
    names.emplace_back(reinterpret_cast<const char*>(base + imports->Name));
  return names;
}

bool IsDllOfThisBuild(HMODULE module) {
#if defined(_WIN64)
  constexpr WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
  constexpr WORD kMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
  constexpr WORD kMachine = IMAGE_FILE_MACHINE_I386;
  constexpr WORD kMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif
  const IMAGE_NT_HEADERS* nt = NtHeaders(module);
  return nt != nullptr && nt->FileHeader.Machine == kMachine && nt->OptionalHeader.Magic == kMagic &&
         (nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
}

}  // namespace hf
