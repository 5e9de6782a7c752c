// DSC comment values: brackets, escapes, hexadecimal strings, UTF-8, cutting.
#include "formats/dsc_value.h"

#include "base/log.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hf {

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

TEST_F(DscValueTest, ValuesAreDecodedAndCutToTheField) {
  const std::string utf8Title = [] {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "\xC3\xA9";
    return text;
  }();
  const struct {
    std::string text;
    size_t size;
    bool utf8;
    std::string expected;
  } cases[] = {
      // A plain value runs from after the blanks to the line end.
      {"%%Title: Brochure 2024\n%%For: anna\n", kTitleBytes, false, "Brochure 2024"},
      {"%%Title:Brochure\r\n", kTitleBytes, false, "Brochure"},
      {"%%Title:    spaced  out  \r", kTitleBytes, false, "spaced  out  "},
      {"%%For: anna\r\n%%Title: x\n", kForNameBytes, false, "anna"},
      // Brackets of either kind are trimmed; only "<...>" is hexadecimal.
      {"%%Title: ()\n", kTitleBytes, false, ""},
      {"%%Title: (Brochure>\n", kTitleBytes, false, "Brochure"},
      {"%%Title: (open\n", kTitleBytes, false, "(open"},
      {"%%Title: close)\n", kTitleBytes, false, "close)"},
      {"%%Title: <4a6f62>\n", kTitleBytes, false, "Job"},
      {"%%Title: <4A6F62>\n", kTitleBytes, false, "Job"},
      {"%%Title: <4142)\n", kTitleBytes, false, "4142"},
      {"%%Title: (4142>\n", kTitleBytes, false, "4142"},
      {"%%Title: <414>\n", kTitleBytes, false, "A4"},  // an odd last character stays
      // Letters count from "A" = 10 or "a" = 10 whatever they are: "G" = 16 -> 0x50.
      {"%%Title: <4G>\n", kTitleBytes, false, "P"},
      // A space counts 32 - 87 = -55: 2 * 16 - 55 = -23, which is 0xE9 modulo 256.
      {"%%Title: <2 >\n", kTitleBytes, false, "\xE9"},
      // 0xC3 and "4" form no pair: 0xC3 stays and decoding goes on at "4".
      {"%%Title: <\xC3" "41>\n", kTitleBytes, false, "\xC3" "A"},
      {"%%Title: <4\xC3" "41>\n", kTitleBytes, false, "4\xC3" "A"},
      // Octal escapes become one byte; digits 8 and 9 count too, modulo 256: 9*64+9*8+9 = 657 -> 0x91.
      {"%%Title: (\\101BC)\n", kTitleBytes, false, "ABC"},
      {"%%Title: Caf\\351\n", kTitleBytes, false, "Caf\xE9"},
      {"%%Title: (\\050x\\051)\n", kTitleBytes, false, "(x)"},
      {"%%Title: \\999\n", kTitleBytes, false, "\x91"},
      // A backslash without three digits stays.
      {"%%Title: (a\\12)\n", kTitleBytes, false, "a\\12"},
      {"%%Title: a\\1b2\n", kTitleBytes, false, "a\\1b2"},
      {"%%Title: C:\\jobs\\x\n", kTitleBytes, false, "C:\\jobs\\x"},
      {"%%Title: end\\\n", kTitleBytes, false, "end\\"},
      // Escapes are decoded first, then the pairs: "\064" is "4", giving "41".
      {"%%Title: <\\0641>\n", kTitleBytes, false, "A"},
      {"%%Title: (ab\\000cd)\n", kTitleBytes, false, "ab"},  // an escaped NUL ends the value
      // Long values are cut to the field.
      {"%%Title: " + std::string(100, 't') + "\n", kTitleBytes, false, std::string(63, 't')},
      {"%%For: (" + std::string(40, 'u') + ")\n", kForNameBytes, false, std::string(31, 'u')},
      {"%%Title: " + std::string(63, 'e') + "\n", kTitleBytes, false, std::string(63, 'e')},
      {"%%Title: xyz\n", 1, false, ""},
      {"%%Title: xyz\n", 2, false, "x"},
      // No value leaves the destination as it was, as does a head cut off inside the line.
      {"%%Title:     \n%%For: x\n", kTitleBytes, false, kUntouched},
      {"%%Title:\r\n", kTitleBytes, false, kUntouched},
      {"%%Title:", kTitleBytes, false, kUntouched},
      {"%%Title:   ", kTitleBytes, false, kUntouched},
      {"%%Title", kTitleBytes, false, kUntouched},
      {"", kTitleBytes, false, kUntouched},
      {"%%Title: cut off at the end of the hea", kTitleBytes, false, kUntouched},
      // UTF-8 becomes the ANSI code page (characters shared by Windows-1252 and
      // ISO-8859-1); without the flag the bytes stay.
      {"%%Title: Caf\xC3\xA9 M\xC3\xBCller \xC3\x9F\n", kTitleBytes, true, "Caf\xE9 M\xFCller \xDF"},
      {"%%Title: Caf\xC3\xA9\n", kTitleBytes, false, "Caf\xC3\xA9"},
      {"%%Title: Job \xE4\xB8\xAD\xE6\x96\x87\n", kTitleBytes, true, "Job ??"},  // not in the code page
      {"%%Title: A\xFF" "B\xC3\n", kTitleBytes, true, "A?B?"},                     // malformed
      {"%%Title: <436166C3A9>\n", kTitleBytes, true, "Caf\xE9"},                    // after hexadecimal decoding
      // Cut after conversion: 80 UTF-8 bytes are 40 converted ones and fit.
      {"%%Title: " + utf8Title + "\n", kTitleBytes, true, std::string(40, '\xE9')},
      {"%%For: " + utf8Title + "\n", kForNameBytes, true, std::string(31, '\xE9')},
      {"%%Title: ()\n", kTitleBytes, true, kUntouched},  // empty after trimming writes nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    EXPECT_EQ(Extract(c.text, c.size, c.utf8), c.expected);
  }
}

TEST_F(DscValueTest, OnlyTrimmedBracketsAreLogged) {
  EXPECT_EQ(Extract("%%Title: plain\n"), "plain");
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(Extract("%%Title: (Brochure)\n"), "Brochure");
  EXPECT_EQ(records, (std::vector<LogLine>{{2, "Trimming parens from jobname: (Brochure)"}}));
  EXPECT_EQ(Extract("%%Title: <4142>\n"), "AB");
  EXPECT_EQ(records, (std::vector<LogLine>{{2, "Trimming parens from jobname: <4142>"}}));
}

TEST_F(DscValueTest, TheValueIsTerminatedInTheSource) {
  Extract("%%Title: (Brochure)\n%%For: anna\n");
  // The brackets are dropped in place and the line end became a NUL.
  EXPECT_STREQ(source.get() + 10, "Brochure");
  EXPECT_STREQ(source.get() + 20, "%%For: anna\n");
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

}  // namespace hf
