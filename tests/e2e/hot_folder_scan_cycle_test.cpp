// The scan cycle through the real DLL, as its log shows it: the per-cycle
// limit on added files (read from the host's INI file at every folder's walk),
// the lines of one cycle, and a scanner with nothing to scan.
#include "tests/e2e/hot_folder_session.h"

#include <cstdio>
#include <set>

namespace hf {

namespace hot_folder_e2e {
namespace {

using ScanCycleTest = HotFolderTest;

void WriteJobs(const std::string& folder, int count) {
  for (int n = 0; n < count; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "job%02d.ps", n);
    ASSERT_TRUE(WriteBytes(folder + name, PostScriptJob(name, "Lou")));
  }
}

TEST_F(ScanCycleTest, ThirtyFilesArriveAsTwentyAndThenTen) {
  WriteJobs(hot, 30);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);

  std::vector<FileRecord> first = PollForRecords(task);
  EXPECT_EQ(first.size(), 20u);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "Breaking out of loop as we added 20 files (limited to 20 per cycle)."));
  std::vector<FileRecord> second = PollForRecords(task);
  EXPECT_EQ(second.size(), 10u);

  std::set<std::string> names;
  for (const FileRecord& r : first) names.insert(r.fileName);
  for (const FileRecord& r : second) names.insert(r.fileName);
  EXPECT_EQ(names.size(), 30u);
  EXPECT_EQ(FileNamesIn(out).size(), 30u);
  EXPECT_TRUE(FileNamesIn(hot).empty());
}

TEST_F(ScanCycleTest, TheLoopLimitIsReadFromTheHostsIniFileAtEveryWalk) {
  WriteJobs(hot, 10);
  ASSERT_EQ(Initialise(3), 0);
  RawBlock& task = StartTask(hot, out);
  EXPECT_EQ(PollForRecords(task).size(), 3u);

  // The cycle that follows the wake-up begins after the change.
  ASSERT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=4\r\n"));
  ASSERT_TRUE(ScanOnceAndEnd());
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "Breaking out of loop as we added 4 files (limited to 4 per cycle)."));
  ASSERT_EQ(GetActionStatus(task), 0);
  EXPECT_EQ(ReadFileList(task).size(), 4u);
  EXPECT_EQ(FileNamesIn(hot).size(), 3u);
}

TEST_F(ScanCycleTest, OneCycleLogsEachOfItsSteps) {
  ASSERT_TRUE(WriteBytes(hot + "one.ps", PostScriptJob("One", "Una")));
  ASSERT_EQ(Initialise(), 0);
  StartTask(hot);
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  const std::string pattern = hot + "*.*";
  EXPECT_TRUE(HasMessage(messages, 3, "Synching timerAction..."));
  EXPECT_TRUE(HasMessage(messages, 3, "Beginning scan on 1 folders"));
  bool listed = false;
  for (const auto& message : messages)
    listed = listed || (message.first == 3 && message.second.rfind("[" + pattern + "] FFF returns ", 0) == 0 &&
                        message.second != "[" + pattern + "] FFF returns -1");
  EXPECT_TRUE(listed);
  EXPECT_TRUE(HasMessage(messages, 3, "File <one.ps> not excluded - continue processing"));
  EXPECT_TRUE(HasMessage(messages, 3, "0 stops remaining, so replacing static list, now 1 items."));
  EXPECT_TRUE(HasMessage(messages, 3, "Added 1 items to " + hot));
  EXPECT_TRUE(HasMessage(messages, 3, "TimerAction complete"));
  EXPECT_FALSE(HasMessage(messages, 3, "No files in folder \"" + pattern + "\""));
}

TEST_F(ScanCycleTest, WithoutFoldersTheScannerOnlySaysSo) {
  ASSERT_EQ(Initialise(), 0);
  ASSERT_TRUE(WaitForLog("Scan thread #0x"));
  LogMessages started = ReceivedMessages();
  bool announced = false;
  for (const auto& message : started)
    announced = announced || (message.first == 3 && message.second.rfind("Scan thread #0x", 0) == 0 &&
                              message.second.find(" started, interval = 5 seconds.") != std::string::npos);
  EXPECT_TRUE(announced);

  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "No folders in scan list. Nothing to do."));
  EXPECT_FALSE(HasMessage(messages, 3, "Synching timerAction..."));
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
