// Whole-file reads and replacing writes on Windows: shared reads, one-step
// replacement, and a failed replace that leaves the target and no temporary file.
#include "base/file_io.h"

#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()); }
  std::string Read() {
    std::string text;
    EXPECT_EQ(ReadWholeFile(target, text), 0);
    return text;
  }
  TempFolder temp{"hf_file_io"};
  const std::string folder = temp.path().substr(0, temp.path().size() - 1);
  const std::string target = folder + "\\group.fgl";
};

TEST_F(FileIoTest, ReplaceWritesExactBytesAndLeavesAVisibleFileWithoutTemporary) {
  std::string bytes("[FileGroupInfo]\r\nFolderPath=C:\\x\r\n\0tail", 40);
  ASSERT_EQ(ReplaceFileContents(target, "old"), 0);
  ASSERT_EQ(ReplaceFileContents(target, bytes), 0);
  EXPECT_EQ(Read(), bytes);
  DWORD attributes = ::GetFileAttributesA(target.c_str());
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_FALSE(FileExists(target + ".tmp~"));
}

TEST_F(FileIoTest, FileHeldOpenByAnotherWriterCanStillBeRead) {
  ASSERT_EQ(ReplaceFileContents(target, "shared"), 0);
  ScopedHandle writer(::CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(Read(), "shared");
}

TEST_F(FileIoTest, FailedReplaceKeepsTheTargetAndRemovesTheTemporaryFile) {
  ASSERT_EQ(ReplaceFileContents(target, "keep me"), 0);
  // A reader without delete sharing blocks the replace.
  ScopedHandle reader(::CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader.valid());
  EXPECT_NE(ReplaceFileContents(target, "new text"), 0);
  reader.reset();
  EXPECT_EQ(Read(), "keep me");
  EXPECT_FALSE(FileExists(target + ".tmp~"));
}

TEST_F(FileIoTest, MissingFileReportsItsSystemError) {
  std::string text = "stale";
  EXPECT_EQ(ReadWholeFile(folder + "\\missing.ini", text), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_FALSE(FileExists(folder));
}

}  // namespace

}  // namespace hf
