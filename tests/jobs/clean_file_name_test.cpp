// Cleaning of found file names, single-byte and in a double-byte code page.
#include "jobs/clean_file_name.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace hf {

namespace {

// Lead bytes of code page 932 (Shift-JIS).
bool ShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

TEST(CleanFileName, DisallowedCharactersBecomeUnderscoresControlsSpacesAndDoubleByteBackslashesMiddleDots) {
  const std::tuple<const char*, const char*, int, LeadByteTest> cases[] = {
      {"a:b*c/d<e>f?g\\h\"i|.pdf", "a_b_c_d_e_f_g_h_i_.pdf", 1, nullptr},
      {"\x01x\t\x1f", " x  ", 1, nullptr},
      {"\x7f\x20", "\x7f\x20", 0, nullptr},  // DEL and space stay
      // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
      {"a\x95\\b.ps", "a\x81\x45\x62.ps", 1, ShiftJisLeadByte},
      // Other double-byte characters pass whole, even when their trail byte is
      // a character that would otherwise be replaced ("|" = 0x7C).
      {"\x83|\x82\xA0.ps", "\x83|\x82\xA0.ps", 0, ShiftJisLeadByte},
      {"a\x95\\b.ps", "a\x95_b.ps", 1, nullptr},   // without a double-byte code page
      {"ab\x95", "ab\x95", 0, ShiftJisLeadByte}};  // a lead byte at the end is a single character
  for (const auto& [name, cleaned, replaced, test] : cases) {
    char buffer[260];
    EXPECT_EQ(CleanFileName(name, buffer, sizeof buffer, test), replaced) << name;
    EXPECT_EQ(std::string(buffer), cleaned) << name;
  }
}

TEST(CleanFileName, ResultIsCutToTheBufferAndTerminated) {
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(CleanFileName("a:bcdef", small, sizeof small, nullptr), 1);
  EXPECT_STREQ(small, "a_b");
  char three[3];  // a double-byte character that does not fit whole is left off
  CleanFileName("a\x95\x41", three, sizeof three, ShiftJisLeadByte);
  EXPECT_STREQ(three, "a");
  char untouched = 'z';
  EXPECT_EQ(CleanFileName("a:b", &untouched, 0, nullptr), 0);
  EXPECT_EQ(untouched, 'z');
  char buffer[260];  // the form without a lead-byte test uses the system code page
  EXPECT_EQ(CleanFileName("x|y.tif", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "x_y.tif");
}

}  // namespace hf
