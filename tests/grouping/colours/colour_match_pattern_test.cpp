// The custom match pattern language: literals, class runs, malformed
// patterns and the start offset rule.
#include "grouping/colours/colour_match_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace hf {

// Literals fold ASCII letters only and a lone "]" is one; class letters count in either case. Malformed
// patterns fail (no "]", no class letter), as does text that ends before the pattern or inside a run. The
// empty pattern matches even at the end.
TEST(MatchPatternAt, LiteralsIgnoreAsciiCaseAndEachClassLetterTakesOneCharacterOfItsClass) {
  const std::tuple<const char*, const char*, size_t, bool> cases[] = {
      {"xSPT 185", "spt 1", 1, true}, {"PM", "spt", 0, false},   {"a]b", "a]b", 0, true}, {"\xc4x", "\xc4X", 0, true},
      {"\xe4", "\xc4", 0, false},     {"!~", "[pP]", 0, true},   {" ", "[p]", 0, false},  {"\x7f", "[p]", 0, false},
      {" \t\r", "[ccc]", 0, true},    {"_", "[c]", 0, false},    {"70", "[dd]", 0, true}, {"qQ5", "[aaa]", 0, true},
      {"-", "[a]", 0, false},         {"fC9", "[xxx]", 0, true}, {"g", "[x]", 0, false},  {"a[b", "a[b", 0, false},
      {"abc", "[b]", 0, false},       {"12", "[ddd]", 0, false}, {"abc", "", 3, true},    {"abc", "[]a", 0, true},
      {"abc", "a", 10, false}};
  for (const auto& [text, pattern, position, expected] : cases)
    EXPECT_EQ(MatchPatternAt(text, position, pattern), expected) << pattern << " on " << text;
  EXPECT_TRUE(MatchPatternAt("SPT-185 C", 0, "spt[?ddd][c]c"));
}

TEST(FindPattern, SearchesFromTheOffsetCountedFromTheEndWhenNegative) {
  const std::tuple<const char*, int, const char*, int> cases[] = {
      {"ab1234", -3, "[?]", 3},    {"ab1234", -10, "[?]", 0},
      {"ab1234", -3, "b", -1},     {"ab1234", 2, "b", -1},
      {"ab1234", 5, "4", 5},       {"ab1234", 6, "", -1},  // no position left
      {"ab1234", 1000, "[?]", -1}, {"ab1234", -2147483647 - 1, "a", 0}};
  for (const auto& [text, offset, pattern, expected] : cases)
    EXPECT_EQ(FindPattern(text, offset, pattern), expected) << pattern << " from " << offset;
}

}  // namespace hf
