// BestColour: what the filename analysis learnt about one colour identifier
// in a file name, the ColourType kinds, and the rule that keeps the better of
// two candidates.
#pragma once

#include <cstdint>
#include <string>

namespace hf {

// The kind of a colour identifier. The values are stored in group files.
enum ColourType : int32_t {
  ctNone = 0,         // reset state
  ctProcess = 1,      // a process colour (or a spot identifier spelling one)
  ctPantone = 2,      // a catalogue colour found with a prefix
  ctUserDefined = 3,  // a custom match rule
  ctSpot = 4,         // a spot identifier found by position or delimiters
  ctAny = 5,          // not assigned by any lookup
};

// "ctNone", "ctProcess", "ctPantone", "ctUserDefined", "ctSpot", "ctAny";
// "ctUnknown" for any other value.
const char* ColourTypeName(ColourType type);

// One colour identifier. Positions are 0-based indices into the analysed
// name; "end" positions are exclusive.
struct BestColour {
  ColourType type = ctNone;
  std::string FoundColor;                // the colour text as found
  std::string NormalisedColor;           // normalised name
  std::string OriginalColor;             // name used for catalogue additions and logs
  unsigned char cmyk[4] = {0, 0, 0, 0};  // C, M, Y, K
  bool mixable = false;                  // shown as "Mixable", else "Opaque"
  bool found = false;
  int32_t StartDelimPos = 0;  // start including the opening delimiter
  int32_t EndDelimPos = 0;    // closing delimiter (or end of the identifier)
  int32_t PrefixPos = 0;
  int32_t SuffixPos = 0;
  int32_t PrefixLength = 0;
  int32_t SuffixLength = 0;
  int32_t NamePos = 0;       // start of the bare colour name
  int32_t EndPos = 0;        // end of the identifier
  bool cmykDefined = false;  // cmyk holds a known value

  // Back to the state above: ctNone, empty texts, zeros, false.
  void Reset();
};

// True when `candidate` should replace `current`:
//   - when either is not found, candidate.found decides;
//   - a candidate with known CMYK beats one without, and loses to one with
//     when it has none itself;
//   - otherwise the longer span from PrefixPos to EndPos wins; a tie keeps
//     the current one.
bool IsBetterThan(const BestColour& candidate, const BestColour& current);

}  // namespace hf
