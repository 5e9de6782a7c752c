// The colour lookups of the filename analysis: which candidate wins, the
// positions they report, their log lines and the catalogue additions.
#include "grouping/colours/colour_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

class ColourLookup : public ::testing::Test {
 protected:
  void Load(const std::string& text) { info.LoadCatalogueFromText(text, kCatalogueAll); }
  // The catalogue read from a Colours.ini with these bytes, so that additions are written.
  void LoadFile(const std::string& bytes) {
    info.SetPath(scratch.Write("Colours.ini", bytes));
    ASSERT_TRUE(info.LoadCatalogue(kCatalogueAll));
  }
  std::vector<std::string> Logs() const { return DetailLines(log); }

  LogCapture log;
  TempFolder scratch;
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

TEST(BestColourRules, IsBetterThan) {
  const BestColour none = Candidate(false, true, 0, 50);
  const BestColour shortKnown = Candidate(true, true, 4, 6);
  const BestColour longUnknown = Candidate(true, false, 0, 20);
  const BestColour longKnown = Candidate(true, true, 10, 20);
  EXPECT_TRUE(IsBetterThan(longUnknown, none));   // anything found beats nothing
  EXPECT_FALSE(IsBetterThan(none, longUnknown));
  EXPECT_FALSE(IsBetterThan(none, none));
  EXPECT_TRUE(IsBetterThan(shortKnown, longUnknown));  // known CMYK beats a longer span
  EXPECT_FALSE(IsBetterThan(longUnknown, shortKnown));
  EXPECT_TRUE(IsBetterThan(longKnown, shortKnown));    // then the longer span
  EXPECT_FALSE(IsBetterThan(shortKnown, longKnown));
  EXPECT_FALSE(IsBetterThan(longKnown, Candidate(true, true, 0, 10)));  // a tie keeps the current one
}

// A field Reset forgets would leak one file's result into the next; the type
// names appear in the log.
TEST(BestColourRules, ResetClearsEveryFieldAndTypesHaveTheirLogNames) {
  BestColour best = Candidate(true, true, 3, 9);
  best.type = ctSpot;
  best.FoundColor = best.NormalisedColor = best.OriginalColor = "x";
  best.cmyk[1] = 9;
  best.mixable = true;
  best.StartDelimPos = best.EndDelimPos = best.SuffixPos = best.PrefixLength = best.SuffixLength = best.NamePos = 4;
  best.Reset();
  EXPECT_EQ(best.type, ctNone);
  EXPECT_TRUE(best.FoundColor.empty() && best.NormalisedColor.empty() && best.OriginalColor.empty());
  EXPECT_EQ(CmykValues(best), "0 0 0 0");
  EXPECT_FALSE(best.mixable || best.found || best.cmykDefined);
  EXPECT_EQ(Positions(best), "delims 0-0 prefix 0+0 name 0 suffix 0+0 end 0");

  const char* names[] = {"ctNone", "ctProcess", "ctPantone", "ctUserDefined", "ctSpot", "ctAny", "ctUnknown"};
  for (int i = 0; i < 7; ++i) EXPECT_STREQ(ColourTypeName(static_cast<ColourType>(i)), names[i]);
}

// ---- LocatePrefixedColour ----

TEST_F(ColourLookup, PrefixCaseFollowsIgnoreCase) {
  const std::string catalogue = "[Prefixes]\n\"aCmE \"=\n[PredefinedSpotColours]\nTeal=1 2 3 4\n";
  Load("[Options]\nignore_case=1\n" + catalogue);
  BestColour best;
  EXPECT_TRUE(LocatePrefixedColour(info, true, "JOB ACME Teal", best));
  EXPECT_EQ(best.FoundColor, "ACME Teal");
  EXPECT_EQ(best.PrefixPos, 4);
  // The colour name itself is looked up exactly, whatever ignore_case says.
  EXPECT_FALSE(LocatePrefixedColour(info, true, "JOB ACME TEAL", best));

  Load("[Options]\nignore_case=0\n" + catalogue);
  EXPECT_FALSE(LocatePrefixedColour(info, true, "JOB ACME Teal", best));
  EXPECT_FALSE(LocatePrefixedColour(info, false, "JOB ACME Teal", best));
  EXPECT_TRUE(LocatePrefixedColour(info, true, "JOB aCmE Teal", best));
}

TEST_F(ColourLookup, CatalogueCandidateBeatsALongerUnknownOne) {
  Load("[Prefixes]\n\"Acme \"=\n[Suffixes]\n\" C\"=\n[PredefinedSpotColours]\nTeal=1 2 3 4 1\n");
  BestColour best;
  // Without a suffix the candidate is "TealCx" (unknown, 13 long); with " C"
  // it is "Teal" (known, 11 long).
  ASSERT_TRUE(LocatePrefixedColour(info, false, "Acme Teal C x", best));
  EXPECT_EQ(best.type, ctPantone);
  EXPECT_EQ(best.FoundColor, "Acme Teal C");
  EXPECT_EQ(best.OriginalColor, "Acme Teal C");
  EXPECT_EQ(Positions(best), "delims 0-0 prefix 0+5 name 0 suffix 9+2 end 11");
  EXPECT_TRUE(best.cmykDefined);
  EXPECT_FALSE(best.mixable);
  EXPECT_EQ(CmykText(best), "1 2 3 4");
}

TEST_F(ColourLookup, UnknownCandidatesCountOnlyWithoutRequireCatalogueMatch) {
  Load("[Prefixes]\n\"Acme \"=\n[PredefinedSpotColours]\nTeal=1 2 3 4\n");
  BestColour best;
  EXPECT_FALSE(LocatePrefixedColour(info, true, "Job Acme Plum", best));
  EXPECT_FALSE(best.found);
  ASSERT_TRUE(LocatePrefixedColour(info, false, "Job Acme Plum", best));
  EXPECT_EQ(best.FoundColor, "Acme Plum");
  EXPECT_EQ(best.EndPos, 13);
  EXPECT_FALSE(best.cmykDefined);
  EXPECT_EQ(info.SpotColourCount(), 1u);  // the prefixed search adds nothing
}

TEST_F(ColourLookup, LongerSpanWinsAndATieKeepsTheFirst) {
  // "Deep " is tried first and finds "Teal" (span 9); "Acme " then finds
  // "DeepTeal" (span 14), which wins.
  Load("[Prefixes]\n\"Deep \"=\n\"Acme \"=\n[PredefinedSpotColours]\nTeal=1 1 1 1\nDeepTeal=2 2 2 2\n");
  BestColour best;
  ASSERT_TRUE(LocatePrefixedColour(info, true, "Acme Deep Teal", best));
  EXPECT_EQ(best.FoundColor, "Acme Deep Teal");
  EXPECT_EQ(CmykText(best), "2 2 2 2");

  // "TealC" (no suffix) and "Teal" (suffix " C") span the same 11 characters:
  // the first tried, without a suffix, stays.
  Load("[Prefixes]\n\"Acme \"=\n[Suffixes]\n\" C\"=\n[PredefinedSpotColours]\nTeal=1 1 1 1\nTealC=3 3 3 3\n");
  ASSERT_TRUE(LocatePrefixedColour(info, true, "Acme Teal C", best));
  EXPECT_EQ(best.SuffixLength, 0);
  EXPECT_EQ(best.SuffixPos, 11);
  EXPECT_EQ(CmykText(best), "3 3 3 3");
}

TEST_F(ColourLookup, PrefixedSearchUsesFirstPrefixAndLastSuffix) {
  Load("[Prefixes]\n\"SPT \"=\n[Suffixes]\n\" U\"=\n[PredefinedSpotColours]\n\"Blue 3 U\"=9 9 9 9\nBlue3=1 2 3 4\n");
  BestColour best;
  // The suffix at its last occurrence; the name without blanks.
  ASSERT_TRUE(LocatePrefixedColour(info, true, "x SPT Blue 3 U", best));
  EXPECT_EQ(best.PrefixPos, 2);
  EXPECT_EQ(best.SuffixPos, 12);
  EXPECT_EQ(CmykText(best), "1 2 3 4");
  // A suffix before the prefix, or no room for a name, gives no candidate.
  EXPECT_FALSE(LocatePrefixedColour(info, true, " U SPT ", best));
  ASSERT_TRUE(LocatePrefixedColour(info, false, "SPT  U", best));  // only the suffixless "U"
  EXPECT_EQ(best.SuffixLength, 0);
  EXPECT_EQ(best.FoundColor, "SPT  U");
  EXPECT_FALSE(LocatePrefixedColour(info, true, "", best));
}

TEST_F(ColourLookup, PrefixedSearchLogLines) {
  Load("[Options]\nignore_case=1\n[Prefixes]\n\"Acme \"=\n\"SPT \"=\n[Suffixes]\n\" C\"=\n"
       "[PredefinedSpotColours]\nTeal=1 2 3 4\n");
  BestColour best;
  ASSERT_TRUE(LocatePrefixedColour(info, true, "ACME Teal C", best));
  EXPECT_EQ(Logs(), (std::vector<std::string>{
                        "In LocatePrefixedColour(ACME Teal C)",
                        "Matching 'ACME Teal C' against Prefix[0] (Acme )",
                        "Matching 'ACME Teal C' without a suffix",
                        "Searching for colour 'TealC'",
                        "FoundColour = ACME Teal C",
                        "Matching 'ACME Teal C' against Suffix[0] ( c)",
                        "Searching for colour 'Teal'",
                        "FoundColour = ACME Teal C",
                        "Found matching colour at Index 0",
                        "Matching 'ACME Teal C' against Prefix[1] (SPT )",
                        "Found PrefixedColour match (ACME Teal C) for 'ACME Teal C'",
                    }));
  log.lines.clear();
  EXPECT_FALSE(LocatePrefixedColour(info, true, "Plain", best));
  EXPECT_EQ(Logs().back(), "Failed to find PrefixedColour match for 'Plain'");
}

// ---- LocateCustomColour and MatchesUserColour ----

TEST_F(ColourLookup, DefinitionWithoutRulesMatchesAtZero) {
  ColourDefinition definition;
  definition.name = "Black";
  definition.c = 263;  // only the low byte counts
  definition.m = 1;
  definition.y = 2;
  definition.k = -1;
  definition.opaque = true;
  BestColour best = Candidate(true, false, 7, 8);
  ASSERT_TRUE(MatchesUserColour(definition, "anything", best));
  EXPECT_EQ(best.type, ctUserDefined);
  EXPECT_TRUE(best.found);
  EXPECT_EQ(best.FoundColor, "Black");
  EXPECT_EQ(Positions(best), "delims 0-1 prefix 0+0 name 0 suffix 1+0 end 1");
  EXPECT_FALSE(best.mixable);
  EXPECT_EQ(CmykText(best), "7 1 2 255");
  EXPECT_TRUE(MatchesUserColour(definition, "", best));
}

TEST_F(ColourLookup, EveryRuleMustMatchAndTheLastGivesThePosition) {
  ColourDefinition definition;
  definition.name = "Cyan";
  definition.matchCount = 2;
  definition.matchOffset[0] = 0;
  definition.matchPattern[0] = "[d]";
  definition.matchOffset[1] = -3;
  definition.matchPattern[1] = "[?]";
  BestColour best;
  ASSERT_TRUE(MatchesUserColour(definition, "ab1234", best));
  EXPECT_EQ(best.PrefixPos, 3);  // -3 on six characters starts at 3
  EXPECT_EQ(best.EndPos, 4);
  EXPECT_TRUE(best.mixable);

  definition.matchOffset[1] = -10;  // starts at 0
  ASSERT_TRUE(MatchesUserColour(definition, "ab1234", best));
  EXPECT_EQ(best.PrefixPos, 0);

  EXPECT_FALSE(MatchesUserColour(definition, "abcdef", best));  // the first rule fails
  EXPECT_FALSE(best.found);

  definition.matchPattern[0] = "";  // an empty rule ends the list with success
  definition.matchPattern[1] = "[dd]";
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
  Load("[CustomColourMatch]\n"
       "type=Y\ncmyk=0 0 255 0\nmix=1\nmatch=0 \"zzz\"\n"
       "type=M\ncmyk=0 255 0 0\nmix=0\nmatch=0 \"[dd]\"\n"
       "type=K\ncmyk=0 0 0 255\nmix=1\nmatch=0 \"[d]\"\n");
  BestColour best;
  ASSERT_TRUE(LocateCustomColour(info, "Job 42", best));
  EXPECT_EQ(best.FoundColor, "Magenta");
  EXPECT_EQ(best.PrefixPos, 4);
  EXPECT_FALSE(best.mixable);
  EXPECT_EQ(CmykText(best), "0 255 0 0");
  EXPECT_EQ(Logs(), (std::vector<std::string>{
                        "In LocateCustomColour((Job 42)",
                        "Matching Yellow against Job 42",
                        "In MatchesUserColour(Job 42)",
                        "Matching Magenta against Job 42",
                        "In MatchesUserColour(Job 42)",
                        "Found (better) matching for Magenta against Job 42",
                        "Matching Black against Job 42",
                        "In MatchesUserColour(Job 42)",
                        "Found CustomColour match (Magenta) for Job 42",
                    }));

  log.lines.clear();
  EXPECT_FALSE(LocateCustomColour(info, "Job", best));
  EXPECT_EQ(best.type, ctUserDefined);
  EXPECT_EQ(Logs().back(), "Failed to find CustomColour match for Job");
}

// ---- LocateAffixes ----

// The identifier runs from PrefixPos up to EndDelimPos; the longest prefix
// and suffix inside it (case ignored) bound the bare name.
TEST_F(ColourLookup, AffixesBoundTheBareNameInsideTheIdentifier) {
  Load("[Prefixes]\n\"SPT \"=\n\"spt b\"=\n\"Acme \"=\n[Suffixes]\n\" C\"=\n\"U\"=\n\" cu\"=\n");
  struct Case {
    const char* name;
    const char* given;  // FoundColor before the call
    int prefixPos, endDelimPos, suffixPos;
    int namePos, expectedSuffixPos;
    const char* found;
    const char* normalised;
    ColourType type;
  } cases[] = {
      {"x(SPT Blue 7 CU)y", "SPT Blue 7 CU", 2, 15, 0, 7, 12, "lue7", "SPT Blue 7 CU", ctPantone},
      // Without a prefix only the normalised name changes.
      {"(Blue 7 C)", "Blue 7 C", 1, 8, 5, 1, 5, "Blue 7 C", "Blue 7 C", ctSpot},
      // A prefix with no suffix after it: the name runs to the end delimiter.
      {"SPT Teal 9", "SPT Teal 9", 0, 10, 0, 4, 10, "Teal9", "SPT Teal 9", ctPantone},
      // An end beyond the name is cut at the name's end.
      {"SPT Red C", "SPT Red C", 0, 1000, 0, 4, 7, "Red", "SPT Red C", ctPantone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BestColour best;
    best.PrefixPos = c.prefixPos;
    best.EndDelimPos = c.endDelimPos;
    best.SuffixPos = c.suffixPos;
    best.FoundColor = c.given;
    best.type = ctSpot;
    log.lines.clear();
    LocateAffixes(info, c.name, best);
    EXPECT_EQ(best.NamePos, c.namePos);
    EXPECT_EQ(best.SuffixPos, c.expectedSuffixPos);
    EXPECT_EQ(best.FoundColor, c.found);
    EXPECT_EQ(best.NormalisedColor, c.normalised);
    EXPECT_EQ(best.type, c.type);
    EXPECT_EQ(Logs(), (std::vector<std::string>{std::string("In LocateAffixes(") + c.name + ")"}));
  }
}

TEST_F(ColourLookup, AffixesNeverReadOutsideTheName) {
  Load("[Prefixes]\n\"SPT \"=\n[Suffixes]\n\" C\"=\n");
  const std::pair<int, int> ranges[] = {{0, -1}, {-5, 3}, {4, 2}, {1000, 2000}, {12, 12}};
  for (const auto& [start, end] : ranges) {
    BestColour best;
    best.PrefixPos = start;
    best.EndDelimPos = end;
    best.FoundColor = "SPT Red C";
    LocateAffixes(info, "SPT Red C", best);
    EXPECT_EQ(best.NormalisedColor, "SPT Red C") << start << ".." << end;
  }
}

// ---- GetColourInfo ----

TEST_F(ColourLookup, KnownColourGivesItsValuesAndLeavesTheFileAlone) {
  LoadFile("[PredefinedSpotColours]\r\nSunset12=10 20 30 40 1\r\n");
  BestColour best;
  best.FoundColor = " Sunset 12 ";
  best.OriginalColor = "Sunset 12";
  GetColourInfo(info, best);
  EXPECT_EQ(CmykText(best), "10 20 30 40");
  EXPECT_FALSE(best.mixable);
  EXPECT_EQ(Logs(), (std::vector<std::string>{
                        "In GetColourInfo(): Searching for colour 'Sunset 12'",
                        "In GetColourInfo(): Found colour 'Sunset 12' at index 0",
                    }));
  EXPECT_EQ(scratch.Read("Colours.ini"), "[PredefinedSpotColours]\r\nSunset12=10 20 30 40 1\r\n");
}

TEST_F(ColourLookup, UnknownColourIsAddedOnceWithoutDefiningItsValues) {
  LoadFile("[Options]\r\nignore_case=0\r\n\r\n[UserDefinedSpotColours]\r\nZinc=1 1 1 1\r\n");
  BestColour best;
  best.FoundColor = best.OriginalColor = "Plum";
  best.mixable = true;
  GetColourInfo(info, best);
  EXPECT_FALSE(best.cmykDefined);
  EXPECT_EQ(CmykValues(best), "0 112 154 11");  // the values written for it, though
  EXPECT_FALSE(best.mixable);
  EXPECT_EQ(Logs(), (std::vector<std::string>{
                        "In GetColourInfo(): Searching for colour 'Plum'",
                        "Adding colour 'Plum' to colour info as an undefined user-defined colour",
                        "In GetColourInfo(): Found colour 'Plum' at index 0",
                    }));
  EXPECT_EQ(scratch.Read("Colours.ini"),
            "[Options]\r\nignore_case=0\r\n\r\n[UserDefinedSpotColours]\r\nPlum=0 112 154 11 1\r\nZinc=1 1 1 1\r\n");

  // The next file with that colour finds it, now with defined values.
  BestColour again;
  again.FoundColor = again.OriginalColor = "Plum";
  GetColourInfo(info, again);
  EXPECT_TRUE(again.cmykDefined);
  EXPECT_EQ(info.SpotColourCount(), 2u);
}

TEST_F(ColourLookup, ANameWithBlanksIsAddedButNotFoundAgainWithoutThem) {
  LoadFile("[UserDefinedSpotColours]\r\n");
  BestColour best;
  best.FoundColor = "DeepRed";
  best.OriginalColor = "Deep Red";
  GetColourInfo(info, best);
  EXPECT_FALSE(best.cmykDefined);
  EXPECT_EQ(CmykValues(best), "0 0 0 0");
  EXPECT_EQ(Logs().size(), 2u);  // no "Found colour" line
  EXPECT_EQ(info.FindColour("Deep Red", false), 0);
  // A second file adds nothing more.
  GetColourInfo(info, best);
  EXPECT_EQ(info.SpotColourCount(), 1u);
}

TEST_F(ColourLookup, EmptyKeyStopsAfterTheFirstLine) {
  LoadFile("");
  BestColour best;
  best.FoundColor = "   ";
  best.OriginalColor = "x";
  GetColourInfo(info, best);
  EXPECT_EQ(Logs(), (std::vector<std::string>{"In GetColourInfo(): Searching for colour 'x'"}));
  EXPECT_EQ(info.SpotColourCount(), 0u);
  EXPECT_EQ(scratch.Read("Colours.ini"), "");
}

TEST_F(ColourLookup, ShippedCustomRulesMatchTheirExamples) {
  Load(ShippedCatalogueText());
  const std::pair<const char*, const char*> examples[] = {
      {"JOB12_plate-cy1", "Cyan"},
      {"plate_sep3-k", "Black"},
      {"JOB7_mg12", "Magenta"},
      {"Y 3F plate", "Yellow"},
      {"JOB12_plate-cy1x", ""},  // the Cyan rule looks only at the last four characters
      {"plate_sep3 k", ""},      // a blank is no punctuation
  };
  for (const auto& [name, colour] : examples) {
    BestColour best;
    LocateCustomColour(info, name, best);
    EXPECT_EQ(best.FoundColor, colour) << name;
  }
  BestColour prefixed;
  ASSERT_TRUE(LocatePrefixedColour(info, true, "JOB1_tinctura Lagoon 07 u", prefixed));
  EXPECT_EQ(prefixed.FoundColor, "tinctura Lagoon 07 u");
  EXPECT_EQ(CmykText(prefixed), "200 0 90 0");
}

}  // namespace hf
