// Folder creation and removal on the real file system, global text blocks,
// handle checks and the event wait.
#include "base/win32/file_system.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace hf {

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()); }

  static void WriteFile(const std::string& path, const char* text, bool readOnly = false) {
    ASSERT_TRUE(Put(path, text)) << path;
    if (readOnly) {
      ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
    }
  }
  static void MakeFolder(const std::string& path) {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path << " " << ::GetLastError();
  }

  TempFolder temp{"hf_file_system"};
  const std::string root = temp.path().substr(0, temp.path().size() - 1);
};

TEST_F(FileSystemTest, CreateFolderAnswersEachKindOfPath) {
  WriteFile(root + "\\taken", "x");
  char freeDrive = 0;
  for (char c = 'Q'; c <= 'Y' && freeDrive == 0; ++c)
    if (!(::GetLogicalDrives() & (1u << (c - 'A')))) freeDrive = c;
  ASSERT_NE(freeDrive, 0) << "no free drive letter";
  struct Case {
    std::string path;
    bool parents;
    int result;  // -1: any failure
    std::string madeFolder;  // must exist afterwards (empty: nothing made)
  } cases[] = {
      {root, false, 0, root},
      {root + "\\", true, 0, root},
      {root + "\\one\\two\\three", true, 0, root + "\\one\\two\\three"},  // three missing levels
      {root + "/s1/s2/", true, 0, root + "\\s1\\s2"},
      {root + "\\p1\\p2", false, ERROR_PATH_NOT_FOUND, ""},
      {"", true, ERROR_INVALID_PARAMETER, ""},
      {"C:\\", false, 0, "C:\\"},
      {"C:", true, 0, "C:\\"},
      {std::string(1, freeDrive) + ":\\hf\\one", true, -1, ""},  // fails without looping
      {root + "\\taken", true, ERROR_ALREADY_EXISTS, ""},
      {root + "\\taken\\below", true, -1, ""},
      {root + "\\bad?name", true, ERROR_INVALID_NAME, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const int result = CreateFolder(c.path, c.parents);
    if (c.result < 0) {
      EXPECT_NE(result, 0);
      EXPECT_FALSE(FolderExists(c.path));
    } else {
      EXPECT_EQ(result, c.result);
    }
    if (!c.madeFolder.empty()) {
      EXPECT_TRUE(FolderExists(c.madeFolder));
    }
  }
  EXPECT_TRUE(FolderExists(root + "\\one\\two"));
  EXPECT_FALSE(FolderExists(root + "\\p1"));
}

TEST(IsDriveOrShareRoot, RecognisesDrivesAndShares) {
  EXPECT_TRUE(IsDriveOrShareRoot("C:"));
  EXPECT_TRUE(IsDriveOrShareRoot("c:\\"));
  EXPECT_TRUE(IsDriveOrShareRoot("Z:/"));
  EXPECT_TRUE(IsDriveOrShareRoot("\\\\server\\share"));
  EXPECT_TRUE(IsDriveOrShareRoot("\\\\server\\share\\"));
  EXPECT_TRUE(IsDriveOrShareRoot("//server/share"));
  EXPECT_FALSE(IsDriveOrShareRoot(""));
  EXPECT_FALSE(IsDriveOrShareRoot("C:\\a"));
  EXPECT_FALSE(IsDriveOrShareRoot("C:a"));
  EXPECT_FALSE(IsDriveOrShareRoot("1:"));
  EXPECT_FALSE(IsDriveOrShareRoot("\\\\server"));
  EXPECT_FALSE(IsDriveOrShareRoot("\\\\server\\"));
  EXPECT_FALSE(IsDriveOrShareRoot("\\\\server\\share\\in"));
  EXPECT_FALSE(IsDriveOrShareRoot("\\\\\\share"));
}

TEST_F(FileSystemTest, DeleteFolderRemovesEverythingIncludingReadOnlyFiles) {
  std::string folder = root + "\\job";
  MakeFolder(folder);
  MakeFolder(folder + "\\sub");
  MakeFolder(folder + "\\sub\\deeper");
  WriteFile(folder + "\\a.ps", "a");
  WriteFile(folder + "\\locked.tif", "b", true);
  WriteFile(folder + "\\.hidden", "c");  // a file beginning with a dot is no dot-folder
  WriteFile(folder + "\\sub\\deeper\\locked.pdf", "d", true);
  WriteFile(folder + "\\noextension", "e");
  DeleteFolder(folder);
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_FALSE(FileExists(folder + "\\locked.tif"));
}

TEST_F(FileSystemTest, DeleteFolderKeepsDotFoldersAndSoTheFolderItself) {
  std::string folder = root + "\\job";
  MakeFolder(folder);
  MakeFolder(folder + "\\.script");
  WriteFile(folder + "\\.script\\results.txt", "kept");
  MakeFolder(folder + "\\sub");
  MakeFolder(folder + "\\sub\\.keep");
  MakeFolder(folder + "\\gone");
  WriteFile(folder + "\\gone\\x.ps", "x");
  WriteFile(folder + "\\a.ps", "a", true);
  DeleteFolder(folder);
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FileExists(folder + "\\.script\\results.txt"));
  EXPECT_TRUE(FolderExists(folder + "\\sub\\.keep"));
  EXPECT_FALSE(FolderExists(folder + "\\gone"));
  EXPECT_FALSE(FileExists(folder + "\\a.ps"));
}

TEST_F(FileSystemTest, DeleteFolderAcceptsATrailingBackslashAndAMissingFolder) {
  std::string folder = root + "\\job";
  MakeFolder(folder);
  WriteFile(folder + "\\a.ps", "a");
  DeleteFolder(folder + "\\");
  EXPECT_FALSE(FolderExists(folder));
  DeleteFolder(folder);  // no longer there: nothing happens
  DeleteFolder("");
  EXPECT_TRUE(FolderExists(root));
}

TEST_F(FileSystemTest, DeleteFolderOfAFileLeavesTheFile) {
  WriteFile(root + "\\file.ps", "a");
  DeleteFolder(root + "\\file.ps");
  EXPECT_TRUE(FileExists(root + "\\file.ps"));
}

TEST_F(FileSystemTest, EmptyFolderKeepsTheFolderAndItsDotFolders) {
  std::string folder = root + "\\job";
  MakeFolder(folder);
  MakeFolder(folder + "\\.thumbs");
  MakeFolder(folder + "\\sub");
  WriteFile(folder + "\\sub\\b.ps", "b", true);
  WriteFile(folder + "\\a.ps", "a", true);
  EmptyFolder(folder);
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(folder + "\\.thumbs"));
  EXPECT_FALSE(FolderExists(folder + "\\sub"));
  EXPECT_FALSE(FileExists(folder + "\\a.ps"));
}

TEST_F(FileSystemTest, DeleteFolderRemovesAFolderLinkButNotWhatItPointsTo) {
  std::string target = root + "\\target";
  std::string folder = root + "\\job";
  MakeFolder(target);
  WriteFile(target + "\\precious.ps", "keep me");
  MakeFolder(folder);
  std::string link = folder + "\\link";
  if (!::CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "folder links cannot be made here (error " << ::GetLastError() << ")";
  }
  DWORD attributes = ::GetFileAttributesA(link.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    GTEST_SKIP() << "the link is not shown as a reparse point here";
  }
  DeleteFolder(folder);
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_TRUE(FileExists(target + "\\precious.ps"));
}

TEST(CopyToGlobalBlock, HoldsTheTextAndZeroFill) {
  const char text[] = "C:\\hot\\out\\job.ps";
  char* block = CopyToGlobalBlock(text);
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, text);
  SIZE_T size = ::GlobalSize(block);
  ASSERT_GE(size, sizeof text);
  for (SIZE_T i = sizeof text - 1; i < size; ++i) EXPECT_EQ(block[i], '\0') << i;
  EXPECT_EQ(::GlobalFree(block), nullptr);
}

TEST(CopyToGlobalBlock, EmptyAndMissingTexts) {
  char* block = CopyToGlobalBlock("");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], '\0');
  ::GlobalFree(block);
  EXPECT_EQ(CopyToGlobalBlock(nullptr), nullptr);
}

TEST(IsValidHandle, RejectsNoneAndTheInvalidValue) {
  EXPECT_FALSE(IsValidHandle(nullptr));
  EXPECT_FALSE(IsValidHandle(INVALID_HANDLE_VALUE));
  ScopedHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  EXPECT_TRUE(IsValidHandle(event.get()));
}

TEST(WaitMilliseconds, ReturnsAndLeavesNoHandleBehind) {
  DWORD before = 0;
  ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
  for (int i = 0; i < 20; ++i) WaitMilliseconds(i % 2);
  DWORD after = 0;
  ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
  EXPECT_EQ(after, before);
}

}  // namespace

}  // namespace hf
