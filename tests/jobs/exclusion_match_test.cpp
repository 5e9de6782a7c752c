// Matching of names against the exclusion lists and the probe file name.
#include "jobs/exclusion_match.h"

#include "formats/exclusion_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

TEST(ExclusionMatch, ProbeFileNameAndEntriesMatchTheStartOfTheNameOrLastExtensionIgnoringCase) {
  const std::vector<std::string> none, ps = {".ps"};
  EXPECT_TRUE(IsExcludedByLists("xTeSt$$$.@@@", none, none));
  for (const char* name : {"xtest$$$.@@", "xtest$$$.@@@x", "a.p"}) EXPECT_FALSE(IsExcludedByLists(name, none, ps));
  // A short entry also matches longer extensions; only the last extension counts.
  for (const char* name : {"._job.ps", ".ds_store", "notes.TXT", "a.b.dll", "archive.txt2"})
    EXPECT_TRUE(IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions)) << name;
  for (const char* name : {"job._x.ps", ".DS_Stor", "logtxt", "a.txt.ps"})
    EXPECT_FALSE(IsExcludedByLists(name, kDefaultExcludedFileNames, kDefaultExcludedExtensions)) << name;
  EXPECT_EQ(ExclusionExtension("name"), "");
  EXPECT_EQ(ExclusionExtension("a." + std::string(300, 'x')).size(), 255u);
  EXPECT_FALSE(BeginsWithEntry("abc", "") || BeginsWithEntry("", "a"));
  EXPECT_FALSE(BeginsWithEntry("\xC4x", "\xE4"));  // bytes outside ASCII compare exactly
}

}  // namespace hf
