// The plain file name rule for names handed back by scripts.
#include "base/plain_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

TEST(IsPlainFileName, AcceptsOrdinaryNames) {
  for (const char* name : {"a.ps", "Job 1 & (co) ^ 100.ps", "HF_x.pdf", "no extension", "..hidden", "x..y",
                           "\xC4pfel.tif", "a=b;c,d[1]{2}'%!.ps"})
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  EXPECT_TRUE(IsPlainFileName(std::string(255, 'n')));
}

TEST(IsPlainFileName, RefusesNamesThatLeaveTheFolder) {
  for (const char* name : {"", ".", "..", "..\\x.ps", "../x.ps", "sub\\x.ps", "sub/x.ps", "C:x.ps", "C:\\x.ps",
                           "\\\\server\\share\\x.ps", "x.ps:stream", "\\x.ps"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
}

TEST(IsPlainFileName, RefusesNamesTheFileSystemWouldChangeOrRefuse) {
  for (const char* name : {"a?.ps", "a*.ps", "a<b.ps", "a>b.ps", "a|b.ps", "a\"b.ps", "tab\there.ps", "line\nfeed.ps",
                           "x.ps ", "x.ps.", "x.ps\r"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  EXPECT_FALSE(IsPlainFileName(std::string("a\0b.ps", 6)));
  EXPECT_FALSE(IsPlainFileName(std::string(256, 'n')));
}

TEST(WithoutTrailingBlanks, RemovesOnlyTrailingSpacesAndTabs) {
  EXPECT_EQ(WithoutTrailingBlanks("x.ps \t "), "x.ps");
  EXPECT_EQ(WithoutTrailingBlanks("  x y.ps"), "  x y.ps");
  EXPECT_EQ(WithoutTrailingBlanks("   "), "");
  EXPECT_EQ(WithoutTrailingBlanks(""), "");
  EXPECT_EQ(WithoutTrailingBlanks("x.ps\r"), "x.ps\r");
}

}  // namespace

}  // namespace hf
