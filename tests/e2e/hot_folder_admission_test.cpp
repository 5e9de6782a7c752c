// Which files the scanner admits, through the real DLL: the exclusion lists
// (written with their defaults on first start), files still held open by a
// writer, empty files, sub-folders and hidden files, and badly named files,
// which are renamed in place or, when that fails, excluded from then on.
#include "tests/e2e/hot_folder_session.h"

#include "base/win32/scoped_handle.h"

#include <algorithm>

namespace hf {

namespace hot_folder_e2e {
namespace {

using AdmissionTest = HotFolderTest;

// Renames a file with the machine's own "mv" under Wine, so that the new name
// may hold characters no Windows program can put in a name. Wine cannot wait
// for such a process: the rename is seen done when the old name is gone.
// Runs a Linux command line and waits (at most 10 s) until `done` holds.
template <typename Done>
bool RunUnixUntil(const std::string& commandLine, Done done) {
  std::vector<char> command(commandLine.begin(), commandLine.end());
  command.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  for (DWORD started = ::GetTickCount(); ::GetTickCount() - started < 10000; ::Sleep(20))
    if (done()) return true;
  return false;
}

bool RenameWithUnixMv(const std::string& windowsPath, const std::string& unixFolder, const std::string& newName) {
  const std::string unixPath = UnixPathOf(windowsPath);
  if (unixPath.empty() || unixFolder.empty()) return false;
  return RunUnixUntil("/bin/mv \"" + unixPath + "\" \"" + unixFolder + "/" + newName + "\"",
                      [&] { return !FileIsThere(windowsPath); });
}

std::string Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += name + "|";
  return joined;
}

TEST_F(AdmissionTest, FirstStartWritesTheDefaultExclusionListsAndExcludedFilesStay) {
  for (const char* name : {"._resource.ps", "spool.log", "README.TXT", "xtest$$$.@@@", "XTEST$$$.@@@x", "good.ps"})
    ASSERT_TRUE(WriteBytes(hot + name, PostScriptJob(name, "Ed")));
  ASSERT_EQ(Initialise(), 0);

  std::string bytes;
  ASSERT_TRUE(ReadBytes(dataFolder + "\\Config\\FilenameExceptions.bin", bytes));
  EXPECT_EQ(bytes, std::string("._\r\n.DS_Store\r\n\0", 16));
  ASSERT_TRUE(ReadBytes(dataFolder + "\\Config\\ExtensionExceptions.bin", bytes));
  EXPECT_EQ(bytes, std::string(".log\r\n.exe\r\n.txt\r\n.dll\r\n\0", 25));

  RawBlock& task = StartTask(hot, out);
  std::vector<FileRecord> records = PollForRecords(task);
  EXPECT_EQ(Sorted(NamesOf(records)), "XTEST$$$.@@@x|good.ps|");
  EXPECT_EQ(Sorted(FileNamesIn(hot)), "._resource.ps|README.TXT|spool.log|xtest$$$.@@@|");
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "Ignoring excluded file: spool.log"));
  EXPECT_TRUE(HasMessage(messages, 3, "File <good.ps> not excluded - continue processing"));
}

TEST_F(AdmissionTest, AnExclusionFileOfTheUserIsReadAndTheMissingOneWritten) {
  scratch.MakeSubfolder("data\\Config");
  ASSERT_TRUE(WriteBytes(dataFolder + "\\Config\\FilenameExceptions.bin", "skip\r\n\r\n   \r\nhold \t \r\n"));
  for (const char* name : {"skip_me.ps", "holding.ps", "take.ps", "job.log"})
    ASSERT_TRUE(WriteBytes(hot + name, PostScriptJob(name, "Ed")));
  ASSERT_EQ(Initialise(), 0);
  LogMessages loading = ReceivedMessages();
  EXPECT_TRUE(HasMessage(loading, 3, "Reading excluded filenames from: " + dataFolder + "\\Config\\FilenameExceptions.bin."));
  EXPECT_TRUE(HasMessage(loading, 3, "Excluded filename: skip."));
  EXPECT_TRUE(HasMessage(loading, 3, "Excluded filename: hold."));
  EXPECT_TRUE(HasMessage(loading, 3, "Excluded file extension: .dll."));

  RawBlock& task = StartTask(hot);
  EXPECT_EQ(Sorted(NamesOf(PollForRecords(task))), "take.ps|");
}

TEST_F(AdmissionTest, AFileHeldOpenByAWriterIsTakenOnlyOnceItIsClosed) {
  ASSERT_TRUE(WriteBytes(hot + "free.ps", PostScriptJob("Free", "Fred")));
  ScopedHandle writer(::CreateFileA((hot + "busy.ps").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.valid());
  const std::string firstHalf = "%!PS-Adobe-3.0\n%%Title: Busy\n";
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(writer.get(), firstHalf.data(), static_cast<DWORD>(firstHalf.size()), &written, nullptr));

  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  EXPECT_EQ(Sorted(NamesOf(PollForRecords(task))), "free.ps|");
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "File is in use (spooling?) : " + hot + "busy.ps"));
  EXPECT_TRUE(FileIsThere(hot + "busy.ps"));

  const std::string secondHalf = "showpage\n%%EOF\n";
  ASSERT_TRUE(::WriteFile(writer.get(), secondHalf.data(), static_cast<DWORD>(secondHalf.size()), &written, nullptr));
  writer.reset();
  std::vector<FileRecord> records = PollForRecords(task);
  ASSERT_EQ(NamesOf(records), std::vector<std::string>{"busy.ps"});
  EXPECT_EQ(records[0].fileSize, firstHalf.size() + secondHalf.size());
  std::string bytes;
  ASSERT_TRUE(ReadBytes(out + "busy.ps", bytes));
  EXPECT_EQ(bytes, firstHalf + secondHalf);
}

TEST_F(AdmissionTest, EmptyFilesSubFoldersAndHiddenFilesAreNeverHandedOver) {
  const std::string sub = scratch.MakeSubfolder("hot\\inner.ps");
  ASSERT_TRUE(WriteBytes(sub + "deep.ps", PostScriptJob("Deep", "Dee")));
  ASSERT_TRUE(WriteBytes(hot + "empty.ps", ""));
  ASSERT_TRUE(WriteBytes(hot + "hidden.ps", PostScriptJob("Hidden", "Hal")));
  ASSERT_TRUE(::SetFileAttributesA((hot + "hidden.ps").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(WriteBytes(hot + "plain.ps", PostScriptJob("Plain", "Pam")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot);
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "Added 1 items to " + hot));
  EXPECT_TRUE(HasMessage(messages, 3, hot + "empty.ps is 0 bytes of type 0x00000000  Titled: and For:"));

  ASSERT_EQ(GetActionStatus(task), 0);
  EXPECT_EQ(Sorted(NamesOf(ReadFileList(task))), "plain.ps|");
  EXPECT_TRUE(FileIsThere(hot + "empty.ps"));
}

TEST_F(AdmissionTest, AQuestionMarkInANameIsReplacedByAnUnderscoreBeforeTheHandOver) {
  // No Windows program can make such a name; the machine's own mv can.
  const std::string job = PostScriptJob("Why", "Yves");
  ASSERT_TRUE(WriteBytes(scratch.path() + "staged.ps", job));
  const std::string unixHot = UnixPathOf(hot);
  if (unixHot.empty()) GTEST_SKIP() << "needs Wine to make a name with a question mark";
  ASSERT_TRUE(RenameWithUnixMv(scratch.path() + "staged.ps", unixHot, "why?not.ps"));
  ASSERT_EQ(FileNamesIn(hot), std::vector<std::string>{"why?not.ps"});

  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  std::vector<FileRecord> records = PollForRecords(task);
  ASSERT_EQ(NamesOf(records), std::vector<std::string>{"why_not.ps"});
  EXPECT_EQ(records[0].folder, out);
  std::string bytes;
  ASSERT_TRUE(ReadBytes(out + "why_not.ps", bytes));
  EXPECT_EQ(bytes, job);
  EXPECT_TRUE(FileNamesIn(hot).empty());
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 3, "Badly named file, attempting to rename it physically."));
}

TEST_F(AdmissionTest, ABadNameThatCannotBeRenamedIsExcludedFromThenOn) {
  ASSERT_TRUE(WriteBytes(scratch.path() + "staged.ps", PostScriptJob("Tab", "Tim")));
  const std::string unixHot = UnixPathOf(hot);
  if (unixHot.empty()) GTEST_SKIP() << "needs Wine to make a name with a tab";
  // A control character: the file has no short name to be reached by.
  ASSERT_TRUE(RenameWithUnixMv(scratch.path() + "staged.ps", unixHot, "tab\there.ps"));
  ASSERT_TRUE(WriteBytes(hot + "tab here.ps.other", PostScriptJob("Other", "Oz")));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot);

  ASSERT_TRUE(WaitForLog("TimerAction complete"));
  // The scanner's block receives the report; the task's block does not.
  EXPECT_EQ(init.I32(block::kErrorCode), static_cast<int32_t>(ERROR_INVALID_NAME));
  EXPECT_NE(init.MessageText().find("MoveFile on BadFileName"), std::string::npos) << init.MessageText();
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_EQ(CountMessages(messages, 3, "Badly named file, attempting to rename it physically."), 0);
  EXPECT_TRUE(HasMessage(messages, 3, "Ignoring excluded file: tab here.ps"));
  // The in-memory entry is a prefix: it takes a cleanly named file with it.
  EXPECT_TRUE(HasMessage(messages, 3, "Ignoring excluded file: tab here.ps.other"));
  EXPECT_EQ(GetActionStatus(task), 1);
  EXPECT_EQ(FileNamesIn(hot), (std::vector<std::string>{"tab\there.ps", "tab here.ps.other"}));
  // The scratch folder cannot remove that name itself.
  EXPECT_TRUE(RunUnixUntil("/bin/rm -f \"" + unixHot + "/tab\there.ps\"", [&] {
    return FileNamesIn(hot) == std::vector<std::string>{"tab here.ps.other"};
  }));
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
