// Matching of names against the exclusion lists and the probe file name.
#include "jobs/exclusion_match.h"

#include "formats/exclusion_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

namespace {

TEST(ExclusionMatch, ProbeFileNameAndEntriesMatchTheStartOfTheNameOrLastExtensionIgnoringCase) {
  const std::vector<std::string> none, ps = {".ps"};
  for (const char* name : {"xtest$$$.@@@", "xTeSt$$$.@@@"}) EXPECT_TRUE(IsExcludedByLists(name, none, none)) << name;
  for (const char* name : {"xtest$$$.@@", "xtest$$$.@@@x", "a.eps", "a.p"})
    EXPECT_FALSE(IsExcludedByLists(name, none, ps)) << name;
  EXPECT_TRUE(IsExcludedByLists("a.PSD", none, ps));  // a short entry also matches longer extensions

  // "archive.txt2": entries are prefixes of the extension; "a.txt.ps": only the last extension counts.
  for (const char* name :
       {"._job.ps", "._", ".ds_store", "notes.TXT", "run.log", "setup.Exe", "a.b.dll", "archive.txt2"})
    EXPECT_TRUE(IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions)) << name;
  for (const char* name : {"job._x.ps", "_.job.ps", ".DS_Stor", "log", "logtxt", "a.txt.ps", "job.ps"})
    EXPECT_FALSE(IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions)) << name;
}

TEST(ExclusionMatch, ExtensionIsTheTextFromTheLastDotCutTo255BytesAndEmptyEntriesMatchNothing) {
  EXPECT_EQ(ExclusionExtension("a.b.ps"), ".ps");
  EXPECT_EQ(ExclusionExtension("name"), "");
  EXPECT_EQ(ExclusionExtension("name."), ".");
  EXPECT_EQ(ExclusionExtension("a." + std::string(300, 'x')).size(), 255u);
  EXPECT_FALSE(BeginsWithEntry("abc", ""));
  EXPECT_FALSE(BeginsWithEntry("", "a"));
  EXPECT_FALSE(BeginsWithEntry("\xC4x", "\xE4"));  // bytes outside ASCII compare exactly
}

}  // namespace

}  // namespace hf
