// PluginParameters: the host's 1280-byte parameter block, byte for byte, with
// the selector numbers, result codes and the view on the task settings record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct IniFileDescriptor;  // common/win32/zu_ini_file.h

// hotfolder.dll is a 32-bit DLL: every pointer field of the block is 4 bytes.
static_assert(sizeof(void*) == 4, "the parameter block holds 32-bit pointers");

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
constexpr uint32_t kParameterBlockSize = 1280;
constexpr const char* kPluginDisplayName = "Hot Folder";

// dwFlags: the bits GetCaps sets, and the bit that lets the scanner run scripts.
constexpr uint32_t kCapsFlags = 0x24103;
constexpr uint32_t ScriptBit = 0x20000;

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
  void* initDataList;  // chain of global blocks, next pointer at block byte 4
  uint8_t reserved100[40];
  IniFileDescriptor* iniFile;
  uint8_t reserved144[84];
  char taskText[2][kTaskTextSize];  // filename scheme settings name, script name
  void* fileList;                   // head of the chained 1448-byte file records
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

static_assert(sizeof(PluginParameters) == 1280, "the host's block is 1280 bytes");
static_assert(offsetof(PluginParameters, pluginName) == 0, "pluginName");
static_assert(offsetof(PluginParameters, version) == 24, "version");
static_assert(offsetof(PluginParameters, structSize) == 28, "structSize");
static_assert(offsetof(PluginParameters, versionFlag) == 32, "versionFlag");
static_assert(offsetof(PluginParameters, capsExtra1) == 36, "capsExtra1");
static_assert(offsetof(PluginParameters, capsExtra2) == 40, "capsExtra2");
static_assert(offsetof(PluginParameters, taskId) == 52, "taskId");
static_assert(offsetof(PluginParameters, dwFlags) == 56, "dwFlags");
static_assert(offsetof(PluginParameters, errorCode) == 72, "errorCode");
static_assert(offsetof(PluginParameters, itemNumber) == 76, "itemNumber");
static_assert(offsetof(PluginParameters, messageText) == 80, "messageText");
static_assert(offsetof(PluginParameters, messageLength) == 84, "messageLength");
static_assert(offsetof(PluginParameters, messageAcknowledged) == 88, "messageAcknowledged");
static_assert(offsetof(PluginParameters, messageOwned) == 92, "messageOwned");
static_assert(offsetof(PluginParameters, initDataList) == 96, "initDataList");
static_assert(offsetof(PluginParameters, iniFile) == 140, "iniFile");
static_assert(offsetof(PluginParameters, taskText) == 228, "taskText");
static_assert(offsetof(PluginParameters, fileList) == 424, "fileList");
static_assert(offsetof(PluginParameters, scanTimeout) == 436, "scanTimeout");
static_assert(offsetof(PluginParameters, actionState) == 440, "actionState");
static_assert(offsetof(PluginParameters, folderFlags) == 448, "folderFlags");
static_assert(offsetof(PluginParameters, sourceFolder) == 452, "sourceFolder");
static_assert(offsetof(PluginParameters, destinationFolder) == 712, "destinationFolder");
static_assert(offsetof(PluginParameters, charSize) == 1016, "charSize");
static_assert(offsetof(PluginParameters, dataFolder) == 1032, "dataFolder");
static_assert(offsetof(PluginParameters, taskSettingsHeader) == 1100, "taskSettingsHeader");
static_assert(offsetof(PluginParameters, taskSettings) == 1104, "taskSettings");
static_assert(offsetof(PluginParameters, versionByte) == 1237, "versionByte");

// Fills `params` as a block that the plug-in builds for its own routines:
// all zero except version 5, structSize 1280, capsExtra1/2 -1, scanTimeout 50,
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
