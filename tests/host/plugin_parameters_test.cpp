// The plug-in's block layout against the host's offset table, the default
// block, and the task settings view.
#include "host/plugin_parameters.h"

#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/raw_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace hf {

namespace {

#define EXPECT_FIELD(member, field)                                     \
  do {                                                                  \
    EXPECT_EQ(offsetof(PluginParameters, member), (field).offset) << #member; \
    EXPECT_EQ(sizeof(PluginParameters::member), (field).width) << #member;    \
  } while (0)

TEST(PluginParametersTest, EveryFieldSitsAtTheHostsOffsetWithTheHostsWidth) {
  EXPECT_EQ(sizeof(PluginParameters), block::kSize);
  EXPECT_FIELD(pluginName, block::kPluginName);
  EXPECT_FIELD(version, block::kVersion);
  EXPECT_FIELD(structSize, block::kStructSize);
  EXPECT_FIELD(versionFlag, block::kVersionFlag);
  EXPECT_FIELD(capsExtra1, block::kCapsExtra1);
  EXPECT_FIELD(capsExtra2, block::kCapsExtra2);
  EXPECT_FIELD(taskId, block::kTaskId);
  EXPECT_FIELD(dwFlags, block::kDwFlags);
  EXPECT_FIELD(errorCode, block::kErrorCode);
  EXPECT_FIELD(itemNumber, block::kItemNumber);
  EXPECT_FIELD(messageText, block::kMessageText);
  EXPECT_FIELD(messageLength, block::kMessageLength);
  EXPECT_FIELD(messageAcknowledged, block::kMessageAcknowledged);
  EXPECT_FIELD(messageOwned, block::kMessageOwned);
  EXPECT_FIELD(initDataList, block::kInitDataList);
  EXPECT_FIELD(iniFile, block::kIniFile);
  EXPECT_FIELD(taskText, block::kTaskText);
  EXPECT_FIELD(fileList, block::kFileList);
  EXPECT_FIELD(scanTimeout, block::kScanTimeout);
  EXPECT_FIELD(actionState, block::kActionState);
  EXPECT_FIELD(folderFlags, block::kFolderFlags);
  EXPECT_FIELD(sourceFolder, block::kSourceFolder);
  EXPECT_FIELD(destinationFolder, block::kDestinationFolder);
  EXPECT_FIELD(charSize, block::kCharSize);
  EXPECT_FIELD(dataFolder, block::kDataFolder);
  EXPECT_FIELD(taskSettingsHeader, block::kTaskSettingsHeader);
  EXPECT_FIELD(taskSettings, block::kTaskSettings);
  EXPECT_FIELD(versionByte, block::kVersionByte);
}

TEST(PluginParametersTest, TheOffsetTableHasNoOverlapsAndFitsTheBlock) {
  size_t end = 0;
  for (const block::Field& field : block::kAllFields) {
    EXPECT_GE(field.offset, end) << field.name;
    end = field.offset + field.width;
  }
  EXPECT_LE(end, block::kSize);
}

TEST(PluginParametersTest, TheDefaultBlockMatchesTheHostsDefaultByteForByte) {
  PluginParameters params;
  std::memset(&params, 0xAB, sizeof params);
  InitialiseDefaultParameters(params);
  RawBlock actual;
  std::memcpy(actual.data(), &params, block::kSize);
  EXPECT_EQ(FirstDifference(RawBlock::Default(), actual), -1);
}

TEST(PluginParametersTest, TheViewReadsTheSwitchesAtTheirRecordOffsets) {
  RawBlock raw = RawBlock::Default();
  const PluginParameters& params = *reinterpret_cast<const PluginParameters*>(raw.data());
  TaskSettingsView view(params);
  EXPECT_FALSE(view.groupingEnabled());
  EXPECT_FALSE(view.scriptingEnabled());
  EXPECT_FALSE(view.thumbnailsEnabled());

  const size_t record = block::kTaskSettings.offset;
  raw.data()[record + block::kGroupingEnabledInRecord + 3] = 0x80;  // any non-zero value is on
  EXPECT_TRUE(view.groupingEnabled());
  EXPECT_FALSE(view.scriptingEnabled());
  raw.data()[record + block::kScriptingEnabledInRecord] = 1;
  EXPECT_TRUE(view.scriptingEnabled());
  EXPECT_FALSE(view.thumbnailsEnabled());
  raw.data()[record + 68] = 1;  // the unread switch between them
  EXPECT_FALSE(view.thumbnailsEnabled());
  raw.data()[record + block::kThumbnailsEnabledInRecord + 1] = 1;
  EXPECT_TRUE(view.thumbnailsEnabled());
}

TEST(PluginParametersTest, TheViewReadsEachTextWithinItsNinetyEightBytes) {
  RawBlock raw = RawBlock::Default();
  const PluginParameters& params = *reinterpret_cast<const PluginParameters*>(raw.data());
  TaskSettingsView view(params);
  EXPECT_EQ(view.filenameSchemeName(), "");
  EXPECT_EQ(view.scriptName(), "");

  char* first = reinterpret_cast<char*>(raw.data() + block::kTaskText.offset);
  char* second = first + block::kTaskTextSize;
  std::memcpy(first, "Separations.fns", 16);
  std::memcpy(second, "stamp.bat", 10);
  EXPECT_EQ(view.filenameSchemeName(), "Separations.fns");
  EXPECT_EQ(view.scriptName(), "stamp.bat");

  // Unterminated texts end at their field; the first does not run into the second.
  std::memset(first, 'a', block::kTaskTextSize);
  std::memset(second, 'b', block::kTaskTextSize);
  raw.data()[block::kFileList.offset] = 'c';
  EXPECT_EQ(view.filenameSchemeName(), std::string(block::kTaskTextSize, 'a'));
  EXPECT_EQ(view.scriptName(), std::string(block::kTaskTextSize, 'b'));
}

}  // namespace

}  // namespace hf
