// The colour lookups of the filename analysis: prefixed catalogue colours,
// custom match rules, affixes of a delimited spot identifier, catalogue values.
#include "grouping/colours/colour_lookup.h"
#include "base/ascii.h"

#include <algorithm>

#include "base/log.h"
#include "grouping/colours/colour_match_pattern.h"

namespace hf {

namespace {

std::string LowerCased(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The text of `name` from `begin` up to `end` (exclusive), limited to the
// name; empty when the range is empty or lies outside.
std::string Slice(const std::string& name, long long begin, long long end) {
  long long length = static_cast<long long>(name.size());
  begin = std::max(0LL, begin);
  end = std::min(length, end);
  if (begin >= end) return std::string();
  return name.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return start.size() <= text.size() && EqualsIgnoringAsciiCase(text.substr(0, start.size()), start);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return end.size() <= text.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

// Length of the longest text of `list` that `text` starts (or ends) with.
size_t LongestAffix(const std::vector<std::string>& list, std::string_view text, bool atStart) {
  size_t longest = 0;
  for (const std::string& affix : list) {
    if (affix.size() <= longest) continue;
    if (atStart ? StartsWithIgnoringCase(text, affix) : EndsWithIgnoringCase(text, affix)) longest = affix.size();
  }
  return longest;
}

void CopyDefinition(const ColourDefinition& definition, BestColour& best) {
  best.cmyk[0] = static_cast<unsigned char>(definition.c);
  best.cmyk[1] = static_cast<unsigned char>(definition.m);
  best.cmyk[2] = static_cast<unsigned char>(definition.y);
  best.cmyk[3] = static_cast<unsigned char>(definition.k);
  best.mixable = !definition.opaque;
}

}  // namespace

bool LocatePrefixedColour(CColourInfo& info, bool requireCatalogueMatch, std::string name, BestColour& best) {
  Log(LogLevel::kTrace, "In LocatePrefixedColour(%s)", name.c_str());
  best.Reset();
  const bool ignoreCase = info.ignoreCase();
  const std::string work = ignoreCase ? LowerCased(name) : name;
  const long long nameLength = static_cast<long long>(name.size());
  const std::vector<std::string>& prefixes = info.prefixes();
  const std::vector<std::string>& suffixes = info.suffixes();

  for (size_t i = 0; i < prefixes.size(); ++i) {
    Log(LogLevel::kTrace, "Matching '%s' against Prefix[%d] (%s)", name.c_str(), static_cast<int>(i),
        prefixes[i].c_str());
    const std::string prefix = ignoreCase ? LowerCased(prefixes[i]) : prefixes[i];
    size_t found = work.find(prefix);
    if (found == std::string::npos) continue;
    const long long p = static_cast<long long>(found);
    const long long plen = static_cast<long long>(prefix.size());

    for (size_t j = 0; j <= suffixes.size(); ++j) {
      long long q = nameLength;
      long long slen = 0;
      if (j == 0) {
        Log(LogLevel::kTrace, "Matching '%s' without a suffix", name.c_str());
      } else {
        const std::string suffix = ignoreCase ? LowerCased(suffixes[j - 1]) : suffixes[j - 1];
        Log(LogLevel::kTrace, "Matching '%s' against Suffix[%d] (%s)", name.c_str(), static_cast<int>(j - 1),
            suffix.c_str());
        size_t last = work.rfind(suffix);
        if (last == std::string::npos) continue;
        q = static_cast<long long>(last);
        slen = static_cast<long long>(suffix.size());
      }
      const long long span = q + slen - p;
      if (plen + slen >= span) continue;  // no room for a name

      const std::string candidate = RemoveSpaces(Slice(name, p + plen, q));
      Log(LogLevel::kTrace, "Searching for colour '%s'", candidate.c_str());

      BestColour c;
      c.type = ctPantone;
      c.FoundColor = Slice(name, p, p + span);
      c.OriginalColor = c.FoundColor;
      c.PrefixPos = c.StartDelimPos = static_cast<int32_t>(p);
      c.PrefixLength = static_cast<int32_t>(plen);
      c.SuffixPos = static_cast<int32_t>(q);
      c.SuffixLength = static_cast<int32_t>(slen);
      c.EndPos = static_cast<int32_t>(q + slen);
      c.found = true;
      Log(LogLevel::kTrace, "FoundColour = %s", c.FoundColor.c_str());

      int index = info.FindColour(candidate, false);
      const ColourEntry* entry = info.EntryAt(index);
      if (entry != nullptr) {
        Log(LogLevel::kTrace, "Found matching colour at Index %d", index);
        CopyDefinition(entry->Effective(), c);
        c.cmykDefined = true;
      } else if (requireCatalogueMatch) {
        c.found = false;
      }
      if (c.found && IsBetterThan(c, best)) best = c;
    }
  }

  if (best.found) {
    Log(LogLevel::kTrace, "Found PrefixedColour match (%s) for '%s'", best.FoundColor.c_str(), name.c_str());
  } else {
    Log(LogLevel::kTrace, "Failed to find PrefixedColour match for '%s'", name.c_str());
  }
  return best.found;
}

bool LocateCustomColour(CColourInfo& info, std::string name, BestColour& best) {
  Log(LogLevel::kTrace, "In LocateCustomColour((%s)", name.c_str());
  best.Reset();
  best.type = ctUserDefined;
  for (const ColourDefinition& definition : info.customColours()) {
    Log(LogLevel::kTrace, "Matching %s against %s", definition.name.c_str(), name.c_str());
    BestColour candidate;
    if (MatchesUserColour(definition, name, candidate) && candidate.found && IsBetterThan(candidate, best)) {
      Log(LogLevel::kTrace, "Found (better) matching for %s against %s", definition.name.c_str(), name.c_str());
      best = candidate;
    }
  }
  if (best.found) {
    Log(LogLevel::kTrace, "Found CustomColour match (%s) for %s", best.FoundColor.c_str(), name.c_str());
  } else {
    Log(LogLevel::kTrace, "Failed to find CustomColour match for %s", name.c_str());
  }
  return best.found;
}

bool MatchesUserColour(const ColourDefinition& definition, const std::string& name, BestColour& best) {
  Log(LogLevel::kTrace, "In MatchesUserColour(%s)", name.c_str());
  best.Reset();
  const int rules = std::clamp<int32_t>(definition.matchCount, 0, 4);
  int position = 0;
  for (int i = 0; i < rules; ++i) {
    const std::string& pattern = definition.matchPattern[i];
    if (pattern.empty()) break;  // an empty rule ends the list with success
    position = FindPattern(name, definition.matchOffset[i], pattern);
    if (position < 0) return false;
  }
  best.PrefixPos = best.NamePos = best.StartDelimPos = position;
  best.SuffixPos = best.EndPos = best.EndDelimPos = position + 1;
  best.found = true;
  best.type = ctUserDefined;
  best.FoundColor = definition.name;
  best.cmykDefined = true;
  CopyDefinition(definition, best);
  return true;
}

void LocateAffixes(const CColourInfo& info, const std::string& name, BestColour& best) {
  Log(LogLevel::kTrace, "In LocateAffixes(%s)", name.c_str());
  // The identifier runs from PrefixPos up to EndDelimPos; a start before the
  // name (or an end delimiter that was not found) leaves it empty.
  const std::string identifier = best.PrefixPos >= 0 ? Slice(name, best.PrefixPos, best.EndDelimPos) : std::string();
  const size_t prefixLength = LongestAffix(info.prefixes(), identifier, true);
  best.NamePos = static_cast<int32_t>(static_cast<long long>(best.PrefixPos) + static_cast<long long>(prefixLength));
  if (prefixLength == 0) {
    best.NormalisedColor = best.FoundColor;
    return;
  }
  // A prefix was found, so the identifier is not empty; an end beyond the
  // name is taken as the name's end.
  const int32_t end = std::min<int32_t>(best.EndDelimPos, static_cast<int32_t>(name.size()));
  const std::string namePart = Slice(name, best.NamePos, end);
  const size_t suffixLength = LongestAffix(info.suffixes(), namePart, false);
  best.SuffixPos = end - static_cast<int32_t>(suffixLength);
  best.NormalisedColor = best.FoundColor;
  best.FoundColor = RemoveSpaces(Slice(name, best.NamePos, best.SuffixPos));
  best.type = ctPantone;
}

void GetColourInfo(CColourInfo& info, BestColour& best) {
  const std::string key = TrimmedAscii(RemoveSpaces(best.FoundColor));
  Log(LogLevel::kTrace, "In GetColourInfo(): Searching for colour '%s'", best.OriginalColor.c_str());
  if (key.empty()) return;

  int index = info.FindColour(key, false);
  if (index >= 0) {
    best.cmykDefined = true;
  } else {
    info.AddUndefinedUserColour(best.OriginalColor);
    Log(LogLevel::kTrace, "Adding colour '%s' to colour info as an undefined user-defined colour",
        best.OriginalColor.c_str());
    index = info.FindColour(key, false);
  }

  const ColourEntry* entry = info.EntryAt(index);
  if (entry == nullptr) return;
  Log(LogLevel::kTrace, "In GetColourInfo(): Found colour '%s' at index %d", best.OriginalColor.c_str(), index);
  const ColourDefinition& definition = entry->Effective();
  if (EqualsIgnoringAsciiCase(key, definition.name)) CopyDefinition(definition, best);
}

}  // namespace hf
