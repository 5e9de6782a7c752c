// The custom match pattern language: literals, class runs, malformed
// patterns and the start offset rule.
#include "grouping/colours/colour_match_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

TEST(MatchPatternAt, LiteralsIgnoreAsciiCaseAndEachClassLetterTakesOneCharacterOfItsClass) {
  const struct {
    const char *text, *pattern;
    size_t position;
    bool expected;
  } cases[] = {{"spt 185", "SPT 1", 0, true},
               {"xSPT", "spt", 1, true},
               {"xSPT", "spt", 0, false},
               {"PM", "spt", 0, false},  // text ends first
               {"a[b", "a[b", 0, false},
               {"a]b", "a]b", 0, true},  // "[" always opens a run, a lone "]" is a literal
               {"\xc4x", "\xc4X", 0, true},
               {"\xe4", "\xc4", 0, false},  // only ASCII letters fold
               {"-_~", "[ppp]", 0, true},
               {"a", "[p]", 0, false},
               {" ", "[p]", 0, false},
               {"\xa7", "[p]", 0, false},
               {" \t\r", "[ccc]", 0, true},
               {"_", "[c]", 0, false},
               {"70", "[dd]", 0, true},
               {"a", "[d]", 0, false},
               {"qQ5", "[aaa]", 0, true},
               {"-", "[a]", 0, false},
               {"\xe9", "[a]", 0, false},
               {"fC9", "[xxx]", 0, true},
               {"g", "[x]", 0, false},
               {"G", "[x]", 0, false},
               {".3", "[PD]", 0, true},  // class letters in either case
               {"a \xff][", "[?????]", 0, true},
               {"SPT-185 C", "spt[?ddd][c]c", 0, true},
               {"SPT-18x C", "spt[?ddd][c]c", 0, false},
               // Malformed patterns fail: no "]", no class letter, text ending before the pattern or inside a run.
               {"123", "[dd", 0, false},
               {"123", "[", 0, false},
               {"abc", "[b]", 0, false},
               {"abc", "[dq]", 0, false},
               {"a b", "[a c]", 0, false},
               {"1", "[d]x", 0, false},
               {"12", "[ddd]", 0, false},
               // The empty pattern matches even at the end; every pattern character needs text left.
               {"abc", "", 3, true},
               {"abc", "[]a", 0, true},
               {"abc", "[]", 3, false},
               {"", "a", 0, false},
               {"abc", "a", 10, false}};
  for (const auto& c : cases)
    EXPECT_EQ(MatchPatternAt(c.text, c.position, c.pattern), c.expected) << c.pattern << " on " << c.text;
}

TEST(FindPattern, SearchesFromTheOffsetCountedFromTheEndWhenNegative) {
  const struct {
    const char* text;
    int offset;
    const char* pattern;
    int expected;
  } cases[] = {{"a1b", 0, "[dd]", -1},
               {"a1b", 0, "[?d]", 0},
               {"Blue 123 C", 0, "[ddd]", 5},
               {"BLUE 123 C", 0, "blue", 0},
               {"ab1234", -3, "[?]", 3},
               {"ab1234", -10, "[?]", 0},
               {"ab1234", -1, "[d]", 5},
               {"ab1234", -3, "b", -1},  // the b lies before the start
               {"ab1234", 1, "b", 1},
               {"ab1234", 2, "b", -1},
               {"ab1234", 5, "4", 5},
               {"ab1234", 6, "", -1},  // no position left to try
               {"ab1234", 1000, "[?]", -1},
               {"ab1234", -2147483647 - 1, "a", 0},
               {"", 0, "", -1},
               {"ab1234", 0, "[dz]", -1},
               {"ab1234", 0, "[dx]", 2}};  // z is no class letter
  for (const auto& c : cases)
    EXPECT_EQ(FindPattern(c.text, c.offset, c.pattern), c.expected) << c.pattern << " from " << c.offset;
}

}  // namespace hf
