// CFilenameAnalyser: reads a filename scheme template and analyses the name
// of a separation file by it: where the separation colour, the group (job)
// identifier, the imposition side letter (preps) and the page number are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/ini_document.h"
#include "grouping/colours/best_colour.h"
#include "grouping/colours/colour_info.h"
#include "grouping/scheme/filename_scheme_settings.h"

namespace hf {

// Positions are 0-based indices into the analysed name (the file name without
// its extension); "end" positions are exclusive. Every search stays inside the
// name: offsets that point before its start or past its end make the search
// fail instead of reading outside, and every walk along the name stops at
// either end.
//
// Analysis, in short (the template keys are in docs/FILENAME_SCHEMES.md):
//   1. colour: the best of a prefixed catalogue colour, a spot identifier
//      (start and end by position, delimiters, catalogue prefix and suffix,
//      or first letter) and a process colour (by position, delimiters or
//      name); custom match rules when none is found. A spot identifier that
//      spells a process colour becomes that process colour.
//   2. preps letter: by position, or at a distance before or after the colour.
//   3. group identifier: start and end by position, length, colour or preps.
//   4. page number: leading or trailing digits, digits at a position, or the
//      largest number between two delimiter texts.
//   5. group name: the identifier with the colour, its delimiters, the preps
//      letter, the page number (unless it groups) and, unless leading digits
//      are kept, leading digits and separators (". - _" blank tab) removed;
//      ".." becomes "."; a trailing ".tif"/".pgb" part and trailing dots go.
// Analyse succeeds when a colour and a non-empty group name were found and the
// preps letter, if any, is A to H (either case).
//
// Example (template "Default RUD Without PREPS", process colours between
// underscores, page number between "_p" and "_"):
//   "JOB1234_p3_Cyan" -> colour Cyan (ctProcess, CMYK 255 0 0 0),
//                        group "JOB1234", page "3".
class CFilenameAnalyser {
 public:
  CFilenameAnalyser() = default;
  CFilenameAnalyser(const CFilenameAnalyser&) = delete;
  CFilenameAnalyser& operator=(const CFilenameAnalyser&) = delete;

  // The catalogue the lookups use (not owned; it may be extended by a lookup
  // that meets an unknown colour). Analyse fails while there is none.
  void SetColourInfo(CColourInfo* colourInfo) { colourInfo_ = colourInfo; }
  CColourInfo* colourInfo() const { return colourInfo_; }

  // Cleared by the group code: prefixed colours that are not in the
  // catalogue count too.
  void SetRequireCatalogueMatch(bool require) { settings_.requireCatalogueMatch = require; }
  bool requireCatalogueMatch() const { return settings_.requireCatalogueMatch; }

  // Logs "Configuration file is at <path>" (level 3) and loads the template.
  // When it cannot be loaded: logs "Error: Can't open Configuration file
  // '<path>'" (level 0) and returns false with every setting unchanged.
  bool ReadTemplate(const std::string& path);

  // Reads a template from text in memory (no file, no log line).
  void ReadTemplateFromBuffer(std::string_view text);

  // Analyses one name (a copy: the analysis marks characters in it).
  // Results are replaced by every call; after a failure they hold what was
  // computed up to the failure.
  bool Analyse(std::string name);

  // Results.
  const BestColour& best() const { return best_; }
  const std::string& groupName() const { return groupName_; }
  const std::string& preps() const { return preps_; }  // at most one character
  const std::string& pageNumber() const { return pageNumber_; }

  const FilenameSchemeSettings& settings() const { return settings_; }
  FilenameSchemeSettings& settings() { return settings_; }
  const CIniDocument& templateDocument() const { return template_; }

  // ---- The colour searches (each fills `best`, returns best.found) ----
  // Process colour by sepIdMethod: POSITIONAL (the one character at
  // sepIdOffset), DELIMITER (the text between sepIdStartDelim and the next
  // sepIdEndDelim, or the end of the name; the longest process spelling of
  // all occurrences) or NAME (the first of "CYAN", "MAGENTA", "YELLOW",
  // "BLACK", "CYN", "MAG", "YEL", "BLK" that occurs, case ignored).
  bool LocateProcessColour(std::string name, BestColour& best);
  // Start of a spot identifier by spotStartMethod (POSITIONAL, DELIMITER,
  // PREFIX, FIRST_ALPHABETIC); the end is found by SearchForSpotColour.
  bool LocateSpotColour(std::string name, BestColour& best);
  // End of a spot identifier by spotEndMethod (POSITIONAL, DELIMITER,
  // SUFFIX); PrefixPos/StartDelimPos (and NamePos) of `best` give its start.
  void SearchForSpotColour(const std::string& name, BestColour& best);
  // The catalogue lookups (colour_lookup.h) with this analyser's catalogue.
  bool LocatePrefixedColour(std::string name, BestColour& best);
  bool LocateCustomColour(std::string name, BestColour& best);
  bool MatchesUserColour(const ColourDefinition& definition, std::string name, BestColour& best);
  void LocateAffixes(const std::string& name, BestColour& best);
  void GetColourInfo(BestColour& best);

  // ---- Page number (w is the working copy of the name) ----
  // Digits from `position` on (position >= 0) or ending at length + position
  // (position < 0, -1 the last character); marks them unless pageGroupBy.
  void FindPageNumberAt(std::string& w, int32_t position);
  // The largest all-digit text between pageStartDelim and the next
  // pageEndDelim (or the end); marks it unless pageGroupBy.
  void FindPageNumberDelimited(std::string& w);
  // Marks [first, last), the start delimiter before it (page method 3), the
  // ". " blank tab after it and the ". - _" blank tab before it.
  void MarkPageNumber(std::string& w, int32_t first, int32_t last);

  // Drops a trailing ".tif"/".pgb" part (case ignored; the part after the
  // last dot, when no path separator follows it) and then trailing dots.
  //   "JOB.tif" -> "JOB", "JOB.v2.PGB" -> "JOB.v2", "JOBtif" -> "JOBtif",
  //   "JOB..." -> "JOB"
  static void FinaliseGroupName(std::string& text);

  // The character that marks a removed character of the working copy.
  static constexpr char kRemovalMarker = '\x01';

 private:
  void ReadSettingsFromTemplate();
  void LogBestColour() const;
  bool ComputePrepsPosition(int32_t length, long long& prepsPosition) const;
  bool ComputeGroupSpan(int32_t length, long long prepsPosition, long long& start, long long& end) const;
  void BuildGroupName(const std::string& name, long long prepsPosition, long long start, long long end);
  bool LocateSpotByDelimiters(const std::string& name, BestColour& best);
  bool LocateSpotByPrefix(const std::string& name, BestColour& best);

  CIniDocument template_;
  CColourInfo* colourInfo_ = nullptr;
  FilenameSchemeSettings settings_;

  BestColour best_;
  std::string groupName_;
  std::string preps_;
  std::string pageNumber_;
};

}  // namespace hf
