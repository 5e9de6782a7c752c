// The custom match pattern language: literals, class runs, malformed
// patterns and the start offset rule.
#include "grouping/colours/colour_match_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

TEST(MatchPatternAt, LiteralsIgnoreCase) {
  EXPECT_TRUE(MatchPatternAt("SPT 185", 0, "spt"));
  EXPECT_TRUE(MatchPatternAt("spt 185", 0, "SPT 1"));
  EXPECT_TRUE(MatchPatternAt("xSPT", 1, "spt"));
  EXPECT_FALSE(MatchPatternAt("xSPT", 0, "spt"));
  EXPECT_FALSE(MatchPatternAt("PM", 0, "spt"));  // text ends first
  EXPECT_FALSE(MatchPatternAt("a[b", 0, "a[b"));  // "[" always opens a run
  EXPECT_TRUE(MatchPatternAt("a]b", 0, "a]b"));   // a lone "]" is a literal
  EXPECT_TRUE(MatchPatternAt("\xc4x", 0, "\xc4X"));
  EXPECT_FALSE(MatchPatternAt("\xe4", 0, "\xc4"));  // only ASCII letters fold
}

TEST(MatchPatternAt, EachClassLetterTakesOneCharacterOfItsClass) {
  struct Case {
    const char* pattern;
    const char* yes;
    const char* no;
  } cases[] = {
      {"[p]", "-", "a"},   {"[p]", "_", " "},    {"[p]", "~", "\xa7"},
      {"[c]", " ", "_"},   {"[c]", "\t", "x"},   {"[c]", "\r", "0"},
      {"[d]", "7", "a"},   {"[d]", "0", " "},
      {"[a]", "q", "-"},   {"[a]", "Q", " "},    {"[a]", "5", "\xe9"},
      {"[x]", "f", "g"},   {"[x]", "C", "G"},    {"[x]", "9", "-"},
      {"[P]", ".", "a"},   {"[D]", "3", "x"},  // class letters in either case
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(MatchPatternAt(c.yes, 0, c.pattern)) << c.pattern << " on " << c.yes;
    EXPECT_FALSE(MatchPatternAt(c.no, 0, c.pattern)) << c.pattern << " on " << c.no;
  }
  for (const char* any : {"a", " ", "\xff", "]", "["}) EXPECT_TRUE(MatchPatternAt(any, 0, "[?]")) << any;
  EXPECT_TRUE(MatchPatternAt("SPT-185 C", 0, "spt[?ddd][c]c"));
  EXPECT_FALSE(MatchPatternAt("SPT-18x C", 0, "spt[?ddd][c]c"));
}

TEST(MatchPatternAt, MalformedPatternsFail) {
  EXPECT_FALSE(MatchPatternAt("123", 0, "[dd"));    // missing "]"
  EXPECT_FALSE(MatchPatternAt("123", 0, "["));
  EXPECT_FALSE(MatchPatternAt("abc", 0, "[b]"));    // b is no class letter
  EXPECT_FALSE(MatchPatternAt("abc", 0, "[dq]"));
  EXPECT_FALSE(MatchPatternAt("a b", 0, "[a c]"));  // nor is a blank
  EXPECT_FALSE(MatchPatternAt("1", 0, "[d]x"));     // the text ends before the pattern
  EXPECT_FALSE(MatchPatternAt("12", 0, "[ddd]"));   // ... or inside a run
}

TEST(MatchPatternAt, EmptyPatternsAndRuns) {
  EXPECT_TRUE(MatchPatternAt("abc", 0, ""));
  EXPECT_TRUE(MatchPatternAt("abc", 3, ""));  // the empty pattern matches even at the end
  EXPECT_TRUE(MatchPatternAt("abc", 0, "[]a"));
  EXPECT_FALSE(MatchPatternAt("abc", 3, "[]"));  // every pattern character needs text left
  EXPECT_FALSE(MatchPatternAt("", 0, "a"));
  EXPECT_FALSE(MatchPatternAt("abc", 10, "a"));
}

TEST(FindPattern, DigitRunsOnLetterDigitLetter) {
  EXPECT_EQ(FindPattern("a1b", 0, "[dd]"), -1);
  EXPECT_EQ(FindPattern("a1b", 0, "[?d]"), 0);
  EXPECT_EQ(FindPattern("Blue 123 C", 0, "[ddd]"), 5);
  EXPECT_EQ(FindPattern("BLUE 123 C", 0, "blue"), 0);
}

TEST(FindPattern, OffsetsCountFromTheEndWhenNegative) {
  const std::string name = "ab1234";  // six characters
  EXPECT_EQ(FindPattern(name, -3, "[?]"), 3);
  EXPECT_EQ(FindPattern(name, -10, "[?]"), 0);
  EXPECT_EQ(FindPattern(name, -1, "[d]"), 5);
  EXPECT_EQ(FindPattern(name, -3, "b"), -1);  // the b lies before the start
  EXPECT_EQ(FindPattern(name, 1, "b"), 1);
  EXPECT_EQ(FindPattern(name, 2, "b"), -1);
  EXPECT_EQ(FindPattern(name, 5, "4"), 5);
  EXPECT_EQ(FindPattern(name, 6, ""), -1);  // no position left to try
  EXPECT_EQ(FindPattern(name, 1000, "[?]"), -1);
  EXPECT_EQ(FindPattern(name, -2147483647 - 1, "a"), 0);
  EXPECT_EQ(FindPattern("", 0, ""), -1);
  EXPECT_EQ(FindPattern(name, 0, "[dz]"), -1);  // z is no class letter
  EXPECT_EQ(FindPattern(name, 0, "[dx]"), 2);
}

}  // namespace hf
