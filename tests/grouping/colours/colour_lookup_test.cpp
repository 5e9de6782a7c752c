// The colour lookups of the filename analysis: which candidate wins, the
// positions they report, their log lines and the catalogue additions.
#include "grouping/colours/colour_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

using Texts = std::vector<std::string>;

class ColourLookup : public ::testing::Test {
 protected:
  void Load(const std::string& text) { info.LoadCatalogueFromText(text, kCatalogueAll); }
  // The catalogue read from a Colours.ini with these bytes, so that additions are written.
  void LoadFile(const std::string& bytes) {
    info.SetPath(scratch.Write("Colours.ini", bytes));
    ASSERT_TRUE(info.LoadCatalogue(kCatalogueAll));
  }
  // The level-3 (detail) lines, where the lookups log; the capture is emptied.
  Texts Logs() {
    Texts texts;
    for (const LogLine& line : log.lines)
      if (line.first == 3) texts.push_back(line.second);
    log.lines.clear();
    return texts;
  }

  LogCapture log;
  ScratchFolder scratch{"hf_colour_"};
  CColourInfo info;
};

BestColour Candidate(bool found, bool cmykDefined, int prefixPos, int endPos) {
  BestColour best;
  best.found = found;
  best.cmykDefined = cmykDefined;
  best.PrefixPos = prefixPos;
  best.EndPos = endPos;
  return best;
}

}  // namespace

// ---- BestColour ----

// Found beats not found, then known CMYK beats a longer span, then the longer span wins; a tie keeps the
// current one.
TEST(BestColourRules, IsBetterThanAndTheLogNamesOfTheTypes) {
  const BestColour none = Candidate(false, true, 0, 50), shortKnown = Candidate(true, true, 4, 6);
  const BestColour longUnknown = Candidate(true, false, 0, 20), longKnown = Candidate(true, true, 10, 20);
  EXPECT_TRUE(IsBetterThan(longUnknown, none) && !IsBetterThan(none, longUnknown) && !IsBetterThan(none, none));
  EXPECT_TRUE(IsBetterThan(shortKnown, longUnknown) && !IsBetterThan(longUnknown, shortKnown));
  EXPECT_TRUE(IsBetterThan(longKnown, shortKnown) && !IsBetterThan(shortKnown, longKnown));
  EXPECT_FALSE(IsBetterThan(longKnown, Candidate(true, true, 0, 10)));
  const char* names[] = {"ctNone", "ctProcess", "ctPantone", "ctUserDefined", "ctSpot", "ctAny", "ctUnknown"};
  for (int i = 0; i < 7; ++i) EXPECT_STREQ(ColourTypeName(static_cast<ColourType>(i)), names[i]);
}

// ---- LocatePrefixedColour ----

TEST_F(ColourLookup, PrefixedColourCandidates) {
  const std::string teal = "[Prefixes]\n\"aCmE \"=\n[PredefinedSpotColours]\nTeal=1 2 3 4\n";
  const std::string anyCase = "[Options]\nignore_case=1\n" + teal, exactCase = "[Options]\nignore_case=0\n" + teal;
  const std::string suffixC = "[Prefixes]\n\"Acme \"=\n[Suffixes]\n\" C\"=\n[PredefinedSpotColours]\nTeal=1 2 3 4 1\n";
  const std::string twoPrefixes =
      "[Prefixes]\n\"Deep \"=\n\"Acme \"=\n[PredefinedSpotColours]\nTeal=1 1 1 1\nDeepTeal=2 2 2 2\n";
  const std::string tie =
      "[Prefixes]\n\"Acme \"=\n[Suffixes]\n\" C\"=\n[PredefinedSpotColours]\nTeal=1 1 1 1\nTealC=3 3 3 3\n";
  const std::string blue =
      "[Prefixes]\n\"SPT \"=\n[Suffixes]\n\" U\"=\n[PredefinedSpotColours]\n\"Blue 3 U\"=9 9 9 9\nBlue3=1 2 3 4\n";
  // The catalogue, the name, requireCatalogueMatch, then FoundColor (null: no candidate), positions and CMYK.
  const std::tuple<const std::string&, const char*, bool, const char*, const char*, const char*> cases[] = {
      // The prefix's case follows ignore_case; the colour name is looked up exactly.
      {anyCase, "JOB ACME Teal", true, "ACME Teal", "delims 4-0 prefix 4+5 name 0 suffix 13+0 end 13", "1 2 3 4"},
      {anyCase, "JOB ACME TEAL", true, nullptr, nullptr, nullptr},
      {exactCase, "JOB ACME Teal", false, nullptr, nullptr, nullptr},
      // Without a suffix the candidate is "TealCx" (unknown, 13 long); with " C" it is "Teal" (known, 11 long).
      {suffixC, "Acme Teal C x", false, "Acme Teal C", "delims 0-0 prefix 0+5 name 0 suffix 9+2 end 11", "1 2 3 4"},
      // Unknown candidates count only without requireCatalogueMatch.
      {teal, "Job aCmE Plum", true, nullptr, nullptr, nullptr},
      {teal, "Job aCmE Plum", false, "aCmE Plum", "delims 4-0 prefix 4+5 name 0 suffix 13+0 end 13", ""},
      // "Deep " finds "Teal" (span 9); "Acme " then finds "DeepTeal" (span 14), which wins.
      {twoPrefixes, "Acme Deep Teal", true, "Acme Deep Teal", "delims 0-0 prefix 0+5 name 0 suffix 14+0 end 14",
       "2 2 2 2"},
      // "TealC" (no suffix) and "Teal" (suffix " C") span 11: the first tried, without a suffix, stays.
      {tie, "Acme Teal C", true, "Acme Teal C", "delims 0-0 prefix 0+5 name 0 suffix 11+0 end 11", "3 3 3 3"},
      // The suffix at its last occurrence; the name without blanks. A suffix before the prefix gives nothing.
      {blue, "x SPT Blue 3 U", true, "SPT Blue 3 U", "delims 2-0 prefix 2+4 name 0 suffix 12+2 end 14", "1 2 3 4"},
      {blue, " U SPT ", true, nullptr, nullptr, nullptr}};
  for (const auto& [text, name, requireCatalogueMatch, found, positions, cmyk] : cases) {
    SCOPED_TRACE(name);
    CColourInfo catalogue;
    catalogue.LoadCatalogueFromText(text, kCatalogueAll);
    const size_t colours = catalogue.SpotColourCount();
    BestColour best;
    EXPECT_EQ(LocatePrefixedColour(catalogue, requireCatalogueMatch, name, best), found != nullptr);
    EXPECT_EQ(catalogue.SpotColourCount(), colours);  // the prefixed search adds nothing
    if (found == nullptr) continue;
    EXPECT_EQ(best.FoundColor + "|" + best.OriginalColor + "|" + ColourTypeName(best.type),
              std::string(found) + "|" + found + "|ctPantone");
    EXPECT_EQ(Positions(best), positions);
    EXPECT_EQ(CmykText(best), cmyk);
  }
}

TEST_F(ColourLookup, PrefixedSearchLogLines) {
  Load(
      "[Options]\nignore_case=1\n[Prefixes]\n\"Acme \"=\n\"SPT \"=\n[Suffixes]\n\" C\"=\n"
      "[PredefinedSpotColours]\nTeal=1 2 3 4\n");
  BestColour best;
  ASSERT_TRUE(LocatePrefixedColour(info, true, "ACME Teal C", best));
  EXPECT_EQ(Logs(), (Texts{"In LocatePrefixedColour(ACME Teal C)", "Matching 'ACME Teal C' against Prefix[0] (Acme )",
                           "Matching 'ACME Teal C' without a suffix", "Searching for colour 'TealC'",
                           "FoundColour = ACME Teal C", "Matching 'ACME Teal C' against Suffix[0] ( c)",
                           "Searching for colour 'Teal'", "FoundColour = ACME Teal C",
                           "Found matching colour at Index 0", "Matching 'ACME Teal C' against Prefix[1] (SPT )",
                           "Found PrefixedColour match (ACME Teal C) for 'ACME Teal C'"}));
  EXPECT_FALSE(LocatePrefixedColour(info, true, "Plain", best));
  EXPECT_EQ(Logs().back(), "Failed to find PrefixedColour match for 'Plain'");
}

// ---- LocateCustomColour and MatchesUserColour ----

TEST_F(ColourLookup, EveryRuleMustMatchTheLastGivesThePositionAndNoRulesMatchAtZero) {
  ColourDefinition definition;
  definition.name = "Black";
  definition.c = 263;  // only the low byte counts
  definition.k = -1;
  definition.opaque = true;
  BestColour best = Candidate(true, false, 7, 8);
  ASSERT_TRUE(MatchesUserColour(definition, "", best));
  EXPECT_EQ(best.FoundColor + " " + ColourTypeName(best.type) + " " + CmykText(best) + (best.mixable ? "" : " opaque"),
            "Black ctUserDefined 7 0 0 255 opaque");
  EXPECT_EQ(Positions(best), "delims 0-1 prefix 0+0 name 0 suffix 1+0 end 1");
  definition.matchCount = 2;
  definition.matchPattern[0] = "[d]";
  definition.matchOffset[1] = -3;
  definition.matchPattern[1] = "[?]";
  ASSERT_TRUE(MatchesUserColour(definition, "ab1234", best));
  EXPECT_EQ(Positions(best), "delims 3-4 prefix 3+0 name 3 suffix 4+0 end 4");
  EXPECT_FALSE(MatchesUserColour(definition, "abcdef", best));  // the first rule fails
  EXPECT_FALSE(best.found);
  definition.matchPattern[0] = "";  // an empty rule ends the list with success
  ASSERT_TRUE(MatchesUserColour(definition, "abc", best));
  EXPECT_EQ(best.PrefixPos, 0);
  definition.matchCount = 99;  // never beyond the four rules
  definition.matchPattern[0] = "b";
  definition.matchPattern[1] = definition.matchPattern[2] = definition.matchPattern[3] = "c";
  definition.matchOffset[1] = definition.matchOffset[2] = definition.matchOffset[3] = 0;
  ASSERT_TRUE(MatchesUserColour(definition, "abc", best));
  EXPECT_EQ(best.PrefixPos, 2);
}

TEST_F(ColourLookup, CustomSearchKeepsTheFirstMatchingDefinition) {
  Load(
      "[CustomColourMatch]\n"
      "type=Y\ncmyk=0 0 255 0\nmix=1\nmatch=0 \"zzz\"\n"
      "type=M\ncmyk=0 255 0 0\nmix=0\nmatch=0 \"[dd]\"\n"
      "type=K\ncmyk=0 0 0 255\nmix=1\nmatch=0 \"[d]\"\n");
  BestColour best;
  ASSERT_TRUE(LocateCustomColour(info, "Job 42", best));
  EXPECT_EQ(std::make_tuple(best.FoundColor, best.PrefixPos, best.mixable, CmykText(best)),
            std::make_tuple("Magenta", 4, false, "0 255 0 0"));
  EXPECT_EQ(Logs(),
            (Texts{"In LocateCustomColour((Job 42)", "Matching Yellow against Job 42", "In MatchesUserColour(Job 42)",
                   "Matching Magenta against Job 42", "In MatchesUserColour(Job 42)",
                   "Found (better) matching for Magenta against Job 42", "Matching Black against Job 42",
                   "In MatchesUserColour(Job 42)", "Found CustomColour match (Magenta) for Job 42"}));
  EXPECT_FALSE(LocateCustomColour(info, "Job", best));
  EXPECT_EQ(best.type, ctUserDefined);
  EXPECT_EQ(Logs().back(), "Failed to find CustomColour match for Job");
}

// ---- LocateAffixes ----

// The identifier runs from PrefixPos up to EndDelimPos; the longest prefix
// and suffix inside it (case ignored) bound the bare name.
TEST_F(ColourLookup, AffixesBoundTheBareNameInsideTheIdentifierAndNeverReadOutsideTheName) {
  Load("[Prefixes]\n\"SPT \"=\n\"spt b\"=\n\"Acme \"=\n[Suffixes]\n\" C\"=\n\"U\"=\n\" cu\"=\n");
  // The name, PrefixPos and EndDelimPos; then NamePos, SuffixPos, FoundColor and the type found. Without a
  // prefix only the normalised name changes; an end beyond the name is cut at the name's end.
  const char* cases[][4] = {{"x(SPT Blue 7 CU)y", "2", "15", "7 12 lue7 ctPantone"},
                            {"(Blue 7 C)", "1", "8", "1 5 (Blue 7 C) ctSpot"},
                            {"SPT Red C", "0", "1000", "4 7 Red ctPantone"},
                            {"SPT Red C", "-5", "3", "-5 5 SPT Red C ctSpot"}};
  for (const auto& c : cases) {
    BestColour best;
    best.PrefixPos = std::stoi(c[1]);
    best.EndDelimPos = std::stoi(c[2]);
    best.SuffixPos = 5;
    best.FoundColor = c[0];
    best.type = ctSpot;
    LocateAffixes(info, c[0], best);
    EXPECT_EQ(std::to_string(best.NamePos) + " " + std::to_string(best.SuffixPos) + " " + best.FoundColor + " " +
                  ColourTypeName(best.type),
              c[3]);
    EXPECT_EQ(best.NormalisedColor, c[0]);
    EXPECT_EQ(Logs(), Texts{std::string("In LocateAffixes(") + c[0] + ")"});
  }
}

// ---- GetColourInfo ----

TEST_F(ColourLookup, KnownColourGivesItsValuesUnknownOneIsAddedOnceWithoutDefiningThem) {
  LoadFile("[PredefinedSpotColours]\r\nSunset12=10 20 30 40 1\r\n");
  BestColour best;
  best.FoundColor = " Sunset 12 ";
  best.OriginalColor = "Sunset 12";
  GetColourInfo(info, best);
  EXPECT_EQ(CmykText(best) + (best.mixable ? " mixable" : ""), "10 20 30 40");
  EXPECT_EQ(Logs(), (Texts{"In GetColourInfo(): Searching for colour 'Sunset 12'",
                           "In GetColourInfo(): Found colour 'Sunset 12' at index 0"}));
  EXPECT_EQ(scratch.Read("Colours.ini"), "[PredefinedSpotColours]\r\nSunset12=10 20 30 40 1\r\n");
  for (int file = 0; file < 2; ++file) {  // the next file with that colour finds it, now with defined values
    best = BestColour();
    best.FoundColor = best.OriginalColor = "Plum";
    best.mixable = true;
    GetColourInfo(info, best);
    // The values written for it, though.
    EXPECT_EQ(std::make_tuple(best.cmykDefined, CmykValues(best), best.mixable),
              std::make_tuple(file == 1, "0 112 154 11", false));
  }
  EXPECT_EQ(Logs(), (Texts{"In GetColourInfo(): Searching for colour 'Plum'",
                           "Adding colour 'Plum' to colour info as an undefined user-defined colour",
                           "In GetColourInfo(): Found colour 'Plum' at index 0",
                           "In GetColourInfo(): Searching for colour 'Plum'",
                           "In GetColourInfo(): Found colour 'Plum' at index 0"}));
  EXPECT_EQ(info.SpotColourCount(), 2u);
}

TEST_F(ColourLookup, ANameWithBlanksIsAddedButNotFoundAgainAnEmptyKeyStopsAfterTheFirstLine) {
  BestColour best;
  best.FoundColor = "   ";
  best.OriginalColor = "x";
  GetColourInfo(info, best);
  EXPECT_EQ(Logs(), Texts{"In GetColourInfo(): Searching for colour 'x'"});
  EXPECT_EQ(info.SpotColourCount(), 0u);
  best.FoundColor = "DeepRed";
  best.OriginalColor = "Deep Red";
  GetColourInfo(info, best);
  EXPECT_EQ(std::make_tuple(best.cmykDefined, CmykValues(best), Logs().size()),
            std::make_tuple(false, "0 0 0 0", size_t{2}));  // no "Found colour" line
  GetColourInfo(info, best);                                // a second file adds nothing more
  ASSERT_EQ(info.SpotColourCount(), 1u);
  EXPECT_EQ(info.EntryAt(0)->EffectiveName(), "Deep Red");
}

TEST_F(ColourLookup, ShippedCustomRulesMatchTheirExamples) {
  Load(ShippedCatalogueText());
  // The Cyan rule looks only at the last four characters; a blank is no punctuation.
  const std::pair<const char*, const char*> examples[] = {{"JOB12_plate-cy1", "Cyan"}, {"plate_sep3-k", "Black"},
                                                          {"JOB7_mg12", "Magenta"},    {"Y 3F plate", "Yellow"},
                                                          {"JOB12_plate-cy1x", ""},    {"plate_sep3 k", ""}};
  for (const auto& [name, colour] : examples) {
    BestColour best;
    LocateCustomColour(info, name, best);
    EXPECT_EQ(best.FoundColor, colour) << name;
  }
}

}  // namespace hf
