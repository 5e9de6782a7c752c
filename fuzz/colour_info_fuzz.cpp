// Any bytes as Colours.ini: loading and the lookups must be safe, and the
// written catalogue must be stable (load, save, load, save gives the same
// bytes twice).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "grouping/colours/colour_info.h"
#include "grouping/colours/colour_lookup.h"

using namespace hf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CColourInfo first;  // no path: additions stay in memory
  first.LoadCatalogueFromText(text, kCatalogueAll);
  const std::string saved = first.SaveCatalogueToText();

  CColourInfo second;
  second.LoadCatalogueFromText(saved, kCatalogueAll);
  if (second.SaveCatalogueToText() != saved) abort();

  // Every name without outer white space finds an entry.
  for (const ColourEntry& entry : second.spotColours()) {
    const std::string& colour = entry.EffectiveName();
    if (colour.empty() || TrimmedAscii(colour) != colour) continue;
    if (second.EntryAt(second.FindColour(colour, false)) == nullptr) abort();
  }

  // The lookups, with the last line of the input as the file name.
  std::string name(text.substr(text.rfind('\n') == std::string_view::npos ? 0 : text.rfind('\n') + 1));
  if (name.size() > 256) name.resize(256);
  BestColour best;
  LocatePrefixedColour(first, false, name, best);
  LocateCustomColour(first, name, best);
  for (int start = -2; start <= static_cast<int>(name.size()) + 1; start += 3) {
    best.Reset();
    best.PrefixPos = start;
    best.EndDelimPos = static_cast<int>(name.size()) - start;
    best.FoundColor = name;
    LocateAffixes(first, name, best);
  }
  // An unknown name is added, so afterwards the name is known.
  best.FoundColor = best.OriginalColor = name;
  GetColourInfo(first, best);
  if (!TrimmedAscii(RemoveSpaces(name)).empty() && first.FindColour(name, false) < 0) abort();
  return 0;
}
