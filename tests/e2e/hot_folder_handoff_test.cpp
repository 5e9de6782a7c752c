// The road of a file through the real DLL: a file copied into a hot folder is
// found by the scanner and handed to the host by GetActionStatus, moved into
// the destination folder (under a new name when its own is taken), or left
// where it is when the task has no destination.
#include "tests/e2e/hot_folder_session.h"

#include "tests/support/win32/global_blocks.h"

#include <algorithm>
#include <cctype>

namespace hf {

namespace hot_folder_e2e {
namespace {

bool IsLowercaseHexWithoutLeadingZero(const std::string& text) {
  if (text.empty() || text[0] == '0') return false;
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f'); });
}

using HandoffTest = HotFolderTest;

TEST_F(HandoffTest, APostScriptFileArrivesInTheDestinationWithItsRecord) {
  const std::string nested = scratch.path() + "made\\nested\\";  // made by the hand-off
  const std::string job = PostScriptJob("Quarterly report", "Alice Archer", 40);
  ASSERT_TRUE(WriteBytes(hot + "report.ps", job));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, nested);
  EXPECT_EQ(task.I32(block::kActionState), 4);

  std::vector<FileRecord> records = PollForRecords(task);
  ASSERT_EQ(records.size(), 1u);
  const FileRecord& r = records[0];
  EXPECT_EQ(r.folder, nested);
  EXPECT_EQ(r.fileName, "report.ps");
  EXPECT_EQ(r.title, "Quarterly report");
  EXPECT_EQ(r.owner, "Alice Archer");
  EXPECT_EQ(r.fileSize, job.size());
  EXPECT_EQ(r.jobType, 1u);
  EXPECT_EQ(r.groupMember, 0u);
  EXPECT_EQ(r.colourType, 0u);
  EXPECT_EQ(r.safeToDelete, 0u);  // as handed over, before the host marked it
  EXPECT_EQ(r.next, nullptr);
  EXPECT_EQ(r.previous, nullptr);
  EXPECT_EQ(r.itemFlags, 0u);
  EXPECT_TRUE(IsLowercaseHexWithoutLeadingZero(r.uniqueId)) << r.uniqueId;
  EXPECT_EQ(r.intakeFailureText, "");
  EXPECT_EQ(task.I32(block::kErrorCode), 0) << task.MessageText();

  EXPECT_FALSE(FileIsThere(hot + "report.ps"));
  std::string arrived;
  ASSERT_TRUE(ReadBytes(nested + "report.ps", arrived));
  EXPECT_EQ(arrived, job);

  // Nothing more is pending; the handed-over list is gone at the next call.
  const void* handedOver = r.address;
  EXPECT_EQ(GetActionStatus(task), 1);
  EXPECT_EQ(task.Pointer(block::kFileList), nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(handedOver));
}

TEST_F(HandoffTest, WithoutADestinationRecordsNameTheHotFolderAndNothingMoves) {
  ASSERT_TRUE(WriteBytes(hot + "a.pdf", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n"));
  ASSERT_TRUE(WriteBytes(hot + "b.ps", PostScriptJob("B", "Bob")));
  ASSERT_EQ(Initialise(), 0);
  // Without the trailing backslash: StartAction adds it.
  RawBlock& task = StartTask(hot.substr(0, hot.size() - 1));
  EXPECT_EQ(task.Text(block::kSourceFolder), hot);

  std::vector<FileRecord> records = PollForRecords(task);
  std::vector<std::string> names = NamesOf(records);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.pdf", "b.ps"}));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].previous, records[0].address);
  EXPECT_EQ(records[0].next, records[1].address);
  for (const FileRecord& r : records) {
    EXPECT_EQ(r.folder, hot);
    EXPECT_EQ(r.jobType, r.fileName == "a.pdf" ? 2u : 1u);
  }
  EXPECT_EQ(FileNamesIn(hot), (std::vector<std::string>{"a.pdf", "b.ps"}));
}

TEST_F(HandoffTest, ANameTakenInTheDestinationGivesTheArrivingFileAUniqueName) {
  ASSERT_TRUE(WriteBytes(out + "x.ps", "already here"));
  const std::string job = PostScriptJob("X", "Xena");
  ASSERT_TRUE(WriteBytes(hot + "x.ps", job));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);

  std::vector<FileRecord> records = PollForRecords(task);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].folder, out);
  EXPECT_EQ(records[0].fileName, "x_0_0_0.ps");
  std::string bytes;
  ASSERT_TRUE(ReadBytes(out + "x_0_0_0.ps", bytes));
  EXPECT_EQ(bytes, job);
  ASSERT_TRUE(ReadBytes(out + "x.ps", bytes));
  EXPECT_EQ(bytes, "already here");
}

// Nothing in the destination is ever replaced; a read-only job is made
// writable to be moved.
TEST_F(HandoffTest, NothingInTheDestinationIsReplacedAndAReadOnlyJobArrivesWritable) {
  ASSERT_TRUE(::CreateDirectoryA((out + "y.ps").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(out + "z.ps", "first z"));
  ASSERT_TRUE(WriteBytes(out + "z_0_0_0.ps", "second z"));
  const std::string y = PostScriptJob("Y", "Yves");
  const std::string z = PostScriptJob("Z", "Zoe");
  const std::string ro = PostScriptJob("Locked", "Rita");
  ASSERT_TRUE(WriteBytes(hot + "y.ps", y));
  ASSERT_TRUE(WriteBytes(hot + "z.ps", z));
  ASSERT_TRUE(WriteBytes(hot + "ro.ps", ro));
  ASSERT_TRUE(::SetFileAttributesA((hot + "ro.ps").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);

  std::vector<FileRecord> records = PollForRecords(task);
  std::vector<std::string> names = NamesOf(records);
  std::sort(names.begin(), names.end());
  // The module-wide counter moves on with every free name it hands out.
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "ro.ps");
  EXPECT_EQ(names[1].rfind("y_0_0_", 0), 0u) << names[1];
  EXPECT_EQ(names[2].rfind("z_0_0_", 0), 0u) << names[2];
  EXPECT_NE(names[2], "z_0_0_0.ps");
  std::string bytes;
  for (const FileRecord& record : records) {
    EXPECT_EQ(record.folder, out);
    ASSERT_TRUE(ReadBytes(out + record.fileName, bytes));
    EXPECT_EQ(bytes, record.fileName[0] == 'y' ? y : record.fileName[0] == 'z' ? z : ro);
  }
  EXPECT_TRUE(::GetFileAttributesA((out + "y.ps").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(::GetFileAttributesA((out + "ro.ps").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  ASSERT_TRUE(ReadBytes(out + "z.ps", bytes));
  EXPECT_EQ(bytes, "first z");
  ASSERT_TRUE(ReadBytes(out + "z_0_0_0.ps", bytes));
  EXPECT_EQ(bytes, "second z");
  EXPECT_TRUE(FileNamesIn(hot).empty());
}

TEST_F(HandoffTest, AFileThatVanishedAfterTheScanIsReportedAndNotHandedOver) {
  ASSERT_TRUE(WriteBytes(hot + "gone.ps", PostScriptJob("Gone", "Gus")));
  ASSERT_TRUE(WriteBytes(hot + "kept.ps", PostScriptJob("Kept", "Kim")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  // The last cycle lists both files; no cycle follows to notice the removal.
  ASSERT_TRUE(ScanOnceAndEnd());
  ASSERT_TRUE(HasMessage(ReceivedMessages(), 3, "Added 2 items to " + hot));
  ASSERT_TRUE(::DeleteFileA((hot + "gone.ps").c_str()));

  ASSERT_EQ(GetActionStatus(task), 0);
  std::vector<FileRecord> records = ReadFileList(task);
  EXPECT_EQ(NamesOf(records), std::vector<std::string>{"kept.ps"});
  EXPECT_EQ(task.I32(block::kErrorCode), -1);
  EXPECT_EQ(task.MessageText(), "GetActionStatus - Cannot MOVE gone.ps, no longer present.\n");
  EXPECT_EQ(FileNamesIn(out), std::vector<std::string>{"kept.ps"});
}

// A folder on another file system (under Wine, Z:\dev\shm is a tmpfs), so
// that a move there cannot be a rename; removed with everything in it.
class OtherVolumeFolder {
 public:
  OtherVolumeFolder() : path_("Z:\\dev\\shm\\hf_handoff_" + std::to_string(::GetCurrentProcessId()) + "\\") {
    made_ = ::CreateDirectoryA(path_.c_str(), nullptr) != 0;
  }
  ~OtherVolumeFolder() {
    if (made_) RemoveTree(path_);
  }
  // True when a plain rename from `from` into this folder fails as a move
  // across volumes does.
  bool IsAnotherVolumeThan(const std::string& from) const {
    if (!made_ || !WriteBytes(from + "probe.tmp", "probe")) return false;
    const bool renamed = ::MoveFileExA((from + "probe.tmp").c_str(), (path_ + "probe.tmp").c_str(), 0) != 0;
    const DWORD error = ::GetLastError();
    ::DeleteFileA((from + "probe.tmp").c_str());
    ::DeleteFileA((path_ + "probe.tmp").c_str());
    return !renamed && error == ERROR_NOT_SAME_DEVICE;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool made_ = false;
};

TEST_F(HandoffTest, AJobMovedToAnotherVolumeEndsInExactlyOnePlace) {
  OtherVolumeFolder other;
  if (!other.IsAnotherVolumeThan(hot)) GTEST_SKIP() << "no second file system at " << other.path();
  const std::string a = PostScriptJob("Across", "Ada");
  const std::string b = PostScriptJob("Held", "Ben");
  ASSERT_TRUE(WriteBytes(hot + "a.ps", a));
  ASSERT_TRUE(WriteBytes(hot + "b.ps", b));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, other.path());
  ASSERT_TRUE(ScanOnceAndEnd());
  ASSERT_TRUE(HasMessage(ReceivedMessages(), 3, "Added 2 items to " + hot));
  // A reader that does not let the file be deleted: the copy of b.ps succeeds,
  // the removal of the original cannot.
  HANDLE reader = ::CreateFileA((hot + "b.ps").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);

  ASSERT_EQ(GetActionStatus(task), 0);
  ::CloseHandle(reader);
  std::vector<FileRecord> records = ReadFileList(task);
  ASSERT_EQ(records.size(), 2u);
  for (const FileRecord& record : records) {
    // a.ps arrived; b.ps stays whole in the hot folder and its record says so.
    EXPECT_EQ(record.folder, record.fileName == "a.ps" ? other.path() : hot) << record.fileName;
  }
  EXPECT_EQ(FileNamesIn(other.path()), std::vector<std::string>{"a.ps"});
  EXPECT_EQ(FileNamesIn(hot), std::vector<std::string>{"b.ps"});
  std::string bytes;
  ASSERT_TRUE(ReadBytes(other.path() + "a.ps", bytes));
  EXPECT_EQ(bytes, a);
  ASSERT_TRUE(ReadBytes(hot + "b.ps", bytes));
  EXPECT_EQ(bytes, b);
  EXPECT_EQ(task.MessageText(), "GetActionStatus - move file failed, Src/Dest files were " + hot + "b.ps -> " +
                                    other.path() + "b.ps\n");
}

TEST_F(HandoffTest, ARestartRequestFreesTheListAndHandsNothingOver) {
  ASSERT_TRUE(WriteBytes(hot + "first.ps", PostScriptJob("First", "Fay")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  ASSERT_EQ(PollForRecords(task).size(), 1u);
  const void* handedOver = task.Pointer(block::kFileList);

  Reader()->Drain();
  ASSERT_TRUE(WriteBytes(hot + "second.ps", PostScriptJob("Second", "Sam")));
  ASSERT_TRUE(WaitForLog("Added 1 items to " + hot));

  // The list handed over before is freed, and the pending file stays pending.
  EXPECT_EQ(GetActionStatus(task, -1), 1);
  EXPECT_EQ(task.Pointer(block::kFileList), nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(handedOver));
  EXPECT_TRUE(FileIsThere(hot + "second.ps"));
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "GAS: caller requests scanner restart."));

  EXPECT_EQ(GetActionStatus(task), 0);
  EXPECT_EQ(NamesOf(ReadFileList(task)), std::vector<std::string>{"second.ps"});
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
