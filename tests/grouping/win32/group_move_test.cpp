// Path-list file operations, the shared folder's reference count and group moves, on real folders.
#include "grouping/win32/group_move.h"

#include "base/file_io.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/perform_op.h"
#include "base/win32/scoped_handle.h"
#include "grouping/group_document.h"
#include "grouping/win32/group_ref_count.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/mapped_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace hf {

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

// The paths, each below `root`, as a path list.
CPathList ListOf(const std::string& root, const std::vector<std::string>& paths) {
  CPathList list;
  for (const std::string& path : paths) EXPECT_TRUE(list.Add(root + path)) << path;
  return list;
}

// ---- path lists ----

// Paths end with a NUL, the list with a second, within 1041 bytes.
TEST(PathListTest, PathsAreEndedByANulAndTheListByASecondWithin1041Bytes) {
  CPathList list = ListOf("C:\\", {"a", "b.fgl"});
  EXPECT_FALSE(list.Add(""));
  EXPECT_FALSE(list.Add(std::string("a\0b", 3)));
  EXPECT_EQ(std::string(list.data(), list.size()), std::string("C:\\a\0C:\\b.fgl\0\0", 15));
  std::vector<std::string> paths;
  ASSERT_TRUE(SplitPathList(list.data(), paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\a", "C:\\b.fgl"}));

  CPathList full;
  EXPECT_FALSE(full.Add(std::string(1040, 'x')));
  ASSERT_TRUE(full.Add(std::string(1039, 'x')));  // its NUL and the final NUL: exactly 1041 bytes
  EXPECT_FALSE(full.Add("y"));
  EXPECT_EQ(full.size(), kPathListMaxBytes);

  const std::string oneEnd = std::string(10, 'a') + '\0' + std::string(1500, 'b');  // never a second NUL
  EXPECT_FALSE(SplitPathList(oneEnd.c_str(), paths));
  EXPECT_FALSE(SplitPathList(nullptr, paths));
  EXPECT_EQ(PerformOp(oneEnd.c_str(), "C:\\dst\0", kFileOpMove, 0), ERROR_INVALID_PARAMETER);
}

// ---- the file operation ----

// One PerformOp on a fresh "src\G1" (a.tif, b.tif) and "src\G1.fgl"; paths are "|"-separated: "x\" a folder,
// "x=text" a file and its bytes, "hidden:x"/"readonly:x" an attribute, "x" a file, "x\*" an empty folder, "!x" none.
constexpr int kAnyFailure = -1, kNotFound = -2;
struct OpRow {
  int operation, multiple;
  const char *prepare, *from, *to;  // no targets: a null list
  int result;
  const char* after;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  for (size_t at = 0; !text.empty() && at <= text.size();) {
    const size_t bar = std::min(text.find('|', at), text.size());
    parts.push_back(text.substr(at, bar - at));
    at = bar + 1;
  }
  return parts;
}

void Prepare(const std::string& root, const std::string& entry) {
  const size_t colon = entry.find(':');
  const size_t equals = entry.find('=');
  if (colon != std::string::npos) {
    const DWORD attribute = entry.compare(0, colon, "hidden") == 0 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_READONLY;
    ASSERT_TRUE(::SetFileAttributesA((root + entry.substr(colon + 1)).c_str(), attribute)) << entry;
  } else if (equals != std::string::npos) {
    Write(root + entry.substr(0, equals), entry.substr(equals + 1));
  } else {
    ASSERT_EQ(CreateFolder(root + entry, true), 0) << entry;
  }
}

void Check(const std::string& root, const std::string& entry) {
  const size_t equals = entry.find('=');
  if (equals != std::string::npos) {
    EXPECT_EQ(Contents(root + entry.substr(0, equals)), entry.substr(equals + 1)) << entry;
  } else if (entry[0] == '!') {
    EXPECT_FALSE(FileExists(root + entry.substr(1)) || FolderExists(root + entry.substr(1))) << entry;
  } else if (entry.size() > 2 && entry.compare(entry.size() - 2, 2, "\\*") == 0) {
    EXPECT_TRUE(FolderExists(root + entry.substr(0, entry.size() - 2))) << entry;
    EXPECT_TRUE(EntriesIn(root + entry.substr(0, entry.size() - 2)).empty()) << entry;
  } else if (entry.back() == '\\') {
    EXPECT_TRUE(FolderExists(root + entry)) << entry;
  } else {
    EXPECT_TRUE(FileExists(root + entry)) << entry;
  }
}

TEST(PerformOpTest, EachOperationLeavesTheFilesItShould) {
  constexpr int kBad = ERROR_INVALID_PARAMETER;
  const OpRow rows[] = {
      {kFileOpMove, 0, "", "src\\G1|src\\G1.fgl", "dst", 0,
       "dst\\G1\\a.tif=a|dst\\G1\\b.tif=b|dst\\G1.fgl|!src\\G1|!src\\G1.fgl"},
      {kFileOpMove, 0, "dst\\G1\\|dst\\G1\\old.tif=old|dst\\G1\\a.tif=replaced", "src\\G1", "dst", 0,
       "dst\\G1\\a.tif=a|dst\\G1\\b.tif=b|dst\\G1\\old.tif=old|!src\\G1"},
      {kFileOpMove, 0, "src\\G1\\sub\\|src\\G1\\sub\\c.tif=c|src\\G1\\hidden.tif=h|hidden:src\\G1\\hidden.tif",
       "src\\G1\\*", "src", 0, "src\\a.tif=a|src\\b.tif=b|src\\hidden.tif=h|src\\sub\\c.tif=c|src\\G1\\*"},
      {kFileOpMove, 0, "src\\empty\\", "src\\empty\\*", "src", 0, "src\\empty\\*"},
      {kFileOpMove, 0, "", "src\\missing|src\\G1.fgl", "dst", kNotFound, "src\\G1.fgl|!dst\\G1.fgl"},
      {kFileOpMove, 0, "", "src", "src\\G1\\inner", kBad, "src\\G1\\a.tif=a|!src\\G1\\inner"},
      {kFileOpCopy, 0, "", "src\\G1", "src\\G1", kBad, "src\\G1\\a.tif=a|!src\\G1\\G1"},
      {kFileOpMove, 0, "", "src\\G1", "src", 0, "src\\G1\\a.tif=a|src\\G1\\b.tif=b"},
      {kFileOpCopy, 0, "dst\\G1\\|dst\\G1\\a.tif=older", "src\\G1|src\\G1.fgl", "dst", 0,
       "dst\\G1\\a.tif=a|dst\\G1\\b.tif=b|dst\\G1.fgl|src\\G1\\a.tif=a|src\\G1.fgl"},
      {kFileOpDelete, 0, "src\\G1\\.dot\\|src\\G1\\.dot\\x=x|readonly:src\\G1\\a.tif|hidden:src\\G1\\b.tif",
       "src\\G1.fgl|src\\G1", "", 0, "!src\\G1|!src\\G1.fgl|src\\"},
      {kFileOpRename, 0, "", "src\\G1.fgl", "src\\H.fgl", 0, "src\\H.fgl|!src\\G1.fgl"},
      {kFileOpRename, 0, "", "src\\G1.fgl", "src\\G1\\a.tif", kAnyFailure, "src\\G1.fgl|src\\G1\\a.tif=a"},
      {kFileOpMove, 1, "dst\\", "src\\G1\\a.tif|src\\G1\\b.tif", "dst\\one.tif|dst\\two.tif", 0,
       "dst\\one.tif=a|dst\\two.tif=b"},
      {kFileOpMove, 1, "", "src\\G1.fgl", "dst\\x|dst\\y", kBad, "src\\G1.fgl"},
      {9, 0, "", "src\\G1.fgl", "dst", kBad, "src\\G1.fgl"},
      {kFileOpMove, 0, "", "src\\G1.fgl", "", kBad, "src\\G1.fgl"},
  };
  for (const OpRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TempFolder temp("perform_op");
    ASSERT_TRUE(temp.ok());
    const std::string& root = temp.path();
    for (const char* entry : {"src\\G1\\", "src\\G1\\a.tif=a", "src\\G1\\b.tif=b", "src\\G1.fgl=[FileGroupInfo]\r\n"})
      Prepare(root, entry);
    for (const std::string& entry : Split(row.prepare)) Prepare(root, entry);
    const CPathList source = ListOf(root, Split(row.from));
    const CPathList target = ListOf(root, Split(row.to));
    const int result = PerformOp(source.data(), *row.to ? target.data() : nullptr, row.operation, row.multiple);
    if (row.result == kAnyFailure)
      EXPECT_NE(result, 0);
    else if (row.result == kNotFound)
      EXPECT_TRUE(result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) << result;
    else
      EXPECT_EQ(result, row.result);
    for (const std::string& entry : Split(row.after)) Check(root, entry);
  }
}

// ---- the reference count and the move of a group ----

class GroupMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    for (const std::string& folder : {hot, out, shared}) ASSERT_EQ(CreateFolder(folder, false), 0);
  }

  // hot\<name> with two members and hot\<name>.fgl naming it.
  std::string MakeGroup(const std::string& name) {
    const std::string folder = hot + name;
    EXPECT_EQ(CreateFolder(folder, false), 0);
    Write(folder + "\\a.tif", "a");
    Write(folder + "\\b.tif", "b");
    Write(hot + name + ".fgl", "[FileGroupInfo]\r\nFolderPath=" + folder + "\r\nGroupName=" + name + "\r\n");
    return hot + name + ".fgl";
  }

  static std::string FolderPathIn(const std::string& groupFile) {
    std::string folderPath;
    CGroupDocument::ReadTextFromFile(groupFile, kFileGroupInfoSection, "FolderPath", folderPath);
    return folderPath;
  }

  TempFolder temp{"group_move"};
  const std::string hot = temp.path() + "hot\\";
  const std::string out = temp.path() + "out\\";
  const std::string shared = temp.path() + "shared";
};

TEST_F(GroupMoveTest, AddRefRaisesTheCountInTheRefFolderOfTheSharedFolderUnlessItCannotBeRead) {
  CGroupRefCount count(shared);
  EXPECT_EQ(count.countFilePath(), shared + "\\_ref\\_ref.ini");
  std::string expectedName = shared + "\\_ref";
  for (char& c : expectedName) c = c == '\\' ? '_' : c;
  EXPECT_EQ(count.mutexName(), expectedName);

  EXPECT_EQ(count.GetRefCount(), 0);
  EXPECT_FALSE(FileExists(count.countFilePath()));
  EXPECT_EQ(count.AddRef(), 1);
  EXPECT_EQ(count.AddRef(), 2);
  EXPECT_EQ(Contents(count.countFilePath()), "[RefCount]\r\nCount=2\r\n");

  // A file path counts the folder that holds it.
  Write(shared + "\\member.tif", "m");
  EXPECT_EQ(CGroupRefCount(shared + "\\member.tif").GetRefCount(), 2);

  // A count file that cannot be read is left alone.
  {
    ScopedHandle holder(::CreateFileA(count.countFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    LogCapture log;
    EXPECT_EQ(count.GetRefCount(), 0);
    EXPECT_EQ(count.AddRef(), 0);
    EXPECT_TRUE(log.Has(2, "CGroupRefCount: cannot read <" + count.countFilePath() + ">"));
  }
  EXPECT_EQ(count.GetRefCount(), 2);
}

TEST_F(GroupMoveTest, ConcurrentCountersLoseNoReference) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([this] {
      for (int i = 0; i < 15; ++i) CGroupRefCount(shared).AddRef();
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(CGroupRefCount(shared).GetRefCount(), 60);
}

// A name taken in the destination gives the group file and its folder a free name together.
TEST_F(GroupMoveTest, AGroupWhoseNameIsTakenTravelsUnderAFreeNameReplacingNothing) {
  const std::string groupFile = MakeGroup("JOB");
  ASSERT_EQ(CreateFolder(out + "JOB", false), 0);
  Write(out + "JOB\\a.tif", "earlier job");
  Write(out + "JOB_1.fgl", "taken too");
  const GroupMoveResult result = Move(groupFile, out, hot);
  EXPECT_TRUE(result.moved());
  EXPECT_EQ(result.arrivedAs, out + "JOB_2.fgl");
  EXPECT_EQ(Contents(out + "JOB\\a.tif") + "|" + Contents(out + "JOB_1.fgl") + "|" + Contents(out + "JOB_2\\a.tif"),
            "earlier job|taken too|a");
  EXPECT_EQ(FolderPathIn(out + "JOB_2.fgl"), out + "JOB_2");
  EXPECT_FALSE(FileExists(groupFile));

  const std::string sharedGroup = hot + "one.fgl";
  Write(sharedGroup, "[FileGroupInfo]\r\nFolderPath=" + shared + "\r\n[SettingsInfo]\r\nNoMoveCopyFolder=Yes\r\n");
  ASSERT_EQ(CreateFolder(out + "one.fgl", false), 0);  // a folder holds the name
  EXPECT_EQ(Move(sharedGroup, out, hot).arrivedAs, out + "one_1.fgl");
  EXPECT_EQ(CGroupRefCount(shared).GetRefCount(), 1);
}

TEST_F(GroupMoveTest, DangerousFolderPathsAreRefused) {
  const std::string cases[] = {
      hot,                       // the hot folder itself
      temp.path(),               // a folder above the hot folder and the destination
      out,                       // the destination
      hot + "JOB\\..",           // the hot folder, spelled through ".."
      temp.path().substr(0, 3),  // the drive root
      "JOB",                     // relative, though the current folder holds a "JOB"
  };
  const std::string groupFile = MakeGroup("JOB");
  char previous[MAX_PATH];
  ASSERT_NE(::GetCurrentDirectoryA(sizeof previous, previous), 0u);
  ASSERT_TRUE(::SetCurrentDirectoryA(hot.c_str()));
  for (const std::string& folderPath : cases) {
    SCOPED_TRACE(folderPath);
    Write(groupFile, "[FileGroupInfo]\r\nFolderPath=" + folderPath + "\r\n");
    LogCapture log;
    EXPECT_EQ(Move(groupFile, out, hot), GroupMoveResult::Refused());
    EXPECT_TRUE(HasLineStartingWith(log, 2, "Refusing to move group folder <" + folderPath + ">: "));
    EXPECT_TRUE(FileExists(groupFile));
    EXPECT_EQ(Contents(hot + "JOB\\a.tif"), "a");
    EXPECT_EQ(EntriesIn(out), std::vector<std::string>{});
  }
  ::SetCurrentDirectoryA(previous);
}

TEST_F(GroupMoveTest, AFailedMoveLeavesTheGroupWholeWhereItWas) {
  const std::string groupFile = MakeGroup("JOB");
  // A group file held open (readable, but not to be moved) makes the second step fail.
  ScopedHandle holder(::CreateFileA(groupFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder.valid());
  LogCapture log;
  EXPECT_EQ(Move(groupFile, out, hot), GroupMoveResult::OperationFailed());
  holder.reset();
  EXPECT_TRUE(HasLineStartingWith(log, -1, "PerformOp() failed - "));
  EXPECT_EQ(Contents(hot + "JOB\\a.tif") + Contents(hot + "JOB\\b.tif"), "ab");
  EXPECT_FALSE(FolderExists(out + "JOB"));
  EXPECT_EQ(FolderPathIn(groupFile), hot + "JOB");  // so the group file is there too
}

// A group reaches the destination once, whole and naming its folder there, or
// stays whole where it was: on one drive and across drives.
TEST_F(GroupMoveTest, AGroupIsDeliveredOnceOrNotAtAll) {
  TempFolder driveFolder("hf_second_drive");
  ASSERT_TRUE(driveFolder.ok());
  MappedDrive drive(driveFolder.path());
  ASSERT_TRUE(drive.ok()) << drive.error();
  const std::string remote = drive.root() + "out\\";
  ASSERT_EQ(CreateFolder(remote, false), 0);
  const std::string groupFile = MakeGroup("JOB");
  auto stayedWhole = [&](const std::string& destination, const std::vector<std::string>& entries) {
    EXPECT_EQ(EntriesIn(destination), entries);
    EXPECT_EQ(Contents(hot + "JOB\\a.tif"), "a");
    EXPECT_EQ(FolderPathIn(groupFile), hot + "JOB");
  };
  // A group file that cannot be rewritten where it arrives (a folder holds the
  // name its new text is written to first) is moved back, or its copy removed.
  for (const std::string& destination : {out, remote}) {
    SCOPED_TRACE(destination);
    ASSERT_EQ(CreateFolder(destination + "JOB.fgl.tmp~", false), 0);
    EXPECT_EQ(Move(groupFile, destination, hot), GroupMoveResult::OperationFailed());
    stayedWhole(destination, {"JOB.fgl.tmp~"});
    ASSERT_TRUE(::RemoveDirectoryA((destination + "JOB.fgl.tmp~").c_str()));
  }
  {  // Across drives, an original that cannot be deleted after its copy: the copies go.
    ScopedHandle holder(::CreateFileA(groupFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());
    EXPECT_EQ(Move(groupFile, remote, hot), GroupMoveResult::OperationFailed());
  }
  stayedWhole(remote, {});
  const GroupMoveResult moved = Move(groupFile, remote, hot);
  EXPECT_TRUE(moved.moved());
  EXPECT_EQ(FolderPathIn(moved.arrivedAs), remote + "JOB");
  EXPECT_EQ(Contents(remote + "JOB\\b.tif"), "b");
  EXPECT_FALSE(FileExists(groupFile));
  EXPECT_FALSE(FolderExists(hot + "JOB"));
}

}  // namespace

}  // namespace hf
