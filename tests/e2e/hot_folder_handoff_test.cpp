// Which files the scanner of the real DLL admits, and how GetActionStatus hands them over.
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/hot_folder_session.h"

#include "base/win32/scoped_handle.h"

#include <tuple>

namespace hf::hot_folder_e2e {
namespace {

using HandoffTest = HotFolderTest;

// Runs a Linux command line and waits (at most 10 s) until `done` holds: Wine cannot wait for it.
template <typename Done>
bool RunUnixUntil(std::string commandLine, Done done) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  for (DWORD started = ::GetTickCount(); ::GetTickCount() - started < 10000; ::Sleep(20))
    if (done()) return true;
  return false;
}

// Puts a job into `folder` under a name no Windows program can make, with the machine's "mv".
bool StageUnderUnixName(const ScratchFolder& scratch, const std::string& folder, const std::string& name,
                        const std::string& bytes) {
  const std::string staged = scratch.path() + "staged.ps";
  const std::string unixFolder = UnixPathOf(folder);
  if (unixFolder.empty() || !WriteBytes(staged, bytes)) return false;
  return RunUnixUntil("/bin/mv \"" + UnixPathOf(staged) + "\" \"" + unixFolder + "/" + name + "\"",
                      [&] { return !FileIsThere(staged); });
}

TEST_F(HandoffTest, AFileHeldOpenByAWriterIsTakenOnlyOnceItIsClosed) {
  ASSERT_TRUE(WriteBytes(hot + "free.ps", PostScriptJob("Free", "Fred")));
  ScopedHandle writer(::CreateFileA((hot + "busy.ps").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.valid());
  const std::string halves[] = {"%!PS-Adobe-3.0\n%%Title: Busy\n", "showpage\n%%EOF\n"};
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(writer.get(), halves[0].data(), static_cast<DWORD>(halves[0].size()), &written, nullptr));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  EXPECT_EQ(NamesOf(CollectRecords(task)), std::vector<std::string>{"free.ps"});
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "File is in use (spooling?) : " + hot + "busy.ps"));
  EXPECT_TRUE(FileIsThere(hot + "busy.ps"));

  ASSERT_TRUE(::WriteFile(writer.get(), halves[1].data(), static_cast<DWORD>(halves[1].size()), &written, nullptr));
  writer.reset();
  std::vector<FileRecord> records = CollectRecords(task);
  ASSERT_EQ(NamesOf(records), std::vector<std::string>{"busy.ps"});
  EXPECT_EQ(records[0].fileSize, halves[0].size() + halves[1].size());
  EXPECT_EQ(BytesOf(out + "busy.ps"), halves[0] + halves[1]);
}

TEST_F(HandoffTest, AQuestionMarkInANameIsReplacedByAnUnderscoreBeforeTheHandOver) {
  const std::string job = PostScriptJob("Why", "Yves");
  if (UnixPathOf(hot).empty()) GTEST_SKIP() << "needs Wine to make a name with a question mark";
  ASSERT_TRUE(StageUnderUnixName(scratch, hot, "why?not.ps", job));
  ASSERT_EQ(FileNamesIn(hot), std::vector<std::string>{"why?not.ps"});
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  std::vector<FileRecord> records = CollectRecords(task);
  ASSERT_EQ(NamesOf(records), std::vector<std::string>{"why_not.ps"});
  EXPECT_EQ(records[0].folder, out);
  EXPECT_EQ(BytesOf(out + "why_not.ps"), job);
  EXPECT_TRUE(FileNamesIn(hot).empty());
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 3, "Badly named file, attempting to rename it physically."));
}

TEST_F(HandoffTest, ABadNameThatCannotBeRenamedIsExcludedFromThenOn) {
  if (UnixPathOf(hot).empty()) GTEST_SKIP() << "needs Wine to make a name with a tab";
  // A control character: the file has no short name to be reached by.
  ASSERT_TRUE(StageUnderUnixName(scratch, hot, "tab\there.ps", PostScriptJob("Tab", "Tim")));
  ASSERT_TRUE(WriteBytes(hot + "tab here.ps.other", PostScriptJob("Other", "Oz")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, scratch.path() + "out\\");
  ASSERT_TRUE(WaitForLog("TimerAction complete"));
  // The scanner writes no host's block (the host may have freed it), it logs the system error.
  EXPECT_EQ(init.I32(block::kErrorCode), 0);
  EXPECT_TRUE(HasMessageStarting(ReceivedMessages(), 0, "! MoveFile on BadFileName failed at line "));
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_EQ(CountMessages(messages, 3, "Badly named file, attempting to rename it physically."), 0);
  EXPECT_TRUE(HasMessage(messages, 3, "Ignoring excluded file: tab here.ps"));
  // The entry matches that name only; the host is told of the stuck job at its next poll, once.
  std::vector<FileRecord> records = CollectRecords(task);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].fileName, "tab here.ps.other");
  EXPECT_EQ(task.MessageText(), "HF: " + hot +
                                    "tab\there.ps cannot be handed over: its name could not be changed to "
                                    "tab here.ps (error 123). It stays in the hot folder.\n");
  task.AcknowledgeMessage();
  EXPECT_EQ(GetActionStatus(task), 1);
  EXPECT_EQ(task.I32(block::kErrorCode), -1);  // the first report's code stays until the host clears it
  EXPECT_EQ(FileNamesIn(hot), (std::vector<std::string>{"tab\there.ps"}));
  EXPECT_TRUE(
      RunUnixUntil("/bin/rm -f \"" + UnixPathOf(hot) + "/tab\there.ps\"", [&] { return FileNamesIn(hot).empty(); }));
}

// Empty files, sub-folders and hidden files are never handed over.
TEST_F(HandoffTest, APostScriptFileArrivesInTheDestinationWithItsRecord) {
  const std::string nested = scratch.path() + "made\\nested\\";  // made by the hand-off
  const std::string job = PostScriptJob("Quarterly report", "Alice Archer", 40);
  ASSERT_TRUE(WriteBytes(hot + "report.ps", job));
  ASSERT_TRUE(WriteBytes(scratch.MakeSubfolder("hot\\inner.ps") + "deep.ps", job));
  ASSERT_TRUE(WriteBytes(hot + "empty.ps", ""));
  ASSERT_TRUE(WriteBytes(hot + "hidden.ps", job));
  ASSERT_TRUE(::SetFileAttributesA((hot + "hidden.ps").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, nested);
  EXPECT_EQ(task.I32(block::kActionState), 4);

  std::vector<FileRecord> records = CollectRecords(task);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(FileNamesIn(hot), (std::vector<std::string>{"empty.ps", "hidden.ps"}));
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "Added 1 items to " + hot));
  EXPECT_TRUE(HasMessage(messages, 3, hot + "empty.ps is 0 bytes of type 0x00000000  Titled: and For:"));
  const FileRecord& r = records[0];  // safeToDelete as handed over, before the host marked it
  EXPECT_EQ(std::make_tuple(r.folder, r.fileName, r.title, r.owner, r.fileSize, r.jobType, r.intakeFailureText,
                            r.groupMember + r.colourType + r.itemFlags + r.safeToDelete, !r.next && !r.previous),
            std::make_tuple(nested, "report.ps", "Quarterly report", "Alice Archer", job.size(), 1u, "", 0u, true));
  // lower-case hex without leading zero
  EXPECT_TRUE(!r.uniqueId.empty() && r.uniqueId[0] != '0' &&
              r.uniqueId.find_first_not_of("0123456789abcdef") == std::string::npos) << r.uniqueId;
  EXPECT_EQ(task.I32(block::kErrorCode), 0) << task.MessageText();
  EXPECT_FALSE(FileIsThere(hot + "report.ps"));
  EXPECT_EQ(BytesOf(nested + "report.ps"), job);

  // Nothing more is pending; the handed-over list is gone at the next call.
  EXPECT_EQ(GetActionStatus(task), 1);
  EXPECT_EQ(task.Pointer(block::kFileList), nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(r.address));
}

TEST_F(HandoffTest, NothingInTheDestinationIsReplacedAndAReadOnlyJobArrivesWritable) {
  ASSERT_TRUE(::CreateDirectoryA((out + "y.ps").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(out + "z.ps", "first z"));
  ASSERT_TRUE(WriteBytes(out + "z_0_0_0.ps", "second z"));
  const std::map<char, std::string> jobs = {
      {'r', PostScriptJob("Locked", "Rita")}, {'y', PostScriptJob("Y", "Yves")}, {'z', PostScriptJob("Z", "Zoe")}};
  for (const auto& [initial, job] : jobs) ASSERT_TRUE(WriteBytes(hot + initial + ".ps", job));
  ASSERT_TRUE(::SetFileAttributesA((hot + "r.ps").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);

  std::vector<FileRecord> records = CollectRecords(task);
  std::vector<std::string> names = NamesOf(records);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "r.ps");
  EXPECT_EQ(names[1].rfind("y_0_0_", 0), 0u) << names[1];
  EXPECT_EQ(names[2].rfind("z_0_0_", 0), 0u) << names[2];
  EXPECT_NE(names[2], "z_0_0_0.ps");
  for (const FileRecord& record : records) {
    EXPECT_EQ(record.folder, out);
    EXPECT_EQ(BytesOf(out + record.fileName), jobs.at(record.fileName[0])) << record.fileName;
  }
  EXPECT_TRUE(::GetFileAttributesA((out + "y.ps").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(::GetFileAttributesA((out + "r.ps").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(BytesOf(out + "z.ps"), "first z");
  EXPECT_EQ(BytesOf(out + "z_0_0_0.ps"), "second z");
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
  EXPECT_EQ(NamesOf(ReadFileList(task)), std::vector<std::string>{"kept.ps"});
  EXPECT_EQ(task.I32(block::kErrorCode), -1);
  EXPECT_EQ(task.MessageText(), "GetActionStatus - Cannot MOVE gone.ps, no longer present.\n");
  EXPECT_EQ(FileNamesIn(out), std::vector<std::string>{"kept.ps"});
}

TEST_F(HandoffTest, AJobMovedToAnotherVolumeEndsInExactlyOnePlace) {
  // Under Wine, Z:\dev\shm is a tmpfs: a move there cannot be a rename.
  ScratchFolder other("handoff", "Z:\\dev\\shm\\");
  const std::string probe = hot + "probe.tmp";
  if (!other.ok() || !WriteBytes(probe, "probe") ||
      ::MoveFileExA(probe.c_str(), (other.path() + "probe.tmp").c_str(), 0) ||
      ::GetLastError() != ERROR_NOT_SAME_DEVICE)
    GTEST_SKIP() << "no second file system at " << other.path();
  ::DeleteFileA(probe.c_str());
  const std::string a = PostScriptJob("Across", "Ada"), b = PostScriptJob("Held", "Ben");
  ASSERT_TRUE(WriteBytes(hot + "a.ps", a));
  ASSERT_TRUE(WriteBytes(hot + "b.ps", b));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, other.path());
  ASSERT_TRUE(ScanOnceAndEnd());
  ASSERT_TRUE(HasMessage(ReceivedMessages(), 3, "Added 2 items to " + hot));
  // A reader that does not let b.ps be deleted: its copy succeeds, the removal cannot.
  ScopedHandle reader(::CreateFileA((hot + "b.ps").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader.valid());
  ASSERT_EQ(GetActionStatus(task), 0);
  reader.reset();
  std::vector<FileRecord> records = ReadFileList(task);
  ASSERT_EQ(records.size(), 2u);
  for (const FileRecord& record : records)  // b.ps stays whole in the hot folder and its record says so
    EXPECT_EQ(record.folder, record.fileName == "a.ps" ? other.path() : hot) << record.fileName;
  EXPECT_EQ(FileNamesIn(other.path()), std::vector<std::string>{"a.ps"});
  EXPECT_EQ(FileNamesIn(hot), std::vector<std::string>{"b.ps"});
  EXPECT_EQ(BytesOf(other.path() + "a.ps"), a);
  EXPECT_EQ(BytesOf(hot + "b.ps"), b);
  EXPECT_EQ(task.MessageText(),
            "GetActionStatus - move file failed, Src/Dest files were " + hot + "b.ps -> " + other.path() + "b.ps\n");
}

TEST_F(HandoffTest, ARestartRequestFreesTheListAndHandsNothingOver) {
  ASSERT_TRUE(WriteBytes(hot + "first.ps", PostScriptJob("First", "Fay")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  ASSERT_EQ(CollectRecords(task).size(), 1u);
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
}  // namespace hf::hot_folder_e2e
