// DSC comment values: brackets, escapes, hexadecimal strings, UTF-8, cutting.
#include "formats/dsc_value.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace hf {

namespace {

constexpr size_t kTitleBytes = 64;
const char kUntouched[] = "untouched";

class DscValueTest : public ::testing::Test {
 protected:
  // Extracts from a heap copy of `text` (NUL-terminated, exactly sized) into a
  // destination of `size` bytes that holds "untouched" beforehand.
  std::string Extract(const std::string& text, size_t size = kTitleBytes, bool utf8 = false) {
    log.lines.clear();
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
  std::unique_ptr<char[]> source;
};

TEST_F(DscValueTest, ValuesAreDecodedAndCutToTheField) {
  std::string utf8Name;
  for (int i = 0; i < 40; ++i) utf8Name += "\xC3\xA9";
  const struct {
    std::string text, expected;
    size_t size = kTitleBytes;
    bool utf8 = false;
  } cases[] = {// A plain value runs from after the blanks to the line end.
               {"%%Title: Brochure 2024\n%%For: anna\n", "Brochure 2024"},
               {"%%Title:Brochure\r\n", "Brochure"},
               {"%%Title:    spaced  out  \r", "spaced  out  "},
               // Brackets of either kind are trimmed; only "<...>" is hexadecimal.
               {"%%Title: ()\n", ""},
               {"%%Title: (Brochure>\n", "Brochure"},
               {"%%Title: (open\n", "(open"},
               {"%%Title: <4a6f62>\n", "Job"},
               {"%%Title: <4142)\n", "4142"},
               {"%%Title: <414>\n", "A4"},  // an odd last character stays
               // Letters count from "A" = 10 or "a" = 10 whatever they are: "G" = 16 -> 0x50.
               {"%%Title: <4G>\n", "P"},
               // A space counts 32 - 87 = -55: 2 * 16 - 55 = -23, which is 0xE9 modulo 256.
               {"%%Title: <2 >\n", "\xE9"},
               // A byte above 0x7F forms no pair as either half: it stays and decoding goes on after it.
               {"%%Title: <\xC3" "4\xC3" "41>\n", "\xC3" "4\xC3" "A"},
               // Octal escapes become one byte; digits 8 and 9 count too, modulo 256: 9*64+9*8+9 = 657 -> 0x91.
               {"%%Title: (\\101BC)\n", "ABC"},
               {"%%Title: \\999\n", "\x91"},
               // A backslash without three digits stays.
               {"%%Title: (a\\12)\n", "a\\12"},
               {"%%Title: a\\1b2\n", "a\\1b2"},
               // Escapes are decoded first, then the pairs: "\064" is "4", giving "41".
               {"%%Title: <\\0641>\n", "A"},
               {"%%Title: (ab\\000cd)\n", "ab"},  // an escaped NUL ends the value
               // Long values are cut to the field.
               {"%%Title: " + std::string(100, 't') + "\n", std::string(63, 't')},
               {"%%Title: xyz\n", "", 1},
               // No value leaves the destination as it was, as does a head cut off inside the line.
               {"%%Title:     \n%%For: x\n", kUntouched},
               {"%%Title:", kUntouched},
               {"%%Title:   ", kUntouched},
               {"%%Title", kUntouched},
               {"%%Title: cut off", kUntouched},
               // UTF-8 becomes the ANSI code page (as shared by Windows-1252 and ISO-8859-1); without the flag not.
               {"%%Title: Caf\xC3\xA9 M\xC3\xBCller \xC3\x9F\n", "Caf\xE9 M\xFCller \xDF", kTitleBytes, true},
               {"%%Title: Caf\xC3\xA9\n", "Caf\xC3\xA9"},
               {"%%Title: Job \xE4\xB8\xAD\xE6\x96\x87\n", "Job ??", kTitleBytes, true},  // not in the code page
               {"%%Title: A\xFF" "B\xC3\n", "A?B?", kTitleBytes, true},  // malformed
               {"%%Title: <436166C3A9>\n", "Caf\xE9", kTitleBytes, true},  // after hexadecimal decoding
               // Cut after conversion: 80 UTF-8 bytes are 40 converted ones, cut to 31.
               {"%%For: " + utf8Name + "\n", std::string(31, '\xE9'), 32, true},
               {"%%Title: ()\n", kUntouched, kTitleBytes, true}};  // empty after trimming writes nothing
  for (const auto& c : cases) EXPECT_EQ(Extract(c.text, c.size, c.utf8), c.expected) << c.text.substr(0, 40);
}

TEST_F(DscValueTest, OnlyTrimmedBracketsAreLoggedTheValueIsTerminatedInTheSourceMissingArgumentsDoNothing) {
  EXPECT_EQ(Extract("%%Title: plain\n"), "plain");
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(Extract("%%Title: <4142>\n"), "AB");
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, "Trimming parens from jobname: <4142>"}}));
  Extract("%%Title: (Brochure)\n%%For: anna\n");
  // The brackets are dropped in place and the line end became a NUL.
  EXPECT_STREQ(source.get() + 10, "Brochure");
  EXPECT_STREQ(source.get() + 20, "%%For: anna\n");
  char destination[8] = "keep";  // missing arguments do nothing
  ExtractDscValue(nullptr, false, destination, sizeof destination);
  ExtractDscValue(source.get(), false, nullptr, 8);
  ExtractDscValue(source.get(), false, destination, 0);
  EXPECT_STREQ(destination, "keep");
}

}  // namespace

}  // namespace hf
