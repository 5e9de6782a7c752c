// The colour catalogue: reading Colours.ini into lists, writing the lists back
// in place, the indexed colour search and the addition of unknown colours.
#include "grouping/colours/colour_info.h"
#include "base/ascii.h"

#include "base/file_io.h"
#include "base/leading_integer.h"
#include "base/log.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace hf {

namespace {

constexpr char kOptions[] = "Options";
constexpr char kIgnoreCase[] = "ignore_case";
constexpr char kPrefixes[] = "Prefixes";
constexpr char kSuffixes[] = "Suffixes";
constexpr char kUserDefined[] = "UserDefinedSpotColours";
constexpr char kPredefined[] = "PredefinedSpotColours";
constexpr char kCustomMatch[] = "CustomColourMatch";
constexpr char kType[] = "type";
constexpr char kCmyk[] = "cmyk";
constexpr char kMix[] = "mix";
constexpr char kMatch[] = "match";

// The value given to a colour that arrives in a file name but is not known.
constexpr int32_t kUndefinedC = 0;
constexpr int32_t kUndefinedM = 112;
constexpr int32_t kUndefinedY = 154;
constexpr int32_t kUndefinedK = 11;

// One "%d" of a scanf format: white space skipped, an optional sign, at least
// one decimal digit. Values beyond 32 bits are clamped. False (position
// unchanged) when no number stands there.
bool ScanInteger(std::string_view text, size_t& position, int32_t& value) {
  size_t p = position;
  while (p < text.size() && IsAsciiSpace(text[p])) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !IsAsciiDigit(text[p])) return false;
  long long magnitude = 0;
  for (; p < text.size() && IsAsciiDigit(text[p]); ++p) {
    if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[p] - '0');
  }
  long long signedValue = negative ? -magnitude : magnitude;
  value = static_cast<int32_t>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
  position = p;
  return true;
}

// Reads up to `count` integers as "%d %d ..." does; the number read.
int ScanIntegers(std::string_view text, int32_t* values, int count) {
  size_t position = 0;
  int read = 0;
  while (read < count && ScanInteger(text, position, values[read])) ++read;
  return read;
}

// A match rule value: a start offset, then a pattern between the first two
// double quotes that follow it.
bool ParseMatchRule(std::string_view value, int32_t& offset, std::string& pattern) {
  size_t position = 0;
  if (!ScanInteger(value, position, offset)) return false;
  size_t open = value.find('"', position);
  if (open == std::string_view::npos) return false;
  size_t close = value.find('"', open + 1);
  if (close == std::string_view::npos) return false;
  pattern.assign(value.substr(open + 1, close - open - 1));
  return true;
}

std::string Format(const char* format, int32_t a, int32_t b, int32_t c, int32_t d) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, static_cast<int>(a), static_cast<int>(b), static_cast<int>(c),
                static_cast<int>(d));
  return buffer;
}

std::string SpotColourValue(const ColourDefinition& colour) {
  std::string value = Format("%d %d %d %d", colour.c, colour.m, colour.y, colour.k);
  if (colour.opaque) value += " 1";
  return value;
}

// One entry to be written; `adjacent` asks that it directly follow the entry
// written before it (a match rule belongs to the mix entry above it).
struct PlannedEntry {
  std::string key;
  std::string value;
  bool adjacent = false;
};

// Rewrites a section so that its key entries are `planned`, in order. The
// existing key entries are overwritten one by one, so raw and blank lines keep
// their places; surplus key entries are deleted, and further planned entries
// go after the last key entry (before trailing blank lines). A missing
// section is appended only when there is something to write.
void RewriteSection(CIniDocument& document, std::string_view name, const std::vector<PlannedEntry>& planned) {
  std::optional<size_t> found = document.FindSection(name);
  if (!found) {
    if (planned.empty()) return;
    found = document.AddSection(std::string(name));
  }
  CIniSection& section = document.Section(*found);
  size_t next = 0;          // next planned entry
  size_t afterWritten = 0;  // position after the last entry written or kept
  size_t i = 0;
  while (i < section.EntryCount()) {
    if (section.Entry(i).IsRaw()) {
      ++i;
      continue;
    }
    if (next >= planned.size()) {
      section.EraseEntry(i);
      continue;
    }
    const PlannedEntry& entry = planned[next++];
    if (entry.adjacent && next > 1 && i != afterWritten) {
      // Raw lines stand between this slot and the entry it must follow.
      section.InsertEntry(afterWritten, entry.key, entry.value);
      afterWritten = afterWritten + 1;
      i = i + 1;  // the slot moved down by the insertion; fill it next
      continue;
    }
    section.ReplaceEntry(i, entry.key, entry.value);
    afterWritten = ++i;
  }
  if (next < planned.size()) {
    size_t position = afterWritten;
    if (position == 0) {
      // No key entries: after the last line that is not blank.
      position = section.EntryCount();
      while (position > 0 && section.Entry(position - 1).IsBlank()) --position;
    }
    for (; next < planned.size(); ++next, ++position) {
      section.InsertEntry(position, planned[next].key, planned[next].value);
    }
  }
}

}  // namespace

const char* const kProcessColourSpellings[kProcessSpellingCount] = {"CYAN", "MAGENTA", "YELLOW", "BLACK", "CYN", "MAG",
                                                                    "YEL",  "BLK",     "C",      "M",     "Y",   "K"};

const char* const kProcessColourNames[4] = {"Cyan", "Magenta", "Yellow", "Black"};

int ProcessSpellingIndex(std::string_view text) {
  for (int i = 0; i < kProcessSpellingCount; ++i) {
    if (EqualsIgnoringAsciiCase(text, kProcessColourSpellings[i])) return i;
  }
  return -1;
}

void ProcessColourSolid(int colour, unsigned char cmyk[4]) {
  for (int i = 0; i < 4; ++i) cmyk[i] = (i == colour) ? 255 : 0;
}

std::string RemoveSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

// ---- Loading ----

bool CColourInfo::LoadCatalogue(int flags) {
  CIniDocument loaded;
  if (!loaded.Load(document_.path())) return false;
  document_ = std::move(loaded);
  ReadSections(flags);
  loadedFlags_ = flags;
  return true;
}

void CColourInfo::LoadCatalogueFromText(std::string_view text, int flags) {
  document_.LoadFromBuffer(text);
  ReadSections(flags);
  loadedFlags_ = flags;
}

void CColourInfo::ReadSections(int flags) {
  if (flags & kCatalogueAffixes) {
    ReadOptions();
    ReadAffixList(kPrefixes, prefixes_);
    ReadAffixList(kSuffixes, suffixes_);
  }
  if (flags & kCatalogueSpotColours) ReadSpotColours();
  if (flags & kCatalogueCustomMatch) ReadCustomColours();
}

void CColourInfo::ReadOptions() {
  std::string value;
  if (document_.FindValue(kOptions, kIgnoreCase, value) && !value.empty()) {
    ignoreCase_ = LeadingInteger(value) == 1;
  }
}

void CColourInfo::ReadAffixList(std::string_view section, std::vector<std::string>& list) const {
  list.clear();
  const std::optional<size_t> found = document_.FindSection(section);
  if (!found) return;
  for (const CIniEntry& entry : document_.Section(*found).entries()) {
    if (!entry.key.empty()) list.push_back(entry.key);
  }
}

void CColourInfo::ReadSpotColours() {
  spotColours_.clear();
  for (bool user : {true, false}) {
    const std::optional<size_t> found = document_.FindSection(user ? kUserDefined : kPredefined);
    if (!found) continue;
    for (const CIniEntry& entry : document_.Section(*found).entries()) {
      if (entry.key.empty()) continue;
      int32_t values[5] = {0, 0, 0, 255, 0};  // C M Y K O
      ScanIntegers(entry.value, values, 5);
      ColourEntry colour;
      ColourDefinition& definition = user ? colour.userDefined : colour.predefined;
      definition.name = entry.key;
      definition.c = values[0];
      definition.m = values[1];
      definition.y = values[2];
      definition.k = values[3];
      definition.opaque = values[4] == 1;
      spotColours_.push_back(std::move(colour));
    }
  }
  // Neighbours are only ever exchanged when the first compares greater, so
  // equal names keep their reading order: a stable sort gives the same list.
  std::stable_sort(spotColours_.begin(), spotColours_.end(), [](const ColourEntry& a, const ColourEntry& b) {
    return NaturalCompare(a.EffectiveName(), b.EffectiveName()) < 0;
  });
  RebuildIndex();
}

void CColourInfo::ReadCustomColours() {
  customColours_.clear();
  const std::optional<size_t> found = document_.FindSection(kCustomMatch);
  if (!found) return;
  const std::vector<CIniEntry>& entries = document_.Section(*found).entries();
  const size_t count = entries.size();

  // next[k][i]: the first entry at or after i whose key is keyword k (count
  // when none), so every search below is one step however the blocks lie.
  const char* const keywords[3] = {kType, kCmyk, kMix};
  std::vector<size_t> next[3];
  for (int k = 0; k < 3; ++k) {
    next[k].assign(count + 1, count);
    for (size_t i = count; i-- > 0;) {
      next[k][i] = EqualsIgnoringAsciiCase(entries[i].key, keywords[k]) ? i : next[k][i + 1];
    }
  }

  size_t cursor = 0;
  while (cursor < count) {
    size_t type = next[0][cursor];
    if (type == count) return;  // no further block
    // cmyk and mix are searched from the type entry, so a type is read once.
    size_t cmyk = next[1][type];
    size_t mix = next[2][type];
    if (cmyk == count || mix == count) return;  // incomplete block: stop reading

    ColourDefinition definition;
    definition.name = ProcessNameOf(entries[type].value);
    int32_t values[4] = {0, 0, 0, 0};
    if (ScanIntegers(entries[cmyk].value, values, 4) == 4) {
      definition.c = values[0];
      definition.m = values[1];
      definition.y = values[2];
      definition.k = values[3];
    }
    int32_t mixValue = 1;
    ScanIntegers(entries[mix].value, &mixValue, 1);
    definition.opaque = mixValue == 0;

    size_t rule = mix + 1;
    for (; rule < count && EqualsIgnoringAsciiCase(entries[rule].key, kMatch); ++rule) {
      int32_t offset = 0;
      std::string pattern;
      if (!ParseMatchRule(entries[rule].value, offset, pattern)) return;  // malformed block: stop
      if (definition.matchCount < 4) {
        definition.matchOffset[definition.matchCount] = offset;
        definition.matchPattern[definition.matchCount] = std::move(pattern);
        ++definition.matchCount;
      }
    }
    customColours_.push_back(std::move(definition));
    cursor = rule;  // always beyond the previous cursor, so reading ends
  }
}

// ---- Saving ----

// Only the sections that were read are written: lists that were never loaded
// (or were cleared since) would otherwise empty the file's sections.
void CColourInfo::WriteSections() {
  document_.SetSeparatorFlag(true);
  std::vector<PlannedEntry> planned;
  if (loadedFlags_ & kCatalogueAffixes) {
    document_.SetValue(kOptions, kIgnoreCase, ignoreCase_ ? "1" : "0");
    for (const auto& [section, list] : {std::make_pair(kPrefixes, &prefixes_), std::make_pair(kSuffixes, &suffixes_)}) {
      planned.clear();
      for (const std::string& text : *list) planned.push_back({text, std::string(), false});
      RewriteSection(document_, section, planned);
    }
  }
  if (loadedFlags_ & kCatalogueSpotColours) WriteSpotColourSections();
  if (loadedFlags_ & kCatalogueCustomMatch) WriteCustomSection();
}

void CColourInfo::WriteSpotColourSections() {
  std::vector<PlannedEntry> planned;
  for (bool user : {true, false}) {
    planned.clear();
    for (const ColourEntry& colour : spotColours_) {
      if (colour.IsUserDefined() != user) continue;
      const ColourDefinition& definition = colour.Effective();
      if (definition.name.empty()) continue;
      planned.push_back({definition.name, SpotColourValue(definition), false});
    }
    RewriteSection(document_, user ? kUserDefined : kPredefined, planned);
  }
}

void CColourInfo::WriteCustomSection() {
  std::vector<PlannedEntry> planned;
  for (const ColourDefinition& definition : customColours_) {
    if (definition.name.empty()) continue;
    planned.push_back({kType, definition.name, false});
    planned.push_back({kCmyk, Format("%d %d %d %d", definition.c, definition.m, definition.y, definition.k), false});
    planned.push_back({kMix, definition.opaque ? "0" : "1", false});
    int rules = std::clamp<int32_t>(definition.matchCount, 0, 4);
    for (int i = 0; i < rules; ++i) {
      char offset[16];
      std::snprintf(offset, sizeof offset, "%d", static_cast<int>(definition.matchOffset[i]));
      planned.push_back({kMatch, std::string(offset) + " \"" + definition.matchPattern[i] + "\"", true});
    }
  }
  RewriteSection(document_, kCustomMatch, planned);
}

bool CColourInfo::SaveCatalogue() {
  WriteSections();
  return document_.Save();
}

std::string CColourInfo::SaveCatalogueToText() {
  WriteSections();
  return document_.SaveToBuffer();
}

void CColourInfo::ClearCatalogue() {
  loadedFlags_ = 0;
  spotColours_.clear();
  customColours_.clear();
  prefixes_.clear();
  suffixes_.clear();
  RebuildIndex();
}

// ---- Searching ----

void CColourInfo::RebuildIndex() {
  userExact_.clear();
  userFolded_.clear();
  predefinedExact_.clear();
  predefinedFolded_.clear();
  for (size_t i = 0; i < spotColours_.size(); ++i) IndexEntry(i);
}

// Records entry `index` where it is the first of its name; emplace keeps an
// earlier index, which RebuildIndex visits first.
void CColourInfo::IndexEntry(size_t index) {
  const ColourEntry& colour = spotColours_[index];
  const std::string& name = colour.EffectiveName();
  if (name.empty()) return;
  NameIndex& exact = colour.IsUserDefined() ? userExact_ : predefinedExact_;
  NameIndex& folded = colour.IsUserDefined() ? userFolded_ : predefinedFolded_;
  exact.emplace(name, static_cast<int>(index));
  folded.emplace(AsciiUppered(name), static_cast<int>(index));
}

int CColourInfo::FindColour(std::string_view name, bool caseInsensitive) const {
  std::string key = TrimmedAscii(name);
  if (key.empty() || spotColours_.empty()) return -1;
  std::string spaceless = RemoveSpaces(key);
  if (caseInsensitive) {
    key = AsciiUppered(key);
    spaceless = AsciiUppered(spaceless);
  }
  const NameIndex& user = caseInsensitive ? userFolded_ : userExact_;
  const NameIndex& predefined = caseInsensitive ? predefinedFolded_ : predefinedExact_;
  const std::pair<const NameIndex*, const std::string*> passes[4] = {
      {&user, &key}, {&predefined, &spaceless}, {&predefined, &key}, {&user, &spaceless}};
  for (const auto& [index, text] : passes) {
    auto found = index->find(*text);
    if (found != index->end()) return found->second;
  }
  return -1;
}

const ColourEntry* CColourInfo::EntryAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= spotColours_.size()) return nullptr;
  return &spotColours_[static_cast<size_t>(index)];
}

int CColourInfo::AddUndefinedUserColour(std::string_view name) {
  std::string key = TrimmedAscii(name);
  if (key.empty() || FindColour(key, false) != -1) return -1;

  ColourEntry colour;
  colour.userDefined.name = key;
  colour.userDefined.c = kUndefinedC;
  colour.userDefined.m = kUndefinedM;
  colour.userDefined.y = kUndefinedY;
  colour.userDefined.k = kUndefinedK;
  colour.userDefined.opaque = true;

  // The list is in natural order, so the first entry that compares greater
  // is found by bisection.
  auto place = std::upper_bound(spotColours_.begin(), spotColours_.end(), key,
                                [](const std::string& text, const ColourEntry& entry) {
                                  return NaturalCompare(text, entry.EffectiveName()) < 0;
                                });
  const int position = static_cast<int>(place - spotColours_.begin());
  spotColours_.insert(place, std::move(colour));

  // Entries from the insertion on moved down by one.
  for (NameIndex* index : {&userExact_, &userFolded_, &predefinedExact_, &predefinedFolded_}) {
    for (auto& item : *index) {
      if (item.second >= position) ++item.second;
    }
  }
  std::string folded = AsciiUppered(key);
  for (auto [index, text] : {std::make_pair(&userExact_, &key), std::make_pair(&userFolded_, &folded)}) {
    auto [item, inserted] = index->emplace(*text, position);
    if (!inserted && item->second > position) item->second = position;
  }

  SaveAddedUserColour(spotColours_[static_cast<size_t>(position)].userDefined);
  return 0;
}

// The file is read again and gets the one new entry, so that nothing else in
// it changes: not what this process did not read (comments, rules it skipped,
// unknown sections) and not what another process wrote meanwhile. The entry
// goes before the first one whose name sorts after it, else after the last
// entry of the section (trailing blank lines stay last). A missing file is
// created with the colour; a file that exists but cannot be read is not
// written: the colour then lives in memory only.
void CColourInfo::SaveAddedUserColour(const ColourDefinition& colour) {
  CIniDocument current;
  current.SetPath(document_.path());
  current.SetSeparatorFlag(true);  // a new file is written with "="
  if (FileExists(document_.path()) && !current.Load(document_.path())) {
    Log(LogLevel::kError, "Colour catalogue <%s> could not be read; colour '%s' is not saved in it",
        document_.path().c_str(), colour.name.c_str());
    return;
  }
  const std::optional<size_t> found = current.FindSection(kUserDefined);
  if (!found) {
    current.AddEntry(kUserDefined, colour.name, SpotColourValue(colour));
  } else {
    CIniSection& section = current.Section(*found);
    size_t at = 0;
    size_t afterLast = 0;
    for (; at < section.EntryCount(); ++at) {
      const CIniEntry& entry = section.Entry(at);
      if (entry.IsRaw()) continue;
      if (NaturalCompare(colour.name, entry.key) < 0) break;
      afterLast = at + 1;
    }
    section.InsertEntry(at < section.EntryCount() ? at : afterLast, colour.name, SpotColourValue(colour));
  }
  if (!current.Save()) {
    Log(LogLevel::kError, "Colour catalogue <%s> could not be written; colour '%s' is not saved in it",
        document_.path().c_str(), colour.name.c_str());
  }
}

// ---- Process colours ----

std::string CColourInfo::ProcessNameOf(std::string_view text) {
  int index = ProcessSpellingIndex(text);
  return index < 0 ? std::string() : std::string(kProcessColourNames[index % 4]);
}

void CColourInfo::SetProcessCMYK(BestColour& best) {
  int index = ProcessSpellingIndex(best.NormalisedColor);
  if (index < 0) return;
  ProcessColourSolid(index % 4, best.cmyk);
  best.mixable = true;
  best.cmykDefined = true;
}

}  // namespace hf
