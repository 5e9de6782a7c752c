// Matching of names against the exclusion lists and the probe file name.
#include "common/exclusion_match.h"

#include "common/exclusion_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Excluded(const std::string& name) {
  return IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions);
}

TEST(ExclusionMatch, ProbeFileNameIsExcludedInAnyCase) {
  const std::vector<std::string> none;
  EXPECT_TRUE(IsExcludedByLists("xtest$$$.@@@", none, none));
  EXPECT_TRUE(IsExcludedByLists("XTEST$$$.@@@", none, none));
  EXPECT_TRUE(IsExcludedByLists("xTeSt$$$.@@@", none, none));
  EXPECT_FALSE(IsExcludedByLists("xtest$$$.@@", none, none));
  EXPECT_FALSE(IsExcludedByLists("xtest$$$.@@@x", none, none));
}

TEST(ExclusionMatch, DefaultNameEntriesMatchTheStartOfTheName) {
  EXPECT_TRUE(Excluded("._job.ps"));
  EXPECT_TRUE(Excluded("._"));
  EXPECT_TRUE(Excluded(".DS_Store"));
  EXPECT_TRUE(Excluded(".ds_store"));
  EXPECT_TRUE(Excluded(".DS_STORE"));
  EXPECT_FALSE(Excluded("job._x.ps"));
  EXPECT_FALSE(Excluded("_.job.ps"));
  EXPECT_FALSE(Excluded(".DS_Stor"));
}

TEST(ExclusionMatch, DefaultExtensionEntriesMatchTheStartOfTheExtension) {
  EXPECT_TRUE(Excluded("notes.TXT"));
  EXPECT_TRUE(Excluded("run.log"));
  EXPECT_TRUE(Excluded("setup.Exe"));
  EXPECT_TRUE(Excluded("a.b.dll"));
  EXPECT_TRUE(Excluded("archive.txt2"));  // entries are prefixes of the extension
  EXPECT_FALSE(Excluded("log"));
  EXPECT_FALSE(Excluded("logtxt"));
  EXPECT_FALSE(Excluded("a.txt.ps"));  // only the last extension counts
  EXPECT_FALSE(Excluded("job.ps"));
}

TEST(ExclusionMatch, ShortExtensionEntryAlsoMatchesLongerExtensions) {
  const std::vector<std::string> names;
  const std::vector<std::string> extensions = {".ps"};
  EXPECT_TRUE(IsExcludedByLists("a.ps", names, extensions));
  EXPECT_TRUE(IsExcludedByLists("a.PSD", names, extensions));
  EXPECT_FALSE(IsExcludedByLists("a.p", names, extensions));
  EXPECT_FALSE(IsExcludedByLists("a.eps", names, extensions));
}

TEST(ExclusionMatch, ExtensionIsTheTextFromTheLastDotCutTo255Bytes) {
  EXPECT_EQ(ExclusionExtension("a.b.ps"), ".ps");
  EXPECT_EQ(ExclusionExtension("name"), "");
  EXPECT_EQ(ExclusionExtension("name."), ".");
  std::string longName = "a." + std::string(300, 'x');
  EXPECT_EQ(ExclusionExtension(longName).size(), 255u);
}

TEST(ExclusionMatch, EmptyEntryMatchesNothing) {
  EXPECT_FALSE(BeginsWithEntry("abc", ""));
  EXPECT_FALSE(BeginsWithEntry("", "a"));
  EXPECT_TRUE(BeginsWithEntry("ABC", "ab"));
  // Bytes outside ASCII compare exactly.
  EXPECT_FALSE(BeginsWithEntry("\xC4x", "\xE4"));
}

}  // namespace
