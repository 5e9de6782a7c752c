// The host's parameter block and file record as byte offsets and widths, typed
// in from the host interface tables (not taken from the plug-in's structs), so
// that tests of the boundary catch a layout mistake in the plug-in's headers.
// One table per build: the win64 block keeps the win32 fields in order with
// 8-byte pointers on 8-byte boundaries.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hf {

namespace block {

struct Field {
  const char* name;
  size_t offset;
  size_t width;
};

constexpr size_t kPointerWidth = sizeof(void*);
constexpr size_t kTaskTextSize = 98;

#if defined(_WIN64)
constexpr size_t kSize = 1312;
constexpr Field kMessageText{"messageText", 80, 8};
constexpr Field kMessageLength{"messageLength", 88, 4};
constexpr Field kMessageAcknowledged{"messageAcknowledged", 92, 4};
constexpr Field kMessageOwned{"messageOwned", 96, 4};
constexpr Field kInitDataList{"initDataList", 104, 8};
constexpr Field kIniFile{"iniFile", 152, 8};
constexpr Field kTaskText{"taskText", 244, 196};  // two texts of 98 bytes
constexpr Field kFileList{"fileList", 440, 8};
constexpr Field kScanTimeout{"scanTimeout", 456, 4};
constexpr Field kActionState{"actionState", 460, 4};
constexpr Field kFolderFlags{"folderFlags", 468, 4};
constexpr Field kSourceFolder{"sourceFolder", 472, 260};
constexpr Field kDestinationFolder{"destinationFolder", 732, 260};
constexpr Field kCharSize{"charSize", 1036, 4};
constexpr Field kDataFolder{"dataFolder", 1056, 8};
constexpr Field kTaskSettingsHeader{"taskSettingsHeader", 1128, 4};
constexpr Field kTaskSettings{"taskSettings", 1132, 128};
constexpr Field kVersionByte{"versionByte", 1265, 1};
#else
constexpr size_t kSize = 1280;
constexpr Field kMessageText{"messageText", 80, 4};
constexpr Field kMessageLength{"messageLength", 84, 4};
constexpr Field kMessageAcknowledged{"messageAcknowledged", 88, 4};
constexpr Field kMessageOwned{"messageOwned", 92, 4};
constexpr Field kInitDataList{"initDataList", 96, 4};
constexpr Field kIniFile{"iniFile", 140, 4};
constexpr Field kTaskText{"taskText", 228, 196};  // two texts of 98 bytes
constexpr Field kFileList{"fileList", 424, 4};
constexpr Field kScanTimeout{"scanTimeout", 436, 4};
constexpr Field kActionState{"actionState", 440, 4};
constexpr Field kFolderFlags{"folderFlags", 448, 4};
constexpr Field kSourceFolder{"sourceFolder", 452, 260};
constexpr Field kDestinationFolder{"destinationFolder", 712, 260};
constexpr Field kCharSize{"charSize", 1016, 4};
constexpr Field kDataFolder{"dataFolder", 1032, 4};
constexpr Field kTaskSettingsHeader{"taskSettingsHeader", 1100, 4};
constexpr Field kTaskSettings{"taskSettings", 1104, 128};
constexpr Field kVersionByte{"versionByte", 1237, 1};
#endif

// The head of the block is the same in both builds.
constexpr Field kPluginName{"pluginName", 0, 24};
constexpr Field kVersion{"version", 24, 4};
constexpr Field kStructSize{"structSize", 28, 4};
constexpr Field kVersionFlag{"versionFlag", 32, 4};
constexpr Field kCapsExtra1{"capsExtra1", 36, 4};
constexpr Field kCapsExtra2{"capsExtra2", 40, 4};
constexpr Field kTaskId{"taskId", 52, 4};
constexpr Field kDwFlags{"dwFlags", 56, 4};
constexpr Field kErrorCode{"errorCode", 72, 4};
constexpr Field kItemNumber{"itemNumber", 76, 4};

constexpr Field kAllFields[] = {
    kPluginName,
    kVersion,
    kStructSize,
    kVersionFlag,
    kCapsExtra1,
    kCapsExtra2,
    kTaskId,
    kDwFlags,
    kErrorCode,
    kItemNumber,
    kMessageText,
    kMessageLength,
    kMessageAcknowledged,
    kMessageOwned,
    kInitDataList,
    kIniFile,
    kTaskText,
    kFileList,
    kScanTimeout,
    kActionState,
    kFolderFlags,
    kSourceFolder,
    kDestinationFolder,
    kCharSize,
    kDataFolder,
    kTaskSettingsHeader,
    kTaskSettings,
    kVersionByte,
};

// In the chain of initDataList, the next block's address sits at this byte.
constexpr size_t kInitDataNext = kPointerWidth;

// Switches of the task settings record, offsets within the record.
constexpr size_t kGroupingEnabledInRecord = 60;
constexpr size_t kScriptingEnabledInRecord = 64;
constexpr size_t kThumbnailsEnabledInRecord = 72;

}  // namespace block

// The chained file record handed to the host.
namespace file_record {

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
#if defined(_WIN64)
constexpr size_t kSize = 1456;
constexpr size_t kPrevious = 816;
constexpr size_t kItemFlags = 992;
constexpr size_t kUniqueId = 1060;
constexpr size_t kIntakeFailureText = 1192;
#else
constexpr size_t kSize = 1448;
constexpr size_t kPrevious = 812;
constexpr size_t kItemFlags = 984;
constexpr size_t kUniqueId = 1052;
constexpr size_t kIntakeFailureText = 1184;
#endif

}  // namespace file_record

}  // namespace hf
