// DSC comment values: brackets, escapes, hexadecimal strings, UTF-8, cutting.
#include "common/dsc_value.h"

#include "common/log.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr size_t kTitleBytes = 64;
constexpr size_t kForNameBytes = 32;
const char kUntouched[] = "untouched";

class DscValueTest : public ::testing::Test {
 protected:

  // Extracts from a heap copy of `text` (NUL-terminated, exactly sized) into a
  // destination of `size` bytes that holds "untouched" beforehand.
  std::string Extract(const std::string& text, size_t size = kTitleBytes, bool utf8 = false) {
    records.clear();
    source.reset(new char[text.size() + 1]);
    std::memcpy(source.get(), text.c_str(), text.size() + 1);
    std::vector<char> destination(size, '#');
    std::strncpy(destination.data(), kUntouched, size);
    destination[size - 1] = '\0';
    ExtractDscValue(source.get(), utf8, destination.data(), size);
    EXPECT_NE(std::memchr(destination.data(), '\0', size), nullptr) << "destination not terminated";
    return std::string(destination.data());
  }

  LogCapture log;
  std::vector<LogLine>& records = log.lines;
  std::unique_ptr<char[]> source;
};

TEST_F(DscValueTest, PlainValueRunsFromAfterTheSpacesToTheLineEnd) {
  EXPECT_EQ(Extract("%%Title: Brochure 2024\n%%For: anna\n"), "Brochure 2024");
  EXPECT_EQ(Extract("%%Title:Brochure\r\n"), "Brochure");
  EXPECT_EQ(Extract("%%Title:    spaced  out  \r"), "spaced  out  ");
  EXPECT_EQ(Extract("%%For: anna\r\n%%Title: x\n", kForNameBytes), "anna");
  EXPECT_TRUE(records.empty());
}

TEST_F(DscValueTest, ParenthesesAreTrimmedAndLogged) {
  EXPECT_EQ(Extract("%%Title: (Brochure)\n"), "Brochure");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], std::make_pair(2, std::string("Trimming parens from jobname: (Brochure)")));
  EXPECT_EQ(Extract("%%Title: ()\n"), "");
  EXPECT_EQ(Extract("%%Title: (Brochure>\n"), "Brochure");  // mixed brackets: trimmed, not hexadecimal
  EXPECT_EQ(Extract("%%Title: (open\n"), "(open");
  EXPECT_EQ(Extract("%%Title: close)\n"), "close)");
}

TEST_F(DscValueTest, AngleBracketsHoldHexadecimalPairs) {
  EXPECT_EQ(Extract("%%Title: <4142>\n"), "AB");
  EXPECT_EQ(records.at(0).second, "Trimming parens from jobname: <4142>");
  EXPECT_EQ(Extract("%%Title: <4a6f62>\n"), "Job");
  EXPECT_EQ(Extract("%%Title: <4A6F62>\n"), "Job");
  // Not hexadecimal unless it also ends with ">".
  EXPECT_EQ(Extract("%%Title: <4142)\n"), "4142");
  EXPECT_EQ(Extract("%%Title: (4142>\n"), "4142");
}

TEST_F(DscValueTest, HexadecimalOddCharacterAndOtherCharacters) {
  EXPECT_EQ(Extract("%%Title: <414>\n"), "A4");
  // Letters count from "A" = 10 or "a" = 10 whatever they are: "G" = 16 -> 0x50.
  EXPECT_EQ(Extract("%%Title: <4G>\n"), "P");
  // A space counts 32 - 87 = -55: 2 * 16 - 55 = -23, which is 0xE9 modulo 256.
  EXPECT_EQ(Extract("%%Title: <2 >\n"), "\xE9");
}

TEST_F(DscValueTest, HexadecimalPairWithAHighByteIsLeftFromItsFirstByte) {
  // 0xC3 and "4" form no pair: 0xC3 stays and decoding goes on at "4".
  EXPECT_EQ(Extract("%%Title: <\xC3" "41>\n"), "\xC3" "A");
  EXPECT_EQ(Extract("%%Title: <4\xC3" "41>\n"), "4\xC3" "A");
}

TEST_F(DscValueTest, OctalEscapesBecomeOneByte) {
  EXPECT_EQ(Extract("%%Title: (\\101BC)\n"), "ABC");
  EXPECT_EQ(Extract("%%Title: Caf\\351\n"), "Caf\xE9");
  EXPECT_EQ(Extract("%%Title: (\\050x\\051)\n"), "(x)");
  // Digits 8 and 9 count too, and the result is taken modulo 256: 9*64+9*8+9 = 657 -> 0x91.
  EXPECT_EQ(Extract("%%Title: \\999\n"), "\x91");
}

TEST_F(DscValueTest, BackslashWithoutThreeDigitsStays) {
  EXPECT_EQ(Extract("%%Title: (a\\12)\n"), "a\\12");
  EXPECT_EQ(Extract("%%Title: a\\1b2\n"), "a\\1b2");
  EXPECT_EQ(Extract("%%Title: C:\\jobs\\x\n"), "C:\\jobs\\x");
  EXPECT_EQ(Extract("%%Title: end\\\n"), "end\\");
}

TEST_F(DscValueTest, OctalEscapesInsideHexadecimalStrings) {
  // Escapes are decoded first, then the pairs: "\064" is "4", giving "41".
  EXPECT_EQ(Extract("%%Title: <\\0641>\n"), "A");
}

TEST_F(DscValueTest, EscapedNulEndsTheValue) {
  EXPECT_EQ(Extract("%%Title: (ab\\000cd)\n"), "ab");
}

TEST_F(DscValueTest, LongValuesAreCutToTheFieldSize) {
  std::string title(100, 't');
  EXPECT_EQ(Extract("%%Title: " + title + "\n", kTitleBytes), std::string(63, 't'));
  std::string user(40, 'u');
  EXPECT_EQ(Extract("%%For: (" + user + ")\n", kForNameBytes), std::string(31, 'u'));
  EXPECT_EQ(Extract("%%Title: " + std::string(63, 'e') + "\n", kTitleBytes), std::string(63, 'e'));
  EXPECT_EQ(Extract("%%Title: xyz\n", 1), "");
  EXPECT_EQ(Extract("%%Title: xyz\n", 2), "x");
}

TEST_F(DscValueTest, NoValueLeavesTheDestinationUnchanged) {
  EXPECT_EQ(Extract("%%Title:     \n%%For: x\n"), kUntouched);
  EXPECT_EQ(Extract("%%Title:\r\n"), kUntouched);
  EXPECT_EQ(Extract("%%Title:"), kUntouched);
  EXPECT_EQ(Extract("%%Title:   "), kUntouched);
  EXPECT_EQ(Extract("%%Title"), kUntouched);
  EXPECT_EQ(Extract(""), kUntouched);
}

TEST_F(DscValueTest, UnterminatedLastLineOfTheHeadGivesNothing) {
  std::string head = "%!PS-Adobe-3.0\n%%Title: cut off at the end of the hea";
  EXPECT_EQ(Extract(head.substr(head.find("%%Title:"))), kUntouched);
}

TEST_F(DscValueTest, TheValueIsTerminatedInTheSource) {
  Extract("%%Title: (Brochure)\n%%For: anna\n");
  // The brackets are dropped in place and the line end became a NUL.
  EXPECT_STREQ(source.get() + 10, "Brochure");
  EXPECT_STREQ(source.get() + 20, "%%For: anna\n");
}

TEST_F(DscValueTest, Utf8IsConvertedToTheAnsiCodePage) {
  // Characters shared by Windows-1252 and ISO-8859-1.
  EXPECT_EQ(Extract("%%Title: Caf\xC3\xA9 M\xC3\xBCller \xC3\x9F\n", kTitleBytes, true), "Caf\xE9 M\xFCller \xDF");
  // Without the flag the bytes stay as they are.
  EXPECT_EQ(Extract("%%Title: Caf\xC3\xA9\n", kTitleBytes, false), "Caf\xC3\xA9");
}

TEST_F(DscValueTest, Utf8CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Extract("%%Title: Job \xE4\xB8\xAD\xE6\x96\x87\n", kTitleBytes, true), "Job ??");
}

TEST_F(DscValueTest, MalformedUtf8BytesBecomeQuestionMarks) {
  EXPECT_EQ(Extract("%%Title: A\xFF" "B\xC3\n", kTitleBytes, true), "A?B?");
}

TEST_F(DscValueTest, Utf8AfterHexadecimalDecoding) {
  EXPECT_EQ(Extract("%%Title: <436166C3A9>\n", kTitleBytes, true), "Caf\xE9");
}

TEST_F(DscValueTest, Utf8ValueIsCutAfterConversion) {
  // 40 two-byte characters are 80 UTF-8 bytes but 40 converted ones: they fit.
  std::string text;
  for (int i = 0; i < 40; ++i) text += "\xC3\xA9";
  EXPECT_EQ(Extract("%%Title: " + text + "\n", kTitleBytes, true), std::string(40, '\xE9'));
  EXPECT_EQ(Extract("%%For: " + text + "\n", kForNameBytes, true), std::string(31, '\xE9'));
}

TEST_F(DscValueTest, Utf8EmptyAfterTrimmingWritesNothing) {
  EXPECT_EQ(Extract("%%Title: ()\n", kTitleBytes, true), kUntouched);
}

TEST_F(DscValueTest, MissingArgumentsDoNothing) {
  char destination[8] = "keep";
  ExtractDscValue(nullptr, false, destination, sizeof destination);
  EXPECT_STREQ(destination, "keep");
  char text[] = "%%Title: x\n";
  ExtractDscValue(text, false, nullptr, 8);
  ExtractDscValue(text, false, destination, 0);
  EXPECT_STREQ(destination, "keep");
}

}  // namespace
