// Cleaning of found file names, single-byte and in a double-byte code page.
#include "jobs/clean_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

// Lead bytes of code page 932 (Shift-JIS).
bool ShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

std::string Clean(const std::string& name, int* replaced, LeadByteTest test = nullptr) {
  char buffer[260];
  *replaced = CleanFileName(name.c_str(), buffer, sizeof buffer, test);
  return buffer;
}

TEST(CleanFileName, DisallowedCharactersBecomeUnderscoresAndControlsSpacesReportedOnce) {
  const struct {
    std::string name, cleaned;
    int replaced;
  } cases[] = {
      {"job 1 (final).ps", "job 1 (final).ps", 0}, {"", "", 0},   {"what?:*.pdf", "what___.pdf", 1},
      {"a\tb.ps", "a b.ps", 1},                     {"\x01x\x1f", " x ", 1},
      {"\x7f\x20", "\x7f\x20", 0},  // DEL and space stay
  };
  for (const auto& c : cases) {
    int replaced = -1;
    EXPECT_EQ(Clean(c.name, &replaced), c.cleaned) << c.name;
    EXPECT_EQ(replaced, c.replaced) << c.name;
  }
  for (char c : std::string(":*/<>?\\\"|")) {
    int replaced = 0;
    const std::string name = std::string("a") + c + "b.ps";
    EXPECT_EQ(Clean(name, &replaced), "a_b.ps") << name;
    EXPECT_EQ(replaced, 1) << name;
  }
}

TEST(CleanFileName, DoubleByteCharacterWithBackslashTrailBecomesMiddleDot) {
  int replaced = 0;
  // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
  EXPECT_EQ(Clean("a\x95\x5C" "b.ps", &replaced, ShiftJisLeadByte), "a\x81\x45" "b.ps");
  EXPECT_EQ(replaced, 1);
  // Other double-byte characters pass whole, even when their trail byte is a
  // character that would otherwise be replaced ("|" = 0x7C).
  EXPECT_EQ(Clean("\x83\x7C\x82\xA0.ps", &replaced, ShiftJisLeadByte), "\x83\x7C\x82\xA0.ps");
  EXPECT_EQ(replaced, 0);
  // Without a double-byte code page the same backslash byte is a disallowed character.
  EXPECT_EQ(Clean("a\x95\x5C" "b.ps", &replaced), "a\x95_b.ps");
  EXPECT_EQ(replaced, 1);
  // A lead byte at the end is a single character.
  EXPECT_EQ(Clean("ab\x95", &replaced, ShiftJisLeadByte), "ab\x95");
  EXPECT_EQ(replaced, 0);
}

TEST(CleanFileName, ResultIsCutToTheBufferAndTerminated) {
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(CleanFileName("a:bcdef", small, sizeof small, nullptr), 1);
  EXPECT_STREQ(small, "a_b");
  // A double-byte character that does not fit whole is left off.
  char three[3];
  CleanFileName("a\x95\x41", three, sizeof three, ShiftJisLeadByte);
  EXPECT_STREQ(three, "a");
  char untouched = 'z';
  EXPECT_EQ(CleanFileName("a:b", &untouched, 0, nullptr), 0);
  EXPECT_EQ(untouched, 'z');
  // The form without a lead-byte test uses the system code page.
  char buffer[260];
  EXPECT_EQ(CleanFileName("x|y.tif", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "x_y.tif");
}

}  // namespace

}  // namespace hf
