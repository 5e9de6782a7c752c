// Matching of a file name against the exclusion lists: the reserved probe name,
// entries that the name begins with, and entries that its extension begins with.
// All comparisons ignore the case of ASCII letters.
#pragma once

#include <string_view>

namespace hf {

// The name of the folder-writability probe files; always excluded.
constexpr std::string_view kProbeFileName = "xtest$$$.@@@";

// True when `text` begins with `entry`, ignoring case. An empty entry matches
// nothing (an empty line is never an entry).
//   BeginsWithEntry(".ps", ".ps") and BeginsWithEntry(".psd", ".ps") are true.
bool BeginsWithEntry(std::string_view text, std::string_view entry);

// The extension of a name as the exclusions see it: from the last dot to the
// end (dot included), at most 255 bytes; empty when there is no dot.
std::string_view ExclusionExtension(std::string_view name);

// True when the name is kProbeFileName in any case.
bool IsProbeFileName(std::string_view name);

// True when the name is the probe name, begins with an entry of `names`, or has
// an extension that begins with an entry of `extensions`. Both lists are ranges
// whose elements convert to std::string_view.
//   names {"._", ".DS_Store"}: "._x.ps" and ".ds_store" are excluded, "a._b" not.
//   extensions {".ps"}: "a.PS" and "a.psd" are excluded, "ps" is not.
template <typename NameList, typename ExtensionList>
bool IsExcludedByLists(std::string_view name, const NameList& names, const ExtensionList& extensions) {
  if (IsProbeFileName(name)) return true;
  for (const auto& entry : names)
    if (BeginsWithEntry(name, entry)) return true;
  std::string_view extension = ExclusionExtension(name);
  for (const auto& entry : extensions)
    if (BeginsWithEntry(extension, entry)) return true;
  return false;
}

}  // namespace hf
