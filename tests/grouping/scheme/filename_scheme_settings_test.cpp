// Filename scheme templates: the stored-offset rule, the initial settings,
// and every template key with its value mapping (method codes, offsets,
// flags, the group end types and the time-out), read from text and from disk.
#include "grouping/scheme/filename_scheme_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "grouping/scheme/filename_analyser.h"
#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

using M = FnsMethod;

FilenameSchemeSettings ReadText(const std::string& text, FilenameSchemeSettings settings = {}) {
  CIniDocument document;
  document.LoadFromBuffer(text);
  ReadFilenameSchemeSettings(document, settings);
  return settings;
}

// Every setting in one line (methods by their number, delimiters by their code), so that one comparison
// checks them all and names the ones that differ.
std::string Describe(const FilenameSchemeSettings& s) {
  char text[512];
  std::snprintf(text, sizeof text,
                "sep M%d @%d %d/%d; spot M%d-M%d @%d..%d %d/%d; group M%d-M%d @%d end%d len%d ignore%d lead%d %gs; "
                "preps M%d @%d side%d sheet%d; page by%d m%d @%d '%s' '%s'%s",
                static_cast<int>(s.sepIdMethod), s.sepIdOffset, static_cast<unsigned char>(s.sepIdStartDelim),
                static_cast<unsigned char>(s.sepIdEndDelim), static_cast<int>(s.spotStartMethod),
                static_cast<int>(s.spotEndMethod), s.spotIdStartOffset, s.spotIdEndOffset,
                static_cast<unsigned char>(s.spotIdStartDelim), static_cast<unsigned char>(s.spotIdEndDelim),
                static_cast<int>(s.groupStartMethod), static_cast<int>(s.groupEndMethod), s.groupOffset,
                s.groupCharsFromEnd, s.groupIdentifierLength, s.ignoreCharPosition, s.keepLeadingDigits, s.groupTimeout,
                static_cast<int>(s.prepsMethod), s.prepsOffset, s.side, s.sheetNumber, s.pageGroupBy, s.pageMethod,
                s.pagePosition, s.pageStartDelim.c_str(), s.pageEndDelim.c_str(),
                s.requireCatalogueMatch ? "" : " any colour");
  return text;
}

}  // namespace

// Stored offsets count from 1 when positive; positions count from the end when the offset is not positive
// (0, "not used", falls outside the name). Reals are read leading, in fixed notation, finite only.
TEST(FilenameSchemeNumbers, StoredOffsetsCountFromTheStartOrTheEndAndRealsAreReadLeading) {
  const std::pair<int32_t, int32_t> stored[] = {
      {0, 1}, {4, 5}, {-1, -1}, {-5, -5}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}};
  for (const auto& [offset, expected] : stored) EXPECT_EQ(StoredOffset(offset), expected) << offset;
  const std::tuple<int32_t, int32_t, int32_t> positions[] = {{1, 9, 0}, {-1, 9, 8},  {-10, 9, -1},
                                                             {0, 9, 9}, {-1, 0, -1}, {INT_MIN, 9, INT_MIN + 9}};
  for (const auto& [offset, length, expected] : positions)
    EXPECT_EQ(PositionFromOffset(offset, length), expected) << offset << " in " << length;
  const std::pair<std::string, double> reals[] = {{"  7.25 s", 7.25}, {"-3", -3.0}, {".5", 0.5},  {"abc", 0.0},
                                                  {"1e3", 1.0},       {"+-5", 0.0}, {"inf", 0.0}, {"12,5", 12.0}};
  for (const auto& [text, value] : reals) EXPECT_DOUBLE_EQ(LeadingReal(text), value) << text;
  EXPECT_EQ(PositionFromOffset(INT_MAX, 9), INT_MAX - 1);
  EXPECT_DOUBLE_EQ(LeadingReal(std::string(400, '9')), 0.0);
}

// Every template read sets every value but the methods (a missing key reads as 0), so only the methods
// without a code 0, methods given an unlisted code and the catalogue flag outlive a read. Keys in another
// section than their own are not read.
TEST(FilenameSchemeSettingsTest, MissingKeysReadAsZeroButMethodsWithoutAZeroCodeStay) {
  FilenameSchemeSettings start;
  start.sepIdMethod = M::NAME;
  start.spotStartMethod = M::FIRST_ALPHABETIC;
  start.spotEndMethod = M::DELIMITER;
  start.groupStartMethod = M::AFTER_COLOUR;
  start.groupEndMethod = M::BEFORE_PREPS;
  start.prepsMethod = M::AFTER_COLOUR;
  start.requireCatalogueMatch = false;
  EXPECT_EQ(Describe(ReadText("; comment\n[GroupId]\nSEP_ID_METHOD=1\nUSE_PREPS=1\nPREPS_IDENTIFIER_OFFSET=2\n"
                              "[ProcessId]\nSEP_GROUP_IDENTIFIER_LENGTH=9\n",
                              start)),
            "sep M2 @1 0/0; spot M5-M1 @1..1 0/0; group M0-M10 @1 end0 len0 ignore0 lead0 120s; preps M0 @0 side0 "
            "sheet0; page by0 m0 @0 '' '' any colour");
  // A method key with a code that is not listed keeps the method too.
  EXPECT_EQ(Describe(ReadText("[ProcessId]\nSEP_ID_METHOD=3\n[SpotId]\nSPOT_START_METHOD=-1\nSPOT_END_METHOD=5\n"
                              "[GroupId]\nSEP_GROUP_START_IDENTIFIER_TYPE=3\n[SideId]\nPREPS_IDENTIFIER_METHOD=5\n",
                              start)),
            "sep M2 @1 0/0; spot M5-M1 @1..1 0/0; group M6-M10 @1 end0 len0 ignore0 lead0 120s; preps M6 @0 side0 "
            "sheet0; page by0 m0 @0 '' '' any colour");
}

TEST(FilenameSchemeSettingsTest, OffsetsDelimiterCodesAndPageNumberKeys) {
  EXPECT_EQ(Describe(ReadText(
                "[ProcessId]\nSEP_ID_OFFSET=-5\nSEP_ID_START_DELIM=95\nSEP_ID_END_DELIM=163\n"
                "[SpotId]\nSPOT_ID_START_OFFSET=3\nSPOT_ID_END_OFFSET=-2\nSPOT_ID_START_DELIMITER=91\n"
                "SPOT_ID_END_DELIMITER=351\n"  // 0x15F: the low byte
                "[GroupId]\nSEP_GROUP_IDENTIFIER_LENGTH=6\nSEP_GROUP_OFFSET=-4\n[SideId]\nSIDE=2\nSHEET_NUMBER=3\n"
                "[PageNumber]\nPAGENUMBER_IDENTIFIER_GROUP_BY=1\nPAGENUMBER_IDENTIFIER_METHOD=3\n"
                "PAGENUMBER_IDENTIFIER_POSITION=-2\nPAGENUMBER_IDENTIFIER_START_DELIM=_p\n"
                "PAGENUMBER_IDENTIFIER_END_DELIM=.x \n")),  // the texts as they stand
            "sep M0 @-5 95/163; spot M3-M4 @4..-2 91/95; group M0-M10 @-4 end0 len6 ignore0 lead0 120s; "
            "preps M0 @0 side2 sheet3; page by1 m3 @-2 '_p' '.x '");
  EXPECT_FALSE(ReadText("[PageNumber]\nPAGENUMBER_IDENTIFIER_GROUP_BY=2\n").pageGroupBy);  // only 1 is true
}

TEST(FilenameSchemeSettingsTest, GroupEndTypesAndTheCharsFromEnd) {
  // Type 2 is the end of the name; type 3 negates the count, so that it counts from the end (without
  // overflow); type 5 is not listed: the method stays, the count as read.
  const std::tuple<const char*, const char*, FnsMethod, int32_t> cases[] = {
      {"0", "5", M::LENGTH, 5},       {"2", "5", M::POSITIONAL, -1},
      {"3", "5", M::POSITIONAL, -5},  {"3", "-2147483648", M::POSITIONAL, INT32_MAX},
      {"4", "5", M::BEFORE_PREPS, 5}, {"5", "5", M::SUFFIX, 5}};
  for (const auto& [type, charsFromEnd, method, storedCharsFromEnd] : cases) {
    FilenameSchemeSettings start;
    start.groupEndMethod = M::SUFFIX;
    FilenameSchemeSettings s = ReadText(std::string("[GroupId]\nSEP_GROUP_END_IDENTIFIER_TYPE=") + type +
                                            "\nSEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END=" + charsFromEnd + "\n",
                                        start);
    EXPECT_EQ(std::make_pair(s.groupEndMethod, s.groupCharsFromEnd), std::make_pair(method, storedCharsFromEnd))
        << type << " " << charsFromEnd;
  }
}

TEST(FilenameSchemeSettingsTest, GroupFlagsIgnoreCharacterAndTimeout) {
  // The ignored character's offset counts from 1 (0: the first character) and only with its flag; a time-out
  // of 0 or text is the default of 120 seconds.
  const std::tuple<const char*, int32_t, bool, double> cases[] = {
      {"SEP_GROUP_IGNORE_CHAR_FLAG=1\nSEP_GROUP_IGNORE_CHAR_OFFSET=3\n", 4, false, 120.0},
      {"SEP_GROUP_IGNORE_CHAR_FLAG=1\n", 1, false, 120.0},
      {"SEP_GROUP_IGNORE_CHAR_FLAG=0\nSEP_GROUP_IGNORE_CHAR_OFFSET=3\n", 0, false, 120.0},
      {"SEP_GROUP_USE_LEADING_DIGITS=7\nSEP_GROUP_TIMEOUT_SECONDS=2.5\n", 0, true, 2.5},
      {"SEP_GROUP_TIMEOUT_SECONDS=soon\n", 0, false, 120.0},
      {"SEP_GROUP_TIMEOUT_SECONDS=-3\n", 0, false, -3.0}};
  for (const auto& [text, ignore, leadingDigits, timeout] : cases) {
    FilenameSchemeSettings s = ReadText(std::string("[GroupId]\n") + text);
    EXPECT_EQ(std::make_pair(s.ignoreCharPosition, s.keepLeadingDigits), std::make_pair(ignore, leadingDigits)) << text;
    EXPECT_DOUBLE_EQ(s.groupTimeout, timeout) << text;
  }
}

TEST(FilenameSchemeSettingsTest, PrepsOffsetCountsFromOneOnlyWhenPositional) {
  // Method, offset and USE_PREPS; method 7 is not listed: the previous method stays.
  const std::tuple<const char*, const char*, const char*, FnsMethod, int32_t> cases[] = {
      {"0", "3", "1", M::POSITIONAL, 4},
      {"0", "-2", "1", M::POSITIONAL, -2},
      {"1", "3", "1", M::BEFORE_COLOUR, 3},
      {"0", "3", "0", M::POSITIONAL, 0},
      {"7", "3", "1", M::BEFORE_COLOUR, 3}};
  for (const auto& [method, offset, use, expectedMethod, expectedOffset] : cases) {
    FilenameSchemeSettings start;
    start.prepsMethod = M::BEFORE_COLOUR;
    FilenameSchemeSettings s =
        ReadText(std::string("[SideId]\nPREPS_IDENTIFIER_METHOD=") + method + "\nPREPS_IDENTIFIER_OFFSET=" + offset +
                     "\nUSE_PREPS=" + use + "\nSIDE=2\nSHEET_NUMBER=3\n",
                 start);
    EXPECT_EQ(std::make_tuple(s.prepsMethod, s.prepsOffset, s.side, s.sheetNumber),
              std::make_tuple(expectedMethod, expectedOffset, 2, 3))
        << method << "/" << offset << "/" << use;
  }
}

TEST(ReadTemplateTest, EveryReadTakesTheFileAsItIsNowAndAMissingFileLogsAndKeepsEverySetting) {
  ScratchFolder scratch("hf_scheme_");
  LogCapture log;
  const std::string path =
      scratch.Write("scheme.fns", "[ProcessId]\r\nSEP_ID_METHOD=2\r\n[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=15\r\n");
  CFilenameAnalyser analyser;
  EXPECT_TRUE(analyser.ReadTemplate(path));
  EXPECT_EQ(analyser.settings().sepIdMethod, M::DELIMITER);
  EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 15.0);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "Configuration file is at " + path}}));
  // Edited on disk: the next read takes the new text; SEP_ID_METHOD 3 keeps the method read before.
  scratch.Write("scheme.fns",
                "[ProcessId]\nSEP_ID_METHOD=3\nSEP_ID_OFFSET=6\n[GroupId]\nSEP_GROUP_TIMEOUT_SECONDS=20\n");
  EXPECT_TRUE(analyser.ReadTemplate(path));
  EXPECT_EQ(analyser.settings().sepIdMethod, M::DELIMITER);
  EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 20.0);
  EXPECT_EQ(analyser.templateDocument().path(), path);

  log.lines.clear();
  const std::string absent = scratch.PathOf("absent.fns");
  EXPECT_FALSE(analyser.ReadTemplate(absent));
  EXPECT_EQ(analyser.settings().sepIdMethod, M::DELIMITER);
  EXPECT_EQ(analyser.settings().sepIdOffset, 7);
  EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 20.0);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "Configuration file is at " + absent},
                                             {0, "Error: Can't open Configuration file '" + absent + "'"}}));
}

}  // namespace hf
