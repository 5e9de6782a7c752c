// Reading the exclusion list files, and writing them with their defaults.
#include "common/exclusion_file.h"

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

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

class ExclusionFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder = std::filesystem::temp_directory_path() / ("hf_exclusion_" + std::to_string(stamp));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string PathOf(const std::string& name) const { return (folder / name).string(); }
  std::filesystem::path folder;
};

TEST_F(ExclusionFileOnDisk, MissingFileIsWrittenWithDefaultsAndReadBack) {
  std::string path = PathOf("FilenameExceptions.bin");
  Entries entries{"stale"};
  EXPECT_EQ(ReadExclusionFile(path, kDefaultExcludedFileNames, entries), ExclusionFileStatus::kCreatedWithDefaults);
  EXPECT_EQ(entries, (Entries{"._", ".DS_Store"}));
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(path, bytes), 0);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\n\0", 2));
  EXPECT_EQ(bytes, std::string("._\r\n.DS_Store\r\n\0", 16));
}

TEST_F(ExclusionFileOnDisk, ExistingFileIsReadAndNotRewritten) {
  std::string path = PathOf("ExtensionExceptions.bin");
  const std::string content = ".tmp   \n\n\n.BAK\t\n";
  ASSERT_EQ(ReplaceFileContents(path, content), 0);
  Entries entries;
  EXPECT_EQ(ReadExclusionFile(path, kDefaultExcludedExtensions, entries), ExclusionFileStatus::kRead);
  EXPECT_EQ(entries, (Entries{".tmp", ".BAK"}));
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(path, bytes), 0);
  EXPECT_EQ(bytes, content);
}

TEST_F(ExclusionFileOnDisk, UnwritablePlaceGivesNoEntries) {
  std::string path = PathOf("no_such_folder/FilenameExceptions.bin");
  Entries entries{"stale"};
  EXPECT_EQ(ReadExclusionFile(path, kDefaultExcludedFileNames, entries), ExclusionFileStatus::kCannotCreate);
  EXPECT_TRUE(entries.empty());
}

}  // namespace
