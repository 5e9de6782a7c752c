// Reading the exclusion list files, and writing them with their defaults.
#include "formats/exclusion_file.h"

#include "base/file_io.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace hf {

namespace {

using Entries = std::vector<std::string>;

TEST(ExclusionFile, TextIsReadInLinesOf249BytesWithoutTrailingBlanksOrEmptyLines) {
  EXPECT_EQ(ParseExclusionText("._  \n\n.DS_Store\t\r\n   \n lead\nlast"),
            (Entries{"._", ".DS_Store", " lead", "last"}));
  // A NUL ends a line, Ctrl-Z the file.
  EXPECT_EQ(ParseExclusionText(std::string("ab\0cd\nef\n\x1A"
                                           "gh\n",
                                           13)),
            (Entries{"ab", "ef"}));
  std::string line = std::string(249, 'a') + std::string(10, 'b');
  EXPECT_EQ(ParseExclusionText(line + "\nz\n"), (Entries{std::string(249, 'a'), std::string(10, 'b'), "z"}));
  // A CR LF line end counts as one character.
  EXPECT_EQ(ParseExclusionText(std::string(248, 'c') + "\r\nz"), (Entries{std::string(248, 'c'), "z"}));
}

TEST(ExclusionFile, MissingFileIsWrittenWithDefaultsExistingOneIsOnlyRead) {
  ScratchFolder scratch("hf_exclusion_");
  Entries entries{"stale"};
  EXPECT_EQ(ReadExclusionFile(scratch.PathOf("Ext.bin"), kDefaultExcludedExtensions, entries),
            ExclusionFileStatus::kCreatedWithDefaults);
  EXPECT_EQ(entries, kDefaultExcludedExtensions);
  EXPECT_EQ(scratch.Read("Ext.bin"), std::string(".log\r\n.exe\r\n.txt\r\n.dll\r\n\0", 25));
  EXPECT_EQ(ExclusionFileText(kDefaultExcludedFileNames), std::string("._\r\n.DS_Store\r\n\0", 16));

  const std::string content = ".tmp   \n\n\n.BAK\t\n";
  EXPECT_EQ(ReadExclusionFile(scratch.Write("Names.bin", content), kDefaultExcludedFileNames, entries),
            ExclusionFileStatus::kRead);
  EXPECT_EQ(entries, (Entries{".tmp", ".BAK"}));
  EXPECT_EQ(scratch.Read("Names.bin"), content);

  EXPECT_EQ(ReadExclusionFile(scratch.PathOf("no_such_folder/x.bin"), kDefaultExcludedFileNames, entries),
            ExclusionFileStatus::kCannotCreate);
  EXPECT_TRUE(entries.empty());
}

// A list that is there but cannot be read (here a folder of that name; on
// Windows also a lock or a network error) is never replaced with the defaults;
// they are used for this run only. A file over 16 MB is not read either.
TEST(ExclusionFile, AnUnreadableListIsLeftAsItIsAndTheDefaultsServe) {
  ScratchFolder scratch("hf_exclusion_");
  std::filesystem::create_directory(scratch.PathOf("Names.bin"));
  Entries entries;
  int error = 0;
  EXPECT_EQ(ReadExclusionFile(scratch.PathOf("Names.bin"), kDefaultExcludedFileNames, entries, &error),
            ExclusionFileStatus::kUnreadable);
  EXPECT_NE(error, 0);
  EXPECT_EQ(entries, kDefaultExcludedFileNames);
  EXPECT_TRUE(std::filesystem::is_directory(scratch.PathOf("Names.bin")));

  const std::string big = scratch.Write("Big.bin", std::string(kMaxWholeFileBytes + 1, 'x'));
  EXPECT_EQ(ReadExclusionFile(big, kDefaultExcludedExtensions, entries), ExclusionFileStatus::kUnreadable);
  EXPECT_EQ(std::filesystem::file_size(big), static_cast<uintmax_t>(kMaxWholeFileBytes + 1));
}

}  // namespace

}  // namespace hf
