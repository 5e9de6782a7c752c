// Folder creation and removal on the real file system, global text blocks,
// handle checks and the event wait.
#include "common/win32/file_system.h"

#include "common/file_io.h"
#include "common/win32/scoped_handle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A fresh folder below the temporary folder, removed afterwards.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    ASSERT_NE(::GetTempPathA(sizeof temp, temp), 0u);
    root = std::string(temp) + "hf_file_system_" + std::to_string(::GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override { ForceRemove(root); }

  static void WriteFile(const std::string& path, const char* text, bool readOnly = false) {
    ASSERT_EQ(ReplaceFileContents(path, text), 0) << path;
    if (readOnly) {
      ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
    }
  }

  static void MakeFolder(const std::string& path) {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path << " " << ::GetLastError();
  }

  // Clean-up of everything below, dot-folders and read-only files included.
  static void ForceRemove(const std::string& folder) {
    WIN32_FIND_DATAA found;
    {
      ScopedFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &found));
      if (find) {
        do {
          std::string name = found.cFileName;
          if (name == "." || name == "..") continue;
          std::string path = folder + "\\" + name;
          ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ForceRemove(path);
          else
            ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(find.get(), &found));
      }
    }
    ::RemoveDirectoryA(folder.c_str());
  }

  std::string root;
};

TEST_F(FileSystemTest, CreateFolderOfAnExistingFolderSucceeds) {
  EXPECT_EQ(CreateFolder(root, false), 0);
  EXPECT_EQ(CreateFolder(root + "\\", true), 0);
}

TEST_F(FileSystemTest, CreateFolderMakesThreeMissingLevelsWithParents) {
  std::string deep = root + "\\one\\two\\three";
  EXPECT_EQ(CreateFolder(deep, true), 0);
  EXPECT_TRUE(FolderExists(root + "\\one"));
  EXPECT_TRUE(FolderExists(root + "\\one\\two"));
  EXPECT_TRUE(FolderExists(deep));
}

TEST_F(FileSystemTest, CreateFolderAcceptsSlashesAndATrailingSeparator) {
  std::string deep = root + "/one/two/";
  EXPECT_EQ(CreateFolder(deep, true), 0);
  EXPECT_TRUE(FolderExists(root + "\\one\\two"));
}

TEST_F(FileSystemTest, CreateFolderWithoutParentsReportsPathNotFound) {
  EXPECT_EQ(CreateFolder(root + "\\one\\two", false), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(FolderExists(root + "\\one"));
}

TEST_F(FileSystemTest, CreateFolderOfAnEmptyPathIsAnInvalidParameter) {
  EXPECT_EQ(CreateFolder("", true), ERROR_INVALID_PARAMETER);
}

TEST_F(FileSystemTest, CreateFolderOfADriveRootSucceeds) {
  EXPECT_EQ(CreateFolder("C:\\", false), 0);
  EXPECT_EQ(CreateFolder("C:", true), 0);
}

TEST_F(FileSystemTest, CreateFolderOnAMissingDriveFailsWithoutLooping) {
  DWORD drives = ::GetLogicalDrives();
  char letter = 0;
  for (char c = 'Q'; c <= 'Y' && letter == 0; ++c)
    if (!(drives & (1u << (c - 'A')))) letter = c;
  ASSERT_NE(letter, 0) << "no free drive letter";
  std::string path = std::string(1, letter) + ":\\hf\\one";
  int result = CreateFolder(path, true);
  EXPECT_NE(result, 0);
  EXPECT_FALSE(FolderExists(path));
}

TEST_F(FileSystemTest, CreateFolderWhereAFileHasTheNameFails) {
  WriteFile(root + "\\taken", "x");
  EXPECT_EQ(CreateFolder(root + "\\taken", true), ERROR_ALREADY_EXISTS);
  EXPECT_NE(CreateFolder(root + "\\taken\\below", true), 0);
}

TEST_F(FileSystemTest, CreateFolderReturnsOtherSystemErrors) {
  EXPECT_EQ(CreateFolder(root + "\\bad?name", true), ERROR_INVALID_NAME);
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
