// Reading the exclusion list files, and writing them with their defaults.
#include "formats/exclusion_file.h"

#include "base/file_io.h"

#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

namespace {

using Entries = std::vector<std::string>;

TEST(ExclusionFile, LinesLoseTrailingBlanksAndEmptyLinesAreSkipped) {
  EXPECT_EQ(ParseExclusionText("._  \n\n.DS_Store\t\r\n   \n"), (Entries{"._", ".DS_Store"}));
  EXPECT_EQ(ParseExclusionText(" lead\n"), (Entries{" lead"}));  // leading blanks stay
  EXPECT_EQ(ParseExclusionText("last line without end"), (Entries{"last line without end"}));
  EXPECT_EQ(ParseExclusionText(""), Entries{});
}

TEST(ExclusionFile, WrittenDefaultsReadBackAndEndWithNul) {
  std::string text = ExclusionFileText(kDefaultExcludedExtensions);
  EXPECT_EQ(text, std::string(".log\r\n.exe\r\n.txt\r\n.dll\r\n\0", 25));
  EXPECT_EQ(ParseExclusionText(text), kDefaultExcludedExtensions);
  EXPECT_EQ(ParseExclusionText(ExclusionFileText(kDefaultExcludedFileNames)), (Entries{"._", ".DS_Store"}));
}

TEST(ExclusionFile, NulEndsALineAndCtrlZEndsTheFile) {
  EXPECT_EQ(ParseExclusionText(std::string("ab\0cd\nef\n", 9)), (Entries{"ab", "ef"}));
  EXPECT_EQ(ParseExclusionText("ab\n\x1A" "cd\n"), (Entries{"ab"}));
}

TEST(ExclusionFile, LongLinesAreReadIn249BytePieces) {
  std::string line = std::string(249, 'a') + std::string(10, 'b');
  EXPECT_EQ(ParseExclusionText(line + "\nz\n"), (Entries{std::string(249, 'a'), std::string(10, 'b'), "z"}));
  // A CR LF line end counts as one character.
  std::string exact = std::string(248, 'c');
  EXPECT_EQ(ParseExclusionText(exact + "\r\nz"), (Entries{exact, "z"}));
}

TEST(ExclusionFile, MissingFileIsWrittenWithDefaultsExistingOneIsOnlyRead) {
  ScratchFolder scratch("hf_exclusion_");
  const std::string missing = scratch.PathOf("FilenameExceptions.bin");
  Entries entries{"stale"};
  EXPECT_EQ(ReadExclusionFile(missing, kDefaultExcludedFileNames, entries), ExclusionFileStatus::kCreatedWithDefaults);
  EXPECT_EQ(entries, (Entries{"._", ".DS_Store"}));
  EXPECT_EQ(ReadBytes(missing), std::string("._\r\n.DS_Store\r\n\0", 16));

  const std::string existing = scratch.PathOf("ExtensionExceptions.bin");
  const std::string content = ".tmp   \n\n\n.BAK\t\n";
  ASSERT_EQ(ReplaceFileContents(existing, content), 0);
  EXPECT_EQ(ReadExclusionFile(existing, kDefaultExcludedExtensions, entries), ExclusionFileStatus::kRead);
  EXPECT_EQ(entries, (Entries{".tmp", ".BAK"}));
  EXPECT_EQ(ReadBytes(existing), content);

  entries = {"stale"};
  EXPECT_EQ(ReadExclusionFile(scratch.PathOf("no_such_folder/FilenameExceptions.bin"), kDefaultExcludedFileNames,
                              entries),
            ExclusionFileStatus::kCannotCreate);
  EXPECT_TRUE(entries.empty());
}

}  // namespace

}  // namespace hf
