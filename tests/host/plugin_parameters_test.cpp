// The plug-in's block and file record against the host's offset tables, the
// default block, the task settings view, and the operations on a chain of
// file records.
#include "host/plugin_parameters.h"

#include "base/win32/windows_api.h"
#include "host/chained_file_item.h"
#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/raw_block.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

TEST(PluginParametersTest, TheDefaultBlockMatchesTheHostsDefaultByteForByte) {
  PluginParameters params;
  std::memset(&params, 0xAB, sizeof params);
  InitialiseDefaultParameters(params);
  RawBlock actual;
  std::memcpy(actual.data(), &params, block::kSize);
  EXPECT_EQ(FirstDifference(RawBlock::Default(), actual), -1);
}

// The view reads each switch at its record offset (any non-zero value is on)
// and each text within its 98 bytes.
TEST(PluginParametersTest, TheViewReadsTheSwitchesAndTextsAtTheirOffsets) {
  RawBlock raw = RawBlock::Default();
  TaskSettingsView view(*reinterpret_cast<const PluginParameters*>(raw.data()));
  EXPECT_FALSE(view.groupingEnabled() || view.scriptingEnabled() || view.thumbnailsEnabled());
  EXPECT_EQ(view.filenameSchemeName() + view.scriptName(), "");
  uint8_t* record = raw.data() + block::kTaskSettings.offset;
  record[block::kGroupingEnabledInRecord + 3] = 0x80;
  record[68] = 1;  // the unread switch between scripting and thumbnails
  EXPECT_TRUE(view.groupingEnabled());
  EXPECT_FALSE(view.scriptingEnabled() || view.thumbnailsEnabled());
  record[block::kScriptingEnabledInRecord] = 1;
  EXPECT_FALSE(view.thumbnailsEnabled());
  record[block::kThumbnailsEnabledInRecord + 1] = 1;
  EXPECT_TRUE(view.scriptingEnabled() && view.thumbnailsEnabled());

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

TEST(ChainedFileItem, FieldsSitAtTheHostsOffsetsInAZeroedFixedBlock) {
  EXPECT_EQ(sizeof(ChainedFileItem), file_record::kSize);
  EXPECT_EQ(offsetof(ChainedFileItem, folder), file_record::kFolder);
  EXPECT_EQ(offsetof(ChainedFileItem, fileName), file_record::kFileName);
  EXPECT_EQ(offsetof(ChainedFileItem, title), file_record::kTitle);
  EXPECT_EQ(offsetof(ChainedFileItem, owner), file_record::kOwner);
  EXPECT_EQ(offsetof(ChainedFileItem, fileSize), file_record::kFileSize);
  EXPECT_EQ(offsetof(ChainedFileItem, jobType), file_record::kJobType);
  EXPECT_EQ(offsetof(ChainedFileItem, groupMember), file_record::kGroupMember);
  EXPECT_EQ(offsetof(ChainedFileItem, colourType), file_record::kColourType);
  EXPECT_EQ(offsetof(ChainedFileItem, safeToDelete), file_record::kSafeToDelete);
  EXPECT_EQ(offsetof(ChainedFileItem, next), file_record::kNext);
  EXPECT_EQ(offsetof(ChainedFileItem, previous), file_record::kPrevious);
  EXPECT_EQ(offsetof(ChainedFileItem, itemFlags), file_record::kItemFlags);
  EXPECT_EQ(offsetof(ChainedFileItem, uniqueId), file_record::kUniqueId);
  EXPECT_EQ(offsetof(ChainedFileItem, intakeFailureText), file_record::kIntakeFailureText);

  ChainedFileItem* record = NewFileItem();
  ASSERT_NE(record, nullptr);
  EXPECT_GE(::GlobalSize(record), file_record::kSize);
  EXPECT_EQ(::GlobalHandle(record), static_cast<HGLOBAL>(record));  // fixed: the handle is the address
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), file_record::kSize), std::string(file_record::kSize, '\0'));
  DeleteHeadFile(record);
}

// ---- chains of file records ----

using Lines = std::vector<LogLine>;

TEST(ChainedFileItem, RecordsAreLinkedBothWaysAndDeletionsKeepTheHead) {
  ChainedFileItem* a = NewFileItem();
  ChainedFileItem* b = NewFileItem();
  ChainedFileItem* c = NewFileItem();
  ChainedFileItem* d = NewFileItem();
  ChainedFileItem* list = AppendFile(nullptr, a);
  EXPECT_EQ(list, a);
  for (ChainedFileItem* item : {b, c, d}) EXPECT_EQ(AppendFile(list, item), a);  // the head, whatever the length
  EXPECT_EQ(AppendFile(list, nullptr), a);
  EXPECT_EQ(a->previous, nullptr);
  EXPECT_EQ(b->previous, a);
  EXPECT_EQ(c->next, d);
  EXPECT_EQ(d->previous, c);
  EXPECT_EQ(d->next, nullptr);

  EXPECT_EQ(DeleteFileItem(c), a);  // inner
  EXPECT_EQ(b->next, d);
  EXPECT_EQ(d->previous, b);
  EXPECT_EQ(DeleteFileItem(d), a);  // last
  EXPECT_EQ(b->next, nullptr);
  EXPECT_EQ(DeleteFileItem(a), b);  // head
  EXPECT_EQ(b->previous, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(a));
  ChainedFileItem* e = NewFileItem();
  list = AppendFile(b, e);
  EXPECT_EQ(DeleteHeadFile(list), e);
  EXPECT_EQ(e->previous, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(b));
  EXPECT_EQ(DeleteHeadFile(e), nullptr);
}

TEST(ChainedFileItem, EmptyListsAndMissingItemsAreLogged) {
  LogCapture log;
  EXPECT_EQ(AppendFile(nullptr, nullptr), nullptr);
  EXPECT_EQ(DeleteFileItem(nullptr), nullptr);
  EXPECT_EQ(DeleteHeadFile(nullptr), nullptr);
  DeleteFileList(nullptr, 1);
  EXPECT_EQ(log.lines, (Lines{{1, "AppendFile - item to add is a NULL pointer!"},
                              {2, "DeleteFileItem called with a NULL item"},
                              {2, "DeleteHeadFile called with an empty list"},
                              {2, "DeleteFileList called with an empty list"}}));
}

// The host may have written the records: an unterminated name is cut, and a
// broken link ends the walk rather than being followed.
TEST(ChainedFileItem, DeleteFileListWarnsForEachUnmarkedRecordAndFreesAll) {
  std::vector<void*> records = NewFileRecordChain({"one.ps", "marked", "x", "last"}, 0);
  static_cast<ChainedFileItem*>(records[1])->safeToDelete = 1;
  std::memset(static_cast<ChainedFileItem*>(records[2])->fileName, 'n', sizeof ChainedFileItem::fileName);
  std::memset(static_cast<ChainedFileItem*>(records[2])->title, 't', sizeof ChainedFileItem::title);
  ChainedFileItem* last = static_cast<ChainedFileItem*>(records[3]);
  static_cast<ChainedFileItem*>(records[2])->next = reinterpret_cast<ChainedFileItem*>(~uintptr_t{0});
  LogCapture log;
  DeleteFileList(static_cast<ChainedFileItem*>(records[0]), 1);
  ASSERT_GE(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], (LogLine{2, "Filelist item 0 (one.ps) has not been marked as safe to delete!"}));
  EXPECT_EQ(log.lines[1],
            (LogLine{2, "Filelist item 2 (" + std::string(260, 'n') + ") has not been marked as safe to delete!"}));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsLiveGlobalBlock(records[i])) << i;
  EXPECT_TRUE(IsLiveGlobalBlock(last));

  log.lines.clear();
  DeleteFileList(last, 0);  // no warning asked for
  DeleteFileList(reinterpret_cast<ChainedFileItem*>(~uintptr_t{0}), 1);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), (LogLine{2, "DeleteFileList called with invalid pointer"}));
  EXPECT_FALSE(IsLiveGlobalBlock(last));
}

}  // namespace

}  // namespace hf
