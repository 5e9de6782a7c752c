// PluginParameters: the host's parameter block, byte for byte, with the
// selector numbers, result codes and the view on the task settings record.
// The win32 build's block is 1280 bytes. The win64 build keeps every field in
// the same order and every unused area at its 32-bit byte count; its pointers
// are 8 bytes on 8-byte boundaries (plain natural alignment), so its block is
// 1312 bytes. docs/HOST_INTERFACE.md has both tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hf {

struct IniFileDescriptor;  // common/win32/zu_ini_file.h

// Selector numbers of ActionEntryPoint. Numbers 9, 12, 18 and above 22 have no name.
enum Selector : uint32_t {
  kInitializeHandler = 0,
  kShutdownHandler = 1,
  kStartAction = 2,
  kGetActionStatus = 3,
  kCancelAction = 4,
  kEndAction = 5,
  kClearError = 6,
  kGetPSUs = 7,
  kDeletePGBs = 8,
  kGetVersion = 10,
  kGetCaps = 11,
  kStartActionInit = 13,
  kCheckActionInit = 14,
  kGetActionResource = 15,
  kGetTargets = 16,
  kGetOnlineStatus = 17,
  kTerminateAction = 19,
  kAutoCreateWFA = 20,
  kRetrieveLogs = 21,
  kPerformActionCommand = 22,
};

// Results at the boundary.
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultRefused = -1;
constexpr int32_t kResultWrongBlock = -2;

constexpr uint32_t kInterfaceVersion = 5;
#if defined(_WIN64)
constexpr uint32_t kParameterBlockSize = 1312;
#else
constexpr uint32_t kParameterBlockSize = 1280;
#endif
constexpr const char* kPluginDisplayName = "Hot Folder";

// dwFlags: the bits GetCaps sets, and the bit that lets the scanner run scripts.
constexpr uint32_t kCapsFlags = 0x24103;
constexpr uint32_t ScriptBit = 0x20000;

// actionState of a task, as the plug-in writes it; larger values than
// kLastPluginState belong to the host and are left alone.
constexpr int32_t kStateEnded = 0;
constexpr int32_t kStateTaskNumbered = 1;
constexpr int32_t kStateCalledTooEarly = 2;  // StartAction before the init selectors
constexpr int32_t kStateInitChecked = 3;
constexpr int32_t kStateStarted = 4;
constexpr int32_t kStateFailed = 6;
constexpr int32_t kLastPluginState = 6;

constexpr uint32_t kDefaultScanTimeout = 50;
constexpr uint32_t kDefaultTaskSettingsHeader = 0x000A0084;  // 132 bytes: header and record

constexpr size_t kTaskTextSize = 98;

// The task settings record (block byte 1104); each switch is non-zero for on.
struct TaskSettingsRecord {
  uint8_t reserved0[60];
  uint32_t groupingEnabled;
  uint32_t scriptingEnabled;
  uint32_t reserved68;
  uint32_t thumbnailsEnabled;
  uint8_t reserved76[52];
};
static_assert(sizeof(TaskSettingsRecord) == 128, "task settings record is 128 bytes");
static_assert(offsetof(TaskSettingsRecord, groupingEnabled) == 60, "groupingEnabled");
static_assert(offsetof(TaskSettingsRecord, scriptingEnabled) == 64, "scriptingEnabled");
static_assert(offsetof(TaskSettingsRecord, thumbnailsEnabled) == 72, "thumbnailsEnabled");

// The host owns the block; the plug-in only fills fields and hangs its own
// global-memory blocks on it (messageText, fileList).
struct PluginParameters {
  char pluginName[24];
  uint32_t version;
  uint32_t structSize;
  uint32_t versionFlag;
  int32_t capsExtra1;
  int32_t capsExtra2;
  uint8_t reserved44[8];
  uint32_t taskId;
  uint32_t dwFlags;
  uint8_t reserved60[12];
  int32_t errorCode;
  int32_t itemNumber;
  char* messageText;
  uint32_t messageLength;
  uint32_t messageAcknowledged;
  uint32_t messageOwned;
  void* initDataList;  // chain of global blocks, next pointer at kInitDataNextOffset
  uint8_t reserved100[40];
  IniFileDescriptor* iniFile;
  uint8_t reserved144[84];
  char taskText[2][kTaskTextSize];  // filename scheme settings name, script name
  void* fileList;                   // head of the chained file records
  uint8_t reserved428[8];
  uint32_t scanTimeout;
  int32_t actionState;
  uint8_t reserved444[4];
  uint32_t folderFlags;
  char sourceFolder[260];
  char destinationFolder[260];
  uint8_t reserved972[44];
  uint32_t charSize;
  uint8_t reserved1020[12];
  char* dataFolder;
  uint8_t reserved1036[64];
  uint32_t taskSettingsHeader;
  TaskSettingsRecord taskSettings;
  uint8_t reserved1232[5];
  uint8_t versionByte;
  uint8_t reserved1238[42];
};

// Each build pins its own layout.
#define HF_BLOCK_FIELD_AT(field, offset) static_assert(offsetof(PluginParameters, field) == (offset), #field " offset")
#if defined(_WIN64)
static_assert(sizeof(void*) == 8, "the win64 block holds 64-bit pointers");
static_assert(sizeof(PluginParameters) == 1312, "the 64-bit host's block is 1312 bytes");
HF_BLOCK_FIELD_AT(pluginName, 0);
HF_BLOCK_FIELD_AT(version, 24);
HF_BLOCK_FIELD_AT(structSize, 28);
HF_BLOCK_FIELD_AT(versionFlag, 32);
HF_BLOCK_FIELD_AT(capsExtra1, 36);
HF_BLOCK_FIELD_AT(capsExtra2, 40);
HF_BLOCK_FIELD_AT(reserved44, 44);
HF_BLOCK_FIELD_AT(taskId, 52);
HF_BLOCK_FIELD_AT(dwFlags, 56);
HF_BLOCK_FIELD_AT(reserved60, 60);
HF_BLOCK_FIELD_AT(errorCode, 72);
HF_BLOCK_FIELD_AT(itemNumber, 76);
HF_BLOCK_FIELD_AT(messageText, 80);
HF_BLOCK_FIELD_AT(messageLength, 88);
HF_BLOCK_FIELD_AT(messageAcknowledged, 92);
HF_BLOCK_FIELD_AT(messageOwned, 96);
HF_BLOCK_FIELD_AT(initDataList, 104);
HF_BLOCK_FIELD_AT(reserved100, 112);
HF_BLOCK_FIELD_AT(iniFile, 152);
HF_BLOCK_FIELD_AT(reserved144, 160);
HF_BLOCK_FIELD_AT(taskText, 244);
HF_BLOCK_FIELD_AT(fileList, 440);
HF_BLOCK_FIELD_AT(reserved428, 448);
HF_BLOCK_FIELD_AT(scanTimeout, 456);
HF_BLOCK_FIELD_AT(actionState, 460);
HF_BLOCK_FIELD_AT(reserved444, 464);
HF_BLOCK_FIELD_AT(folderFlags, 468);
HF_BLOCK_FIELD_AT(sourceFolder, 472);
HF_BLOCK_FIELD_AT(destinationFolder, 732);
HF_BLOCK_FIELD_AT(reserved972, 992);
HF_BLOCK_FIELD_AT(charSize, 1036);
HF_BLOCK_FIELD_AT(reserved1020, 1040);
HF_BLOCK_FIELD_AT(dataFolder, 1056);
HF_BLOCK_FIELD_AT(reserved1036, 1064);
HF_BLOCK_FIELD_AT(taskSettingsHeader, 1128);
HF_BLOCK_FIELD_AT(taskSettings, 1132);
HF_BLOCK_FIELD_AT(reserved1232, 1260);
HF_BLOCK_FIELD_AT(versionByte, 1265);
HF_BLOCK_FIELD_AT(reserved1238, 1266);
#else
static_assert(sizeof(void*) == 4, "the win32 block holds 32-bit pointers");
static_assert(sizeof(PluginParameters) == 1280, "the host's block is 1280 bytes");
HF_BLOCK_FIELD_AT(pluginName, 0);
HF_BLOCK_FIELD_AT(version, 24);
HF_BLOCK_FIELD_AT(structSize, 28);
HF_BLOCK_FIELD_AT(versionFlag, 32);
HF_BLOCK_FIELD_AT(capsExtra1, 36);
HF_BLOCK_FIELD_AT(capsExtra2, 40);
HF_BLOCK_FIELD_AT(reserved44, 44);
HF_BLOCK_FIELD_AT(taskId, 52);
HF_BLOCK_FIELD_AT(dwFlags, 56);
HF_BLOCK_FIELD_AT(reserved60, 60);
HF_BLOCK_FIELD_AT(errorCode, 72);
HF_BLOCK_FIELD_AT(itemNumber, 76);
HF_BLOCK_FIELD_AT(messageText, 80);
HF_BLOCK_FIELD_AT(messageLength, 84);
HF_BLOCK_FIELD_AT(messageAcknowledged, 88);
HF_BLOCK_FIELD_AT(messageOwned, 92);
HF_BLOCK_FIELD_AT(initDataList, 96);
HF_BLOCK_FIELD_AT(reserved100, 100);
HF_BLOCK_FIELD_AT(iniFile, 140);
HF_BLOCK_FIELD_AT(reserved144, 144);
HF_BLOCK_FIELD_AT(taskText, 228);
HF_BLOCK_FIELD_AT(fileList, 424);
HF_BLOCK_FIELD_AT(reserved428, 428);
HF_BLOCK_FIELD_AT(scanTimeout, 436);
HF_BLOCK_FIELD_AT(actionState, 440);
HF_BLOCK_FIELD_AT(reserved444, 444);
HF_BLOCK_FIELD_AT(folderFlags, 448);
HF_BLOCK_FIELD_AT(sourceFolder, 452);
HF_BLOCK_FIELD_AT(destinationFolder, 712);
HF_BLOCK_FIELD_AT(reserved972, 972);
HF_BLOCK_FIELD_AT(charSize, 1016);
HF_BLOCK_FIELD_AT(reserved1020, 1020);
HF_BLOCK_FIELD_AT(dataFolder, 1032);
HF_BLOCK_FIELD_AT(reserved1036, 1036);
HF_BLOCK_FIELD_AT(taskSettingsHeader, 1100);
HF_BLOCK_FIELD_AT(taskSettings, 1104);
HF_BLOCK_FIELD_AT(reserved1232, 1232);
HF_BLOCK_FIELD_AT(versionByte, 1237);
HF_BLOCK_FIELD_AT(reserved1238, 1238);
#endif
#undef HF_BLOCK_FIELD_AT
static_assert(sizeof(PluginParameters) == kParameterBlockSize, "structSize names the block's own size");

// In the chain of initDataList each block holds the next block's address at
// this byte: the first pointer-sized slot after a 4-byte field.
constexpr size_t kInitDataNextOffset = sizeof(void*);

// Fills `params` as a block that the plug-in builds for its own routines:
// all zero except version 5, structSize (the block's size), capsExtra1/2 -1, scanTimeout 50,
// charSize 1 and taskSettingsHeader 0x000A0084.
void InitialiseDefaultParameters(PluginParameters& params);

// Read access to the task's switches and its two setting names. The view
// points into the block, so it reads the values current at each call. The
// texts are read within their 98 bytes, terminated or not.
class TaskSettingsView {
 public:
  explicit TaskSettingsView(const PluginParameters& params);

  bool groupingEnabled() const { return settings_->groupingEnabled != 0; }
  bool scriptingEnabled() const { return settings_->scriptingEnabled != 0; }
  bool thumbnailsEnabled() const { return settings_->thumbnailsEnabled != 0; }

  // The filename scheme settings file used for grouping (first text).
  std::string filenameSchemeName() const { return Text(0); }
  // The script file (second text).
  std::string scriptName() const { return Text(1); }

 private:
  std::string Text(int index) const;

  const TaskSettingsRecord* settings_;
  const char (*texts_)[kTaskTextSize];
};

}  // namespace hf
