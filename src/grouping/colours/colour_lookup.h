// The colour lookups of the filename analysis over the colour catalogue: a
// catalogue colour between a known prefix and suffix, custom match rules,
// the affixes around a delimited spot identifier, and the catalogue values
// of a found colour. The analyser's member functions forward to these.
#pragma once

#include <string>

#include "grouping/colours/best_colour.h"
#include "grouping/colours/colour_info.h"

namespace hf {

// Searches `name` for a catalogue prefix followed by a colour name and an
// optional catalogue suffix (case ignored when the catalogue's ignoreCase is
// set). Every prefix (at its first occurrence) is tried with no suffix and
// with every suffix (at its last occurrence); the best candidate by
// IsBetterThan wins. A candidate not in the catalogue counts only when
// requireCatalogueMatch is clear. `best` is reset first; returns best.found.
bool LocatePrefixedColour(CColourInfo& info, bool requireCatalogueMatch, std::string name, BestColour& best);

// Tries every custom definition in order with MatchesUserColour and keeps the
// best match in `best` (reset first, type ctUserDefined). Returns best.found.
bool LocateCustomColour(CColourInfo& info, std::string name, BestColour& best);

// True when every match rule of `definition` finds its pattern in `name`
// (see colour_match_pattern.h); a definition without rules matches at 0.
// On success `best` describes a one-character identifier at the position the
// last rule found, with the definition's name and CMYK. `best` is reset first.
bool MatchesUserColour(const ColourDefinition& definition, const std::string& name, BestColour& best);

// For a delimited spot identifier (PrefixPos to EndDelimPos): finds the
// longest catalogue prefix it starts with and the longest suffix its name
// part ends with (case ignored), and sets NamePos, SuffixPos, FoundColor
// (the bare name without blanks), NormalisedColor and type ctPantone. Without
// a prefix only NamePos and NormalisedColor (= FoundColor) change.
void LocateAffixes(const CColourInfo& info, const std::string& name, BestColour& best);

// Looks best.FoundColor (blanks removed) up in the catalogue and copies its
// CMYK into `best`; an unknown name is added to the catalogue as an undefined
// user-defined colour (and the file rewritten), without marking CMYK defined.
void GetColourInfo(CColourInfo& info, BestColour& best);

}  // namespace hf
