// The host's parameter block and file record as byte offsets and widths, typed
// in from the host interface tables (not taken from the plug-in's structs), so
// that tests of the boundary catch a layout mistake in the plug-in's headers.
// At(win32, win64): the win64 block keeps the win32 fields in order, with
// 8-byte pointers on 8-byte boundaries.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hf {

#if defined(_WIN64)
constexpr size_t At(size_t, size_t win64) { return win64; }
#else
constexpr size_t At(size_t win32, size_t) { return win32; }
#endif

namespace block {

struct Field {
  const char* name;
  size_t offset;
  size_t width;
};

constexpr size_t kPointerWidth = sizeof(void*);
constexpr size_t kTaskTextSize = 98;
constexpr size_t kSize = At(1280, 1312);

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
constexpr Field kMessageText{"messageText", 80, kPointerWidth};
constexpr Field kMessageLength{"messageLength", At(84, 88), 4};
constexpr Field kMessageAcknowledged{"messageAcknowledged", At(88, 92), 4};
constexpr Field kMessageOwned{"messageOwned", At(92, 96), 4};
constexpr Field kInitDataList{"initDataList", At(96, 104), kPointerWidth};
constexpr Field kIniFile{"iniFile", At(140, 152), kPointerWidth};
constexpr Field kTaskText{"taskText", At(228, 244), 2 * kTaskTextSize};
constexpr Field kFileList{"fileList", At(424, 440), kPointerWidth};
constexpr Field kScanTimeout{"scanTimeout", At(436, 456), 4};
constexpr Field kActionState{"actionState", At(440, 460), 4};
constexpr Field kFolderFlags{"folderFlags", At(448, 468), 4};
constexpr Field kSourceFolder{"sourceFolder", At(452, 472), 260};
constexpr Field kDestinationFolder{"destinationFolder", At(712, 732), 260};
constexpr Field kCharSize{"charSize", At(1016, 1036), 4};
constexpr Field kDataFolder{"dataFolder", At(1032, 1056), kPointerWidth};
constexpr Field kTaskSettingsHeader{"taskSettingsHeader", At(1100, 1128), 4};
constexpr Field kTaskSettings{"taskSettings", At(1104, 1132), 128};
constexpr Field kVersionByte{"versionByte", At(1237, 1265), 1};

// Every field above, in the block's order.
constexpr Field kAllFields[] = {kPluginName,
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
                                kVersionByte};

// In the chain of initDataList, the next block's address sits at this byte.
constexpr size_t kInitDataNext = kPointerWidth;

// Switches of the task settings record, offsets within the record.
constexpr size_t kGroupingEnabledInRecord = 60;
constexpr size_t kScriptingEnabledInRecord = 64;
constexpr size_t kThumbnailsEnabledInRecord = 72;

}  // namespace block

// The chained file record handed to the host.
namespace file_record {

constexpr size_t kFolder = 0, kFileName = 260, kTitle = 520, kOwner = 652, kFileSize = 784, kJobType = 792,
                 kGroupMember = 796, kColourType = 800, kSafeToDelete = 804, kNext = 808;
constexpr size_t kSize = At(1448, 1456), kPrevious = At(812, 816), kItemFlags = At(984, 992),
                 kUniqueId = At(1052, 1060), kIntakeFailureText = At(1184, 1192);

}  // namespace file_record

}  // namespace hf
