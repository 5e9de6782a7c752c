// The colour catalogue: reading and writing Colours.ini, natural order, the
// four-pass colour search and the addition of unknown colours.
#include "grouping/colours/colour_info.h"
#include "base/ascii.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"
#include "tests/support/unit_test_support.h"

namespace hf {

namespace {

// A catalogue as a user keeps it: comments, blank lines, quoted affixes.
const char kCatalogue[] =
    "; Colours known to the plug-in\r\n\r\n"
    "[Options]\r\nignore_case=1\r\n\r\n"
    "[Prefixes]\r\n\"Acme \"=\r\n\"SPT \"=\r\n\r\n"
    "[Suffixes]\r\n\" C\"=\r\n\" U\"=\r\n\r\n"
    "[UserDefinedSpotColours]\r\n\"Brick 7\"=1 2 3 4 1\r\n\"Teal Wave\"=10 20 30 40\r\n\r\n"
    "[PredefinedSpotColours]\r\n; shipped with the system\r\nMint=5 6 7\r\n\"Sunset 12\"=0 100 100 0 1\r\n\r\n"
    "\"Sunset 120\"=0 150 200 0\r\n\r\n"
    "[CustomColourMatch]\r\ntype=Cyan\r\ncmyk=255 0 0 0\r\nmix=1\r\nmatch=0 \"[ddd]\"\r\nmatch=-3 \"c[d]\"\r\n\r\n"
    "type=black\r\ncmyk=0 0 0 255\r\nmix=0\r\n";

std::vector<std::string> Names(const CColourInfo& info) {
  std::vector<std::string> names;
  for (const ColourEntry& entry : info.spotColours()) names.push_back(entry.EffectiveName());
  return names;
}

CColourInfo Loaded(const std::string& text, int flags = kCatalogueAll) {
  CColourInfo info;
  info.LoadCatalogueFromText(text, flags);
  return info;
}

// The effective definition of the only spot colour of a one-entry catalogue.
ColourDefinition OnlySpotColour(const std::string& value) {
  CColourInfo info = Loaded("[PredefinedSpotColours]\nX=" + value + "\n");
  EXPECT_EQ(info.SpotColourCount(), 1u);
  return info.SpotColourCount() == 1 ? info.spotColours()[0].Effective() : ColourDefinition();
}

void ExpectCmyk(const ColourDefinition& colour, int c, int m, int y, int k, bool opaque) {
  EXPECT_EQ(colour.c, c);
  EXPECT_EQ(colour.m, m);
  EXPECT_EQ(colour.y, y);
  EXPECT_EQ(colour.k, k);
  EXPECT_EQ(colour.opaque, opaque);
}

// A catalogue read from a Colours.ini with these bytes, so that changes are written.
CColourInfo LoadedFile(const TempFolder& scratch, const std::string& bytes) {
  CColourInfo info;
  info.SetPath(scratch.Write("Colours.ini", bytes));
  EXPECT_TRUE(info.LoadCatalogue(kCatalogueAll));
  return info;
}

}  // namespace

// ---- reading ----

TEST(ColourInfoLoad, ReadsEverySection) {
  CColourInfo info = Loaded(kCatalogue);
  EXPECT_TRUE(info.ignoreCase());
  EXPECT_EQ(info.prefixes(), (std::vector<std::string>{"Acme ", "SPT "}));
  EXPECT_EQ(info.suffixes(), (std::vector<std::string>{" C", " U"}));

  EXPECT_EQ(Names(info), (std::vector<std::string>{"Brick 7", "Mint", "Sunset 12", "Sunset 120", "Teal Wave"}));
  EXPECT_TRUE(info.spotColours()[0].IsUserDefined());
  EXPECT_TRUE(info.spotColours()[0].predefined.name.empty());
  EXPECT_FALSE(info.spotColours()[1].IsUserDefined());
  EXPECT_TRUE(info.spotColours()[1].userDefined.name.empty());
  ExpectCmyk(info.spotColours()[0].Effective(), 1, 2, 3, 4, true);
  ExpectCmyk(info.spotColours()[1].Effective(), 5, 6, 7, 255, false);
  ExpectCmyk(info.spotColours()[4].Effective(), 10, 20, 30, 40, false);

  ASSERT_EQ(info.customColours().size(), 2u);
  const ColourDefinition& cyan = info.customColours()[0];
  EXPECT_EQ(cyan.name, "Cyan");
  ExpectCmyk(cyan, 255, 0, 0, 0, false);
  ASSERT_EQ(cyan.matchCount, 2);
  EXPECT_EQ(cyan.matchOffset[0], 0);
  EXPECT_EQ(cyan.matchPattern[0], "[ddd]");
  EXPECT_EQ(cyan.matchOffset[1], -3);
  EXPECT_EQ(cyan.matchPattern[1], "c[d]");
  const ColourDefinition& black = info.customColours()[1];
  EXPECT_EQ(black.name, "Black");  // the type value passes through ProcessNameOf
  ExpectCmyk(black, 0, 0, 0, 255, true);
  EXPECT_EQ(black.matchCount, 0);
}

TEST(ColourInfoLoad, SpotColourValuesFillFromTheFrontAndKeepDefaults) {
  ExpectCmyk(OnlySpotColour("0 0 0"), 0, 0, 0, 255, false);  // K defaults to 255, mixable
  ExpectCmyk(OnlySpotColour(""), 0, 0, 0, 255, false);
  ExpectCmyk(OnlySpotColour("1 2 3 4 1"), 1, 2, 3, 4, true);
  ExpectCmyk(OnlySpotColour("1 2 3 4 2"), 1, 2, 3, 4, false);  // only 1 is opaque
  ExpectCmyk(OnlySpotColour("1 2 3 4 0"), 1, 2, 3, 4, false);
  ExpectCmyk(OnlySpotColour("1,2 3"), 1, 0, 0, 255, false);   // stops at the first non-number
  ExpectCmyk(OnlySpotColour("7x 8"), 7, 0, 0, 255, false);
  ExpectCmyk(OnlySpotColour("-5 +6\t7"), -5, 6, 7, 255, false);
  ExpectCmyk(OnlySpotColour("1-2"), 1, -2, 0, 255, false);   // "%d %d" reads a sign straight after
  ExpectCmyk(OnlySpotColour("- 5"), 0, 0, 0, 255, false);
  ExpectCmyk(OnlySpotColour("1 2 3 4 1 9 9"), 1, 2, 3, 4, true);
  ExpectCmyk(OnlySpotColour("99999999999999999999 -99999999999999999999"), INT_MAX, INT_MIN, 0, 255, false);
}

TEST(ColourInfoLoad, LinesWithoutAKeyAreNoColours) {
  CColourInfo info = Loaded("[UserDefinedSpotColours]\n=1 2 3 4\n; Red=1 2 3 4\n\nGreen=0 0 0 0\n");
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Green"}));
  CColourInfo affixes = Loaded("[Prefixes]\n=x\n# comment\n\"A \"=\n");
  EXPECT_EQ(affixes.prefixes(), (std::vector<std::string>{"A "}));
}

TEST(ColourInfoLoad, IgnoreCaseIsOneOrKeepsItsValue) {
  // In sequence on one catalogue: an empty or absent value keeps the last one.
  const std::pair<const char*, bool> steps[] = {
      {"[Options]\nignore_case=1\n", true},        {"[Options]\nignore_case=\n", true},
      {"[Prefixes]\n", true},                      {"[options]\nIGNORE_CASE=2\n", false},
      {"[Options]\nignore_case=1 please\n", true}, {"[Options]\nignore_case=yes\n", false},
  };
  CColourInfo info;
  for (const auto& [text, ignoreCase] : steps) {
    info.LoadCatalogueFromText(text, kCatalogueAll);
    EXPECT_EQ(info.ignoreCase(), ignoreCase) << text;
  }
}

TEST(ColourInfoLoad, FlagsSelectTheSections) {
  CColourInfo info = Loaded(kCatalogue);
  const std::string other =
      "[Options]\nignore_case=0\n[Prefixes]\nNew=\n[Suffixes]\n[UserDefinedSpotColours]\nOnly=1 1 1 1\n"
      "[CustomColourMatch]\ntype=K\ncmyk=0 0 0 9\nmix=1\n";

  info.LoadCatalogueFromText(other, kCatalogueSpotColours);
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Only"}));
  EXPECT_TRUE(info.ignoreCase());
  EXPECT_EQ(info.prefixes().size(), 2u);
  EXPECT_EQ(info.customColours().size(), 2u);

  info.LoadCatalogueFromText(other, kCatalogueCustomMatch);
  ASSERT_EQ(info.customColours().size(), 1u);
  EXPECT_EQ(info.customColours()[0].k, 9);
  EXPECT_EQ(info.prefixes().size(), 2u);

  info.LoadCatalogueFromText(other, kCatalogueAffixes);
  EXPECT_FALSE(info.ignoreCase());
  EXPECT_EQ(info.prefixes(), (std::vector<std::string>{"New"}));
  EXPECT_TRUE(info.suffixes().empty());  // a present but empty section empties the list
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Only"}));
}

// ---- CustomColourMatch blocks ----

TEST(ColourInfoCustom, BlockFieldsAndTheirFallbacks) {
  CColourInfo info = Loaded(
      "[CustomColourMatch]\n"
      "type=Ruby\ncmyk=1 2 3\nmix=0\n"           // not a process spelling; three numbers
      "TYPE=yel\nCMYK=9 8 7 6\nMIX=abc\n"        // keys in any case; mix not a number
      "type=M\ncmyk=1 2 3 4 5\nmix=7\n"
      "match=1 \"a\"\nmatch=2 \"b\"\nmatch=3 \"c\"\nmatch=4 \"d\"\nmatch=5 \"e\"\n"
      "type=C\ncmyk=0 0 0 0\nmix=1\nmatch=-3 \"x y\" trailing\nmatch=  +2 tail\"[dd]\"\n");
  ASSERT_EQ(info.customColours().size(), 4u);
  const ColourDefinition& ruby = info.customColours()[0];
  EXPECT_EQ(ruby.name, "");
  ExpectCmyk(ruby, 0, 0, 0, 0, true);
  const ColourDefinition& yellow = info.customColours()[1];
  EXPECT_EQ(yellow.name, "Yellow");
  ExpectCmyk(yellow, 9, 8, 7, 6, false);
  const ColourDefinition& magenta = info.customColours()[2];
  EXPECT_EQ(magenta.name, "Magenta");
  ExpectCmyk(magenta, 1, 2, 3, 4, false);
  ASSERT_EQ(magenta.matchCount, 4);  // the fifth rule is read and ignored
  EXPECT_EQ(magenta.matchPattern[3], "d");
  EXPECT_EQ(magenta.matchOffset[3], 4);
  const ColourDefinition& cyan = info.customColours()[3];
  ASSERT_EQ(cyan.matchCount, 2);
  EXPECT_EQ(cyan.matchOffset[0], -3);
  EXPECT_EQ(cyan.matchPattern[0], "x y");
  EXPECT_EQ(cyan.matchOffset[1], 2);
  EXPECT_EQ(cyan.matchPattern[1], "[dd]");
}

TEST(ColourInfoCustom, ReadingStopsAtTheFirstBrokenBlock) {
  const std::string good = "[CustomColourMatch]\ntype=C\ncmyk=1 0 0 0\nmix=1\n";
  const std::string after = "type=K\ncmyk=0 0 0 1\nmix=1\n";
  const char* brokenRules[] = {
      "match=x \"a\"\n",                 // no number
      "match=3 \"a\n",                    // one double quote
      "match=3 a\n",                       // no quotes
      "match=\n",                          // empty
      "match=0 \"a\"\nmatch=0 \"\n",   // a later rule broken
      "match=0 \"a\"\nmatch=1 \"b\"\nmatch=2 \"c\"\nmatch=3 \"d\"\nmatch=4 e\n",  // a fifth rule broken
  };
  for (const char* rules : brokenRules) {
    CColourInfo info = Loaded(good + "type=M\ncmyk=1 1 1 1\nmix=1\n" + rules + after);
    ASSERT_EQ(info.customColours().size(), 1u) << rules;  // M dropped, K not read
    EXPECT_EQ(info.customColours()[0].name, "Cyan") << rules;
  }
  // No cmyk or no mix after the last type: that block is dropped.
  EXPECT_EQ(Loaded(good + "type=M\nmix=1\nmatch=0 \"a\"\n").customColours().size(), 1u);
  EXPECT_EQ(Loaded(good + "type=M\ncmyk=1 1 1 1\n").customColours().size(), 1u);
  // cmyk and mix are searched from the type entry on, so a block without its
  // own mix takes the next block's, and reading goes on after that one.
  CColourInfo borrowed = Loaded(good + "type=M\ncmyk=1 1 1 1\n" + after + "match=0 \"z\"\n");
  ASSERT_EQ(borrowed.customColours().size(), 2u);
  EXPECT_EQ(borrowed.customColours()[1].name, "Magenta");
  EXPECT_EQ(borrowed.customColours()[1].c, 1);
  EXPECT_EQ(borrowed.customColours()[1].matchCount, 1);
  // Entries before a type are not part of its block.
  EXPECT_EQ(Loaded("[CustomColourMatch]\nmix=1\ncmyk=1 1 1 1\n" + after.substr(0) + "stray=1\n")
                .customColours()
                .size(),
            1u);
}

TEST(ColourInfoCustom, MatchRulesMustFollowMixDirectly) {
  CColourInfo info = Loaded(
      "[CustomColourMatch]\n"
      "type=C\ncmyk=1 0 0 0\nmix=1\n\nmatch=0 \"lost\"\n"   // a blank line ends the block
      "type=K\ncmyk=0 0 0 1\nmix=1\nmatch=0 \"kept\"\nother=1\nmatch=0 \"lost\"\n");
  ASSERT_EQ(info.customColours().size(), 2u);
  EXPECT_EQ(info.customColours()[0].matchCount, 0);
  ASSERT_EQ(info.customColours()[1].matchCount, 1);
  EXPECT_EQ(info.customColours()[1].matchPattern[0], "kept");
}

TEST(ColourInfoCustom, ManyBlocksAreReadInOnePass) {
  std::string text = "[CustomColourMatch]\n";
  for (int i = 0; i < 20000; ++i) text += "type=K\nmix=0\n";
  text += "cmyk=0 0 0 1\n";
  // Every block finds the one cmyk at the end and its own mix.
  CColourInfo info = Loaded(text);
  EXPECT_EQ(info.customColours().size(), 20000u);
}

// ---- writing ----

TEST(ColourInfoSave, SortedCatalogueComesBackUnchanged) {
  // Only two lines change: the K a value left out, and the process spelling.
  std::string expected = kCatalogue;
  expected.replace(expected.find("Mint=5 6 7"), 10, "Mint=5 6 7 255");
  expected.replace(expected.find("type=black"), 10, "type=Black");
  EXPECT_EQ(Loaded(kCatalogue).SaveCatalogueToText(), expected);
  EXPECT_EQ(Loaded(expected).SaveCatalogueToText(), expected);
}

TEST(ColourInfoSave, ListsThatWereNotLoadedAreNeverWritten) {
  // Members from one text, document from another read with flags 0, and a
  // cleared catalogue: neither save may write the lists into the file.
  CColourInfo info = Loaded("[Prefixes]\nOnly=\n[PredefinedSpotColours]\nBeryl=3 3 3 3\n");
  info.LoadCatalogueFromText("[Prefixes]\nP=\n; comment\n[Other]\nkeep me = as I am\n", 0);
  const std::string untouched = "[Prefixes]\r\nP=\r\n; comment\r\n\r\n[Other]\r\nkeep=me = as I am\r\n";
  EXPECT_EQ(info.SaveCatalogueToText(), untouched);
  CColourInfo cleared = Loaded("[Prefixes]\nP=\n; comment\n[Other]\nkeep me = as I am\n");
  cleared.ClearCatalogue();
  EXPECT_EQ(cleared.SaveCatalogueToText(), untouched);
}

// An unknown colour is added to the file as it is on disk, changing nothing
// else: comments, unknown sections, rules the catalogue skipped when reading
// (a type that is no process colour, rules after a malformed one).
TEST(ColourInfoSave, AnAddedColourIsTheFilesOnlyChange) {
  ScratchFolder scratch("hf_catalogue");
  const std::string path = scratch.PathOf("Colours.ini");
  const std::string file =
      "; the shop's catalogue\r\n\r\n[UserDefinedSpotColours]\r\nApricot=1 2 3 4\r\nZinc=5 6 7 8\r\n\r\n"
      "[CustomColourMatch]\r\ntype=Ruby\r\ncmyk=1 1 1 1\r\nmix=1\r\ntype=Cyan\r\ncmyk=1 0 0 0\r\nmix=0\r\n"
      "match=bad\r\nmatch=0 \"C*\"\r\n\r\n[Workshop]\r\nowner=Ann\r\n";
  WriteBytes(path, file);
  CColourInfo info;
  info.SetPath(path);
  ASSERT_TRUE(info.LoadCatalogue(kCatalogueAll));
  WriteBytes(path, file + "late=1\r\n");  // another process wrote meanwhile
  EXPECT_EQ(info.AddUndefinedUserColour("Mango 12"), 0);
  std::string expected = file + "late=1\r\n";
  expected.insert(expected.find("Zinc="), "\"Mango 12\"=0 112 154 11 1\r\n");
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(info.AddUndefinedUserColour("Zz"), 0);  // after the last entry, before the blank line
  EXPECT_NE(ReadBytes(path).find("Zinc=5 6 7 8\r\nZz=0 112 154 11 1\r\n\r\n[CustomColourMatch]"), std::string::npos);
}

TEST(ColourInfoSave, UnsortedColoursAreWrittenInNaturalOrderAroundTheBlankLines) {
  CColourInfo info =
      Loaded("[PredefinedSpotColours]\n\"Zinc 10\"=1 1 1 1\n\n\"Zinc 9\"=2 2 2 2 1\n; note\nAmber=3 3 3 3\n\n\n");
  EXPECT_EQ(info.SaveCatalogueToText(),
            "[PredefinedSpotColours]\r\nAmber=3 3 3 3\r\n\r\n\"Zinc 9\"=2 2 2 2 1\r\n; note\r\n"
            "\"Zinc 10\"=1 1 1 1\r\n\r\n"
            "[Options]\r\nignore_case=0\r\n");
}

TEST(ColourInfoSave, EmptyListsDeleteTheirEntriesAndCreateNoSections) {
  // Only the custom blocks are read (the prefixes stay as they are); the Ruby
  // block has an empty name (not a process colour), so it is not written.
  CColourInfo info = Loaded("[Prefixes]\nA=\n\nB=\nC=\n[CustomColourMatch]\ntype=Ruby\ncmyk=1 1 1 1\nmix=1\n",
                            kCatalogueCustomMatch);
  EXPECT_EQ(info.customColours().size(), 1u);
  EXPECT_EQ(info.SaveCatalogueToText(), "[Prefixes]\r\nA=\r\n\r\nB=\r\nC=\r\n\r\n[CustomColourMatch]\r\n");
}

TEST(ColourInfoSave, MissingSectionsAreAppendedWithEqualsSigns) {
  CColourInfo info = Loaded(
      "; written with blanks\n[Options]\nignore_case 1\n[Prefixes]\n\"Acme \"\n[UserDefinedSpotColours]\nRed 1 2 3 4\n"
      "[CustomColourMatch]\ntype Magenta\ncmyk 0 255 0 0\nmix 0\nmatch 2 \"[?d]\"\n");
  EXPECT_EQ(info.SaveCatalogueToText(),
            "; written with blanks\r\n\r\n"
            "[Options]\r\nignore_case=1\r\n\r\n"
            "[Prefixes]\r\n\"Acme \"=\r\n\r\n"
            "[UserDefinedSpotColours]\r\nRed=1 2 3 4\r\n\r\n"
            "[CustomColourMatch]\r\ntype=Magenta\r\ncmyk=0 255 0 0\r\nmix=0\r\nmatch=2 \"[?d]\"\r\n");
}

TEST(ColourInfoSave, MatchRulesStayDirectlyBelowTheirMixEntry) {
  // A stray key before the block moves every entry up one slot; the blank
  // line would then fall between mix and match, which would lose the rule.
  CColourInfo info = Loaded("[CustomColourMatch]\nstray=1\ntype=C\ncmyk=1 0 0 0\n\nmix=1\nmatch=0 \"a\"\n");
  ASSERT_EQ(info.customColours().size(), 1u);
  ASSERT_EQ(info.customColours()[0].matchCount, 1);
  const std::string saved = info.SaveCatalogueToText();
  EXPECT_EQ(saved,
            "[CustomColourMatch]\r\ntype=Cyan\r\ncmyk=1 0 0 0\r\nmix=1\r\nmatch=0 \"a\"\r\n\r\n"
            "[Options]\r\nignore_case=0\r\n");
  CColourInfo reread = Loaded(saved);
  ASSERT_EQ(reread.customColours().size(), 1u);
  EXPECT_EQ(reread.customColours()[0].matchCount, 1);
  EXPECT_EQ(reread.SaveCatalogueToText(), saved);
}

// The file path: a save goes through a temporary file; a load that fails
// keeps everything, the document's comments too, so a later save loses nothing.
TEST(ColourInfoFile, SavesThroughATemporaryFileAndAFailedLoadChangesNothing) {
  TempFolder scratch;
  CColourInfo info = LoadedFile(scratch, kCatalogue);
  EXPECT_EQ(info.SpotColourCount(), 5u);
  ASSERT_TRUE(info.SaveCatalogue());
  EXPECT_EQ(scratch.Read("Colours.ini"), info.SaveCatalogueToText());
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("Colours.ini.tmp~")));

  std::filesystem::remove(scratch.Path("Colours.ini"));
  EXPECT_FALSE(info.LoadCatalogue(kCatalogueAll));
  EXPECT_EQ(info.path(), scratch.Path("Colours.ini"));
  EXPECT_EQ(info.SpotColourCount(), 5u);
  EXPECT_EQ(info.prefixes().size(), 2u);
  EXPECT_EQ(info.customColours().size(), 2u);
  EXPECT_TRUE(info.ignoreCase());
  ASSERT_TRUE(info.SaveCatalogue());
  EXPECT_EQ(scratch.Read("Colours.ini").substr(0, 32), "; Colours known to the plug-in\r\n");

  info.ClearCatalogue();  // empties the lists, keeps the path
  EXPECT_EQ(info.SpotColourCount(), 0u);
  EXPECT_TRUE(info.customColours().empty() && info.prefixes().empty() && info.suffixes().empty());
  EXPECT_EQ(info.FindColour("Mint", false), -1);
  EXPECT_EQ(info.path(), scratch.Path("Colours.ini"));
}

// ---- natural order ----

TEST(NaturalCompare, NumbersByValueThenLongerRunFirst) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"Red 9", "Red 10", -1},
      {"Red 10", "Red 9", 1},
      {"Red 007", "Red 7", -1},  // equal value: more digits first
      {"Red 7", "Red 07", 1},
      {"Red 07", "Red 007", 1},
      {"Red 7a", "Red 7b", -1},
      {"Red 007b", "Red 7a", -1},  // the run decides before the letters
      {"red", "RED", 0},
      {"abc", "abd", -1},
      {"ab", "abc", -1},  // ends first
      {"", "", 0},
      {"", "a", -1},
      {"a1", "ab", 1},  // a digit sorts after a non-digit
      {"1", "A", 1},
      {"_", "a", 1},    // compared upper-cased: '_' > 'A'
      {"x99999999999999999999999", "x100000000000000000000000", -1},  // beyond 64 bits
      {"x0", "x00", 1},
      {"2 Blue", "10 Blue", -1},
      {"Blue\xe9", "Blue\xc9", 1},  // bytes above ASCII are not folded
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NaturalCompare(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(NaturalCompare(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
  }
}

TEST(NaturalCompare, LoadingSortsByEffectiveNameKeepingFileOrderOfEqualNames) {
  CColourInfo info = Loaded(
      "[UserDefinedSpotColours]\n\"Blue 10\"=1 0 0 0\n\"blue 2\"=2 0 0 0\n\"BLUE 2\"=3 0 0 0\n"
      "[PredefinedSpotColours]\n\"Blue 2\"=4 0 0 0\n\"Blue 02\"=5 0 0 0\nAqua=6 0 0 0\n");
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Aqua", "Blue 02", "blue 2", "BLUE 2", "Blue 2", "Blue 10"}));
}

TEST(RemoveSpacesAndTrim, BlanksOnly) {
  EXPECT_EQ(RemoveSpaces(" Deep  Red \t"), "DeepRed\t");
  EXPECT_EQ(TrimmedAscii(" \t\r\nDeep Red\v\f "), "Deep Red");
  EXPECT_EQ(TrimmedAscii("   "), "");
}

// ---- FindColour ----

namespace {

// Four spellings of one colour: the passes decide which one a name finds.
// After sorting: 0 "Deep Red" (user), 1 "Deep Red" (predefined),
// 2 "DeepRed" (user), 3 "DeepRed" (predefined).
CColourInfo Spellings(bool userSpaced, bool predefinedSpaced, bool userJoined, bool predefinedJoined) {
  std::string text = "[UserDefinedSpotColours]\n";
  if (userSpaced) text += "\"Deep Red\"=1 0 0 0\n";
  if (userJoined) text += "DeepRed=2 0 0 0\n";
  text += "[PredefinedSpotColours]\n";
  if (predefinedSpaced) text += "\"Deep Red\"=3 0 0 0\n";
  if (predefinedJoined) text += "DeepRed=4 0 0 0\n";
  return Loaded(text);
}

int FoundC(const CColourInfo& info, const std::string& name, bool caseInsensitive = false) {
  const ColourEntry* entry = info.EntryAt(info.FindColour(name, caseInsensitive));
  return entry == nullptr ? -1 : entry->Effective().c;
}

}  // namespace

TEST(FindColour, PassesRunInTheirOrder) {
  // 1: user-defined, name as it stands, beats every other pass.
  EXPECT_EQ(FoundC(Spellings(true, true, true, true), "Deep Red"), 1);
  // 2: predefined without blanks beats predefined as it stands.
  EXPECT_EQ(FoundC(Spellings(false, true, true, true), "Deep Red"), 4);
  // 3: predefined as it stands beats user-defined without blanks.
  EXPECT_EQ(FoundC(Spellings(false, true, true, false), "Deep Red"), 3);
  // 4: user-defined without blanks.
  EXPECT_EQ(FoundC(Spellings(false, false, true, false), "Deep Red"), 2);
  EXPECT_EQ(FoundC(Spellings(false, false, false, false), "Deep Red"), -1);
  // A joined name never finds a spaced one.
  EXPECT_EQ(FoundC(Spellings(true, true, false, false), "DeepRed"), -1);
}

TEST(FindColour, CaseTrimAndEmptyNames) {
  CColourInfo info = Spellings(true, false, false, true);
  EXPECT_EQ(FoundC(info, "deep red"), -1);
  EXPECT_EQ(FoundC(info, "deep red", true), 1);
  EXPECT_EQ(FoundC(info, "DEEP RED", true), 1);
  EXPECT_EQ(FoundC(info, " \tDeep Red\r\n"), 1);
  EXPECT_EQ(FoundC(info, "deepred", true), 4);
  EXPECT_EQ(info.FindColour("", false), -1);
  EXPECT_EQ(info.FindColour(" \t ", true), -1);
  CColourInfo empty;
  EXPECT_EQ(empty.FindColour("Deep Red", true), -1);
}

TEST(FindColour, FirstEntryInListOrderWins) {
  CColourInfo info = Loaded("[UserDefinedSpotColours]\nteal=1 0 0 0\nTEAL=2 0 0 0\nTeal=3 0 0 0\n");
  EXPECT_EQ(info.FindColour("Teal", true), 0);
  EXPECT_EQ(info.FindColour("TEAL", false), 1);
  EXPECT_EQ(info.FindColour("Teal", false), 2);
}

namespace {

// The four passes as plain scans, to check the index against.
int ScanFindColour(const CColourInfo& info, const std::string& name, bool caseInsensitive) {
  std::string key = TrimmedAscii(name);
  if (key.empty()) return -1;
  std::string spaceless = RemoveSpaces(key);
  auto equal = [&](const std::string& a, const std::string& b) {
    return caseInsensitive ? EqualsIgnoringAsciiCase(a, b) : a == b;
  };
  const auto& list = info.spotColours();
  const struct {
    bool user;
    const std::string* text;
  } passes[4] = {{true, &key}, {false, &spaceless}, {false, &key}, {true, &spaceless}};
  for (const auto& pass : passes) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i].IsUserDefined() == pass.user && equal(*pass.text, list[i].EffectiveName())) {
        return static_cast<int>(i);
      }
    }
  }
  return -1;
}

}  // namespace

TEST(FindColour, IndexAgreesWithPlainScansAfterInsertions) {
  std::string text = "[UserDefinedSpotColours]\n";
  const char* words[] = {"Red", "red", "Blue", "Deep Red", "DeepRed", "Tint 5", "Tint 05", "Tint5"};
  for (int i = 0; i < 8; ++i) text += std::string("\"") + words[i] + "\"=" + std::to_string(i) + " 0 0 0\n";
  text += "[PredefinedSpotColours]\n";
  for (int i = 7; i >= 0; --i) text += std::string("\"") + words[i] + "\"=" + std::to_string(10 + i) + " 0 0 0\n";
  CColourInfo info = Loaded(text);  // no path: additions are kept in memory only

  const char* probes[] = {"Red", "RED", "red", "Deep Red", "DEEPRED", "deep red", "Tint 5", "TINT05", "Tint 5 ",
                          "Blue", "Green", "Aqua 1", "AQUA 1", "Aqua1", "Tint 005", "Zinc"};
  auto check = [&](const char* stage) {
    for (const char* probe : probes) {
      for (bool caseInsensitive : {false, true}) {
        EXPECT_EQ(info.FindColour(probe, caseInsensitive), ScanFindColour(info, probe, caseInsensitive))
            << stage << ": " << probe << (caseInsensitive ? " (any case)" : "");
      }
    }
  };
  check("loaded");
  const char* additions[] = {"Aqua 1", "AQUA 1", "Tint 005", "Green", "aqua1", "Zinc", "Blue 0"};
  for (const char* addition : additions) {
    info.AddUndefinedUserColour(addition);
    check(addition);
  }
}

// ---- AddUndefinedUserColour ----

TEST(AddUndefinedUserColour, AnUnknownColourIsInsertedInNaturalOrderAndWritten) {
  TempFolder scratch;
  CColourInfo info = LoadedFile(scratch,
                                "[Options]\r\nignore_case=0\r\n\r\n"
                                "[UserDefinedSpotColours]\r\n\"Blue 7\"=1 2 3 4\r\n\r\n"
                                "[PredefinedSpotColours]\r\n\"Blue 007\"=5 6 7 8 1\r\n\"Blue 8\"=9 9 9 9\r\n");
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Blue 007", "Blue 7", "Blue 8"}));

  EXPECT_EQ(info.AddUndefinedUserColour("  Blue 07 "), 0);
  EXPECT_EQ(Names(info), (std::vector<std::string>{"Blue 007", "Blue 07", "Blue 7", "Blue 8"}));
  const ColourEntry* added = info.EntryAt(1);
  ASSERT_NE(added, nullptr);
  EXPECT_TRUE(added->IsUserDefined());
  ExpectCmyk(added->userDefined, 0, 112, 154, 11, true);
  EXPECT_EQ(scratch.Read("Colours.ini"),
            "[Options]\r\nignore_case=0\r\n\r\n"
            "[UserDefinedSpotColours]\r\n\"Blue 07\"=0 112 154 11 1\r\n\"Blue 7\"=1 2 3 4\r\n\r\n"
            "[PredefinedSpotColours]\r\n\"Blue 007\"=5 6 7 8 1\r\n\"Blue 8\"=9 9 9 9\r\n");

  EXPECT_EQ(info.AddUndefinedUserColour("Blue 9"), 0);  // after every entry
  EXPECT_EQ(Names(info).back(), "Blue 9");
  EXPECT_EQ(info.FindColour("Blue 9", false), 4);
  EXPECT_EQ(info.FindColour("Blue 7", false), 2);
  EXPECT_EQ(info.FindColour("Blue 007", false), 0);
}

TEST(AddUndefinedUserColour, KnownOrEmptyNamesAreNotAdded) {
  TempFolder scratch;
  CColourInfo info = LoadedFile(scratch, "[PredefinedSpotColours]\r\nDeepRed=1 2 3 4\r\n");
  for (const char* name : {"DeepRed", " Deep Red ", "", " \t"}) {  // " Deep Red " is found without its blanks
    EXPECT_EQ(info.AddUndefinedUserColour(name), -1) << name;
  }
  EXPECT_EQ(info.SpotColourCount(), 1u);
  EXPECT_EQ(scratch.Read("Colours.ini"), "[PredefinedSpotColours]\r\nDeepRed=1 2 3 4\r\n");  // not rewritten
  // The search for duplicates respects case: another spelling is a new colour.
  EXPECT_EQ(info.AddUndefinedUserColour("deepred"), 0);
  EXPECT_EQ(info.SpotColourCount(), 2u);
}

TEST(AddUndefinedUserColour, AMissingCatalogueFileIsCreatedWithTheFirstName) {
  TempFolder scratch;
  CColourInfo info;
  info.SetPath(scratch.Path("Colours.ini"));
  EXPECT_FALSE(info.LoadCatalogue(kCatalogueAll));
  EXPECT_EQ(info.AddUndefinedUserColour("Plum"), 0);
  EXPECT_EQ(info.AddUndefinedUserColour("Lime 2"), 0);
  EXPECT_EQ(scratch.Read("Colours.ini"),
            "[UserDefinedSpotColours]\r\n\"Lime 2\"=0 112 154 11 1\r\nPlum=0 112 154 11 1\r\n");
}

TEST(AddUndefinedUserColour, AFailedWriteKeepsTheAddedColourInMemory) {
  TempFolder scratch;
  CColourInfo info;
  info.SetPath(scratch.Path("no such folder/Colours.ini"));
  EXPECT_EQ(info.AddUndefinedUserColour("Plum"), 0);
  EXPECT_EQ(info.FindColour("Plum", false), 0);
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("no such folder")));
}

// ---- process colours ----

TEST(ProcessColours, NamesAndSolidValues) {
  const std::pair<const char*, const char*> names[] = {
      {"cyan", "Cyan"}, {"MAG", "Magenta"}, {"Yel", "Yellow"}, {"k", "Black"},
      {"BLK", "Black"}, {"Cyan ", ""},      {"Red", ""},       {"", ""},
  };
  for (const auto& [text, name] : names) EXPECT_EQ(CColourInfo::ProcessNameOf(text), name) << text;

  const struct {
    const char* name;
    unsigned char cmyk[4];
  } solids[] = {{"c", {255, 0, 0, 0}}, {"Magenta", {0, 255, 0, 0}}, {"YEL", {0, 0, 255, 0}}, {"Black", {0, 0, 0, 255}}};
  for (const auto& solid : solids) {
    BestColour best;
    best.NormalisedColor = solid.name;
    CColourInfo::SetProcessCMYK(best);
    EXPECT_TRUE(best.cmykDefined) << solid.name;
    EXPECT_TRUE(best.mixable) << solid.name;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(best.cmyk[i], solid.cmyk[i]) << solid.name << " " << i;
  }
  BestColour other;
  other.NormalisedColor = "Ruby";
  other.cmyk[2] = 7;
  CColourInfo::SetProcessCMYK(other);
  EXPECT_FALSE(other.cmykDefined);
  EXPECT_FALSE(other.mixable);
  EXPECT_EQ(other.cmyk[2], 7);
}

// ---- the shipped sample ----

TEST(ShippedCatalogue, LoadsAndIsWrittenBackUnchanged) {
  const std::string text = ShippedCatalogueText();
  CColourInfo info = Loaded(text);
  EXPECT_TRUE(info.ignoreCase());
  EXPECT_EQ(info.prefixes().size(), 3u);
  EXPECT_EQ(info.suffixes().size(), 3u);
  EXPECT_GE(info.SpotColourCount(), 24u);
  EXPECT_EQ(info.customColours().size(), 4u);
  // The file is kept in natural order, so a save changes only the line ends.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(info.SaveCatalogueToText(), crlf);
  for (const ColourEntry& entry : info.spotColours()) {
    EXPECT_EQ(entry.EffectiveName().find(' '), std::string::npos) << entry.EffectiveName();
  }
}

}  // namespace hf
