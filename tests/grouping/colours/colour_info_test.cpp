// The colour catalogue: reading and writing Colours.ini, natural order, the
// four-pass colour search and the addition of unknown colours.
#include "grouping/colours/colour_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

using Texts = std::vector<std::string>;

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

CColourInfo Loaded(const std::string& text, int flags = kCatalogueAll) {
  CColourInfo info;
  info.LoadCatalogueFromText(text, flags);
  return info;
}

// A catalogue read from a Colours.ini with these bytes, so that changes are written.
CColourInfo LoadedFile(const ScratchFolder& scratch, const std::string& bytes) {
  CColourInfo info;
  info.SetPath(scratch.Write("Colours.ini", bytes));
  EXPECT_TRUE(info.LoadCatalogue(kCatalogueAll));
  return info;
}

// "<name> C M Y K <1 when opaque>[ user]", as Colours.ini writes a spot colour.
std::string Describe(const ColourDefinition& colour, bool user = false) {
  return colour.name + " " + std::to_string(colour.c) + " " + std::to_string(colour.m) + " " +
         std::to_string(colour.y) + " " + std::to_string(colour.k) + (colour.opaque ? " 1" : " 0") +
         (user ? " user" : "");
}

// A custom definition with its match rules: "<Describe>: <offset> <pattern>, ...".
std::string DescribeCustom(const ColourDefinition& colour) {
  std::string text = Describe(colour) + ":";
  for (int i = 0; i < colour.matchCount; ++i)
    text += " " + std::to_string(colour.matchOffset[i]) + " " + colour.matchPattern[i] + ",";
  return text;
}

Texts Spots(const CColourInfo& info) {
  Texts texts;
  for (const ColourEntry& entry : info.spotColours())
    texts.push_back(Describe(entry.Effective(), entry.IsUserDefined()));
  return texts;
}

Texts Customs(const CColourInfo& info) {
  Texts texts;
  for (const ColourDefinition& colour : info.customColours()) texts.push_back(DescribeCustom(colour));
  return texts;
}

Texts Names(const CColourInfo& info) {
  Texts names;
  for (const ColourEntry& entry : info.spotColours()) names.push_back(entry.EffectiveName());
  return names;
}

}  // namespace

// ---- reading ----

TEST(ColourInfoLoad, ReadsEverySectionAndASortedCatalogueIsWrittenBackUnchanged) {
  CColourInfo info = Loaded(kCatalogue);
  EXPECT_EQ(Spots(info), (Texts{"Brick 7 1 2 3 4 1 user", "Mint 5 6 7 255 0", "Sunset 12 0 100 100 0 1",
                                "Sunset 120 0 150 200 0 0", "Teal Wave 10 20 30 40 0 user"}));
  // The type value passes through ProcessNameOf.
  EXPECT_EQ(Customs(info), (Texts{"Cyan 255 0 0 0 0: 0 [ddd], -3 c[d],", "Black 0 0 0 255 1:"}));
  // Only two lines change: the K a value left out, and the process spelling.
  std::string saved = kCatalogue;
  saved.replace(saved.find("Mint=5 6 7"), 10, "Mint=5 6 7 255");
  saved.replace(saved.find("type=black"), 10, "type=Black");
  EXPECT_EQ(info.SaveCatalogueToText(), saved);
  // Lines without a key are no colours or affixes.
  EXPECT_EQ(Names(Loaded("[UserDefinedSpotColours]\n=1 2 3 4\n; Red=1 2 3 4\n\nGreen=0 0 0 0\n")), Texts{"Green"});
  EXPECT_EQ(Loaded("[Prefixes]\n=x\n# comment\n\"A \"=\n").prefixes(), Texts{"A "});
  // Spot colour values fill from the front: K defaults to 255, mixable; only 1 is opaque; reading stops at
  // the first non-number ("%d %d" reads a sign straight after a number); values beyond 32 bits saturate.
  const std::pair<const char*, const char*> values[] = {
      {"1 2 3 4 2", "X 1 2 3 4 0"},
      {"1,2 3", "X 1 0 0 255 0"},
      {"1-2", "X 1 -2 0 255 0"},
      {"99999999999999999999 -99999999999999999999", "X 2147483647 -2147483648 0 255 0"}};
  for (const auto& [value, expected] : values)
    EXPECT_EQ(Spots(Loaded(std::string("[PredefinedSpotColours]\nX=") + value + "\n")), Texts{expected}) << value;
}

TEST(ColourInfoLoad, IgnoreCaseIsOneOrKeepsItsValueAndFlagsSelectTheSections) {
  // In sequence on one catalogue: an empty value keeps the last one.
  const std::pair<const char*, bool> steps[] = {{"[Options]\nignore_case=1 please\n", true},
                                                {"[Options]\nignore_case=\n", true},
                                                {"[options]\nIGNORE_CASE=2\n", false}};
  CColourInfo info;
  for (const auto& [text, ignoreCase] : steps) {
    info.LoadCatalogueFromText(text, kCatalogueAll);
    EXPECT_EQ(info.ignoreCase(), ignoreCase) << text;
  }
  info = Loaded(kCatalogue);
  const std::string other =
      "[Options]\nignore_case=0\n[Prefixes]\nNew=\n[Suffixes]\n[UserDefinedSpotColours]\nOnly=1 1 1 1\n"
      "[CustomColourMatch]\ntype=K\ncmyk=0 0 0 9\nmix=1\n";
  info.LoadCatalogueFromText(other, kCatalogueSpotColours);
  EXPECT_EQ(Names(info), Texts{"Only"});
  EXPECT_EQ(std::make_tuple(info.ignoreCase(), info.prefixes().size(), info.customColours().size()),
            std::make_tuple(true, size_t{2}, size_t{2}));
  info.LoadCatalogueFromText(other, kCatalogueAffixes | kCatalogueCustomMatch);
  EXPECT_EQ(Customs(info), Texts{"Black 0 0 0 9 0:"});
  // A present but empty section empties the list.
  EXPECT_EQ(std::make_tuple(info.ignoreCase(), info.prefixes(), info.suffixes()),
            std::make_tuple(false, Texts{"New"}, Texts{}));
}

// ---- CustomColourMatch blocks ----

TEST(ColourInfoCustom, BlockFieldsTheirFallbacksAndMatchRulesDirectlyAfterMix) {
  CColourInfo info = Loaded(
      "[CustomColourMatch]\n"
      "type=Ruby\ncmyk=1 2 3\nmix=0\n"     // not a process spelling; three numbers
      "TYPE=yel\nCMYK=9 8 7 6\nMIX=abc\n"  // keys in any case; mix not a number
      "type=M\ncmyk=1 2 3 4 5\nmix=7\n"
      "match=1 \"a\"\nmatch=2 \"b\"\nmatch=3 \"c\"\nmatch=4 \"d\"\nmatch=5 \"e\"\n"  // the fifth rule is ignored
      "type=C\ncmyk=0 0 0 0\nmix=1\nmatch=-3 \"x y\" trailing\nmatch=  +2 tail\"[dd]\"\n"
      "type=K\ncmyk=0 0 0 1\nmix=1\n\nmatch=0 \"lost\"\n"  // a blank line ends the block
      "type=Y\ncmyk=0 0 0 1\nmix=1\nmatch=0 \"kept\"\nother=1\nmatch=0 \"lost\"\n");
  EXPECT_EQ(Customs(info), (Texts{" 0 0 0 0 1:", "Yellow 9 8 7 6 0:", "Magenta 1 2 3 4 0: 1 a, 2 b, 3 c, 4 d,",
                                  "Cyan 0 0 0 0 0: -3 x y, 2 [dd],", "Black 0 0 0 1 0:", "Yellow 0 0 0 1 0: 0 kept,"}));
}

TEST(ColourInfoCustom, ReadingStopsAtTheFirstBrokenBlock) {
  const std::string good = "[CustomColourMatch]\ntype=C\ncmyk=1 0 0 0\nmix=1\n";
  const std::string after = "type=K\ncmyk=0 0 0 1\nmix=1\n";
  for (const char* rules : {"match=x \"a\"\n", "match=3 \"a\n", "match=3 a\n"}) {  // M dropped, K not read
    EXPECT_EQ(Customs(Loaded(good + "type=M\ncmyk=1 1 1 1\nmix=1\n" + rules + after)), Texts{"Cyan 1 0 0 0 0:"})
        << rules;
  }
  // No cmyk or no mix after the last type: that block is dropped.
  EXPECT_EQ(Loaded(good + "type=M\nmix=1\nmatch=0 \"a\"\n").customColours().size(), 1u);
  EXPECT_EQ(Loaded(good + "type=M\ncmyk=1 1 1 1\n").customColours().size(), 1u);
  // cmyk and mix are searched from the type entry on, so a block without its
  // own mix takes the next block's, and reading goes on after that one.
  EXPECT_EQ(Customs(Loaded(good + "type=M\ncmyk=1 1 1 1\n" + after + "match=0 \"z\"\n")),
            (Texts{"Cyan 1 0 0 0 0:", "Magenta 1 1 1 1 0: 0 z,"}));
}

// ---- writing ----

TEST(ColourInfoSave, SectionsAreRewrittenInPlaceOrAppended) {
  const std::pair<const char*, const char*> cases[] = {
      // Unsorted colours are written in natural order around the blank lines.
      {"[PredefinedSpotColours]\n\"Zinc 10\"=1 1 1 1\n\n\"Zinc 9\"=2 2 2 2 1\n; note\nAmber=3 3 3 3\n\n\n",
       "[PredefinedSpotColours]\r\nAmber=3 3 3 3\r\n\r\n\"Zinc 9\"=2 2 2 2 1\r\n; note\r\n\"Zinc 10\"=1 1 1 1\r\n\r\n"
       "[Options]\r\nignore_case=0\r\n"},
      // Sections written with blanks get equals signs; missing ones are appended.
      {"; written with blanks\n[Options]\nignore_case 1\n[Prefixes]\n\"Acme \"\n[UserDefinedSpotColours]\nRed 1 2 3 4\n"
       "[CustomColourMatch]\ntype Magenta\ncmyk 0 255 0 0\nmix 0\nmatch 2 \"[?d]\"\n",
       "; written with blanks\r\n\r\n[Options]\r\nignore_case=1\r\n\r\n[Prefixes]\r\n\"Acme \"=\r\n\r\n"
       "[UserDefinedSpotColours]\r\nRed=1 2 3 4\r\n\r\n"
       "[CustomColourMatch]\r\ntype=Magenta\r\ncmyk=0 255 0 0\r\nmix=0\r\nmatch=2 \"[?d]\"\r\n"},
      // A stray key before the block moves every entry up one slot; the blank line would then fall between
      // mix and match, which would lose the rule: match rules stay directly below their mix entry.
      {"[CustomColourMatch]\nstray=1\ntype=C\ncmyk=1 0 0 0\n\nmix=1\nmatch=0 \"a\"\n",
       "[CustomColourMatch]\r\ntype=Cyan\r\ncmyk=1 0 0 0\r\nmix=1\r\nmatch=0 \"a\"\r\n\r\n"
       "[Options]\r\nignore_case=0\r\n"}};
  for (const auto& [members, saved] : cases) {
    EXPECT_EQ(Loaded(members).SaveCatalogueToText(), saved) << members;
    EXPECT_EQ(Loaded(saved).SaveCatalogueToText(), saved) << members;
  }
  EXPECT_EQ(Customs(Loaded(cases[2].second)), Texts{"Cyan 1 0 0 0 0: 0 a,"});
}

TEST(ColourInfoSave, ListsThatWereNotLoadedAreNeverWritten) {
  // Read with flags 0, cleared, or only the custom blocks read: no save writes lists that were not read.
  const std::string layout = "[Prefixes]\nP=\n; comment\n[Other]\nkeep me = as I am\n";
  const std::string untouched = "[Prefixes]\r\nP=\r\n; comment\r\n\r\n[Other]\r\nkeep=me = as I am\r\n";
  CColourInfo info = Loaded("[Prefixes]\nOnly=\n[PredefinedSpotColours]\nBeryl=3 3 3 3\n");
  info.LoadCatalogueFromText(layout, 0);
  EXPECT_EQ(info.SaveCatalogueToText(), untouched);
  CColourInfo cleared = Loaded(layout);
  cleared.ClearCatalogue();
  EXPECT_EQ(cleared.SaveCatalogueToText(), untouched);
  // The Ruby block has an empty name (not a process colour): kept in memory, not written.
  CColourInfo custom =
      Loaded("[Prefixes]\nA=\n[CustomColourMatch]\ntype=Ruby\ncmyk=1 1 1 1\nmix=1\n", kCatalogueCustomMatch);
  EXPECT_EQ(custom.customColours().size(), 1u);
  EXPECT_EQ(custom.SaveCatalogueToText(), "[Prefixes]\r\nA=\r\n\r\n[CustomColourMatch]\r\n");
}

// An unknown colour is added to the file as it is on disk (skipped rules, what another process wrote meanwhile).
TEST(ColourInfoSave, AnAddedColourIsTheFilesOnlyChange) {
  ScratchFolder scratch("hf_colour_");
  const std::string file =
      "; the shop's catalogue\r\n\r\n[UserDefinedSpotColours]\r\nApricot=1 2 3 4\r\nZinc=5 6 7 8\r\n\r\n"
      "[CustomColourMatch]\r\ntype=Ruby\r\ncmyk=1 1 1 1\r\nmix=1\r\ntype=Cyan\r\ncmyk=1 0 0 0\r\nmix=0\r\n"
      "match=bad\r\nmatch=0 \"C*\"\r\n\r\n[Workshop]\r\nowner=Ann\r\n";
  CColourInfo info = LoadedFile(scratch, file);
  scratch.Write("Colours.ini", file + "late=1\r\n");
  EXPECT_EQ(info.AddUndefinedUserColour("Mango 12"), 0);
  std::string expected = file + "late=1\r\n";
  expected.insert(expected.find("Zinc="), "\"Mango 12\"=0 112 154 11 1\r\n");
  EXPECT_EQ(scratch.Read("Colours.ini"), expected);
  EXPECT_EQ(info.AddUndefinedUserColour("Zz"), 0);  // after the last entry, before the blank line
  EXPECT_NE(scratch.Read("Colours.ini").find("Zinc=5 6 7 8\r\nZz=0 112 154 11 1\r\n\r\n[CustomColourMatch]"),
            std::string::npos);
}

// A load that fails keeps everything, the document's comments too, so a later save loses nothing.
TEST(ColourInfoFile, SavesThroughATemporaryFileAndAFailedLoadChangesNothing) {
  ScratchFolder scratch("hf_colour_");
  CColourInfo info = LoadedFile(scratch, kCatalogue);
  ASSERT_TRUE(info.SaveCatalogue());
  EXPECT_EQ(scratch.Read("Colours.ini"), info.SaveCatalogueToText());
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("Colours.ini.tmp~")));

  std::filesystem::remove(scratch.PathOf("Colours.ini"));
  EXPECT_FALSE(info.LoadCatalogue(kCatalogueAll));
  ASSERT_TRUE(info.SaveCatalogue());
  EXPECT_EQ(scratch.Read("Colours.ini"), Loaded(kCatalogue).SaveCatalogueToText());

  info.ClearCatalogue();  // empties the lists, keeps the path
  EXPECT_EQ(std::make_pair(info.FindColour("Mint", false), info.path()),
            std::make_pair(-1, scratch.PathOf("Colours.ini")));
}

// ---- natural order ----

TEST(NaturalCompare, NumbersByValueThenLongerRunFirst) {
  const std::tuple<const char*, const char*, int> cases[] = {
      {"Red 9", "Red 10", -1},
      {"Red 007b", "Red 7a", -1},  // equal value: more digits first, before the letters decide
      {"red", "RED", 0},
      {"ab", "abc", -1},                                              // a text that ends first sorts first
      {"1", "A", 1},                                                  // a digit sorts after a non-digit
      {"_", "a", 1},                                                  // compared upper-cased: '_' > 'A'
      {"x99999999999999999999999", "x100000000000000000000000", -1},  // beyond 64 bits
      {"Blue\xe9", "Blue\xc9", 1}};                                   // bytes above ASCII are not folded
  for (const auto& [a, b, expected] : cases) {
    EXPECT_EQ(NaturalCompare(a, b), expected) << a << " vs " << b;
    EXPECT_EQ(NaturalCompare(b, a), -expected) << b << " vs " << a;
  }
}

TEST(NaturalCompare, LoadingSortsByEffectiveNameKeepingFileOrderOfEqualNames) {
  CColourInfo info = Loaded(
      "[UserDefinedSpotColours]\n\"Blue 10\"=1 0 0 0\n\"blue 2\"=2 0 0 0\n\"BLUE 2\"=3 0 0 0\n"
      "[PredefinedSpotColours]\n\"Blue 2\"=4 0 0 0\n\"Blue 02\"=5 0 0 0\nAqua=6 0 0 0\n");
  EXPECT_EQ(Names(info), (Texts{"Aqua", "Blue 02", "blue 2", "BLUE 2", "Blue 2", "Blue 10"}));
  EXPECT_EQ(RemoveSpaces(" Deep  Red \t"), "DeepRed\t");
  EXPECT_EQ(TrimmedAscii(" \t\r\nDeep Red\v\f "), "Deep Red");
  EXPECT_EQ(TrimmedAscii("   "), "");
}

// ---- FindColour ----

namespace {

// Spellings of "Deep Red" as bits: 1 user "Deep Red", 2 predefined "Deep Red", 4 user "DeepRed",
// 8 predefined "DeepRed"; their C values are 1, 3, 2 and 4, which tell them apart.
int FoundC(int spellings, const std::string& name, bool caseInsensitive) {
  const char* lines[] = {"\"Deep Red\"=1 0 0 0\n", "\"Deep Red\"=3 0 0 0\n", "DeepRed=2 0 0 0\n", "DeepRed=4 0 0 0\n"};
  std::string user = "[UserDefinedSpotColours]\n", predefined = "[PredefinedSpotColours]\n";
  for (int bit = 0; bit < 4; ++bit)
    if (spellings & (1 << bit)) (bit % 2 == 0 ? user : predefined) += lines[bit];
  CColourInfo info = Loaded(user + predefined);
  const ColourEntry* entry = info.EntryAt(info.FindColour(name, caseInsensitive));
  return entry == nullptr ? -1 : entry->Effective().c;
}

}  // namespace

TEST(FindColour, PassesRunInTheirOrderOnTheTrimmedName) {
  // Pass 1 user-defined as it stands, 2 predefined without blanks, 3 predefined as it stands, 4 user-defined
  // without blanks; a joined name never finds a spaced one.
  const std::tuple<int, const char*, bool, int> cases[] = {
      {15, "Deep Red", false, 1}, {14, "Deep Red", false, 4}, {6, "Deep Red", false, 3},
      {4, "Deep Red", false, 2},  {0, "Deep Red", false, -1}, {3, "DeepRed", false, -1},
      {9, "deep red", false, -1}, {9, "DEEP RED", true, 1},   {9, " \tDeep Red\r\n", false, 1},
      {9, "deepred", true, 4},    {9, " \t ", true, -1}};
  for (const auto& [spellings, name, caseInsensitive, c] : cases)
    EXPECT_EQ(FoundC(spellings, name, caseInsensitive), c) << spellings << " " << name;
  // The first entry in list order wins.
  CColourInfo info = Loaded("[UserDefinedSpotColours]\nteal=1 0 0 0\nTEAL=2 0 0 0\nTeal=3 0 0 0\n");
  auto found = [&info](const std::vector<std::pair<const char*, bool>>& names) {
    std::vector<int> indexes;
    for (const auto& [name, caseInsensitive] : names) indexes.push_back(info.FindColour(name, caseInsensitive));
    return indexes;
  };
  EXPECT_EQ(found({{"Teal", true}, {"TEAL", false}, {"Teal", false}}), (std::vector<int>{0, 1, 2}));
  // Additions keep every pass's index right: entries behind move on, the new one is found by each pass.
  info.AddUndefinedUserColour("Aqua 1");
  info.AddUndefinedUserColour("Zinc2");
  EXPECT_EQ(
      found({{"Teal", false}, {"teal", true}, {"AQUA 1", true}, {"Zinc 2", false}, {"zinc 2", true}, {"zinc2", false}}),
      (std::vector<int>{3, 1, 0, 4, 4, -1}));
}

// ---- AddUndefinedUserColour ----

TEST(AddUndefinedUserColour, AnUnknownColourIsInsertedInNaturalOrderAndWrittenAKnownOrEmptyOneIsNot) {
  ScratchFolder scratch("hf_colour_");
  const std::string file =
      "[Options]\r\nignore_case=0\r\n\r\n[UserDefinedSpotColours]\r\n\"Blue 7\"=1 2 3 4\r\n\r\n"
      "[PredefinedSpotColours]\r\n\"Blue 007\"=5 6 7 8 1\r\nDeepRed=9 9 9 9\r\n";
  CColourInfo info = LoadedFile(scratch, file);
  for (const char* name : {"DeepRed", " Deep Red ", "", " \t", "Blue 7"})  // " Deep Red " is found without blanks
    EXPECT_EQ(info.AddUndefinedUserColour(name), -1) << name;
  EXPECT_EQ(scratch.Read("Colours.ini"), file);  // not rewritten
  EXPECT_EQ(info.AddUndefinedUserColour("  Blue 07 "), 0);
  EXPECT_EQ(info.AddUndefinedUserColour("deepred"), 0);  // the search for duplicates respects case
  EXPECT_EQ(Spots(info), (Texts{"Blue 007 5 6 7 8 1", "Blue 07 0 112 154 11 1 user", "Blue 7 1 2 3 4 0 user",
                                "DeepRed 9 9 9 9 0", "deepred 0 112 154 11 1 user"}));
  EXPECT_EQ(scratch.Read("Colours.ini"),
            "[Options]\r\nignore_case=0\r\n\r\n[UserDefinedSpotColours]\r\n\"Blue 07\"=0 112 154 11 1\r\n"
            "\"Blue 7\"=1 2 3 4\r\ndeepred=0 112 154 11 1\r\n\r\n"
            "[PredefinedSpotColours]\r\n\"Blue 007\"=5 6 7 8 1\r\nDeepRed=9 9 9 9\r\n");
  EXPECT_EQ(std::make_pair(info.FindColour("deepred", false), info.FindColour("Blue 7", false)), std::make_pair(4, 2));
}

TEST(AddUndefinedUserColour, AMissingFileIsCreatedWithTheFirstNameAFailedWriteKeepsTheColourInMemory) {
  ScratchFolder scratch("hf_colour_");
  CColourInfo info;
  info.SetPath(scratch.PathOf("Colours.ini"));
  EXPECT_FALSE(info.LoadCatalogue(kCatalogueAll));
  EXPECT_EQ(info.AddUndefinedUserColour("Plum"), 0);
  EXPECT_EQ(info.AddUndefinedUserColour("Lime 2"), 0);
  EXPECT_EQ(scratch.Read("Colours.ini"),
            "[UserDefinedSpotColours]\r\n\"Lime 2\"=0 112 154 11 1\r\nPlum=0 112 154 11 1\r\n");
  info.SetPath(scratch.PathOf("no such folder/Colours.ini"));
  EXPECT_EQ(info.AddUndefinedUserColour("Aqua"), 0);
  EXPECT_EQ(info.FindColour("Aqua", false), 0);
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("no such folder")));
}

// ---- process colours ----

TEST(ProcessColours, NamesAndSolidValues) {
  const std::pair<const char*, const char*> names[] = {{"MAG", "Magenta"}, {"k", "Black"}, {"Cyan ", ""}, {"", ""}};
  for (const auto& [text, name] : names) EXPECT_EQ(CColourInfo::ProcessNameOf(text), name) << text;
  for (const auto& [name, cmyk] : {std::make_pair("YEL", "0 0 255 0 1"), std::make_pair("Ruby", "0 0 7 0 0")}) {
    BestColour best;  // Ruby is not a process colour: nothing changes
    best.NormalisedColor = name;
    best.cmyk[2] = 7;
    CColourInfo::SetProcessCMYK(best);
    EXPECT_EQ(CmykValues(best) + (best.cmykDefined && best.mixable ? " 1" : " 0"), cmyk) << name;
  }
}

// ---- the shipped sample ----

TEST(ShippedCatalogue, LoadsAndIsWrittenBackUnchanged) {
  const std::string text = ShippedCatalogueText();
  CColourInfo info = Loaded(text);
  EXPECT_EQ(
      std::make_tuple(info.ignoreCase(), info.prefixes().size(), info.suffixes().size(), info.customColours().size()),
      std::make_tuple(true, size_t{3}, size_t{3}, size_t{4}));
  EXPECT_GE(info.SpotColourCount(), 24u);
  // The file is kept in natural order, so a save changes only the line ends.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(info.SaveCatalogueToText(), crlf);
  for (const ColourEntry& entry : info.spotColours())
    EXPECT_EQ(entry.EffectiveName().find(' '), std::string::npos) << entry.EffectiveName();
}

}  // namespace hf
