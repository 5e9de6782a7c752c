// The plug-in DLL driven the way the host drives it, for end-to-end tests.
#pragma once

#include "base/path_utils.h"
#include "formats/ini_document.h"
#include "host/zu_ini_file.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/plugin_dll.h"
#include "tests/support/win32/raw_block.h"
#include "tests/support/win32/scratch_folder.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace hf::hot_folder_e2e {

// The host's selectors.
constexpr uint32_t kInitializeHandler = 0, kShutdownHandler = 1, kStartAction = 2, kGetActionStatus = 3,
                   kCancelAction = 4, kEndAction = 5, kClearError = 6, kGetVersion = 10, kGetCaps = 11,
                   kStartActionInit = 13, kCheckActionInit = 14, kGetTargets = 16;

constexpr uint32_t kShortScanTimeout = 5;  // the smallest scan interval, in seconds
constexpr DWORD kArrivalLimitMs = 20000;   // two scan cycles at the short interval
constexpr DWORD kGroupLimitMs = 40000;     // a group closed by its time-out and handed over
constexpr uint32_t kFileGroupListType = 0x8000000;
constexpr char kWithoutPreps[] = "Default RUD Without PREPS";  // a shipped filename template

// A handed-over record, read through the offsets of block_offsets.h.
struct FileRecord {
  const uint8_t* address = nullptr;
  std::string folder, fileName, title, owner;
  uint64_t fileSize = 0;
  uint32_t jobType = 0, groupMember = 0, colourType = 0, safeToDelete = 0;
  const void* next = nullptr;
  const void* previous = nullptr;
  uint32_t itemFlags = 0;
  std::string uniqueId, intakeFailureText;
};

// The records of fileList in chain order, then marked safe to delete as the host does.
std::vector<FileRecord> ReadFileList(const RawBlock& block);
// The records' file names, sorted.
std::vector<std::string> NamesOf(const std::vector<FileRecord>& records);

// The program's one mailslot reader (every load of the DLL keeps its handle to the mailslot).
MailslotReader* Reader();

using LogMessages = std::vector<std::pair<int, std::string>>;
// Every record sent so far as (level, text after the time, id and level); forgets them.
LogMessages ReceivedMessages();
int CountMessages(const LogMessages& messages, int level, const std::string& text);
inline bool HasMessage(const LogMessages& messages, int level, const std::string& text) {
  return CountMessages(messages, level, text) > 0;
}
// Every (level, text) of `wanted` is among `messages`.
void ExpectMessages(const LogMessages& messages, const LogMessages& wanted);
// A message of `level` (any level when negative) that starts with `start` and contains `part`.
bool HasMessageStarting(const LogMessages& messages, int level, const std::string& start,
                        const std::string& part = std::string());

std::string PostScriptJob(const std::string& title, const std::string& owner, size_t bodyLines = 3);
inline std::string TiffBytes(const std::string& tag) { return std::string("II*\0", 4) + "separation " + tag; }
// A file of config/Config/FilenameSetups in the source tree.
std::string ShippedFile(const std::string& name);
// A value of the group file a record names ("<missing>" when absent).
std::string GroupText(const FileRecord& record, const char* section, const char* key);
// A ".fgl" record in the destination, its folder beside it holding exactly `members` (with
// the bytes TiffBytes(name)), each listed in FileInfo, and nothing of it left in the hot folder.
void ExpectGroupArrived(const FileRecord& record, const std::string& destination, const std::string& hot,
                        std::vector<std::string> members);

// "Config\FilenameSetups" beside the host program (this test program), empty at first; a Config
// folder that was there is put aside and back.
class ProgramConfig {
 public:
  ProgramConfig();
  ~ProgramConfig();
  ProgramConfig(const ProgramConfig&) = delete;
  ProgramConfig& operator=(const ProgramConfig&) = delete;

  std::string PathOf(const std::string& name) const { return config_ + "\\FilenameSetups\\" + name; }
  void WriteCatalogue() { EXPECT_TRUE(WriteBytes(PathOf("Colours.ini"), ShippedFile("Colours.ini"))); }
  // A shipped template written as `name` with its closing rules replaced.
  void WriteTemplate(const std::string& name, const std::string& shipped, int timeout, int closeOnCount, int count);

 private:
  std::string config_ = HostProgramFolder() + "\\Config";
  bool putAside_ = false;
};

// The plug-in loaded afresh, scratch folders, and the host's blocks: the InitializeHandler block
// and one per task, kept until the test ends (the scanner may hold them).
class HotFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // InitializeHandler with the scratch data folder and, given a loop limit, a host INI file setting it.
  int32_t Initialise(int fileLoopLimit = 0);
  int32_t Shutdown();
  // A task block with the folders and the short scan interval, through StartActionInit and CheckActionInit.
  RawBlock& NewTask(const std::string& source, const std::string& destination = std::string());
  RawBlock& StartTask(const std::string& source, const std::string& destination = std::string());
  RawBlock& StartGroupingTask(const std::string& source, const std::string& destination,
                              const std::string& templateName, bool thumbnails = false);
  int32_t GetActionStatus(RawBlock& task, int32_t itemNumber = 0);
  // Polls GetActionStatus until `count` records have been handed over in all, or the limit passes.
  std::vector<FileRecord> CollectRecords(RawBlock& task, size_t count = 1, DWORD limitMs = kGroupLimitMs);
  // Drains the log and wakes the scanner through its named event: it runs one more cycle and ends.
  static bool ScanOnceAndEnd();
  static bool WaitForLog(const std::string& text, DWORD limitMs = kArrivalLimitMs) {
    return Reader()->WaitForText(text, limitMs);
  }

  LogSettingsScope logSettings{3};
  PluginDll dll{HF_DLL_PATH};
  ScratchFolder scratch{"folders"};
  std::string dataFolder = scratch.path() + "data";  // made by SetUp, without its backslash
  const std::string hot = scratch.MakeSubfolder("hot");
  const std::string out = scratch.MakeSubfolder("out");
  std::string iniPath = scratch.path() + "host.ini";
  IniFileDescriptor iniDescriptor{};
  RawBlock init;
  bool initialised = false;
  std::deque<RawBlock> tasks;
};

}  // namespace hf::hot_folder_e2e
