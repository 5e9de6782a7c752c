// Case-insensitive prefix matching for the exclusion lists.
#include "jobs/exclusion_match.h"

namespace hf {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace

bool BeginsWithEntry(std::string_view text, std::string_view entry) {
  if (entry.empty() || text.size() < entry.size()) return false;
  return EqualIgnoringCase(text.substr(0, entry.size()), entry);
}

std::string_view ExclusionExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string_view();
  return name.substr(dot, 255);
}

bool IsProbeFileName(std::string_view name) { return EqualIgnoringCase(name, kProbeFileName); }

}  // namespace hf
