// BestColour reset, the ColourType names and the rule that keeps the better
// of two colour candidates.
#include "grouping/colours/best_colour.h"

namespace hf {

const char* ColourTypeName(ColourType type) {
  switch (type) {
    case ctNone: return "ctNone";
    case ctProcess: return "ctProcess";
    case ctPantone: return "ctPantone";
    case ctUserDefined: return "ctUserDefined";
    case ctSpot: return "ctSpot";
    case ctAny: return "ctAny";
  }
  return "ctUnknown";
}

void BestColour::Reset() { *this = BestColour(); }

bool IsBetterThan(const BestColour& candidate, const BestColour& current) {
  if (!candidate.found || !current.found) return candidate.found;
  if (candidate.cmykDefined != current.cmykDefined) return candidate.cmykDefined;
  // Spans are differences of positions inside one name; 64 bits keep
  // nonsense positions from overflowing.
  long long candidateSpan = static_cast<long long>(candidate.EndPos) - candidate.PrefixPos;
  long long currentSpan = static_cast<long long>(current.EndPos) - current.PrefixPos;
  return candidateSpan > currentSpan;
}

}  // namespace hf
