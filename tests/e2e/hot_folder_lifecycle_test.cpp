// A task's life through the real DLL: StartAction's checks and the sharing
// of one folder by two tasks, the optional services a task asks for,
// CancelAction and EndAction, ShutdownHandler with the scanner still running
// and a new InitializeHandler afterwards, and a data folder that is missing.
#include "tests/e2e/hot_folder_session.h"

#include "base/win32/scoped_handle.h"

#include <cctype>

namespace hf {

namespace hot_folder_e2e {
namespace {

using LifecycleTest = HotFolderTest;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Settings files beside the test program ("Config\FilenameSetups" and
// "Config\Scripts" of the host program's folder); removes what it made.
class ProgramConfigFiles {
 public:
  ProgramConfigFiles() : config_(HostProgramFolder() + "\\Config") {}
  ~ProgramConfigFiles() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (!::DeleteFileA(it->c_str())) ::RemoveDirectoryA(it->c_str());
    }
  }
  void Add(const std::string& subFolder, const std::string& name) {
    for (const std::string& folder : {config_, config_ + "\\" + subFolder})
      if (!FolderExists(folder) && ::CreateDirectoryA(folder.c_str(), nullptr)) made_.push_back(folder);
    const std::string file = config_ + "\\" + subFolder + "\\" + name;
    if (WriteBytes(file, "settings\r\n")) made_.push_back(file);
  }
  const std::string& config() const { return config_; }

 private:
  std::string config_;
  std::vector<std::string> made_;
};

TEST_F(LifecycleTest, StartActionRefusesCallsOutOfOrderAndFoldersItCannotList) {
  ASSERT_EQ(Initialise(), 0);

  // Before StartActionInit, and after StartActionInit without CheckActionInit.
  for (int32_t state : {0, 1}) {
    RawBlock early = RawBlock::Default();
    early.SetText(block::kSourceFolder, hot);
    early.SetI32(block::kActionState, state);
    EXPECT_EQ(dll.Call(kStartAction, early), -1);
    EXPECT_EQ(early.I32(block::kActionState), 2);
    EXPECT_EQ(early.MessageText(), "SA: Error: StartAction called before SAI/CAI succeeded.\n");
  }

  RawBlock& noFolder = NewTask("");
  EXPECT_EQ(dll.Call(kStartAction, noFolder), -1);
  EXPECT_EQ(noFolder.I32(block::kActionState), 6);
  EXPECT_EQ(noFolder.MessageText(), "SA: Error: StartAction : no folder\n");

  RawBlock& missing = NewTask(scratch.path() + "missing\\");
  EXPECT_EQ(dll.Call(kStartAction, missing), -1);
  const int32_t error = missing.I32(block::kErrorCode);
  EXPECT_GT(error, 0);
  EXPECT_EQ(missing.MessageText().rfind(std::to_string(error) + ": ", 0), 0u) << missing.MessageText();
  bool traced = false;
  for (const auto& message : ReceivedMessages())
    traced = traced || message.second.rfind("SA: Info: [" + scratch.path() + "missing\\*.*] FFF TEST returns ", 0) == 0;
  EXPECT_TRUE(traced);
}

TEST_F(LifecycleTest, TwoTasksOnOneFolderShareItAndTheFirstTasksNumber) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock& first = StartTask(hot);
  // The same folder in other letters and without its trailing backslash.
  const std::string shouted = Upper(hot.substr(0, hot.size() - 1));
  RawBlock& second = NewTask(shouted);
  EXPECT_NE(second.U32(block::kTaskId), first.U32(block::kTaskId));
  ASSERT_EQ(dll.Call(kStartAction, second), 0);
  EXPECT_EQ(second.U32(block::kTaskId), first.U32(block::kTaskId));
  EXPECT_EQ(second.I32(block::kActionState), 4);

  ASSERT_TRUE(WriteBytes(hot + "shared.ps", PostScriptJob("Shared", "Sol")));
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "Beginning scan on 1 folders"));
  EXPECT_EQ(CountMessages(messages, 3, "Added 1 items to " + hot), 1);
  EXPECT_EQ(GetActionStatus(second), 0);
  EXPECT_EQ(NamesOf(ReadFileList(second)), std::vector<std::string>{"shared.ps"});
  EXPECT_EQ(GetActionStatus(first), 1);
}

TEST_F(LifecycleTest, TheScanIntervalTakesOnlyTimeoutsOfFiveSecondsOrMore) {
  ASSERT_EQ(Initialise(), 0);
  const std::string a = scratch.MakeSubfolder("a");
  const std::string b = scratch.MakeSubfolder("b");
  const std::string c = scratch.MakeSubfolder("c");
  RawBlock& seven = NewTask(a);
  seven.SetU32(block::kScanTimeout, 7);
  ASSERT_EQ(dll.Call(kStartAction, seven), 0);
  RawBlock& three = NewTask(b);
  three.SetU32(block::kScanTimeout, 3);
  ASSERT_EQ(dll.Call(kStartAction, three), 0);
  StartTask(c);  // 5
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 1, "SA: Info: Adding folder \"" + a + "\", timeout = 7"));
  EXPECT_TRUE(HasMessage(messages, 1, "SA: Info: Adding folder \"" + b + "\", timeout = 7"));
  EXPECT_TRUE(HasMessage(messages, 1, "SA: Info: Adding folder \"" + c + "\", timeout = 5"));
}

TEST_F(LifecycleTest, ServicesThatCannotBeSetUpAreSwitchedOffWithAWarning) {
  const std::string scriptingFolder = scratch.MakeSubfolder("hot\\_.script");
  ASSERT_TRUE(WriteBytes(scriptingFolder + "left.ps", "left over"));
  ProgramConfigFiles config;
  config.Add("Scripts", "tidy.cmd");  // another script than the task's
  ASSERT_EQ(Initialise(), 0);

  RawBlock& unnamed = NewTask(hot);
  std::memcpy(unnamed.data() + block::kTaskSettings.offset + block::kGroupingEnabledInRecord, "\1\0\0\0", 4);
  ASSERT_EQ(dll.Call(kStartAction, unnamed), 0);
  EXPECT_EQ(unnamed.I32(block::kActionState), 4);
  const std::string noName = "No Filename provided. Grouping was disabled for '" + hot + "'.";
  EXPECT_EQ(unnamed.MessageText(), noName);
  EXPECT_EQ(unnamed.U32(block::kMessageLength), noName.size());
  EXPECT_EQ(unnamed.I32(block::kErrorCode), 0);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, "SA: Warning - " + noName));
  EXPECT_FALSE(FolderExists(scriptingFolder)) << "the scripting folder is cleared at every set-up";
  EXPECT_TRUE(FolderExists(HostProgramFolder() + "\\htdocs\\Thumbnails"));

  RawBlock& missingScript = NewTask(hot);
  std::memcpy(missingScript.data() + block::kTaskSettings.offset + block::kScriptingEnabledInRecord, "\1\0\0\0", 4);
  std::memcpy(missingScript.data() + block::kTaskText.offset + block::kTaskTextSize, "absent.cmd", 11);
  ASSERT_EQ(dll.Call(kStartAction, missingScript), 0);
  LogMessages restarted = ReceivedMessages();
  EXPECT_TRUE(HasMessage(restarted, 0, "SA: Info: -- Restarting an existing scan for " + hot + " --"));
  const std::string absent = "File '" + config.config() + "\\Scripts\\absent.cmd' does not exist. Scripting will be disabled.";
  EXPECT_EQ(missingScript.MessageText(), absent);
  EXPECT_TRUE(HasMessage(restarted, 0, "STF: Warning - " + absent));

  // The folder is watched all the same, without a script.
  ASSERT_TRUE(WriteBytes(hot + "plain.pdf", "%PDF-1.4\n%%EOF\n"));
  ASSERT_TRUE(ScanOnceAndEnd());
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "dwFlags = 0x0, ScriptBit = 0x20000, ScriptingFlag = 0"));
  EXPECT_TRUE(HasMessage(messages, 2, "Scripting not available"));
  EXPECT_EQ(GetActionStatus(missingScript), 0);
  EXPECT_EQ(NamesOf(ReadFileList(missingScript)), std::vector<std::string>{"plain.pdf"});
}

TEST_F(LifecycleTest, CancelActionRemovesTheFolderAndTheOtherTasksGoOn) {
  const std::string hotA = scratch.MakeSubfolder("a");
  const std::string hotB = scratch.MakeSubfolder("b");
  ASSERT_EQ(Initialise(), 0);
  RawBlock& a = StartTask(hotA);
  RawBlock& b = StartTask(hotB);
  ASSERT_TRUE(WriteBytes(hotA + "a.ps", PostScriptJob("A", "Al")));

  ASSERT_EQ(dll.Call(kCancelAction, a), 0);
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 1, "Stopping scanner"));
  EXPECT_TRUE(HasMessage(messages, 1, "Scanner inactive"));
  EXPECT_TRUE(HasMessage(messages, 1, "Removing folder \"" + hotA + "\" from list"));
  EXPECT_TRUE(HasMessage(messages, 1, "Restarting scanning for the remaining folders..."));

  EXPECT_EQ(GetActionStatus(a), -1);
  EXPECT_EQ(a.I32(block::kActionState), 6);
  EXPECT_EQ(a.MessageText(), "GAStatus - folder unregistered / task Ended.\n");

  ASSERT_TRUE(WriteBytes(hotB + "b.ps", PostScriptJob("B", "Bea")));
  EXPECT_EQ(NamesOf(PollForRecords(b)), std::vector<std::string>{"b.ps"});
  EXPECT_TRUE(FileIsThere(hotA + "a.ps"));

  // A task that is not listed is no error.
  EXPECT_EQ(dll.Call(kCancelAction, a), 0);
  EXPECT_EQ(a.I32(block::kActionState), 6);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 1,
                         "fnCancelAction - Note: the task is not listed, the action does not exist."));
}

TEST_F(LifecycleTest, EndActionRemovesTheTasksFolderAndUnknownTasksAreNoError) {
  const std::string hotA = scratch.MakeSubfolder("a");
  const std::string hotB = scratch.MakeSubfolder("b");
  ASSERT_EQ(Initialise(), 0);
  RawBlock& a = StartTask(hotA);
  RawBlock& b = StartTask(hotB);
  ReceivedMessages();

  ASSERT_EQ(dll.Call(kEndAction, a), 0);
  EXPECT_EQ(a.I32(block::kActionState), 0);
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 3, "EndAction call - stop scanner, and remove this task's folder list."));
  EXPECT_TRUE(HasMessage(messages, 1, "Stopping scanner..."));
  EXPECT_TRUE(HasMessage(messages, 2, "Scanner inactive"));
  EXPECT_TRUE(HasMessage(messages, 3, "unlinked " + hotA + " and its filelist."));
  EXPECT_EQ(GetActionStatus(a), -1);

  // The other task's folder is still watched.
  ASSERT_TRUE(WriteBytes(hotB + "b.ps", PostScriptJob("B", "Bea")));
  EXPECT_EQ(NamesOf(PollForRecords(b)), std::vector<std::string>{"b.ps"});

  RawBlock& unknown = NewTask(hotA);
  unknown.SetU32(block::kTaskId, 99);
  EXPECT_EQ(dll.Call(kEndAction, unknown), 0);
  EXPECT_EQ(unknown.I32(block::kActionState), 0);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 1, "task 99 not found. Cannot end it."));

  RawBlock unnumbered = RawBlock::Default();
  unnumbered.SetI32(block::kActionState, 3);
  EXPECT_EQ(dll.Call(kEndAction, unnumbered), 0);
  EXPECT_EQ(unnumbered.I32(block::kActionState), 3);

  ASSERT_EQ(dll.Call(kEndAction, b), 0);
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
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "== WARNING == EndAction/CancelAction has not been called!"));
  EXPECT_TRUE(HasMessage(messages, 0, "== WARNING == HF Scanner is still active, and files may be transferring!"));
  EXPECT_TRUE(HasMessage(messages, 0, "== WARNING == Memory leakage/data corruption may occur!"));
  EXPECT_TRUE(HasMessage(messages, 2, "got stop request"));

  // Every folder went with the shutdown; a new initialisation starts afresh.
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  ASSERT_TRUE(WriteBytes(hot + "again.ps", PostScriptJob("Again", "Ali")));
  ReceivedMessages();
  std::vector<FileRecord> records = PollForRecords(task);
  EXPECT_EQ(NamesOf(records), std::vector<std::string>{"again.ps"});
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 3, "Beginning scan on 1 folders"));
}

TEST_F(LifecycleTest, AMissingDataFolderIsACriticalNoticeAndTheListsStayEmpty) {
  dataFolder = scratch.path() + "no such data";
  ASSERT_EQ(Initialise(), 0);
  const std::string config = dataFolder + "\\Config";
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "CRITICAL ERROR - HF cannot find or create (" + config + ")!"));
  EXPECT_TRUE(HasMessage(messages, 0,
                         "CRITICAL ERROR - HF cannot find or create (" + config + "\\FilenameExceptions.bin)!"));
  EXPECT_TRUE(HasMessage(messages, 0,
                         "CRITICAL ERROR - HF cannot find or create (" + config + "\\ExtensionExceptions.bin)!"));

  // Without the lists only the probe name is excluded.
  ASSERT_TRUE(WriteBytes(hot + "spool.log", "%!PS\nlog\n"));
  RawBlock& task = StartTask(hot);
  ASSERT_TRUE(ScanOnceAndEnd());
  ASSERT_EQ(GetActionStatus(task), 0);
  EXPECT_EQ(NamesOf(ReadFileList(task)), std::vector<std::string>{"spool.log"});
}

// StartActionInit, CheckActionInit and StartAction on a task block of its own.
int32_t StartTaskOn(const PluginDll& dll, RawBlock& task, const std::string& source) {
  task = RawBlock::Default();
  task.SetU32(block::kScanTimeout, kShortScanTimeout);
  task.SetText(block::kSourceFolder, source);
  for (uint32_t selector : {kStartActionInit, kCheckActionInit, kStartAction})
    if (int32_t result = dll.Call(selector, task)) return result;
  return 0;
}

// A host that unloads the library without ShutdownHandler: the scanner thread
// is ended with it, and the library can be loaded and used again.
TEST(LibraryUnloadTest, UnloadingWithoutShutdownEndsTheScannerThread) {
  ASSERT_NE(Reader(), nullptr);
  ScratchFolder scratch("unload");
  const std::string hot = scratch.MakeSubfolder("hot");
  ASSERT_TRUE(WriteBytes(hot + "left.ps", PostScriptJob("Left", "Lee")));
  LogSettingsScope logSettings(3);
  DWORD scannerId = 0;
  RawBlock init = RawBlock::Default();
  RawBlock task;
  {
    PluginDll dll(HF_DLL_PATH);
    ASSERT_TRUE(dll.loaded()) << dll.loadError();
    dll.SkipShutdownOnUnload();
    Reader()->Drain();
    ASSERT_EQ(dll.Call(kInitializeHandler, init), 0);
    ASSERT_TRUE(Reader()->WaitForText("Scan thread #0x", kArrivalLimitMs));
    for (const auto& message : ReceivedMessages())
      if (message.second.rfind("Scan thread #0x", 0) == 0)
        scannerId = static_cast<DWORD>(std::stoul(message.second.substr(15), nullptr, 16));
    ASSERT_EQ(StartTaskOn(dll, task, hot), 0);
  }
  ASSERT_NE(scannerId, 0u);
  ScopedHandle thread(::OpenThread(SYNCHRONIZE, FALSE, scannerId));
  // The thread is gone already (no handle to it) or ends without delay.
  if (thread) {
    EXPECT_EQ(::WaitForSingleObject(thread.get(), kArrivalLimitMs), WAIT_OBJECT_0);
  }

  PluginDll again(HF_DLL_PATH);
  ASSERT_TRUE(again.loaded());
  init = RawBlock::Default();
  ASSERT_EQ(again.Call(kInitializeHandler, init), 0);
  ASSERT_EQ(StartTaskOn(again, task, hot), 0);
  EXPECT_EQ(task.U32(block::kTaskId), 1u) << "a fresh library numbers from 1";
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
