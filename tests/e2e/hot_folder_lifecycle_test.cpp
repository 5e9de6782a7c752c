// A task's life through the real DLL, from StartAction to EndAction, shutdown and unload.
#include "tests/support/win32/hot_folder_session.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"

#include <cctype>
#include <cstring>
#include <tuple>

namespace hf::hot_folder_e2e {
namespace {

using LifecycleTest = HotFolderTest;

TEST_F(LifecycleTest, StartActionRefusesCallsOutOfOrderAndFoldersItCannotList) {
  ASSERT_EQ(Initialise(), 0);
  for (int32_t state : {0, 1}) {  // before StartActionInit, and without CheckActionInit
    RawBlock early = RawBlock::Default();
    early.SetText(block::kSourceFolder, hot);
    early.SetI32(block::kActionState, state);
    EXPECT_EQ(dll.Call(kStartAction, early), -1);
    EXPECT_EQ(std::make_pair(early.I32(block::kActionState), early.MessageText()),
              std::make_pair(2, std::string("SA: Error: StartAction called before SAI/CAI succeeded.\n")));
  }
  RawBlock& noFolder = NewTask("");
  EXPECT_EQ(dll.Call(kStartAction, noFolder), -1);
  EXPECT_EQ(noFolder.I32(block::kActionState), 6);
  EXPECT_EQ(noFolder.MessageText(), "SA: Error: StartAction : no folder\n");

  // A destination in the hot folder would have every job handed over again and again.
  RawBlock& inside = NewTask(hot, hot + "out\\");
  EXPECT_EQ(dll.Call(kStartAction, inside), -1);
  EXPECT_EQ(inside.I32(block::kActionState), 6);
  EXPECT_EQ(inside.MessageText(), "SA: Error: StartAction : the destination folder " + hot +
                                      "out\\ is the hot folder " + hot + " or inside it\n");

  RawBlock& missing = NewTask(scratch.path() + "missing\\");
  EXPECT_EQ(dll.Call(kStartAction, missing), -1);
  const int32_t error = missing.I32(block::kErrorCode);
  EXPECT_GT(error, 0);
  EXPECT_EQ(missing.MessageText().rfind(std::to_string(error) + ": ", 0), 0u) << missing.MessageText();
  EXPECT_TRUE(
      HasMessageStarting(ReceivedMessages(), -1, "SA: Info: [" + scratch.path() + "missing\\*.*] FFF TEST returns "));
}

TEST_F(LifecycleTest, TwoTasksOnOneFolderShareItAndTheFirstTasksNumber) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock& first = StartTask(hot);
  // The same folder in other letters and without its trailing backslash.
  std::string shouted = hot.substr(0, hot.size() - 1);
  for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  RawBlock& second = NewTask(shouted);
  EXPECT_NE(second.U32(block::kTaskId), first.U32(block::kTaskId));
  ReceivedMessages();
  ASSERT_EQ(dll.Call(kStartAction, second), 0);
  EXPECT_EQ(second.U32(block::kTaskId), first.U32(block::kTaskId));
  EXPECT_EQ(second.I32(block::kActionState), 4);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, "SA: Info: -- Restarting an existing scan for " + shouted + "\\ --"));

  ASSERT_TRUE(WriteBytes(hot + "shared.ps", PostScriptJob("Shared", "Sol")));
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "Beginning scan on 1 folders"));
  EXPECT_EQ(CountMessages(messages, 3, "Added 1 items to " + hot), 1);
  EXPECT_EQ(GetActionStatus(second), 0);
  EXPECT_EQ(NamesOf(ReadFileList(second)), std::vector<std::string>{"shared.ps"});
  EXPECT_EQ(GetActionStatus(first), 1);
}

TEST_F(LifecycleTest, CancelActionAndEndActionRemoveOnlyTheirTasksFolder) {
  const std::string hotA = scratch.MakeSubfolder("a"), hotB = scratch.MakeSubfolder("b");
  ASSERT_EQ(Initialise(), 0);
  RawBlock& a = StartTask(hotA);
  RawBlock& b = StartTask(hotB);
  RawBlock& c = StartTask(hot);
  ASSERT_TRUE(WriteBytes(hotA + "a.ps", PostScriptJob("A", "Al")));
  ReceivedMessages();

  ASSERT_EQ(dll.Call(kCancelAction, a), 0);
  ExpectMessages(ReceivedMessages(), {{1, "Stopping scanner"}, {1, "Scanner inactive"},
                                      {1, "Restarting scanning for the remaining folders..."},
                                      {1, "Removing folder \"" + hotA + "\" from list"}});
  EXPECT_EQ(GetActionStatus(a), -1);
  EXPECT_EQ(std::make_pair(a.I32(block::kActionState), a.MessageText()),
            std::make_pair(6, std::string("GAStatus - folder unregistered / task Ended.\n")));

  ASSERT_EQ(dll.Call(kEndAction, b), 0);
  EXPECT_EQ(b.I32(block::kActionState), 0);
  ExpectMessages(ReceivedMessages(), {{3, "EndAction call - stop scanner, and remove this task's folder list."},
                                      {1, "Stopping scanner..."}, {2, "Scanner inactive"},
                                      {3, "unlinked " + hotB + " and its filelist."}});
  EXPECT_EQ(GetActionStatus(b), -1);

  // The third task's folder is still watched; the cancelled one is not.
  ASSERT_TRUE(WriteBytes(hot + "c.ps", PostScriptJob("C", "Cy")));
  EXPECT_EQ(NamesOf(CollectRecords(c)), std::vector<std::string>{"c.ps"});
  EXPECT_TRUE(FileIsThere(hotA + "a.ps"));

  // Tasks that are not listed are no error.
  EXPECT_EQ(dll.Call(kCancelAction, a), 0);
  EXPECT_EQ(a.I32(block::kActionState), 6);
  RawBlock& unknown = NewTask(hotA);
  unknown.SetU32(block::kTaskId, 99);
  EXPECT_EQ(dll.Call(kEndAction, unknown), 0);
  EXPECT_EQ(unknown.I32(block::kActionState), 0);
  RawBlock unnumbered = RawBlock::Default();
  unnumbered.SetI32(block::kActionState, 3);
  EXPECT_EQ(dll.Call(kEndAction, unnumbered), 0);
  EXPECT_EQ(unnumbered.I32(block::kActionState), 3);
  ExpectMessages(ReceivedMessages(), {{1, "fnCancelAction - Note: the task is not listed, the action does not exist."},
                                      {1, "task 99 not found. Cannot end it."}});

  ASSERT_EQ(dll.Call(kEndAction, c), 0);
  ReceivedMessages();
  EXPECT_EQ(Shutdown(), 0);
  EXPECT_FALSE(HasMessage(ReceivedMessages(), 0, "== WARNING == EndAction/CancelAction has not been called!"))
      << "the last EndAction left the scanner stopped";
}

TEST_F(LifecycleTest, ShutdownWithTheScannerRunningWarnsAndTheNextStartWorks) {
  ASSERT_EQ(Initialise(), 0);
  StartTask(hot, out);
  ReceivedMessages();
  EXPECT_EQ(Shutdown(), 0);
  ExpectMessages(ReceivedMessages(), {{0, "== WARNING == EndAction/CancelAction has not been called!"},
                                      {0, "== WARNING == HF Scanner is still active, and files may be transferring!"},
                                      {0, "== WARNING == Memory leakage/data corruption may occur!"},
                                      {2, "got stop request"}});

  // Every folder went with the shutdown; a new initialisation starts afresh.
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  ASSERT_TRUE(WriteBytes(hot + "again.ps", PostScriptJob("Again", "Ali")));
  ReceivedMessages();
  EXPECT_EQ(NamesOf(CollectRecords(task)), std::vector<std::string>{"again.ps"});
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 3, "Beginning scan on 1 folders"));
}

TEST_F(LifecycleTest, AMissingDataFolderIsACriticalNoticeAndTheListsStayEmpty) {
  dataFolder = scratch.path() + "no such data";
  ASSERT_EQ(Initialise(), 0);
  const std::string config = dataFolder + "\\Config";
  const std::string critical = "CRITICAL ERROR - HF cannot find or create (" + config;
  ExpectMessages(ReceivedMessages(), {{0, critical + ")!"},
                                      {0, critical + "\\FilenameExceptions.bin)!"},
                                      {0, critical + "\\ExtensionExceptions.bin)!"}});

  // Without the lists only the probe name is excluded; without a destination the files stay.
  ASSERT_TRUE(WriteBytes(hot + "spool.log", "%!PS\nlog\n"));
  ASSERT_TRUE(WriteBytes(hot + "b.pdf", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n"));
  RawBlock& task = StartTask(hot.substr(0, hot.size() - 1));  // StartAction adds the backslash
  EXPECT_EQ(task.Text(block::kSourceFolder), hot);
  ASSERT_TRUE(ScanOnceAndEnd());
  ASSERT_EQ(GetActionStatus(task), 0);
  std::vector<FileRecord> records = ReadFileList(task);
  EXPECT_EQ(NamesOf(records), (std::vector<std::string>{"b.pdf", "spool.log"}));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[1].previous == records[0].address && records[0].next == records[1].address);
  for (const FileRecord& r : records) EXPECT_EQ(r.folder, hot) << r.fileName;
  EXPECT_EQ(FileNamesIn(hot), (std::vector<std::string>{"b.pdf", "spool.log"}));
}

// The per-cycle limit is read from the host's INI file at every walk (20 without it).
TEST_F(LifecycleTest, TheScannerLogsEachStepOfItsCyclesAndReadsTheLoopLimitAtEveryWalk) {
  for (int n = 10; n < 40; ++n)
    ASSERT_TRUE(WriteBytes(hot + "job" + std::to_string(n) + ".ps", PostScriptJob("Job", "Lou")));
  ASSERT_EQ(Initialise(3), 0);
  ASSERT_TRUE(WaitForLog("Scan thread #0x"));
  EXPECT_TRUE(HasMessageStarting(ReceivedMessages(), 3, "Scan thread #0x", " started, interval = 5 seconds."));
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "No folders in scan list. Nothing to do."));
  EXPECT_FALSE(HasMessage(messages, 3, "Synching timerAction..."));

  RawBlock& task = StartTask(hot, out);
  EXPECT_EQ(CollectRecords(task).size(), 3u);
  ASSERT_TRUE(WriteBytes(iniPath, "[HFA]\r\n"));  // the cycle after the wake-up begins after the change
  ASSERT_TRUE(ScanOnceAndEnd());
  messages = ReceivedMessages();
  const std::string pattern = hot + "*.*";
  ExpectMessages(messages, {{3, "Synching timerAction..."}, {3, "Beginning scan on 1 folders"},
                            {3, "Added 20 items to " + hot}, {3, "TimerAction complete"},
                            {2, "Breaking out of loop as we added 20 files (limited to 20 per cycle)."}});
  EXPECT_TRUE(HasMessageStarting(messages, 3, "0 stops remaining, so replacing static list, now "));
  EXPECT_TRUE(HasMessageStarting(messages, 3, "File <job", "> not excluded - continue processing"));
  EXPECT_TRUE(HasMessageStarting(messages, 3, "[" + pattern + "] FFF returns "));
  EXPECT_FALSE(HasMessage(messages, 3, "[" + pattern + "] FFF returns -1"));
  ASSERT_EQ(GetActionStatus(task), 0);
  EXPECT_EQ(std::make_tuple(ReadFileList(task).size(), FileNamesIn(out).size(), FileNamesIn(hot).size()),
            std::make_tuple(20u, 23u, 7u));
}

// Unloaded without ShutdownHandler, the library stays loaded (and is found again) while its scanner runs;
// once a ShutdownHandler has ended the thread, the last unload unloads it.
TEST(LibraryUnloadTest, TheScannerKeepsTheLibraryLoadedUntilItEnds) {
  ASSERT_NE(Reader(), nullptr);
  ScratchFolder scratch("unload");
  const std::string hot = scratch.MakeSubfolder("hot");
  LogSettingsScope logSettings(3);
  RawBlock init, task;
  auto startTask = [&](const PluginDll& dll) -> int32_t {
    init = RawBlock::Default();
    task = RawBlock::Default();
    task.SetU32(block::kScanTimeout, kShortScanTimeout);
    task.SetText(block::kSourceFolder, hot);
    for (uint32_t selector : {kInitializeHandler, kStartActionInit, kCheckActionInit, kStartAction})
      if (int32_t result = dll.Call(selector, selector == kInitializeHandler ? init : task)) return result;
    return 0;
  };
  DWORD scannerId = 0;
  HMODULE first = nullptr;
  {
    PluginDll dll(HF_DLL_PATH);
    first = dll.module();
    ASSERT_TRUE(dll.loaded()) << dll.loadError();
    dll.SkipShutdownOnUnload();
    Reader()->Drain();
    ASSERT_EQ(startTask(dll), 0);
    ASSERT_TRUE(Reader()->WaitForText("Scan thread #0x", kArrivalLimitMs));
    for (const auto& message : ReceivedMessages())
      if (message.second.rfind("Scan thread #0x", 0) == 0)
        scannerId = static_cast<DWORD>(std::stoul(message.second.substr(15), nullptr, 16));
  }
  ASSERT_NE(scannerId, 0u);
  ScopedHandle thread(::OpenThread(SYNCHRONIZE, FALSE, scannerId));
  ASSERT_TRUE(thread.valid());
  EXPECT_EQ(::WaitForSingleObject(thread.get(), 500), static_cast<DWORD>(WAIT_TIMEOUT)) << "the scanner still runs";
  EXPECT_EQ(::GetModuleHandleA(HF_DLL_PATH), first);
  {
    PluginDll again(HF_DLL_PATH);  // shuts the plug-in down as it goes
    ASSERT_TRUE(again.loaded());
    EXPECT_EQ(again.module(), first);
    ASSERT_EQ(startTask(again), 0);
  }
  EXPECT_EQ(::WaitForSingleObject(thread.get(), kArrivalLimitMs), WAIT_OBJECT_0);
  EXPECT_EQ(::GetModuleHandleA(HF_DLL_PATH), nullptr);
  PluginDll fresh(HF_DLL_PATH);
  ASSERT_TRUE(fresh.loaded());
  EXPECT_EQ(startTask(fresh), 0);
}

}  // namespace
}  // namespace hf::hot_folder_e2e
