// Folders, whole-file writes, drive and share roots, global blocks and handles.
#include "base/win32/file_system.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace hf {

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()); }
  static void Write(const std::string& path, bool readOnly = false) {
    ASSERT_TRUE(Put(path, "x")) << path;
    ASSERT_TRUE(!readOnly || ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
  }
  static void MakeFolders(const std::string& root, std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_EQ(CreateFolder(root + name, true), 0) << name;
  }

  TempFolder temp{"file_system"};
  const std::string root = temp.path().substr(0, temp.path().size() - 1);
};

TEST_F(FileSystemTest, CreateFolderAnswersEachKindOfPath) {
  Write(root + "\\taken");
  char freeDrive = 0;
  for (char c = 'Q'; c <= 'Y' && freeDrive == 0; ++c)
    if (!(::GetLogicalDrives() & (1u << (c - 'A')))) freeDrive = c;
  ASSERT_NE(freeDrive, 0) << "no free drive letter";
  // The path, whether parents are made, the result (-1: any failure) and a folder that must exist afterwards.
  const std::tuple<std::string, bool, int, std::string> cases[] = {
      {root, false, 0, root},
      {root + "\\one\\two\\three", true, 0, root + "\\one\\two\\three"},  // three missing levels
      {root + "/s1/s2/", true, 0, root + "\\s1\\s2"},                     // made without its separator, then found
      {root + "\\p1\\p2", false, ERROR_PATH_NOT_FOUND, ""},
      {"", true, ERROR_INVALID_PARAMETER, ""},
      {"C:", true, 0, "C:\\"},
      {std::string(1, freeDrive) + ":\\hf\\one", true, -1, ""},  // fails without looping
      {root + "\\taken", true, ERROR_ALREADY_EXISTS, ""},
      {root + "\\taken\\below", true, -1, ""},
      {root + "\\bad?name", true, ERROR_INVALID_NAME, ""},
  };
  for (const auto& [path, parents, expected, madeFolder] : cases) {
    SCOPED_TRACE(path);
    const int result = CreateFolder(path, parents);
    if (expected < 0)
      EXPECT_TRUE(result != 0 && !FolderExists(path)) << result;
    else
      EXPECT_EQ(result, expected);
    EXPECT_TRUE(madeFolder.empty() || FolderExists(madeFolder));
  }
  EXPECT_FALSE(FolderExists(root + "\\p1"));
}

TEST(IsDriveOrShareRoot, RecognisesDrivesAndShares) {
  for (const char* root : {"C:", "c:\\", "Z:/", "\\\\server\\share", "\\\\server\\share\\", "//server/share"})
    EXPECT_TRUE(IsDriveOrShareRoot(root)) << root;
  for (const char* other :
       {"", "C:\\a", "C:a", "1:", "\\\\server", "\\\\server\\", "\\\\server\\share\\in", "\\\\\\share"})
    EXPECT_FALSE(IsDriveOrShareRoot(other)) << other;
}

// Read-only files go; dot-folders stay, and so does the folder that holds one.
TEST_F(FileSystemTest, DeleteAndEmptyFolderKeepOnlyDotFolders) {
  const std::string job = root + "\\job";
  MakeFolders(job, {"\\sub\\deeper", "\\.script", "\\keep\\.thumbs"});
  Write(job + "\\locked.tif", true);
  Write(job + "\\.hidden");  // a file beginning with a dot is no dot-folder
  Write(job + "\\sub\\deeper\\locked.pdf", true);
  Write(job + "\\.script\\results.txt");
  DeleteFolder(job + "\\");
  EXPECT_EQ(std::make_tuple(FileExists(job + "\\.script\\results.txt"), FolderExists(job + "\\keep\\.thumbs"),
                            FolderExists(job + "\\sub"), FileExists(job + "\\locked.tif"),
                            FileExists(job + "\\.hidden")),
            std::make_tuple(true, true, false, false, false));
  Write(job + "\\later.ps", true);
  EmptyFolder(job);
  EXPECT_TRUE(FolderExists(job + "\\.script") && !FileExists(job + "\\later.ps"));

  MakeFolders(root, {"\\gone\\sub"});
  Write(root + "\\gone\\sub\\a.ps", true);
  DeleteFolder(root + "\\gone");
  EXPECT_FALSE(FolderExists(root + "\\gone"));
  DeleteFolder(root + "\\gone");  // no longer there: nothing happens
  Write(root + "\\file.ps");
  DeleteFolder(root + "\\file.ps");
  EXPECT_TRUE(FileExists(root + "\\file.ps"));
}

TEST_F(FileSystemTest, ReplaceWritesExactBytesAndAFailedReplaceKeepsTheTarget) {
  const std::string target = root + "\\group.fgl";
  const std::string bytes("[FileGroupInfo]\r\n\0tail", 23);
  ASSERT_EQ(ReplaceFileContents(target, "keep me"), 0);
  {
    // A reader without delete sharing blocks the replace.
    ScopedHandle reader(::CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.valid());
    EXPECT_NE(ReplaceFileContents(target, bytes), 0);
  }
  EXPECT_TRUE(Contents(target) == "keep me" && !FileExists(target + ".tmp~")) << Contents(target);
  ASSERT_EQ(ReplaceFileContents(target, bytes), 0);
  EXPECT_EQ(std::make_tuple(Contents(target), ::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                            FileExists(target + ".tmp~")),
            std::make_tuple(bytes, DWORD{0}, false));

  std::string text = "stale";
  EXPECT_EQ(ReadWholeFile(root + "\\missing.ini", text), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(text, "");
}

TEST(CopyToGlobalBlock, HoldsTheTextAndZeroFillAndHandlesAreChecked) {
  const char text[] = "C:\\hot\\out\\job.ps";
  char* block = CopyToGlobalBlock(text);
  ASSERT_NE(block, nullptr);
  const SIZE_T size = ::GlobalSize(block);
  ASSERT_GE(size, sizeof text);
  EXPECT_EQ(std::string(block, size), std::string(text) + std::string(size - sizeof text + 1, '\0'));
  EXPECT_EQ(::GlobalFree(block), nullptr);
  EXPECT_EQ(CopyToGlobalBlock(nullptr), nullptr);

  EXPECT_FALSE(IsValidHandle(nullptr));
  EXPECT_FALSE(IsValidHandle(INVALID_HANDLE_VALUE));
  ScopedHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  EXPECT_TRUE(IsValidHandle(event.get()));
}

}  // namespace

}  // namespace hf
