// Any bytes as an INI text: parsing must be safe, the written form must be
// stable (load, save, load, save gives the same bytes twice), and reading the
// written form back must give the same keys, values and lines.
#include "formats/ini_document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace hf;

namespace {

// Every line that survives a save, with the name of its section.
std::vector<std::string> Content(const CIniDocument& document) {
  std::vector<std::string> lines;
  for (size_t s = 0; s < document.SectionCount(); ++s) {
    const CIniSection& section = document.Section(s);
    for (const CIniEntry& entry : section.entries()) {
      if (entry.IsBlank()) continue;
      std::string line = section.name();
      line.push_back('\0');
      line.append(entry.key);
      line.push_back('\0');
      line.append(entry.value);
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CIniDocument first;
  first.LoadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string saved = first.SaveToBuffer();

  CIniDocument second;
  second.LoadFromBuffer(saved);
  if (Content(second) != Content(first)) abort();
  if (second.SaveToBuffer() != saved) abort();
  return 0;
}
