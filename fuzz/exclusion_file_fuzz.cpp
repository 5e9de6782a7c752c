// Fuzzes the reading of an exclusion list file and the matching of names against
// its entries: every entry is non-empty, trimmed, at most 249 bytes, without NUL,
// and excludes a name made of itself.
#include "formats/exclusion_file.h"
#include "jobs/exclusion_match.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace hf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> entries = ParseExclusionText(bytes);
  const std::vector<std::string> none;
  for (const std::string& entry : entries) {
    if (entry.empty() || entry.size() > 249 || entry.find('\0') != std::string::npos) std::abort();
    char last = entry.back();
    if (last == ' ' || last == '\t' || last == '\r' || last == '\n') std::abort();
    if (!IsExcludedByLists(entry + "tail", entries, none)) std::abort();
  }
  // Any name against the entries as names and as extensions must not fault.
  IsExcludedByLists(bytes, entries, entries);
  return 0;
}
