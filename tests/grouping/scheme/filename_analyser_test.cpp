// Filename analysis: tables of names run through templates written here
// against a small catalogue, one table per method of each identifier, the
// edge cases that catch real faults, the log lines and positions outside the name.
#include "grouping/scheme/filename_analyser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

const char kCatalogue[] =
    "[Options]\nignore_case=1\n[Prefixes]\n\"CHROMIX \"=\n\"SPT \"=\n[Suffixes]\n\" C\"=\n\" U\"=\n"
    "[UserDefinedSpotColours]\nVarnish=0 0 0 0 1\n"
    "[PredefinedSpotColours]\n485=0 95 100 0\nReflexBlue=100 73 0 2\nWarmRed=0 75 90 0\n"
    "[CustomColourMatch]\ntype=Black\ncmyk=0 0 0 255\nmix=1\nmatch=0 \"schwarz\"\n";

using Row = AnalysisRow;

struct Analysis {
  CColourInfo catalogue;
  CFilenameAnalyser analyser;
  explicit Analysis(const std::string& templateText, const char* catalogueText = kCatalogue) {
    catalogue.LoadCatalogueFromText(catalogueText, kCatalogueAll);
    analyser.SetColourInfo(&catalogue);
    analyser.ReadTemplateFromBuffer(templateText);
  }
};

// Every row runs on a fresh catalogue, since a lookup may add colours to it.
void ExpectRows(const std::string& templateText, const std::vector<Row>& rows, bool requireCatalogueMatch = true) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Analysis run(templateText);
    run.analyser.SetRequireCatalogueMatch(requireCatalogueMatch);
    ExpectAnalysis(run.analyser, row);
  }
}

// ---- Templates ----

// Spot colours by catalogue prefix and suffix (the initial methods, which
// find nothing in names without a prefix).
const std::string kSpotByAffixes = "[SpotId]\nSPOT_START_METHOD=1\nSPOT_END_METHOD=1\n";
const std::string kProcessByName = "[ProcessId]\nSEP_ID_METHOD=4\n";
const std::string kProcessByUnderscore = "[ProcessId]\nSEP_ID_METHOD=2\nSEP_ID_START_DELIM=95\nSEP_ID_END_DELIM=95\n";
const std::string kNoProcess = "[ProcessId]\nSEP_ID_METHOD=1\nSEP_ID_OFFSET=500\n";
const std::string kGroupFromStart = "[GroupId]\nSEP_GROUP_OFFSET=0\nSEP_GROUP_END_IDENTIFIER_TYPE=1\n";
const std::string kGroupBeforeColour = kGroupFromStart + "SEP_GROUP_USE_LEADING_DIGITS=1\n";
const std::string kGroupAfterColour = "[GroupId]\nSEP_GROUP_START_IDENTIFIER_TYPE=1\nSEP_GROUP_END_IDENTIFIER_TYPE=2\n";

}  // namespace

// ---- Process colours ----

TEST(FilenameAnalyserTest, ProcessColourByPositionDelimitersOrName) {
  // Offset -5 on nine characters reads position 4; the group is the leading digits only, which are removed.
  ExpectRows("[ProcessId]\nSEP_ID_METHOD=1\nSEP_ID_OFFSET=-5\n" + kSpotByAffixes + kGroupFromStart,
             {{"AB12k_xyz", true, "k", "Black", ctProcess, "0 0 0 255", "AB12", "", ""},
              {"AB12Q_xyz", false, "", nullptr, ctUserDefined, "", "", "", ""},
              {"ABCD", false, "", nullptr, ctUserDefined, "", "", "", ""}});  // position -1: outside
  // A longer bracket that is no colour does not take over; of two colours the longer wins; no end bracket: to the end.
  ExpectRows("[ProcessId]\nSEP_ID_METHOD=2\nSEP_ID_START_DELIM=40\nSEP_ID_END_DELIM=41\n" + kSpotByAffixes +
                 kGroupBeforeColour,
             {{"JOB9 (Cyan)(ProofCopy)", true, "Cyan", "Cyan", ctProcess, "255 0 0 0", "JOB9", "", ""},
              {"JOB9 (Cyan) (Black)", true, "Black", "Black", ctProcess, "0 0 0 255", "JOB9 (Cyan)", "", ""},
              {"JOB9 (Magenta", true, "Magenta", "Magenta", ctProcess, "0 255 0 0", "JOB9", "", ""},
              {"JOB9 (Cyan Blue)", false, "", nullptr, ctUserDefined, "", "", "", ""}});
  ExpectRows(kProcessByName + kSpotByAffixes + kGroupBeforeColour,  // spellings in table order: CYAN before MAG
             {{"MAGCYAN", true, "CYAN", "CYAN", ctProcess, "255 0 0 0", "MAG", "", ""},
              {"JOB BLK", true, "BLK", "BLACK", ctProcess, "0 0 0 255", "JOB", "", ""},
              {"JOB K", false, "", nullptr, ctUserDefined, "", "", "", ""}});  // no one-letter names
}

// ---- Spot colours ----

TEST(FilenameAnalyserTest, SpotColourByPositions) {
  const std::string spot = "[SpotId]\nSPOT_START_METHOD=2\nSPOT_ID_START_OFFSET=4\nSPOT_END_METHOD=2\n";
  // No catalogue lookup is made for a positional end: CMYK stays undefined.
  ExpectRows(kNoProcess + spot + "SPOT_ID_END_OFFSET=-4\n" + kGroupBeforeColour,
             {{"JOB Warm Red_x1", true, "WarmRed", "WarmRed", ctSpot, "", "JOB", "", ""},
              {"JOB W", false, "", nullptr, ctUserDefined, "", "", "", ""}});
  // The end must leave a character after it.
  ExpectRows(kNoProcess + spot + "SPOT_ID_END_OFFSET=-1\n" + kGroupBeforeColour,
             {{"JOB WarmRed", false, "", nullptr, ctUserDefined, "", "", "", ""}});
}

TEST(FilenameAnalyserTest, SpotColourBetweenDelimiters) {
  ExpectRows(kNoProcess + "[SpotId]\nSPOT_START_METHOD=8\nSPOT_END_METHOD=8\nSPOT_ID_START_DELIMITER=40\n" +
                 "SPOT_ID_END_DELIMITER=41\n" + kGroupBeforeColour,
             // Affixes inside the brackets: the bare name is looked up; a process name is that process colour; a
             // catalogue colour beats an unknown one, also a longer later one; no end bracket: to the end.
             {{"JOB7 (SPT 300 U)", true, "300", "SPT 300 U", ctPantone, "", "JOB7", "", ""},
              {"JOB7 (Cyan)", true, "Cyan", "Cyan", ctProcess, "", "JOB7", "", ""},
              {"JOB7 (WarmRed) (Unknown Longer Name)", true, "WarmRed", "WarmRed", ctSpot, "0 75 90 0", "JOB7", "", ""},
              {"JOB7 (Mystery) (Reflex Blue)", true, "Reflex Blue", "Reflex Blue", ctSpot, "100 73 0 2",
               "JOB7 (Mystery)", "", ""},
              {"(Reflex Blue)", false, "Reflex Blue", nullptr, ctSpot, nullptr, "", "", ""},
              {"JOB7 (Warm Red", true, "Warm Red", "Warm Red", ctSpot, "0 75 90 0", "JOB7", "", ""}});
}

TEST(FilenameAnalyserTest, SpotColourByCatalogueAffixes) {
  Analysis run(kNoProcess + kSpotByAffixes + kGroupBeforeColour);
  BestColour best;
  ASSERT_TRUE(run.analyser.LocateSpotColour("JOB5 CHROMIX 485 C", best));
  EXPECT_EQ(best.type, ctSpot);
  EXPECT_EQ(best.FoundColor + "|" + best.OriginalColor + "|" + best.NormalisedColor, "CHROMIX485C|CHROMIX 485 C|485");
  EXPECT_EQ(Positions(best), "delims 5-18 prefix 5+0 name 13 suffix 16+0 end 18");
  EXPECT_FALSE(best.cmykDefined);                                  // the whole text is not a catalogue name...
  EXPECT_GE(run.catalogue.FindColour("CHROMIX 485 C", false), 0);  // ...so it was added
  // The first prefix finds no suffix behind it; the second does.
  ASSERT_TRUE(run.analyser.LocateSpotColour("SPT 300 U_CHROMIX x", best));
  EXPECT_EQ(best.OriginalColor + "|" + best.NormalisedColor, "SPT 300 U|300");
  // A suffix that stands before the prefix ends no identifier.
  EXPECT_FALSE(run.analyser.LocateSpotColour("A C_CHROMIX 485", best));
  EXPECT_FALSE(run.analyser.LocateSpotColour("JOB5 Cyan", best));
}

TEST(FilenameAnalyserTest, PrefixedCatalogueColourTheCatalogueMatchFlagAndTheCustomMatch) {
  const std::string scheme = kNoProcess + kSpotByAffixes + kGroupBeforeColour;
  // Not in the catalogue: only the spot search finds it; the custom match named Black becomes the process colour.
  ExpectRows(scheme, {{"JOB5 CHROMIX 485 C", true, "CHROMIX 485 C", "", ctPantone, "0 95 100 0", "JOB5", "", ""},
                      {"JOB5 CHROMIX 999 C", true, "CHROMIX999C", "999", ctSpot, "", "JOB5", "", ""},
                      {"JOB3 schwarz", true, "Black", "Black", ctProcess, "0 0 0 255", "JOB3", "", ""},
                      {"JOB3 nothing", false, "", nullptr, ctUserDefined, "", "", "", ""}});
  ExpectRows(scheme, {{"JOB5 CHROMIX 999 C", true, "CHROMIX 999 C", "", ctPantone, "", "JOB5", "", ""}}, false);
}

TEST(FilenameAnalyserTest, SpotColourFromTheFirstLetter) {
  ExpectRows(
      kNoProcess + "[SpotId]\nSPOT_START_METHOD=16\nSPOT_END_METHOD=8\nSPOT_ID_END_DELIMITER=95\n" + kGroupAfterColour,
      {{"0042Varnish_x7", true, "Varnish", "Varnish", ctSpot, "0 0 0 0", "x7", "", "0042"},
       {"0042_7", false, "", nullptr, ctUserDefined, "", "", "", ""}});
}

// ---- Preps letter ----

TEST(FilenameAnalyserTest, PrepsLetterAfterOrBeforeTheColourOrByPosition) {
  const std::string colour = kProcessByName + kSpotByAffixes;
  ExpectRows(
      colour + kGroupBeforeColour + "[SideId]\nUSE_PREPS=1\nPREPS_IDENTIFIER_METHOD=2\nPREPS_IDENTIFIER_OFFSET=1\n",
      {{"JOB1 CYANh", true, "CYAN", "CYAN", ctProcess, "255 0 0 0", "JOB1", "h", ""},   // value 7
       {"JOB1 CYANI", false, "CYAN", "CYAN", ctProcess, "255 0 0 0", "JOB1", "I", ""},  // value 8
       {"JOB1 CYAN", false, "CYAN", nullptr, ctProcess, nullptr, "", "", ""}});         // past the end
  const std::string endAtPreps = "[GroupId]\nSEP_GROUP_OFFSET=0\nSEP_GROUP_END_IDENTIFIER_TYPE=4\n";
  ExpectRows(colour + endAtPreps +
                 "SEP_GROUP_USE_LEADING_DIGITS=1\n[SideId]\nUSE_PREPS=1\nPREPS_IDENTIFIER_METHOD=1\n"
                 "PREPS_IDENTIFIER_OFFSET=2\n",
             {{"JOB2 B Magenta", true, "Magenta", "MAGENTA", ctProcess, "0 255 0 0", "JOB2", "B", ""},
              {"Magenta", false, "Magenta", nullptr, ctProcess, nullptr, "", "", ""}});  // before the start
  const std::string startAfterPreps = "[GroupId]\nSEP_GROUP_START_IDENTIFIER_TYPE=2\nSEP_GROUP_END_IDENTIFIER_TYPE=1\n";
  ExpectRows(colour + startAfterPreps + "[SideId]\nUSE_PREPS=1\nPREPS_IDENTIFIER_METHOD=0\nPREPS_IDENTIFIER_OFFSET=0\n",
             {{"C_JOB7_Black", true, "Black", "BLACK", ctProcess, "0 0 0 255", "JOB7", "C", ""}});
  // Without a preps letter, a group that starts or ends at it fails.
  ExpectRows(colour + startAfterPreps + "[SideId]\nUSE_PREPS=0\n",
             {{"C_JOB7_Black", false, "Black", nullptr, ctProcess, nullptr, "", "", ""}});
  ExpectRows(colour + endAtPreps, {{"JOB7_Black", false, "Black", nullptr, ctProcess, nullptr, "", "", ""}});
}

// ---- Group identifier ----

TEST(FilenameAnalyserTest, GroupEndTypes) {
  const std::string base = kProcessByName + kSpotByAffixes;
  // Type 2: the end of the analysed name (the count from the end is ignored).
  ExpectRows(base + kGroupAfterColour + "SEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END=7\n",
             {{"Cyan_JOB77", true, "Cyan", nullptr, ctProcess, nullptr, "JOB77", "", ""}});
  // Type 3 with 5 characters from the end on twelve characters: end 8.
  ExpectRows(base +
                 "[GroupId]\nSEP_GROUP_OFFSET=0\nSEP_GROUP_END_IDENTIFIER_TYPE=3\n"
                 "SEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END=5\nSEP_GROUP_USE_LEADING_DIGITS=1\n",
             {{"ABCDEFGHXCyn", true, "Cyn", "CYAN", ctProcess, "255 0 0 0", "ABCDEFGH", "", ""}});
  // Type 0: a length from the start.
  ExpectRows(base +
                 "[GroupId]\nSEP_GROUP_OFFSET=2\nSEP_GROUP_END_IDENTIFIER_TYPE=0\n"
                 "SEP_GROUP_IDENTIFIER_LENGTH=4\nSEP_GROUP_USE_LEADING_DIGITS=1\n",
             {{"XXJOB12345_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB1", "", ""},
              {"XCyan", false, "Cyan", nullptr, ctProcess, nullptr, "", "", ""}});  // end past the name
  // A start counted from the end.
  ExpectRows(base + "[GroupId]\nSEP_GROUP_OFFSET=-5\nSEP_GROUP_END_IDENTIFIER_TYPE=2\n",
             {{"Cyan_JOB77", true, "Cyan", nullptr, ctProcess, nullptr, "JOB77", "", ""},
              {"Cyan", false, "Cyan", nullptr, ctProcess, nullptr, "", "", ""}});
}

TEST(FilenameAnalyserTest, LeadingDigitsSeparatorsAndTheIgnoredCharacter) {
  const std::string colour = kProcessByUnderscore + kSpotByAffixes,
                    noPage = "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=9\n";
  ExpectRows(colour + kGroupFromStart + noPage,
             {{"0012 My-Job_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "MyJob", "", ""},
              {"__-._Cyan", false, "Cyan", nullptr, ctProcess, nullptr, "", "", ""}});
  ExpectRows(colour + kGroupBeforeColour + noPage,
             {{"0012 My-Job_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "0012 My-Job", "", ""},
              {"JOB..v2.TIF_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB.v2", "", ""},
              {"JOB...x_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB..x", "", ""}});
  ExpectRows(colour + kGroupBeforeColour + "SEP_GROUP_IGNORE_CHAR_FLAG=1\nSEP_GROUP_IGNORE_CHAR_OFFSET=3\n" + noPage,
             {{"JOBx1_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB1", "", ""},
              {"JO_K", false, "", nullptr, ctUserDefined, "", "", "", ""},  // ignored before the colour search
              {"J_K", true, "K", "Black", ctProcess, "0 0 0 255", "J", "", ""}});  // position 3 is outside
}

TEST(FilenameAnalyserTest, FinaliseGroupNameDropsAKnownExtensionAndTrailingDots) {
  const std::pair<const char*, const char*> cases[] = {
      {"JOB.v2.PGB", "JOB.v2"}, {"JOBtif", "JOBtif"}, {"a.b\\ctif", "a.b\\ctif"},
      {"JOB.TIF..", "JOB.TIF"}, {".tif", ""},         {"JOB.pgb.tif", "JOB.pgb"}};
  for (const auto& [text, expected] : cases) {
    std::string group = text;
    CFilenameAnalyser::FinaliseGroupName(group);
    EXPECT_EQ(group, expected) << text;
  }
}

// ---- Page number ----

TEST(FilenameAnalyserTest, PageNumberLeadingTrailingOrAtAPosition) {
  const std::string base = kProcessByUnderscore + kSpotByAffixes + kGroupFromStart + "[PageNumber]\n";
  ExpectRows(base, {{"0012_JOB_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", "0012"}});
  // Grouped by page: the digits stay, and so do the group's leading digits.
  ExpectRows(base + "PAGENUMBER_IDENTIFIER_GROUP_BY=1\n",
             {{"0012_JOB_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "0012_JOB", "", "0012"}});
  ExpectRows(kProcessByName + kGroupAfterColour + "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=1\n" + kSpotByAffixes,
             {{"Cyan_JOB_0012", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", "0012"},
              {"Cyan_JOB", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", ""}});
  const std::string at = kProcessByName + kGroupAfterColour +
                         "SEP_GROUP_USE_LEADING_DIGITS=1\n[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=2\n";
  // Negative: the digits that end there.
  ExpectRows(at + "PAGENUMBER_IDENTIFIER_POSITION=-2\n" + kSpotByAffixes,
             {{"Cyan JOB 12x", true, "Cyan", nullptr, ctProcess, nullptr, "JOBx", "", "12"}});
  ExpectRows(at + "PAGENUMBER_IDENTIFIER_POSITION=5\n" + kSpotByAffixes,
             {{"Cyan 12 JOB", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", "12"}});
  // Positions outside the name find no page number.
  for (const char* position : {"100", "-100", "2147483647", "-2147483648"}) {
    ExpectRows(at + "PAGENUMBER_IDENTIFIER_POSITION=" + position + "\n" + kSpotByAffixes,
               {{"Cyan JOB", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", ""}});
  }
}

TEST(FilenameAnalyserTest, PageNumberBetweenDelimiters) {
  const std::string base = kProcessByUnderscore + kGroupBeforeColour +
                           "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=3\nPAGENUMBER_IDENTIFIER_START_DELIM=_p\n"
                           "PAGENUMBER_IDENTIFIER_END_DELIM=_\n";
  // Of several numbers the largest by value (not by text) is taken and removed; no end delimiter: to the end.
  ExpectRows(base + kSpotByAffixes,
             {{"JOB_p2_p10_p7_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB_p2_p7", "", "10"},
              {"JOB_p0099_p100_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB_p0099", "", "100"},
              {"JOB_Cyan_p9", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", "9"},
              {"JOB_px_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB_px", "", ""}});
  ExpectRows(base + "PAGENUMBER_IDENTIFIER_GROUP_BY=1\n" + kSpotByAffixes,
             {{"JOB_p3_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB_p3", "", "3"}});
  // Empty delimiters find no number but end.
  ExpectRows(kProcessByUnderscore + kGroupBeforeColour + "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=3\n",
             {{"JOB_Cyan", true, "Cyan", nullptr, ctProcess, nullptr, "JOB", "", ""}});
}

TEST(FilenameAnalyserTest, PageNumberMarking) {
  CFilenameAnalyser analyser;
  analyser.ReadTemplateFromBuffer(
      "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=3\nPAGENUMBER_IDENTIFIER_START_DELIM=pg\n");
  const std::string m(1, CFilenameAnalyser::kRemovalMarker);
  std::string w = "ab-_pg12. x";  // the number, "pg", ". " after, "-_" before
  analyser.MarkPageNumber(w, 6, 8);
  EXPECT_EQ(w, "ab" + m + m + m + m + m + m + m + m + "x");
  w = "pg12_x";  // the start delimiter right at the start is not marked
  analyser.MarkPageNumber(w, 2, 4);
  EXPECT_EQ(w, "pg" + m + m + "_x");
}

// ---- Results, logging, bad input ----

TEST(FilenameAnalyserTest, EveryAnalysisStartsWithEmptyResultsAndNeedsACatalogue) {
  Analysis run(kProcessByName + kSpotByAffixes +
               "[GroupId]\nSEP_GROUP_START_IDENTIFIER_TYPE=2\n"
               "SEP_GROUP_END_IDENTIFIER_TYPE=1\n[SideId]\nUSE_PREPS=1\nPREPS_IDENTIFIER_METHOD=0\n"
               "PREPS_IDENTIFIER_OFFSET=0\n[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=1\n");
  ASSERT_TRUE(run.analyser.Analyse("B_JOB_Cyan7"));
  EXPECT_EQ(run.analyser.preps() + run.analyser.pageNumber(), "B7");
  EXPECT_FALSE(run.analyser.Analyse("B_JOB_nothing"));
  EXPECT_FALSE(run.analyser.best().found);
  EXPECT_EQ(run.analyser.groupName() + run.analyser.preps() + run.analyser.pageNumber(), "");

  CFilenameAnalyser analyser;
  analyser.ReadTemplateFromBuffer(kProcessByName);
  EXPECT_FALSE(analyser.Analyse("JOB_Cyan"));
  BestColour best;
  EXPECT_FALSE(analyser.LocatePrefixedColour("JOB_CHROMIX 485 C", best));
  EXPECT_FALSE(analyser.LocateCustomColour("JOB", best));
  EXPECT_FALSE(analyser.LocateSpotColour("JOB_CHROMIX 485 C", best));
}

namespace {

// True when the lines of `expected` ("<level> <text>|<level> <text>|...") occur
// in this order among the captured lines.
::testing::AssertionResult InOrder(const LogCapture& log, const std::string& expected) {
  size_t from = 0;
  for (const LogLine& line : log.lines) {
    const size_t end = std::min(expected.find('|', from), expected.size());
    if (from < expected.size() && std::to_string(line.first) + " " + line.second == expected.substr(from, end - from))
      from = end + 1;
  }
  if (from >= expected.size()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "missing or out of order: " << expected.substr(from);
}

}  // namespace

TEST(FilenameAnalyserLogTest, AnalysisLogLines) {
  LogCapture log;
  Analysis run(kProcessByName + kSpotByAffixes +
               "[GroupId]\nSEP_GROUP_OFFSET=0\nSEP_GROUP_END_IDENTIFIER_TYPE=4\n"
               "[SideId]\nUSE_PREPS=1\nPREPS_IDENTIFIER_METHOD=1\nPREPS_IDENTIFIER_OFFSET=2\n");
  const std::string name = "JOB2 B Magenta";
  ASSERT_TRUE(run.analyser.Analyse(name));
  EXPECT_TRUE(InOrder(log,
                      "2 Affix case sensitivity is ignored|3 In LocatePrefixedColour(JOB2 B Magenta)|"
                      "3 In LocateSpotColour(JOB2 B Magenta)|3 Using PREFIX SpotColourStart method|"
                      "3 Failed to find SpotColour match for JOB2 B Magenta|"
                      "3 In LocateProcessColour(JOB2 B Magenta)|3 Using NAME ProcessColour method|"
                      "3 Found ProcessColour (Magenta) match for JOB2 B Magenta|3 BestColour information|"
                      "3   NormalisedColor = MAGENTA|3   CMYK = [ 0 255 0 0 ]|3   Mix = Mixable|3   SuffixLength = 0|"
                      "3 Using BEFORE_COLOUR Preps method|3 Using POSITIONAL GroupStart method|"
                      "3 Using BEFORE_PREPS GroupEnd method|3 PageNumber = '', found between positions 0 and 0|"
                      "3 Final Group Name = <JOB2>|3 Preps value = <1>"));
  // The custom search runs only when nothing else was found.
  for (const LogLine& record : log.lines) EXPECT_EQ(record.second.find("LocateCustomColour"), std::string::npos);
}

TEST(FilenameAnalyserLogTest, UndefinedCmykCaseSensitiveCatalogueFailuresAndAnEmptyGroupName) {
  std::string catalogue = kCatalogue;
  catalogue.replace(catalogue.find("ignore_case=1"), 13, "ignore_case=0");
  LogCapture log;
  Analysis run(kNoProcess +
                   "[SpotId]\nSPOT_START_METHOD=2\nSPOT_ID_START_OFFSET=0\nSPOT_END_METHOD=2\n"
                   "SPOT_ID_END_OFFSET=-6\n" +
                   kGroupAfterColour + "[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=1\n",
               catalogue.c_str());
  ASSERT_TRUE(run.analyser.Analyse("Gold_aJOB12"));
  EXPECT_TRUE(InOrder(log,
                      "2 Affix case sensitivity is preserved|3 Using POSITIONAL SpotColourStart method|"
                      "3 In SearchForSpotColour(Gold_aJOB12)|3 Using POSITIONAL SpotColourEnd method|"
                      "3 Found SpotColour match (Gold_a) for Gold_aJOB12|"
                      "3 Using POSITIONAL ProcessColour method|"
                      "3 Failed to find ProcessColour match for Gold_aJOB12|"
                      "3   CMYK = Undefined|3 Using AFTER_COLOUR GroupStart method|"
                      "3 Using POSITIONAL GroupEnd method|"
                      "3 PageNumber = '12', found between positions 9 and 11|3 Final Group Name = <JOB>"));
  // A wrong FoundColor here would mean the identifier ran past its end.
  EXPECT_EQ(run.analyser.best().FoundColor, "Gold_a");
  EXPECT_FALSE(run.analyser.Analyse("Go"));
  EXPECT_TRUE(InOrder(log,
                      "3 Failed to find SpotColour match for Go|3 In LocateCustomColour((Go)|"
                      "3 Failed to find CustomColour match for Go"));

  log.lines.clear();
  Analysis separators(kProcessByUnderscore + kGroupFromStart);
  EXPECT_FALSE(separators.analyser.Analyse("-. -_Cyan"));
  EXPECT_TRUE(InOrder(log,
                      "3 Using DELIMITER ProcessColour method|3 Found ProcessColour (Cyan) match for -. -_Cyan|"
                      "3 Using BEFORE_COLOUR GroupEnd method|3 Final Group Name = <>"));
  for (const LogLine& record : log.lines) EXPECT_NE(record.second.rfind("Preps value", 0), 0u);
}

// Names of separators only and offsets far outside the name, under every kind of scheme, are in the fuzz
// target's seeds (fuzz/corpus/filename_analyser/bad_*); the searches are also called directly.
TEST(FilenameAnalyserBadInputTest, SearchesCalledWithPositionsOutsideTheName) {
  Analysis run("[SpotId]\nSPOT_START_METHOD=1\nSPOT_END_METHOD=8\nSPOT_ID_END_DELIMITER=41\n");
  for (int position : {-1000, -1, 0, 3, 4, 1000, INT_MAX, INT_MIN}) {
    for (const char* name : {"", "abc", "a)c("}) {
      for (FnsMethod end : {FnsMethod::DELIMITER, FnsMethod::SUFFIX, FnsMethod::POSITIONAL}) {
        run.analyser.settings().spotEndMethod = end;
        BestColour best;
        best.PrefixPos = best.NamePos = best.StartDelimPos = best.EndDelimPos = position;
        run.analyser.SearchForSpotColour(name, best);
      }
      std::string w = name;
      run.analyser.FindPageNumberAt(w, position);
      int last = position > INT_MAX - 3 ? INT_MAX : position + 3;
      run.analyser.MarkPageNumber(w, position, last);
      run.analyser.MarkPageNumber(w, last, position);
      EXPECT_EQ(w.size(), std::string(name).size());
    }
  }
}

}  // namespace hf
