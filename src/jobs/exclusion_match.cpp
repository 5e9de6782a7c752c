// Case-insensitive prefix matching for the exclusion lists.
#include "jobs/exclusion_match.h"
#include "base/ascii.h"

namespace hf {

bool BeginsWithEntry(std::string_view text, std::string_view entry) {
  return !entry.empty() && StartsWithIgnoringAsciiCase(text, entry);
}

std::string_view ExclusionExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string_view();
  return name.substr(dot, 255);
}

bool IsProbeFileName(std::string_view name) { return EqualsIgnoringAsciiCase(name, kProbeFileName); }

}  // namespace hf
