// Helpers of the hot folder end-to-end tests: the DLL loaded afresh with a
// scratch folder (data folder, hot folders, destinations), task blocks driven
// the way the host drives them, polling GetActionStatus with a time limit,
// the handed-over file records read through their byte offsets, the grouping
// templates beside the host program, and one mailslot reader for the whole
// test program.
#pragma once

#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/plugin_dll.h"
#include "tests/support/win32/raw_block.h"
#include "tests/support/win32/scratch_folder.h"

#include "base/file_io.h"
#include "grouping/group_document.h"
#include "formats/ini_document.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "host/zu_ini_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace hf {

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
// Long enough for a group to close by its time-out and be handed over.
constexpr DWORD kGroupLimitMs = 40000;

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
       at = static_cast<uint8_t*>(ValueAt<void*>(at, file_record::kNext))) {
    using namespace file_record;
    FileRecord r{at,
                 TextAt(at, kFolder, 260),
                 TextAt(at, kFileName, 260),
                 TextAt(at, kTitle, 132),
                 TextAt(at, kOwner, 132),
                 ValueAt<uint64_t>(at, kFileSize),
                 ValueAt<uint32_t>(at, kJobType),
                 ValueAt<uint32_t>(at, kGroupMember),
                 ValueAt<uint32_t>(at, kColourType),
                 ValueAt<uint32_t>(at, kSafeToDelete),
                 ValueAt<void*>(at, kNext),
                 ValueAt<void*>(at, kPrevious),
                 ValueAt<uint32_t>(at, kItemFlags),
                 TextAt(at, kUniqueId, 128),
                 TextAt(at, kIntakeFailureText, 260)};
    records.push_back(r);
    if (records.size() > 1000) break;  // a broken chain must not hang the test
  }
  for (const FileRecord& r : records) {
    uint32_t marked = 1;
    std::memcpy(const_cast<uint8_t*>(r.address) + file_record::kSafeToDelete, &marked, sizeof marked);
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

inline bool FileIsThere(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

inline std::string PostScriptJob(const std::string& title, const std::string& owner, size_t bodyLines = 3) {
  std::string text = "%!PS-Adobe-3.0\n%%Title: " + title + "\n%%For: " + owner + "\n%%EndComments\n";
  for (size_t line = 0; line < bodyLines; ++line) text += "newpath 0 0 moveto " + std::to_string(line) + " 0 lineto stroke\n";
  return text + "showpage\n%%EOF\n";
}

inline std::string TiffBytes(const std::string& tag) { return std::string("II*\0", 4) + "separation " + tag; }

constexpr uint32_t kFileGroupListType = 0x8000000;
const char kWithoutPreps[] = "Default RUD Without PREPS";

inline std::string ShippedFile(const std::string& name) {
  std::string text;
  EXPECT_TRUE(ReadBytes(std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + name, text)) << name;
  return text;
}

// The group file at the record's place, loaded.
inline CIniDocument LoadGroup(const FileRecord& record) {
  CIniDocument document;
  EXPECT_TRUE(document.Load(record.folder + record.fileName)) << record.folder + record.fileName;
  return document;
}

inline std::string GroupText(const CIniDocument& document, const char* section, const char* key) {
  return document.GetValue(section, key, "<missing>");
}

// Checks one handed-over group: a ".fgl" record in the destination, its
// folder beside it holding exactly `members`, each listed once in FileInfo,
// and nothing of it left in the hot folder.
inline void ExpectGroupArrived(const FileRecord& record, const std::string& destination, const std::string& hot,
                               std::vector<std::string> members) {
  EXPECT_EQ(record.folder, destination);
  EXPECT_EQ(record.jobType, kFileGroupListType);
  EXPECT_EQ(record.groupMember, 1u);
  ASSERT_GE(record.fileName.size(), 4u);
  EXPECT_EQ(record.fileName.substr(record.fileName.size() - 4), ".fgl");
  const std::string stem = record.fileName.substr(0, record.fileName.size() - 4);
  CIniDocument document = LoadGroup(record);
  EXPECT_EQ(GroupText(document, "FileGroupInfo", "FolderPath"), destination + stem);
  std::vector<std::string> listed = CGroupDocumentReader(document).GetFileInfoNames();
  std::sort(listed.begin(), listed.end());
  std::sort(members.begin(), members.end());
  EXPECT_EQ(listed, members) << record.fileName;
  EXPECT_EQ(FileNamesIn(destination + stem), members) << record.fileName;
  EXPECT_FALSE(FileIsThere(hot + record.fileName));
  EXPECT_FALSE(FolderExists(hot + stem));
}

// The sample catalogue and test templates in "Config\FilenameSetups" beside
// the host program (this test program); what was made is removed afterwards
// and a catalogue that was there is put back.
class FilenameSetups {
 public:
  FilenameSetups() : folder_(HostProgramFolder() + "\\Config\\FilenameSetups\\") {
    for (const std::string& path : {HostProgramFolder() + "\\Config", folder_})
      if (!FolderExists(path) && ::CreateDirectoryA(path.c_str(), nullptr)) madeFolders_.push_back(path);
    hadCatalogue_ = ReadBytes(folder_ + "Colours.ini", oldCatalogue_);
  }
  ~FilenameSetups() {
    for (const std::string& file : madeFiles_) ::DeleteFileA(file.c_str());
    if (hadCatalogue_)
      WriteBytes(folder_ + "Colours.ini", oldCatalogue_);
    else
      ::DeleteFileA((folder_ + "Colours.ini").c_str());
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) ::RemoveDirectoryA(it->c_str());
  }

  void WriteCatalogue() { ASSERT_TRUE(WriteBytes(folder_ + "Colours.ini", ShippedFile("Colours.ini"))); }
  void RemoveCatalogue() { ::DeleteFileA((folder_ + "Colours.ini").c_str()); }

  // A shipped template under `name` with its closing rules replaced.
  void WriteTemplate(const std::string& name, const std::string& shipped, int timeout, int closeOnCount, int count) {
    CIniDocument document;
    document.LoadFromBuffer(ShippedFile(shipped + ".fns"));
    document.SetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", std::to_string(timeout));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_ON_FILECOUNT", std::to_string(closeOnCount));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", std::to_string(count));
    ASSERT_TRUE(WriteBytes(folder_ + name + ".fns", document.SaveToBuffer()));
    madeFiles_.push_back(folder_ + name + ".fns");
  }

  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::vector<std::string> madeFolders_;
  std::vector<std::string> madeFiles_;
  bool hadCatalogue_ = false;
  std::string oldCatalogue_;
};

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

  // InitializeHandler with the scratch data folder; with a loop limit, also
  // with a host INI file ("host.ini" in the scratch folder) that sets it.
  int32_t Initialise(int fileLoopLimit = 0) {
    init = RawBlock::Default();
    init.SetPointer(block::kDataFolder, dataFolder.c_str());
    if (fileLoopLimit > 0) {
      EXPECT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=" + std::to_string(fileLoopLimit) + "\r\n"));
      std::snprintf(iniDescriptor.path, sizeof iniDescriptor.path, "%s", iniPath.c_str());
      init.SetPointer(block::kIniFile, &iniDescriptor);
    }
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

  // A started task that groups with `templateName`.
  RawBlock& StartGroupingTask(const std::string& source, const std::string& destination,
                              const std::string& templateName, bool thumbnails = false) {
    RawBlock& task = NewTask(source, destination);
    const uint32_t on = 1;
    std::memcpy(task.data() + block::kTaskSettings.offset + block::kGroupingEnabledInRecord, &on, sizeof on);
    if (thumbnails)
      std::memcpy(task.data() + block::kTaskSettings.offset + block::kThumbnailsEnabledInRecord, &on, sizeof on);
    std::memcpy(task.data() + block::kTaskText.offset, templateName.c_str(), templateName.size() + 1);
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

  // Polls GetActionStatus until `count` records have been handed over in
  // all (or the limit passes).
  std::vector<FileRecord> CollectRecords(RawBlock& task, size_t count, DWORD limitMs = kGroupLimitMs) {
    std::vector<FileRecord> records;
    const DWORD started = ::GetTickCount();
    while (records.size() < count && ::GetTickCount() - started < limitMs) {
      if (GetActionStatus(task) == 0) {
        std::vector<FileRecord> more = ReadFileList(task);
        records.insert(records.end(), more.begin(), more.end());
      } else {
        ::Sleep(50);
      }
    }
    return records;
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
  // Most tests watch one hot folder and move into one destination.
  const std::string hot = scratch.MakeSubfolder("hot");
  const std::string out = scratch.MakeSubfolder("out");
  std::string iniPath = scratch.path() + "host.ini";
  IniFileDescriptor iniDescriptor{};
  RawBlock init;
  bool initialised = false;
  std::deque<RawBlock> tasks;
};

}  // namespace hot_folder_e2e

}  // namespace hf
