// Filename scheme templates: the stored-offset rule, the initial settings,
// and every template key with its value mapping (method codes, offsets,
// flags, the group end types and the time-out), read from text and from disk.
#include "grouping/scheme/filename_scheme_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "grouping/scheme/filename_analyser.h"
#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

FilenameSchemeSettings ReadText(const std::string& text, FilenameSchemeSettings settings = {}) {
  CIniDocument document;
  document.LoadFromBuffer(text);
  ReadFilenameSchemeSettings(document, settings);
  return settings;
}

// One key in one section, as a template text.
std::string OneKey(const char* section, const char* key, const std::string& value) {
  return std::string("[") + section + "]\n" + key + "=" + value + "\n";
}

}  // namespace

TEST(PositionFromOffsetTest, StoredOffsetsCountFromTheStartOrTheEnd) {
  EXPECT_EQ(StoredOffset(0), 1);
  EXPECT_EQ(StoredOffset(4), 5);
  EXPECT_EQ(StoredOffset(-1), -1);
  EXPECT_EQ(StoredOffset(-5), -5);
  EXPECT_EQ(StoredOffset(INT_MAX), INT_MAX);  // saturates instead of overflowing
  EXPECT_EQ(StoredOffset(INT_MIN), INT_MIN);

  EXPECT_EQ(PositionFromOffset(1, 9), 0);
  EXPECT_EQ(PositionFromOffset(5, 9), 4);
  EXPECT_EQ(PositionFromOffset(-1, 9), 8);
  EXPECT_EQ(PositionFromOffset(-5, 9), 4);
  EXPECT_EQ(PositionFromOffset(-10, 9), -1);
  EXPECT_EQ(PositionFromOffset(0, 9), 9);  // "not used": outside the name
  EXPECT_EQ(PositionFromOffset(INT_MAX, 9), INT_MAX - 1);
  EXPECT_EQ(PositionFromOffset(INT_MIN, 9), INT_MIN + 9);
  EXPECT_EQ(PositionFromOffset(-1, 0), -1);
}

TEST(LeadingRealTest, ReadsTheLeadingDecimalNumber) {
  const std::pair<const char*, double> cases[] = {
      {"45", 45.0},  {"2.5", 2.5},   {"  7.25 s", 7.25}, {"-3", -3.0}, {"+8", 8.0},  {".5", 0.5},
      {"", 0.0},     {"abc", 0.0},   {"1e3", 1.0},       {"+-5", 0.0}, {"inf", 0.0}, {"nan", 0.0},
      {"12,5", 12.0}, {"0", 0.0},
  };
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingReal(text), value) << text;
  EXPECT_DOUBLE_EQ(LeadingReal(std::string(400, '9')), 0.0);  // out of range
}

// Every template read sets every value but the methods (a missing key reads
// as 0), so only the initial methods and the catalogue flag outlive a read.
TEST(FilenameSchemeSettingsTest, InitialMethodsAndCatalogueMatch) {
  CFilenameAnalyser analyser;
  const FilenameSchemeSettings& s = analyser.settings();
  EXPECT_EQ(s.sepIdMethod, FnsMethod::POSITIONAL);
  EXPECT_EQ(s.spotStartMethod, FnsMethod::PREFIX);
  EXPECT_EQ(s.spotEndMethod, FnsMethod::SUFFIX);
  EXPECT_EQ(s.groupStartMethod, FnsMethod::POSITIONAL);
  EXPECT_EQ(s.groupEndMethod, FnsMethod::POSITIONAL);
  EXPECT_EQ(s.prepsMethod, FnsMethod::POSITIONAL);
  EXPECT_TRUE(analyser.requireCatalogueMatch());
  analyser.SetRequireCatalogueMatch(false);
  EXPECT_FALSE(analyser.settings().requireCatalogueMatch);
}

TEST(FilenameSchemeSettingsTest, MissingKeysReadAsZeroButMethodsWithoutAZeroCodeStay) {
  FilenameSchemeSettings start;
  start.sepIdMethod = FnsMethod::NAME;
  start.spotStartMethod = FnsMethod::FIRST_ALPHABETIC;
  start.spotEndMethod = FnsMethod::DELIMITER;
  start.groupStartMethod = FnsMethod::AFTER_COLOUR;
  start.groupEndMethod = FnsMethod::BEFORE_PREPS;
  start.prepsMethod = FnsMethod::AFTER_COLOUR;
  start.requireCatalogueMatch = false;
  FilenameSchemeSettings s = ReadText("; nothing but a comment\n", start);
  EXPECT_EQ(s.sepIdOffset, 1);  // offset 0 -> stored 1 (position 0)
  EXPECT_EQ(s.sepIdStartDelim, '\0');
  EXPECT_EQ(s.sepIdEndDelim, '\0');
  EXPECT_EQ(s.sepIdMethod, FnsMethod::NAME);  // 0 is no process method code
  EXPECT_EQ(s.spotStartMethod, FnsMethod::FIRST_ALPHABETIC);
  EXPECT_EQ(s.spotEndMethod, FnsMethod::DELIMITER);
  EXPECT_EQ(s.spotIdStartOffset, 1);
  EXPECT_EQ(s.spotIdEndOffset, 1);
  EXPECT_EQ(s.spotIdStartDelim, '\0');
  EXPECT_EQ(s.spotIdEndDelim, '\0');
  EXPECT_EQ(s.groupOffset, 1);
  EXPECT_EQ(s.groupCharsFromEnd, 0);
  EXPECT_EQ(s.groupIdentifierLength, 0);
  EXPECT_FALSE(s.keepLeadingDigits);
  EXPECT_EQ(s.ignoreCharPosition, 0);
  EXPECT_DOUBLE_EQ(s.groupTimeout, 120.0);
  EXPECT_EQ(s.groupStartMethod, FnsMethod::POSITIONAL);  // 0 is listed: POSITIONAL
  EXPECT_EQ(s.groupEndMethod, FnsMethod::LENGTH);        // 0 is listed: LENGTH
  EXPECT_EQ(s.prepsMethod, FnsMethod::POSITIONAL);       // 0 is listed: POSITIONAL
  EXPECT_EQ(s.prepsOffset, 0);
  EXPECT_EQ(s.side, 0);
  EXPECT_EQ(s.sheetNumber, 0);
  EXPECT_FALSE(s.pageGroupBy);
  EXPECT_EQ(s.pageMethod, 0);
  EXPECT_EQ(s.pagePosition, 0);
  EXPECT_EQ(s.pageStartDelim, "");
  EXPECT_FALSE(s.requireCatalogueMatch);  // not a template key
}

// Each method key maps its listed codes; any other code leaves the method as
// it was, so every read starts from `kept`, a method no code of that key gives.
TEST(FilenameSchemeSettingsTest, MethodCodesAndUnlistedCodes) {
  using M = FnsMethod;
  struct Key {
    const char* section;
    const char* key;
    FnsMethod FilenameSchemeSettings::*field;
    FnsMethod kept;
    std::vector<std::pair<const char*, FnsMethod>> codes;
  } keys[] = {
      {"ProcessId", "SEP_ID_METHOD", &FilenameSchemeSettings::sepIdMethod, M::SUFFIX,
       {{"1", M::POSITIONAL}, {"2", M::DELIMITER}, {"4", M::NAME}, {"3", M::SUFFIX}, {"0", M::SUFFIX},
        {"-1", M::SUFFIX}, {"8", M::SUFFIX}, {"x", M::SUFFIX}, {"4 (name)", M::NAME}}},
      {"SpotId", "SPOT_START_METHOD", &FilenameSchemeSettings::spotStartMethod, M::LENGTH,
       {{"1", M::PREFIX}, {"2", M::POSITIONAL}, {"8", M::DELIMITER}, {"16", M::FIRST_ALPHABETIC}, {"4", M::LENGTH},
        {"0", M::LENGTH}}},
      {"SpotId", "SPOT_END_METHOD", &FilenameSchemeSettings::spotEndMethod, M::LENGTH,
       {{"1", M::SUFFIX}, {"2", M::POSITIONAL}, {"8", M::DELIMITER}, {"16", M::LENGTH}, {"4", M::LENGTH},
        {"", M::LENGTH}}},
      {"GroupId", "SEP_GROUP_START_IDENTIFIER_TYPE", &FilenameSchemeSettings::groupStartMethod, M::SUFFIX,
       {{"0", M::POSITIONAL}, {"1", M::AFTER_COLOUR}, {"2", M::AFTER_PREPS}, {"3", M::SUFFIX}, {"-1", M::SUFFIX}}},
  };
  for (const Key& key : keys) {
    for (const auto& [value, method] : key.codes) {
      FilenameSchemeSettings start;
      start.*key.field = key.kept;
      EXPECT_EQ(ReadText(OneKey(key.section, key.key, value), start).*key.field, method) << key.key << "=" << value;
    }
  }
}

TEST(FilenameSchemeSettingsTest, OffsetsAndDelimiterCodes) {
  FilenameSchemeSettings s = ReadText(
      "[ProcessId]\nSEP_ID_OFFSET=-5\nSEP_ID_START_DELIM=95\nSEP_ID_END_DELIM=163\n"
      "[SpotId]\nSPOT_ID_START_OFFSET=3\nSPOT_ID_END_OFFSET=-2\nSPOT_ID_START_DELIMITER=91\n"
      "SPOT_ID_END_DELIMITER=351\n"
      "[GroupId]\nSEP_GROUP_OFFSET=0\n");
  EXPECT_EQ(s.sepIdOffset, -5);
  EXPECT_EQ(s.sepIdStartDelim, '_');
  EXPECT_EQ(s.sepIdEndDelim, static_cast<char>(163));
  EXPECT_EQ(s.spotIdStartOffset, 4);
  EXPECT_EQ(s.spotIdEndOffset, -2);
  EXPECT_EQ(s.spotIdStartDelim, '[');
  EXPECT_EQ(s.spotIdEndDelim, '_');  // 351 = 0x15F: the low byte
  EXPECT_EQ(s.groupOffset, 1);
}

TEST(FilenameSchemeSettingsTest, GroupEndTypesAndTheCharsFromEnd) {
  struct Case {
    const char* type;
    const char* charsFromEnd;
    FnsMethod method;
    int32_t storedCharsFromEnd;
  };
  const Case cases[] = {
      {"0", "5", FnsMethod::LENGTH, 5},
      {"1", "5", FnsMethod::BEFORE_COLOUR, 5},
      {"2", "5", FnsMethod::POSITIONAL, -1},  // the end of the name
      {"3", "5", FnsMethod::POSITIONAL, -5},  // negated: counted from the end
      {"3", "-4", FnsMethod::POSITIONAL, 4},
      {"3", "-2147483648", FnsMethod::POSITIONAL, INT32_MAX},  // no overflow
      {"4", "5", FnsMethod::BEFORE_PREPS, 5},
      {"5", "5", FnsMethod::SUFFIX, 5},  // not listed: method stays, value as read
  };
  for (const Case& c : cases) {
    FilenameSchemeSettings start;
    start.groupEndMethod = FnsMethod::SUFFIX;
    FilenameSchemeSettings s = ReadText(std::string("[GroupId]\nSEP_GROUP_END_IDENTIFIER_TYPE=") + c.type +
                                            "\nSEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END=" + c.charsFromEnd + "\n",
                                        start);
    EXPECT_EQ(s.groupEndMethod, c.method) << c.type << " " << c.charsFromEnd;
    EXPECT_EQ(s.groupCharsFromEnd, c.storedCharsFromEnd) << c.type << " " << c.charsFromEnd;
  }
}

TEST(FilenameSchemeSettingsTest, GroupFlagsIgnoreCharacterAndTimeout) {
  struct Case {
    const char* text;
    int32_t ignore;
    bool leadingDigits;
    double timeout;
  };
  const Case cases[] = {
      {"SEP_GROUP_IGNORE_CHAR_FLAG=1\nSEP_GROUP_IGNORE_CHAR_OFFSET=3\n", 4, false, 120.0},
      {"SEP_GROUP_IGNORE_CHAR_FLAG=1\nSEP_GROUP_IGNORE_CHAR_OFFSET=-2\n", -2, false, 120.0},
      {"SEP_GROUP_IGNORE_CHAR_FLAG=1\n", 1, false, 120.0},  // offset 0: the first character
      {"SEP_GROUP_IGNORE_CHAR_FLAG=0\nSEP_GROUP_IGNORE_CHAR_OFFSET=3\n", 0, false, 120.0},
      {"SEP_GROUP_USE_LEADING_DIGITS=7\nSEP_GROUP_TIMEOUT_SECONDS=45\n", 0, true, 45.0},
      {"SEP_GROUP_USE_LEADING_DIGITS=0\nSEP_GROUP_TIMEOUT_SECONDS=2.5\n", 0, false, 2.5},
      {"SEP_GROUP_TIMEOUT_SECONDS=0\n", 0, false, 120.0},
      {"SEP_GROUP_TIMEOUT_SECONDS=\n", 0, false, 120.0},
      {"SEP_GROUP_TIMEOUT_SECONDS=soon\n", 0, false, 120.0},
      {"SEP_GROUP_TIMEOUT_SECONDS=-3\n", 0, false, -3.0},
  };
  for (const Case& c : cases) {
    FilenameSchemeSettings s = ReadText(std::string("[GroupId]\n") + c.text);
    EXPECT_EQ(s.ignoreCharPosition, c.ignore) << c.text;
    EXPECT_EQ(s.keepLeadingDigits, c.leadingDigits) << c.text;
    EXPECT_DOUBLE_EQ(s.groupTimeout, c.timeout) << c.text;
  }
  FilenameSchemeSettings s = ReadText("[GroupId]\nSEP_GROUP_IDENTIFIER_LENGTH=6\nSEP_GROUP_OFFSET=-4\n");
  EXPECT_EQ(s.groupIdentifierLength, 6);
  EXPECT_EQ(s.groupOffset, -4);
}

TEST(FilenameSchemeSettingsTest, PrepsOffsetCountsFromOneOnlyWhenPositional) {
  struct Case {
    const char* method;
    const char* offset;
    const char* use;
    FnsMethod expectedMethod;
    int32_t expectedOffset;
  };
  const Case cases[] = {
      {"0", "3", "1", FnsMethod::POSITIONAL, 4},     {"0", "0", "1", FnsMethod::POSITIONAL, 1},
      {"0", "-2", "1", FnsMethod::POSITIONAL, -2},   {"1", "3", "1", FnsMethod::BEFORE_COLOUR, 3},
      {"2", "1", "1", FnsMethod::AFTER_COLOUR, 1},   {"2", "0", "1", FnsMethod::AFTER_COLOUR, 0},
      {"0", "3", "0", FnsMethod::POSITIONAL, 0},     {"2", "3", "", FnsMethod::AFTER_COLOUR, 0},
      {"7", "3", "1", FnsMethod::BEFORE_COLOUR, 3},  // 7 is not listed: the previous method stays
  };
  for (const Case& c : cases) {
    FilenameSchemeSettings start;
    start.prepsMethod = FnsMethod::BEFORE_COLOUR;
    FilenameSchemeSettings s = ReadText(std::string("[SideId]\nPREPS_IDENTIFIER_METHOD=") + c.method +
                                            "\nPREPS_IDENTIFIER_OFFSET=" + c.offset + "\nUSE_PREPS=" + c.use +
                                            "\nSIDE=2\nSHEET_NUMBER=3\n",
                                        start);
    EXPECT_EQ(s.prepsMethod, c.expectedMethod) << c.method << "/" << c.offset << "/" << c.use;
    EXPECT_EQ(s.prepsOffset, c.expectedOffset) << c.method << "/" << c.offset << "/" << c.use;
    EXPECT_EQ(s.side, 2);
    EXPECT_EQ(s.sheetNumber, 3);
  }
}

TEST(FilenameSchemeSettingsTest, PageNumberKeys) {
  FilenameSchemeSettings s = ReadText(
      "[PageNumber]\nPAGENUMBER_IDENTIFIER_GROUP_BY=1\nPAGENUMBER_IDENTIFIER_METHOD=3\n"
      "PAGENUMBER_IDENTIFIER_POSITION=-2\nPAGENUMBER_IDENTIFIER_START_DELIM=_p\n"
      "PAGENUMBER_IDENTIFIER_END_DELIM=.x \n");
  EXPECT_TRUE(s.pageGroupBy);
  EXPECT_EQ(s.pageMethod, 3);
  EXPECT_EQ(s.pagePosition, -2);
  EXPECT_EQ(s.pageStartDelim, "_p");
  EXPECT_EQ(s.pageEndDelim, ".x ");  // the text as it stands
  EXPECT_FALSE(ReadText("[PageNumber]\nPAGENUMBER_IDENTIFIER_GROUP_BY=2\n").pageGroupBy);  // only 1 is true
  EXPECT_EQ(ReadText("[PageNumber]\nPAGENUMBER_IDENTIFIER_METHOD=9\n").pageMethod, 9);
}

TEST(FilenameSchemeSettingsTest, KeysAreReadFromTheirOwnSectionsOnly) {
  FilenameSchemeSettings s = ReadText("[GroupId]\nSEP_ID_METHOD=4\nUSE_PREPS=1\nPREPS_IDENTIFIER_OFFSET=2\n"
                                      "[ProcessId]\nSEP_GROUP_IDENTIFIER_LENGTH=9\n");
  EXPECT_EQ(s.sepIdMethod, FnsMethod::POSITIONAL);
  EXPECT_EQ(s.prepsOffset, 0);
  EXPECT_EQ(s.groupIdentifierLength, 0);
}

class ReadTemplateTest : public ::testing::Test {
 protected:
  TempFolder scratch;
  LogCapture log;
};

TEST_F(ReadTemplateTest, MissingFileLogsAndKeepsEverySetting) {
  CFilenameAnalyser analyser;
  analyser.ReadTemplateFromBuffer("[ProcessId]\nSEP_ID_METHOD=4\nSEP_ID_OFFSET=6\n");
  log.lines.clear();
  std::string path = scratch.Path("absent.fns");
  EXPECT_FALSE(analyser.ReadTemplate(path));
  EXPECT_EQ(analyser.settings().sepIdMethod, FnsMethod::NAME);
  EXPECT_EQ(analyser.settings().sepIdOffset, 7);
  EXPECT_EQ(analyser.settings().groupIdentifierLength, 0);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "Configuration file is at " + path},
                                              {0, "Error: Can't open Configuration file '" + path + "'"}}));
}

TEST_F(ReadTemplateTest, EveryReadTakesTheFileAsItIsNow) {
  std::string path = scratch.Write("scheme.fns", "[ProcessId]\r\nSEP_ID_METHOD=2\r\n[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=15\r\n");
  CFilenameAnalyser analyser;
  EXPECT_TRUE(analyser.ReadTemplate(path));
  EXPECT_EQ(analyser.settings().sepIdMethod, FnsMethod::DELIMITER);
  EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 15.0);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "Configuration file is at " + path}}));

  // Edited on disk: the next read takes the new text; SEP_ID_METHOD 3 keeps
  // the method read before.
  scratch.Write("scheme.fns", "[ProcessId]\nSEP_ID_METHOD=3\n[GroupId]\nSEP_GROUP_TIMEOUT_SECONDS=20\n");
  EXPECT_TRUE(analyser.ReadTemplate(path));
  EXPECT_EQ(analyser.settings().sepIdMethod, FnsMethod::DELIMITER);
  EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 20.0);
  EXPECT_EQ(analyser.templateDocument().path(), path);
}

}  // namespace hf
