// The file operation on path lists, the reference count of a shared group
// folder and the move of a group file with its folder, on real folders
// (a second drive is mapped for the moves across drives).
#include "common/win32/group_move.h"

#include "common/file_io.h"
#include "common/group_path_checks.h"
#include "common/group_document.h"
#include "common/ini_document.h"
#include "common/path_utils.h"
#include "common/win32/file_system.h"
#include "common/win32/group_ref_count.h"
#include "common/win32/perform_op.h"
#include "common/win32/scoped_handle.h"
#include "tests/support/win32/mapped_drive.h"
#include "tests/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

void Write(const std::string& path, const std::string& text) { ASSERT_TRUE(Put(path, text)) << path; }

// Names of the files and folders in a folder, sorted by the listing.
std::vector<std::string> EntriesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(::FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find.get(), &found));
  return names;
}

CPathList ListOf(std::initializer_list<std::string> paths) {
  CPathList list;
  for (const std::string& path : paths) EXPECT_TRUE(list.Add(path)) << path;
  return list;
}

int Op(std::initializer_list<std::string> from, std::initializer_list<std::string> to, int operation,
       int multipleDestinations = 0) {
  CPathList source = ListOf(from);
  CPathList target = ListOf(to);
  return PerformOp(source.data(), target.data(), operation, multipleDestinations);
}

// ---- path lists ----

TEST(PathListTest, PathsAreEachEndedByANulAndTheListByASecond) {
  CPathList list;
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(std::string(list.data(), list.size()), std::string("\0", 1));
  ASSERT_TRUE(list.Add("C:\\a"));
  ASSERT_TRUE(list.Add("C:\\b.fgl"));
  EXPECT_EQ(std::string(list.data(), list.size()), std::string("C:\\a\0C:\\b.fgl\0\0", 15));

  std::vector<std::string> paths;
  ASSERT_TRUE(SplitPathList(list.data(), paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\a", "C:\\b.fgl"}));
}

TEST(PathListTest, AListNeverExceeds1041Bytes) {
  CPathList list;
  EXPECT_FALSE(list.Add(""));
  EXPECT_FALSE(list.Add(std::string("a\0b", 3)));
  // 1039 characters, their NUL and the final NUL: exactly 1041 bytes.
  ASSERT_TRUE(list.Add(std::string(1039, 'x')));
  EXPECT_EQ(list.size(), kPathListMaxBytes);
  EXPECT_FALSE(list.Add("y"));
  EXPECT_EQ(list.size(), kPathListMaxBytes);

  CPathList tooLong;
  EXPECT_FALSE(tooLong.Add(std::string(1040, 'x')));
  EXPECT_TRUE(tooLong.empty());
}

TEST(PathListTest, ListsWithoutAnEndWithin1041BytesAreRefused) {
  std::vector<std::string> paths;
  EXPECT_FALSE(SplitPathList(nullptr, paths));
  std::string unterminated(2000, 'x');
  EXPECT_FALSE(SplitPathList(unterminated.c_str(), paths));
  EXPECT_TRUE(paths.empty());
  // One NUL but never a second within the limit.
  std::string oneEnd = std::string(10, 'a') + '\0' + std::string(1500, 'b');
  EXPECT_FALSE(SplitPathList(oneEnd.c_str(), paths));
  EXPECT_TRUE(paths.empty());
}

// ---- the file operation ----

class PerformOpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    root = temp.path();
    ASSERT_EQ(CreateFolder(root + "src\\G1", true), 0);
    Write(root + "src\\G1\\a.tif", "a");
    Write(root + "src\\G1\\b.tif", "b");
    Write(root + "src\\G1.fgl", "[FileGroupInfo]\r\n");
  }

  TempFolder temp{"hf_perform_op"};
  std::string root;
};

TEST_F(PerformOpTest, MoveTakesAFolderAndAFileIntoTheDestination) {
  EXPECT_EQ(Op({root + "src\\G1", root + "src\\G1.fgl"}, {root + "dst"}, kFileOpMove), 0);
  EXPECT_EQ(Contents(root + "dst\\G1\\a.tif"), "a");
  EXPECT_EQ(Contents(root + "dst\\G1\\b.tif"), "b");
  EXPECT_TRUE(FileExists(root + "dst\\G1.fgl"));
  EXPECT_FALSE(FolderExists(root + "src\\G1"));
  EXPECT_FALSE(FileExists(root + "src\\G1.fgl"));
}

TEST_F(PerformOpTest, MoveMergesIntoAFolderOfTheSameName) {
  ASSERT_EQ(CreateFolder(root + "dst\\G1", true), 0);
  Write(root + "dst\\G1\\old.tif", "old");
  Write(root + "dst\\G1\\a.tif", "replaced");
  EXPECT_EQ(Op({root + "src\\G1"}, {root + "dst"}, kFileOpMove), 0);
  EXPECT_EQ(Contents(root + "dst\\G1\\a.tif"), "a");
  EXPECT_EQ(Contents(root + "dst\\G1\\b.tif"), "b");
  EXPECT_EQ(Contents(root + "dst\\G1\\old.tif"), "old");
  EXPECT_FALSE(FolderExists(root + "src\\G1"));
}

TEST_F(PerformOpTest, AWildcardMovesEverythingInAFolderIntoItsParent) {
  ASSERT_EQ(CreateFolder(root + "src\\G1\\sub", false), 0);
  Write(root + "src\\G1\\sub\\c.tif", "c");
  Write(root + "src\\G1\\hidden.tif", "h");
  ASSERT_TRUE(::SetFileAttributesA((root + "src\\G1\\hidden.tif").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(Op({root + "src\\G1\\*"}, {root + "src"}, kFileOpMove), 0);
  EXPECT_EQ(Contents(root + "src\\a.tif"), "a");
  EXPECT_EQ(Contents(root + "src\\b.tif"), "b");
  EXPECT_EQ(Contents(root + "src\\hidden.tif"), "h");
  EXPECT_EQ(Contents(root + "src\\sub\\c.tif"), "c");
  EXPECT_TRUE(FolderExists(root + "src\\G1"));
  EXPECT_TRUE(EntriesIn(root + "src\\G1").empty());
}

TEST_F(PerformOpTest, AWildcardThatMatchesNothingIsNoFailure) {
  ASSERT_EQ(CreateFolder(root + "src\\empty", false), 0);
  EXPECT_EQ(Op({root + "src\\empty\\*"}, {root + "src"}, kFileOpMove), 0);
}

TEST_F(PerformOpTest, AMissingSourceFailsAndStopsTheOperation) {
  int result = Op({root + "src\\missing", root + "src\\G1.fgl"}, {root + "dst"}, kFileOpMove);
  EXPECT_TRUE(result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) << result;
  EXPECT_TRUE(FileExists(root + "src\\G1.fgl"));
}

TEST_F(PerformOpTest, AFolderIsNeverMovedIntoItself) {
  EXPECT_EQ(Op({root + "src"}, {root + "src\\G1\\inner"}, kFileOpMove), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Op({root + "src\\G1"}, {root + "src\\G1"}, kFileOpCopy), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Contents(root + "src\\G1\\a.tif"), "a");
  EXPECT_FALSE(FolderExists(root + "src\\G1\\inner"));
}

TEST_F(PerformOpTest, AFolderMovedOntoItselfStaysWhole) {
  EXPECT_EQ(Op({root + "src\\G1"}, {root + "src"}, kFileOpMove), 0);
  EXPECT_EQ(Contents(root + "src\\G1\\a.tif"), "a");
  EXPECT_EQ(Contents(root + "src\\G1\\b.tif"), "b");
}

TEST_F(PerformOpTest, CopyLeavesTheSourcesAndReplacesFilesAtTheTarget) {
  ASSERT_EQ(CreateFolder(root + "dst\\G1", true), 0);
  Write(root + "dst\\G1\\a.tif", "older");
  EXPECT_EQ(Op({root + "src\\G1", root + "src\\G1.fgl"}, {root + "dst"}, kFileOpCopy), 0);
  EXPECT_EQ(Contents(root + "dst\\G1\\a.tif"), "a");
  EXPECT_EQ(Contents(root + "dst\\G1\\b.tif"), "b");
  EXPECT_TRUE(FileExists(root + "dst\\G1.fgl"));
  EXPECT_EQ(Contents(root + "src\\G1\\a.tif"), "a");
  EXPECT_TRUE(FileExists(root + "src\\G1.fgl"));
}

TEST_F(PerformOpTest, DeleteRemovesFoldersWithReadOnlyAndHiddenContent) {
  ASSERT_EQ(CreateFolder(root + "src\\G1\\.dot", false), 0);
  Write(root + "src\\G1\\.dot\\x", "x");
  ASSERT_TRUE(::SetFileAttributesA((root + "src\\G1\\a.tif").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(::SetFileAttributesA((root + "src\\G1\\b.tif").c_str(), FILE_ATTRIBUTE_HIDDEN));
  CPathList sources = ListOf({root + "src\\G1.fgl", root + "src\\G1"});
  EXPECT_EQ(PerformOp(sources.data(), nullptr, kFileOpDelete, 0), 0);
  EXPECT_FALSE(FolderExists(root + "src\\G1"));
  EXPECT_FALSE(FileExists(root + "src\\G1.fgl"));
  EXPECT_TRUE(FolderExists(root + "src"));
}

TEST_F(PerformOpTest, RenameRefusesAnExistingTarget) {
  EXPECT_EQ(Op({root + "src\\G1.fgl"}, {root + "src\\H.fgl"}, kFileOpRename), 0);
  EXPECT_TRUE(FileExists(root + "src\\H.fgl"));
  EXPECT_NE(Op({root + "src\\H.fgl"}, {root + "src\\G1\\a.tif"}, kFileOpRename), 0);
  EXPECT_TRUE(FileExists(root + "src\\H.fgl"));
  EXPECT_EQ(Contents(root + "src\\G1\\a.tif"), "a");
}

TEST_F(PerformOpTest, MultipleDestinationsPairEachSourceWithItsTarget) {
  ASSERT_EQ(CreateFolder(root + "dst", false), 0);
  EXPECT_EQ(Op({root + "src\\G1\\a.tif", root + "src\\G1\\b.tif"}, {root + "dst\\one.tif", root + "dst\\two.tif"},
               kFileOpMove, 1),
            0);
  EXPECT_EQ(Contents(root + "dst\\one.tif"), "a");
  EXPECT_EQ(Contents(root + "dst\\two.tif"), "b");
  EXPECT_EQ(Op({root + "src\\G1.fgl"}, {root + "dst\\x", root + "dst\\y"}, kFileOpMove, 1), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(FileExists(root + "src\\G1.fgl"));
}

TEST_F(PerformOpTest, UnknownOperationsAndBrokenListsAreRefused) {
  CPathList source = ListOf({root + "src\\G1.fgl"});
  CPathList target = ListOf({root + "dst"});
  EXPECT_EQ(PerformOp(source.data(), target.data(), 9, 0), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(PerformOp(source.data(), nullptr, kFileOpMove, 0), ERROR_INVALID_PARAMETER);
  std::string unterminated(1100, 'x');
  EXPECT_EQ(PerformOp(unterminated.c_str(), target.data(), kFileOpMove, 0), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(FileExists(root + "src\\G1.fgl"));
}

// ---- reference count ----

class GroupRefCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    shared = temp.path() + "shared";
    ASSERT_EQ(CreateFolder(shared, false), 0);
  }

  TempFolder temp{"hf_ref_count"};
  std::string shared;
};

TEST_F(GroupRefCountTest, TheCountLivesInTheRefFolderOfTheSharedFolder) {
  CGroupRefCount count(shared);
  EXPECT_EQ(count.countFilePath(), shared + "\\_ref\\_ref.ini");
  EXPECT_TRUE(FolderExists(shared + "\\_ref"));
  std::string expectedName = shared + "\\_ref";
  for (char& c : expectedName) c = c == '\\' ? '_' : c;
  EXPECT_EQ(count.mutexName(), expectedName);

  // A file path counts the folder that holds it.
  Write(shared + "\\member.tif", "m");
  EXPECT_EQ(CGroupRefCount(shared + "\\member.tif").countFilePath(), shared + "\\_ref\\_ref.ini");
}

TEST_F(GroupRefCountTest, AddRefRaisesTheCountByOneAndSavesIt) {
  CGroupRefCount count(shared);
  EXPECT_EQ(count.GetRefCount(), 0);
  EXPECT_FALSE(FileExists(count.countFilePath()));
  EXPECT_EQ(count.AddRef(), 1);
  EXPECT_EQ(count.AddRef(), 2);
  EXPECT_EQ(count.GetRefCount(), 2);
  EXPECT_EQ(Contents(count.countFilePath()), "[RefCount]\r\nCount=2\r\n");

  CGroupRefCount another(shared);
  EXPECT_EQ(another.GetRefCount(), 2);
}

TEST_F(GroupRefCountTest, AnUnreadableCountFileIsLeftAlone) {
  CGroupRefCount count(shared);
  Write(count.countFilePath(), "[RefCount]\r\nCount=5\r\n");
  {
    ScopedHandle holder(::CreateFileA(count.countFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    LogCapture log;
    EXPECT_EQ(count.GetRefCount(), 0);
    EXPECT_EQ(count.AddRef(), 0);
    EXPECT_TRUE(log.Has(2, "CGroupRefCount: cannot read <" + count.countFilePath() + ">"));
  }
  EXPECT_EQ(count.GetRefCount(), 5);
}

TEST_F(GroupRefCountTest, ConcurrentCountersLoseNoReference) {
  constexpr int kThreads = 4;
  constexpr int kEach = 15;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this] {
      CGroupRefCount count(shared);
      for (int i = 0; i < kEach; ++i) count.AddRef();
    });
  }
  for (std::thread& thread : threads) thread.join();
  CGroupRefCount count(shared);
  EXPECT_EQ(count.GetRefCount(), kThreads * kEach);
}

// ---- the move of a group ----

class GroupMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    hot = temp.path() + "hot\\";
    out = temp.path() + "out\\";
    ASSERT_EQ(CreateFolder(hot, false), 0);
    ASSERT_EQ(CreateFolder(out, false), 0);
  }

  // hot\<name> with two members and hot\<name>.fgl naming `folderPath`
  // (the group's own folder when empty).
  std::string MakeGroup(const std::string& name, const std::string& settings = std::string(),
                        std::string folderPath = std::string()) {
    const std::string folder = hot + name;
    EXPECT_EQ(CreateFolder(folder, false), 0);
    Write(folder + "\\a.tif", "a");
    Write(folder + "\\b.tif", "b");
    if (folderPath.empty()) folderPath = folder;
    const std::string groupFile = hot + name + ".fgl";
    Write(groupFile, "[FileGroupInfo]\r\nFolderPath=" + folderPath + "\r\nGroupName=" + name +
                         "\r\n\r\n[SettingsInfo]\r\nGroupMethod=2\r\n" + settings +
                         "\r\n[FileInfo]\r\na.tif=Cyan,JOB,255,0,0,0,1,1\r\nb.tif=Black,JOB,0,0,0,255,1,1\r\n");
    return groupFile;
  }

  static std::string FolderPathIn(const std::string& groupFile) {
    std::string value;
    CGroupDocument::ReadTextFromFile(groupFile, kFileGroupInfoSection, "FolderPath", value);
    return value;
  }

  TempFolder temp{"hf_group_move"};
  std::string hot;
  std::string out;
};

TEST_F(GroupMoveTest, AGroupTravelsWithItsFolderAndNamesItsNewPlace) {
  const std::string groupFile = MakeGroup("JOB");
  LogCapture log;
  EXPECT_EQ(Move(groupFile, out, hot), 0);
  EXPECT_TRUE(log.Has(3, "MoveCopy()"));
  EXPECT_FALSE(FileExists(groupFile));
  EXPECT_FALSE(FolderExists(hot + "JOB"));
  EXPECT_EQ(Contents(out + "JOB\\a.tif"), "a");
  EXPECT_EQ(Contents(out + "JOB\\b.tif"), "b");
  EXPECT_EQ(FolderPathIn(out + "JOB.fgl"), out + "JOB");

  // Everything else in the group file is as it was.
  CIniDocument moved;
  ASSERT_TRUE(moved.Load(out + "JOB.fgl"));
  CGroupDocumentReader reader(moved);
  std::string text;
  reader.GetGroupName(text);
  EXPECT_EQ(text, "JOB");
  EXPECT_EQ(reader.GetFileInfoNames(), (std::vector<std::string>{"a.tif", "b.tif"}));
  reader.GetFileInfo("b.tif", text);
  EXPECT_EQ(text, "Black,JOB,0,0,0,255,1,1");
}

TEST_F(GroupMoveTest, AFolderOfAnotherNameKeepsItsOwnName) {
  ASSERT_EQ(CreateFolder(hot + "separations", false), 0);
  Write(hot + "separations\\c.tif", "c");
  const std::string groupFile = hot + "ticket.fgl";
  Write(groupFile, "[FileGroupInfo]\r\nFolderPath=" + hot + "separations\\\r\n");
  EXPECT_EQ(Move(groupFile, out, hot), 0);
  EXPECT_EQ(Contents(out + "separations\\c.tif"), "c");
  EXPECT_EQ(FolderPathIn(out + "ticket.fgl"), out + "separations");
}

TEST_F(GroupMoveTest, ASharedFolderStaysAndCountsEachGroupFile) {
  const std::string shared = temp.path() + "shared";
  ASSERT_EQ(CreateFolder(shared, false), 0);
  Write(shared + "\\a.tif", "a");
  const std::string first = hot + "one.fgl";
  const std::string second = hot + "two.fgl";
  const std::string text = "[FileGroupInfo]\r\nFolderPath=" + shared + "\r\n[SettingsInfo]\r\nNoMoveCopyFolder=Yes\r\n";
  Write(first, text);
  Write(second, text);

  EXPECT_EQ(Move(first, out, hot), 0);
  EXPECT_EQ(Move(second, out, hot), 0);
  EXPECT_TRUE(FileExists(out + "one.fgl"));
  EXPECT_TRUE(FileExists(out + "two.fgl"));
  EXPECT_FALSE(FileExists(first));
  EXPECT_EQ(Contents(shared + "\\a.tif"), "a");
  EXPECT_EQ(FolderPathIn(out + "one.fgl"), shared);
  EXPECT_EQ(CGroupRefCount(shared).GetRefCount(), 2);
  EXPECT_EQ(Contents(shared + "\\_ref\\_ref.ini"), "[RefCount]\r\nCount=2\r\n");
}

TEST_F(GroupMoveTest, ASharedGroupFileThatFailsToMoveAddsNoReference) {
  const std::string shared = temp.path() + "shared";
  ASSERT_EQ(CreateFolder(shared, false), 0);
  const std::string groupFile = hot + "one.fgl";
  Write(groupFile, "[FileGroupInfo]\r\nFolderPath=" + shared + "\r\n[SettingsInfo]\r\nNoMoveCopyFolder=Yes\r\n");
  ASSERT_EQ(CreateFolder(out + "one.fgl", false), 0);  // the group file cannot land
  EXPECT_EQ(Move(groupFile, out, hot), kGroupMoveOperationFailed);
  EXPECT_EQ(Move(groupFile, out, hot), kGroupMoveOperationFailed);
  EXPECT_TRUE(FileExists(groupFile));
  EXPECT_EQ(CGroupRefCount(shared).GetRefCount(), 0);
}

TEST_F(GroupMoveTest, PathCheckFailuresMoveNothing) {
  const std::string groupFile = MakeGroup("JOB");
  EXPECT_EQ(Move("", out, hot), kPathEmpty);
  EXPECT_EQ(Move(hot + "absent.fgl", out, hot), kPathMissing);
  Write(hot + "JOB.txt", Contents(groupFile));
  EXPECT_EQ(Move(hot + "JOB.txt", out, hot), kPathNotGroupFile);
  EXPECT_EQ(Move(groupFile, temp.path() + "no-such-folder", hot), kPathMissing);
  EXPECT_EQ(Move(groupFile, "", hot), kPathEmpty);

  const std::string orphan = MakeGroup("ORPHAN", "", hot + "vanished");
  LogCapture log;
  EXPECT_EQ(Move(orphan, out, hot), kPathMissing);
  EXPECT_TRUE(
      HasLineStartingWith(log, 2, "group_move.cpp(", "): Path <" + hot + "vanished> is invalid: non-folder/missing"));
  EXPECT_TRUE(FileExists(groupFile));
  EXPECT_TRUE(FileExists(orphan));
  EXPECT_TRUE(EntriesIn(out).empty());
}

TEST_F(GroupMoveTest, DangerousFolderPathsAreRefused) {
  const std::string cases[] = {
      hot,                              // the hot folder itself
      temp.path(),                      // a folder above the hot folder and the destination
      out,                              // the destination
      hot + "JOB\\..",                  // the hot folder, spelled through ".."
      temp.path().substr(0, 3),         // the drive root
  };
  const std::string groupFile = MakeGroup("JOB");
  for (const std::string& folderPath : cases) {
    Write(groupFile, "[FileGroupInfo]\r\nFolderPath=" + folderPath + "\r\n");
    LogCapture log;
    EXPECT_EQ(Move(groupFile, out, hot), kGroupMoveRefused) << folderPath;
    EXPECT_TRUE(HasLineStartingWith(log, 2, "Refusing to move group folder <" + folderPath + ">: ")) << folderPath;
    EXPECT_TRUE(FileExists(groupFile));
    EXPECT_EQ(Contents(hot + "JOB\\a.tif"), "a");
    EXPECT_EQ(EntriesIn(out), std::vector<std::string>{});
  }
}

TEST_F(GroupMoveTest, ARelativeFolderPathIsRefused) {
  const std::string groupFile = MakeGroup("JOB");
  // Relative to the current folder, which is made to hold a "JOB" folder.
  char previous[MAX_PATH];
  ASSERT_NE(::GetCurrentDirectoryA(sizeof previous, previous), 0u);
  ASSERT_TRUE(::SetCurrentDirectoryA(hot.c_str()));
  Write(groupFile, "[FileGroupInfo]\r\nFolderPath=JOB\r\n");
  int result = Move(groupFile, out, hot);
  ::SetCurrentDirectoryA(previous);
  EXPECT_EQ(result, kGroupMoveRefused);
  EXPECT_TRUE(FileExists(groupFile));
  EXPECT_EQ(Contents(hot + "JOB\\a.tif"), "a");
}

TEST_F(GroupMoveTest, AFailedMoveLeavesTheGroupWholeWhereItWas) {
  const std::string groupFile = MakeGroup("JOB");
  // A folder where the group file should land makes the second step fail.
  ASSERT_EQ(CreateFolder(out + "JOB.fgl", false), 0);
  LogCapture log;
  EXPECT_EQ(Move(groupFile, out, hot), kGroupMoveOperationFailed);
  EXPECT_TRUE(HasLineStartingWith(log, -1, "PerformOp() failed - "));
  EXPECT_TRUE(FileExists(groupFile));
  EXPECT_EQ(Contents(hot + "JOB\\a.tif"), "a");
  EXPECT_EQ(Contents(hot + "JOB\\b.tif"), "b");
  EXPECT_FALSE(FolderExists(out + "JOB"));
  EXPECT_EQ(FolderPathIn(groupFile), hot + "JOB");
}

TEST_F(GroupMoveTest, AMoveToAnotherDriveCopiesAndThenDeletes) {
  TempFolder driveFolder("hf_second_drive");
  ASSERT_TRUE(driveFolder.ok());
  MappedDrive drive(driveFolder.path());
  ASSERT_TRUE(drive.ok()) << drive.error();
  const std::string destination = drive.root() + "out";
  ASSERT_EQ(CreateFolder(destination, false), 0);

  const std::string groupFile = MakeGroup("JOB");
  LogCapture log;
  EXPECT_EQ(Move(groupFile, destination, hot), 0);
  EXPECT_EQ(Contents(destination + "\\JOB\\a.tif"), "a");
  EXPECT_EQ(Contents(destination + "\\JOB\\b.tif"), "b");
  EXPECT_EQ(FolderPathIn(destination + "\\JOB.fgl"), destination + "\\JOB");
  EXPECT_FALSE(FileExists(groupFile));
  EXPECT_FALSE(FolderExists(hot + "JOB"));
  // The same bytes through the drive's own folder: it is a mapping, not a copy.
  EXPECT_EQ(Contents(driveFolder.path() + "out\\JOB\\a.tif"), "a");
}

}  // namespace
