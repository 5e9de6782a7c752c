// CColourInfo: the colour catalogue (Colours.ini) held in memory: process
// colour spellings, spot colours, the prefixes and suffixes that surround
// catalogue names in file names, and custom match rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ascii.h"  // NaturalCompare, TrimmedAscii
#include "formats/ini_document.h"
#include "grouping/colours/best_colour.h"

namespace hf {

// The twelve process colour spellings in table order; index i names process
// colour i % 4 (0 cyan, 1 magenta, 2 yellow, 3 black):
//   "CYAN", "MAGENTA", "YELLOW", "BLACK", "CYN", "MAG", "YEL", "BLK",
//   "C", "M", "Y", "K".
constexpr int kProcessSpellingCount = 12;
extern const char* const kProcessColourSpellings[kProcessSpellingCount];

// "Cyan", "Magenta", "Yellow", "Black" (by process colour 0..3).
extern const char* const kProcessColourNames[4];

// Index into kProcessColourSpellings of the first spelling equal to `text`
// without regard to case, or -1.
int ProcessSpellingIndex(std::string_view text);

// The solid value of process colour 0..3 as C, M, Y, K (cyan 255 0 0 0, ...).
void ProcessColourSolid(int colour, unsigned char cmyk[4]);

// The text with every blank (space) removed.
std::string RemoveSpaces(std::string_view text);

// One colour as stored in Colours.ini.
struct ColourDefinition {
  std::string name;  // as written (case kept)
  int32_t c = 0;
  int32_t m = 0;
  int32_t y = 0;
  int32_t k = 0;           // only the low byte of each goes into a BestColour
  bool opaque = false;     // false: the ink mixes
  int32_t matchCount = 0;  // custom colours: 0 to 4 match rules
  int32_t matchOffset[4] = {0, 0, 0, 0};
  std::string matchPattern[4];
};

// One element of the spot colour list. Read from PredefinedSpotColours it
// fills `predefined`; from UserDefinedSpotColours (or added as an unknown
// colour) it fills `userDefined`.
struct ColourEntry {
  ColourDefinition predefined;
  ColourDefinition userDefined;

  bool IsUserDefined() const { return !userDefined.name.empty(); }
  const ColourDefinition& Effective() const { return IsUserDefined() ? userDefined : predefined; }
  const std::string& EffectiveName() const { return Effective().name; }
};

// What LoadCatalogue reads.
enum CatalogueFlags : int {
  kCatalogueAffixes = 1,      // Options, Prefixes, Suffixes
  kCatalogueSpotColours = 2,  // UserDefinedSpotColours, PredefinedSpotColours
  kCatalogueCustomMatch = 4,  // CustomColourMatch
  kCatalogueAll = -1,
};

class CColourInfo {
 public:
  CColourInfo() = default;

  // The file the catalogue is loaded from and saved to.
  void SetPath(std::string path) { document_.SetPath(std::move(path)); }
  const std::string& path() const { return document_.path(); }

  // Loads the file into the document and reads the sections that `flags`
  // select. False only when the file cannot be read; then nothing changes
  // (neither the members nor the document).
  bool LoadCatalogue(int flags);

  // As LoadCatalogue, from text in memory (the path stays).
  void LoadCatalogueFromText(std::string_view text, int flags);

  // Writes the sections that were loaded (by the flags of the last load; none
  // after ClearCatalogue) from the members into the document (in place: raw
  // and blank lines keep their places, surplus entries are deleted) and saves
  // the file in one step. False when the file could not be written (it is
  // then left as it was).
  bool SaveCatalogue();

  // The text SaveCatalogue would write (the document is updated the same way).
  std::string SaveCatalogueToText();

  // Empties the spot colours, custom definitions, prefixes and suffixes; the
  // path, ignoreCase and the document stay. A save writes none of the emptied
  // lists until the catalogue is loaded again.
  void ClearCatalogue();

  // Index in spotColours of the entry that matches `name`, or -1. The name is
  // trimmed; then, first match in list order per pass:
  //   1. user-defined entries, name as it stands;
  //   2. predefined entries, name with its blanks removed;
  //   3. predefined entries, name as it stands;
  //   4. user-defined entries, name with its blanks removed.
  // Names compare exactly, or without regard to case when caseInsensitive.
  // Each pass is a hash look-up.
  int FindColour(std::string_view name, bool caseInsensitive) const;

  // The entry at a position of spotColours, or null when out of range.
  const ColourEntry* EntryAt(int index) const;
  size_t SpotColourCount() const { return spotColours_.size(); }

  // Adds a name the catalogue does not know (FindColour(name, false) == -1)
  // as a user-defined colour C 0 M 112 Y 154 K 11, opaque, at its place in
  // natural order, and adds it to the file as read again now, changing nothing
  // else in it. 0 when added (even when the file could not be read or written:
  // the entry stays in memory, logged), -1 when the trimmed name is empty or
  // already known.
  int AddUndefinedUserColour(std::string_view name);

  // "Cyan", "Magenta", "Yellow" or "Black" when `text` is one of the twelve
  // process spellings (case ignored), else empty.
  static std::string ProcessNameOf(std::string_view text);

  // When best.NormalisedColor is a process spelling: its solid CMYK,
  // mixable, cmykDefined. Otherwise nothing changes.
  static void SetProcessCMYK(BestColour& best);

  const std::vector<ColourEntry>& spotColours() const { return spotColours_; }
  const std::vector<ColourDefinition>& customColours() const { return customColours_; }
  bool ignoreCase() const { return ignoreCase_; }
  void SetIgnoreCase(bool ignoreCase) { ignoreCase_ = ignoreCase; }
  const std::vector<std::string>& prefixes() const { return prefixes_; }
  const std::vector<std::string>& suffixes() const { return suffixes_; }

  const CIniDocument& document() const { return document_; }

 private:
  void ReadSections(int flags);
  void ReadOptions();
  void ReadAffixList(std::string_view section, std::vector<std::string>& list) const;
  void ReadSpotColours();
  void ReadCustomColours();
  void WriteSections();
  void WriteSpotColourSections();
  void WriteCustomSection();
  void SaveAddedUserColour(const ColourDefinition& colour);
  void RebuildIndex();
  void IndexEntry(size_t index);

  CIniDocument document_;
  int loadedFlags_ = 0;                   // the sections read from the document (CatalogueFlags)
  std::vector<ColourEntry> spotColours_;  // natural order of effective name
  std::vector<ColourDefinition> customColours_;
  bool ignoreCase_ = false;
  std::vector<std::string> prefixes_;
  std::vector<std::string> suffixes_;

  // Name -> first index in spotColours_, for the user-defined and the
  // predefined entries, exact and upper-cased.
  using NameIndex = std::unordered_map<std::string, int>;
  NameIndex userExact_;
  NameIndex userFolded_;
  NameIndex predefinedExact_;
  NameIndex predefinedFolded_;
};

}  // namespace hf
