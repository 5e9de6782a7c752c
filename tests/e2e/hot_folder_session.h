// Helpers of the hot folder end-to-end tests: the DLL loaded afresh with a
// scratch folder (data folder, hot folders, destinations), task blocks driven
// the way the host drives them, polling GetActionStatus with a time limit,
// the handed-over file records read through their byte offsets, and one
// mailslot reader for the whole test program.
#pragma once

#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/plugin_dll.h"
#include "tests/support/win32/raw_block.h"
#include "tests/support/win32/scratch_folder.h"

#include "common/win32/scoped_handle.h"
#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace hot_folder_e2e {

constexpr uint32_t kInitializeHandler = 0;
constexpr uint32_t kShutdownHandler = 1;
constexpr uint32_t kStartAction = 2;
constexpr uint32_t kGetActionStatus = 3;
constexpr uint32_t kCancelAction = 4;
constexpr uint32_t kEndAction = 5;
constexpr uint32_t kClearError = 6;
constexpr uint32_t kGetCaps = 11;
constexpr uint32_t kStartActionInit = 13;
constexpr uint32_t kCheckActionInit = 14;

// The smallest scan interval a task can ask for, in seconds.
constexpr uint32_t kShortScanTimeout = 5;
// Long enough for two scan cycles at the short interval.
constexpr DWORD kArrivalLimitMs = 20000;

// The 1448-byte file record handed to the host, typed in from the interface
// table (not taken from the plug-in's struct).
namespace record {
constexpr size_t kSize = 1448;
constexpr size_t kFolder = 0;
constexpr size_t kFileName = 260;
constexpr size_t kTitle = 520;
constexpr size_t kOwner = 652;
constexpr size_t kFileSize = 784;
constexpr size_t kJobType = 792;
constexpr size_t kGroupMember = 796;
constexpr size_t kColourType = 800;
constexpr size_t kSafeToDelete = 804;
constexpr size_t kNext = 808;
constexpr size_t kPrevious = 812;
constexpr size_t kItemFlags = 984;
constexpr size_t kUniqueId = 1052;
constexpr size_t kIntakeFailureText = 1184;
}  // namespace record

struct FileRecord {
  const uint8_t* address = nullptr;
  std::string folder;
  std::string fileName;
  std::string title;
  std::string owner;
  uint64_t fileSize = 0;
  uint32_t jobType = 0;
  uint32_t groupMember = 0;
  uint32_t colourType = 0;
  uint32_t safeToDelete = 0;
  const void* next = nullptr;
  const void* previous = nullptr;
  uint32_t itemFlags = 0;
  std::string uniqueId;
  std::string intakeFailureText;
};

inline std::string TextAt(const uint8_t* base, size_t offset, size_t width) {
  const char* text = reinterpret_cast<const char*>(base + offset);
  return std::string(text, strnlen(text, width));
}

template <typename T>
T ValueAt(const uint8_t* base, size_t offset) {
  T value;
  std::memcpy(&value, base + offset, sizeof value);
  return value;
}

// The records hanging in fileList, in chain order. Each is marked safe to
// delete afterwards, as the host does when it has taken a record.
inline std::vector<FileRecord> ReadFileList(const RawBlock& block) {
  std::vector<FileRecord> records;
  for (auto* at = static_cast<uint8_t*>(block.Pointer(block::kFileList)); at != nullptr;
       at = static_cast<uint8_t*>(ValueAt<void*>(at, record::kNext))) {
    FileRecord r;
    r.address = at;
    r.folder = TextAt(at, record::kFolder, 260);
    r.fileName = TextAt(at, record::kFileName, 260);
    r.title = TextAt(at, record::kTitle, 132);
    r.owner = TextAt(at, record::kOwner, 132);
    r.fileSize = ValueAt<uint64_t>(at, record::kFileSize);
    r.jobType = ValueAt<uint32_t>(at, record::kJobType);
    r.groupMember = ValueAt<uint32_t>(at, record::kGroupMember);
    r.colourType = ValueAt<uint32_t>(at, record::kColourType);
    r.safeToDelete = ValueAt<uint32_t>(at, record::kSafeToDelete);
    r.next = ValueAt<void*>(at, record::kNext);
    r.previous = ValueAt<void*>(at, record::kPrevious);
    r.itemFlags = ValueAt<uint32_t>(at, record::kItemFlags);
    r.uniqueId = TextAt(at, record::kUniqueId, 128);
    r.intakeFailureText = TextAt(at, record::kIntakeFailureText, 260);
    records.push_back(r);
    if (records.size() > 1000) break;  // a broken chain must not hang the test
  }
  for (const FileRecord& r : records) {
    uint32_t marked = 1;
    std::memcpy(const_cast<uint8_t*>(r.address) + record::kSafeToDelete, &marked, sizeof marked);
  }
  return records;
}

inline std::vector<std::string> NamesOf(const std::vector<FileRecord>& records) {
  std::vector<std::string> names;
  for (const FileRecord& r : records) names.push_back(r.fileName);
  return names;
}

// One mailslot for the whole program: every load of the DLL keeps its handle
// to it, so it cannot be made afresh for each test.
inline MailslotReader*& Reader() {
  static MailslotReader* reader = nullptr;
  return reader;
}

class ReaderEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { Reader() = new MailslotReader(); }
  void TearDown() override {
    delete Reader();
    Reader() = nullptr;
  }
};

inline const ::testing::Environment* const kReaderEnvironment =
    ::testing::AddGlobalTestEnvironment(new ReaderEnvironment);

// The text of a record without its time, id and level prefixes.
inline std::string MessageOf(const LogRecord& logRecord) {
  size_t position = 0;
  for (int spaces = 0; spaces < 3 && position != std::string::npos; ++spaces) {
    position = logRecord.text.find(' ', position);
    if (position != std::string::npos) ++position;
  }
  return position == std::string::npos ? std::string() : logRecord.text.substr(position);
}

using LogMessages = std::vector<std::pair<int, std::string>>;

// Every record sent so far, as (level, message); forgets them.
inline LogMessages ReceivedMessages() {
  LogMessages messages;
  if (Reader() == nullptr) return messages;
  EXPECT_TRUE(Reader()->Sync());
  for (const LogRecord& logRecord : Reader()->Drain()) messages.emplace_back(logRecord.level, MessageOf(logRecord));
  return messages;
}

inline int CountMessages(const LogMessages& messages, int level, const std::string& text) {
  int count = 0;
  for (const auto& message : messages)
    if (message.first == level && message.second == text) ++count;
  return count;
}

inline bool HasMessage(const LogMessages& messages, int level, const std::string& text) {
  return CountMessages(messages, level, text) > 0;
}

inline bool FileIsThere(const std::string& path);

// Renames a file with the machine's own "mv" under Wine, so that the new name
// may hold characters no Windows program can put in a name. Wine cannot wait
// for such a process: the rename is seen done when the old name is gone.
inline bool RenameWithUnixMv(const std::string& windowsPath, const std::string& unixFolder,
                             const std::string& newName) {
  const std::string unixPath = UnixPathOf(windowsPath);
  if (unixPath.empty() || unixFolder.empty()) return false;
  std::string commandLine = "/bin/mv \"" + unixPath + "\" \"" + unixFolder + "/" + newName + "\"";
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
    if (!FileIsThere(windowsPath)) return true;
  return false;
}

inline bool FileIsThere(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

inline std::string PostScriptJob(const std::string& title, const std::string& owner, size_t bodyLines = 3) {
  std::string text = "%!PS-Adobe-3.0\n%%Title: " + title + "\n%%For: " + owner + "\n%%EndComments\n";
  for (size_t line = 0; line < bodyLines; ++line) text += "newpath 0 0 moveto " + std::to_string(line) + " 0 lineto stroke\n";
  return text + "showpage\n%%EOF\n";
}

// The plug-in loaded afresh, a scratch folder with a data folder, and the
// blocks of the host: the InitializeHandler block (the scanner's block, kept
// for the whole test) and one block per task (kept until the test ends, since
// CancelAction makes a task's block the scanner's).
class HotFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Reader(), nullptr);
    ASSERT_TRUE(Reader()->ok()) << Reader()->error();
    ASSERT_TRUE(dll.loaded()) << dll.loadError();
    ASSERT_TRUE(scratch.ok());
    scratch.MakeSubfolder("data");  // the host's data folder exists
    dataFolder = scratch.path() + "data";
    Reader()->Drain();
  }

  void TearDown() override {
    if (initialised) Shutdown();
  }

  // InitializeHandler with the scratch data folder.
  int32_t Initialise() {
    init = RawBlock::Default();
    init.SetPointer(block::kDataFolder, dataFolder.c_str());
    int32_t result = dll.Call(kInitializeHandler, init);
    initialised = result == 0;
    return result;
  }

  int32_t Shutdown() {
    RawBlock block = RawBlock::Default();
    initialised = false;
    return dll.Call(kShutdownHandler, block);
  }

  // A new task block numbered and checked by StartActionInit and
  // CheckActionInit, with the folders and the short scan interval.
  RawBlock& NewTask(const std::string& source, const std::string& destination = std::string()) {
    tasks.push_back(RawBlock::Default());
    RawBlock& task = tasks.back();
    task.SetU32(block::kScanTimeout, kShortScanTimeout);
    task.SetText(block::kSourceFolder, source);
    task.SetText(block::kDestinationFolder, destination);
    EXPECT_EQ(dll.Call(kStartActionInit, task), 0);
    EXPECT_EQ(dll.Call(kCheckActionInit, task), 0);
    return task;
  }

  // NewTask and StartAction, which must succeed.
  RawBlock& StartTask(const std::string& source, const std::string& destination = std::string()) {
    RawBlock& task = NewTask(source, destination);
    EXPECT_EQ(dll.Call(kStartAction, task), 0) << task.MessageText();
    return task;
  }

  int32_t GetActionStatus(RawBlock& task, int32_t itemNumber = 0) {
    task.SetI32(block::kItemNumber, itemNumber);
    return dll.Call(kGetActionStatus, task);
  }

  // Polls GetActionStatus until it hands over a list (result 0) or the time
  // limit passes; returns the records handed over (empty after the limit).
  std::vector<FileRecord> PollForRecords(RawBlock& task, DWORD limitMs = kArrivalLimitMs) {
    const DWORD started = ::GetTickCount();
    for (;;) {
      int32_t result = GetActionStatus(task);
      if (result == 0) return ReadFileList(task);
      EXPECT_EQ(result, 1) << task.MessageText();
      if (result != 1 || ::GetTickCount() - started > limitMs) return {};
      ::Sleep(50);
    }
  }

  // Wakes the scanner through its named wake-up event: it runs one more cycle
  // at once and then ends (until StartAction or CancelAction starts it
  // again). True when its end was logged in time. Drains the log first.
  static bool ScanOnceAndEnd() {
    Reader()->Drain();
    ScopedHandle wake(::OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuilletHotFolder"));
    if (!wake || !::SetEvent(wake.get())) return false;
    return WaitForLog("Event completed. Exiting scan thread");
  }

  // Waits until a log message contains `text` (or the limit passes).
  static bool WaitForLog(const std::string& text, DWORD limitMs = kArrivalLimitMs) {
    return Reader()->WaitForText(text, limitMs);
  }

  LogSettingsScope logSettings{3};
  PluginDll dll{HF_DLL_PATH};
  ScratchFolder scratch{"folders"};
  std::string dataFolder;
  RawBlock init;
  bool initialised = false;
  std::deque<RawBlock> tasks;
};

}  // namespace hot_folder_e2e
