// Matching of names against the exclusion lists and the probe file name.
#include "jobs/exclusion_match.h"

#include "formats/exclusion_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

namespace {

bool Excluded(const std::string& name) {
  return IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions);
}

TEST(ExclusionMatch, ProbeFileNameAndDefaultEntriesMatchTheStartIgnoringCase) {
  const std::vector<std::string> none;
  for (const char* name : {"xtest$$$.@@@", "XTEST$$$.@@@", "xTeSt$$$.@@@"})
    EXPECT_TRUE(IsExcludedByLists(name, none, none)) << name;
  EXPECT_FALSE(IsExcludedByLists("xtest$$$.@@", none, none));
  EXPECT_FALSE(IsExcludedByLists("xtest$$$.@@@x", none, none));

  // "archive.txt2": entries are prefixes of the extension; "a.txt.ps": only the last extension counts.
  for (const char* name : {"._job.ps", "._", ".DS_Store", ".ds_store", ".DS_STORE", "notes.TXT", "run.log",
                           "setup.Exe", "a.b.dll", "archive.txt2"})
    EXPECT_TRUE(Excluded(name)) << name;
  for (const char* name : {"job._x.ps", "_.job.ps", ".DS_Stor", "log", "logtxt", "a.txt.ps", "job.ps"})
    EXPECT_FALSE(Excluded(name)) << name;
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

}  // namespace hf
