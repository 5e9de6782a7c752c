// The colour searches of the filename analysis: process colours by position,
// delimiters or name; spot identifiers by their start and end methods; and
// the forwarders to the catalogue lookups.
#include "base/ascii.h"
#include "grouping/scheme/filename_analyser.h"

#include <string_view>
#include <utility>

#include "base/log.h"
#include "grouping/colours/colour_lookup.h"

namespace hf {

namespace {

// The first eight process spellings, the ones the NAME method looks for.
constexpr int kNamedProcessSpellings = 8;

// The text of `name` from `begin` up to `end` (exclusive), clipped to the name.
std::string Slice(const std::string& name, long long begin, long long end) {
  long long length = static_cast<long long>(name.size());
  if (begin < 0) begin = 0;
  if (end > length) end = length;
  if (begin >= end) return std::string();
  return name.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
}

// Position of the first `c` at or after `from`, or -1.
long long FindCharFrom(const std::string& text, char c, long long from) {
  if (from < 0) from = 0;
  if (from >= static_cast<long long>(text.size())) return -1;
  size_t found = text.find(c, static_cast<size_t>(from));
  return found == std::string::npos ? -1 : static_cast<long long>(found);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return start.size() <= text.size() && EqualsIgnoringAsciiCase(text.substr(0, start.size()), start);
}

// Length of the longest catalogue prefix that `text` starts with.
size_t LongestPrefixLength(const std::vector<std::string>& prefixes, std::string_view text) {
  size_t longest = 0;
  for (const std::string& prefix : prefixes) {
    if (prefix.size() > longest && StartsWithIgnoringCase(text, prefix)) longest = prefix.size();
  }
  return longest;
}

}  // namespace

// ---- Process colours ----

bool CFilenameAnalyser::LocateProcessColour(std::string name, BestColour& best) {
  Log(LogLevel::kTrace, "In LocateProcessColour(%s)", name.c_str());
  best.Reset();
  best.type = ctProcess;
  const int32_t length = static_cast<int32_t>(name.size());

  switch (settings_.sepIdMethod) {
    case FnsMethod::POSITIONAL: {
      Log(LogLevel::kTrace, "Using POSITIONAL ProcessColour method");
      int32_t p = PositionFromOffset(settings_.sepIdOffset, length);
      best.NamePos = p;
      if (p >= 0 && p < length) {
        best.StartDelimPos = best.PrefixPos = p;
        best.FoundColor = name.substr(static_cast<size_t>(p), 1);
        best.NormalisedColor = CColourInfo::ProcessNameOf(best.FoundColor);
        if (!best.NormalisedColor.empty()) {
          best.found = true;
          best.SuffixPos = best.EndDelimPos = best.EndPos = p + 1;
          best.OriginalColor = best.NormalisedColor;
          CColourInfo::SetProcessCMYK(best);
        }
      }
      break;
    }
    case FnsMethod::DELIMITER: {
      Log(LogLevel::kTrace, "Using DELIMITER ProcessColour method");
      // Each occurrence is judged on a fresh record, so that nothing of an
      // earlier occurrence (found, CMYK) is credited to a later one.
      BestColour bestSoFar;
      for (size_t d = name.find(settings_.sepIdStartDelim); d != std::string::npos;
           d = name.find(settings_.sepIdStartDelim, d + 1)) {
        BestColour occurrence;
        occurrence.type = ctProcess;
        occurrence.StartDelimPos = static_cast<int32_t>(d);
        occurrence.PrefixPos = occurrence.NamePos = static_cast<int32_t>(d + 1);
        size_t x = name.find(settings_.sepIdEndDelim, d + 1);
        size_t end = x == std::string::npos ? name.size() : x;
        occurrence.EndDelimPos = occurrence.SuffixPos = occurrence.EndPos = static_cast<int32_t>(end);
        occurrence.FoundColor = name.substr(d + 1, end - (d + 1));
        occurrence.NormalisedColor = CColourInfo::ProcessNameOf(occurrence.FoundColor);
        if (!occurrence.NormalisedColor.empty()) {
          occurrence.found = true;
          occurrence.OriginalColor = occurrence.NormalisedColor;
          CColourInfo::SetProcessCMYK(occurrence);
        }
        if (occurrence.found && IsBetterThan(occurrence, bestSoFar)) bestSoFar = occurrence;
      }
      best = bestSoFar;
      break;
    }
    case FnsMethod::NAME: {
      Log(LogLevel::kTrace, "Using NAME ProcessColour method");
      const std::string upper = AsciiUppered(name);
      for (int i = 0; i < kNamedProcessSpellings; ++i) {
        std::string_view spelling = kProcessColourSpellings[i];
        size_t p = upper.find(spelling);
        if (p == std::string::npos) continue;
        best.NamePos = best.StartDelimPos = best.PrefixPos = static_cast<int32_t>(p);
        best.found = true;
        best.SuffixPos = best.EndDelimPos = best.EndPos = static_cast<int32_t>(p + spelling.size());
        best.FoundColor = name.substr(p, spelling.size());
        best.NormalisedColor = best.OriginalColor = kProcessColourSpellings[i % 4];
        CColourInfo::SetProcessCMYK(best);
        break;
      }
      break;
    }
    default: break;
  }

  if (best.found) {
    Log(LogLevel::kTrace, "Found ProcessColour (%s) match for %s", best.FoundColor.c_str(), name.c_str());
  } else {
    Log(LogLevel::kTrace, "Failed to find ProcessColour match for %s", name.c_str());
  }
  return best.found;
}

// ---- Spot colours: the start ----

bool CFilenameAnalyser::LocateSpotColour(std::string name, BestColour& best) {
  Log(LogLevel::kTrace, "In LocateSpotColour(%s)", name.c_str());
  best.Reset();
  best.type = ctSpot;
  const int32_t length = static_cast<int32_t>(name.size());

  switch (settings_.spotStartMethod) {
    case FnsMethod::POSITIONAL: {
      Log(LogLevel::kTrace, "Using POSITIONAL SpotColourStart method");
      int32_t p = PositionFromOffset(settings_.spotIdStartOffset, length);
      best.PrefixPos = p;
      if (p >= 0 && p < length) {
        best.StartDelimPos = p;
        SearchForSpotColour(name, best);
      }
      break;
    }
    case FnsMethod::DELIMITER:
      Log(LogLevel::kTrace, "Using DELIMITER SpotColourStart method");
      LocateSpotByDelimiters(name, best);
      break;
    case FnsMethod::PREFIX:
      Log(LogLevel::kTrace, "Using PREFIX SpotColourStart method");
      LocateSpotByPrefix(name, best);
      break;
    case FnsMethod::FIRST_ALPHABETIC: {
      Log(LogLevel::kTrace, "Using FIRST_ALPHABETIC SpotColourStart method");
      int32_t p = 0;
      while (p < length && !IsAsciiLetter(name[static_cast<size_t>(p)])) ++p;
      best.PrefixPos = p;
      if (p < length) {
        best.StartDelimPos = p;
        SearchForSpotColour(name, best);
      }
      break;
    }
    default: break;
  }

  if (best.found) {
    Log(LogLevel::kTrace, "Found SpotColour match (%s) for %s", best.FoundColor.c_str(), name.c_str());
  } else {
    Log(LogLevel::kTrace, "Failed to find SpotColour match for %s", name.c_str());
  }
  return best.found;
}

// Every occurrence of the start delimiter, each on a fresh record; the best
// of them is kept.
bool CFilenameAnalyser::LocateSpotByDelimiters(const std::string& name, BestColour& best) {
  BestColour bestSoFar;
  for (size_t d = name.find(settings_.spotIdStartDelim); d != std::string::npos;
       d = name.find(settings_.spotIdStartDelim, d + 1)) {
    BestColour occurrence;
    occurrence.type = ctSpot;
    occurrence.StartDelimPos = static_cast<int32_t>(d);
    occurrence.PrefixPos = occurrence.NamePos = static_cast<int32_t>(d + 1);
    SearchForSpotColour(name, occurrence);
    if (occurrence.found && IsBetterThan(occurrence, bestSoFar)) bestSoFar = occurrence;
  }
  best = bestSoFar;
  return best.found;
}

// The catalogue prefixes in order, each at its first occurrence (case
// ignored); the first one that leads to an identifier wins.
bool CFilenameAnalyser::LocateSpotByPrefix(const std::string& name, BestColour& best) {
  if (colourInfo_ == nullptr) return false;
  const std::string upper = AsciiUppered(name);
  for (const std::string& prefix : colourInfo_->prefixes()) {
    size_t p = upper.find(AsciiUppered(prefix));
    best.PrefixPos = p == std::string::npos ? -1 : static_cast<int32_t>(p);
    if (p == std::string::npos) continue;
    best.StartDelimPos = static_cast<int32_t>(p);
    SearchForSpotColour(name, best);
    if (best.found) break;
  }
  return best.found;
}

// ---- Spot colours: the end ----

void CFilenameAnalyser::SearchForSpotColour(const std::string& name, BestColour& best) {
  Log(LogLevel::kTrace, "In SearchForSpotColour(%s)", name.c_str());
  const int32_t length = static_cast<int32_t>(name.size());

  switch (settings_.spotEndMethod) {
    case FnsMethod::POSITIONAL: {
      Log(LogLevel::kTrace, "Using POSITIONAL SpotColourEnd method");
      long long x = static_cast<long long>(PositionFromOffset(settings_.spotIdEndOffset, length)) + 1;
      best.EndDelimPos = static_cast<int32_t>(x);
      if (best.StartDelimPos < x && x < length) {
        best.EndPos = static_cast<int32_t>(x);
        best.found = true;
        best.OriginalColor = Slice(name, best.PrefixPos, x);
        best.FoundColor = RemoveSpaces(best.OriginalColor);
        LocateAffixes(name, best);
      }
      break;
    }
    case FnsMethod::DELIMITER: {
      Log(LogLevel::kTrace, "Using DELIMITER SpotColourEnd method");
      long long x = FindCharFrom(name, settings_.spotIdEndDelim, best.NamePos);
      best.EndDelimPos = static_cast<int32_t>(x);
      if (x > best.StartDelimPos || x == -1) {
        // Without an end delimiter the identifier runs to the end of the name.
        long long end = x == -1 ? length : x;
        best.EndPos = static_cast<int32_t>(end);
        best.found = true;
        best.FoundColor = Slice(name, best.PrefixPos, end);
        best.OriginalColor = TrimmedAscii(best.FoundColor);
        LocateAffixes(name, best);
      }
      GetColourInfo(best);
      break;
    }
    case FnsMethod::SUFFIX: {
      Log(LogLevel::kTrace, "Using SUFFIX SpotColourEnd method");
      // When nothing is found the record is reset but keeps its kind.
      BestColour bestSoFar;
      bestSoFar.type = best.type;
      if (colourInfo_ == nullptr) {
        best = bestSoFar;
        break;
      }
      const std::string upper = AsciiUppered(name);
      for (const std::string& suffix : colourInfo_->suffixes()) {
        size_t last = upper.rfind(AsciiUppered(suffix));
        best.SuffixPos = last == std::string::npos ? -1 : static_cast<int32_t>(last);
        // The suffix must lie behind the start of the identifier as well as
        // behind its name part.
        if (best.PrefixPos < 0 || best.SuffixPos <= best.NamePos || best.SuffixPos <= best.PrefixPos) continue;
        std::string_view afterPrefix = std::string_view(name).substr(static_cast<size_t>(best.PrefixPos));
        afterPrefix = afterPrefix.substr(0, static_cast<size_t>(best.SuffixPos - best.PrefixPos));
        best.NamePos = best.PrefixPos + static_cast<int32_t>(LongestPrefixLength(colourInfo_->prefixes(), afterPrefix));
        best.EndDelimPos = best.EndPos = best.SuffixPos + static_cast<int32_t>(suffix.size());
        best.found = true;
        best.OriginalColor = Slice(name, best.PrefixPos, best.EndDelimPos);
        best.FoundColor = RemoveSpaces(best.OriginalColor);
        best.NormalisedColor = RemoveSpaces(Slice(name, best.NamePos, best.SuffixPos));
        GetColourInfo(best);
        if (IsBetterThan(best, bestSoFar)) bestSoFar = best;
      }
      best = bestSoFar;
      break;
    }
    default: break;
  }
}

// ---- Catalogue lookups ----

// Without a catalogue the lookups find nothing (Analyse refuses to run then).

bool CFilenameAnalyser::LocatePrefixedColour(std::string name, BestColour& best) {
  if (colourInfo_ == nullptr) {
    best.Reset();
    return false;
  }
  return hf::LocatePrefixedColour(*colourInfo_, settings_.requireCatalogueMatch, std::move(name), best);
}

bool CFilenameAnalyser::LocateCustomColour(std::string name, BestColour& best) {
  if (colourInfo_ == nullptr) {
    best.Reset();
    return false;
  }
  return hf::LocateCustomColour(*colourInfo_, std::move(name), best);
}

bool CFilenameAnalyser::MatchesUserColour(const ColourDefinition& definition, std::string name, BestColour& best) {
  return hf::MatchesUserColour(definition, name, best);
}

void CFilenameAnalyser::LocateAffixes(const std::string& name, BestColour& best) {
  if (colourInfo_ == nullptr) return;
  hf::LocateAffixes(*colourInfo_, name, best);
}

void CFilenameAnalyser::GetColourInfo(BestColour& best) {
  if (colourInfo_ != nullptr) hf::GetColourInfo(*colourInfo_, best);
}

}  // namespace hf
