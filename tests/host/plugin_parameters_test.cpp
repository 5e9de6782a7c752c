// The block and file record against the host's tables, the settings view and chains of records.
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
#include <tuple>
#include <vector>

namespace hf {

namespace {

std::string Describe(const char* name, size_t offset, size_t width) {
  return std::string(name) + "@" + std::to_string(offset) + "+" + std::to_string(width);
}
#define HF_FIELD(member) Describe(#member, offsetof(PluginParameters, member), sizeof(PluginParameters::member))

TEST(PluginParametersTest, EveryFieldSitsAtTheHostsOffsetWithTheHostsWidth) {
  EXPECT_EQ(sizeof(PluginParameters), block::kSize);
  std::vector<std::string> expected,
      actual = {HF_FIELD(pluginName),          HF_FIELD(version),     HF_FIELD(structSize),  HF_FIELD(versionFlag),
                HF_FIELD(capsExtra1),          HF_FIELD(capsExtra2),  HF_FIELD(taskId),      HF_FIELD(dwFlags),
                HF_FIELD(errorCode),           HF_FIELD(itemNumber),  HF_FIELD(messageText), HF_FIELD(messageLength),
                HF_FIELD(messageAcknowledged), HF_FIELD(messageOwned)};
  actual.insert(actual.end(),
                {HF_FIELD(initDataList), HF_FIELD(iniFile), HF_FIELD(taskText), HF_FIELD(fileList),
                 HF_FIELD(scanTimeout), HF_FIELD(actionState), HF_FIELD(folderFlags), HF_FIELD(sourceFolder),
                 HF_FIELD(destinationFolder), HF_FIELD(charSize), HF_FIELD(dataFolder), HF_FIELD(taskSettingsHeader),
                 HF_FIELD(taskSettings), HF_FIELD(versionByte)});
  for (const block::Field& field : block::kAllFields)
    expected.push_back(Describe(field.name, field.offset, field.width));
  EXPECT_EQ(actual, expected);
}

TEST(PluginParametersTest, TheDefaultBlockMatchesTheHostsDefaultByteForByte) {
  PluginParameters params;
  std::memset(&params, 0xAB, sizeof params);
  InitialiseDefaultParameters(params);
  RawBlock actual;
  std::memcpy(actual.data(), &params, block::kSize);
  EXPECT_EQ(FirstDifference(RawBlock::Default(), actual), -1);
}

// Any non-zero switch is on; each text ends within its 98 bytes.
TEST(PluginParametersTest, TheViewReadsTheSwitchesAndTextsAtTheirOffsets) {
  // (Terminated texts and whole switches are read end to end.)
  RawBlock raw = RawBlock::Default();
  TaskSettingsView view(*reinterpret_cast<const PluginParameters*>(raw.data()));
  uint8_t* record = raw.data() + block::kTaskSettings.offset;
  record[block::kGroupingEnabledInRecord + 3] = 0x80;
  record[68] = 1;  // the unread switch between scripting and thumbnails
  EXPECT_TRUE(view.groupingEnabled() && !view.scriptingEnabled() && !view.thumbnailsEnabled());
  record[block::kThumbnailsEnabledInRecord + 1] = 1;
  EXPECT_TRUE(view.thumbnailsEnabled());
  char* first = reinterpret_cast<char*>(raw.data() + block::kTaskText.offset);
  std::memset(first, 'a', block::kTaskTextSize);
  std::memset(first + block::kTaskTextSize, 'b', block::kTaskTextSize);
  raw.data()[block::kFileList.offset] = 'c';
  EXPECT_EQ(view.filenameSchemeName(), std::string(block::kTaskTextSize, 'a'));
  EXPECT_EQ(view.scriptName(), std::string(block::kTaskTextSize, 'b'));
}

TEST(ChainedFileItem, FieldsSitAtTheHostsOffsetsInAZeroedFixedBlock) {
  EXPECT_EQ(sizeof(ChainedFileItem), file_record::kSize);
#define HF_AT(member) offsetof(ChainedFileItem, member)
  EXPECT_EQ(
      (std::vector<size_t>{HF_AT(folder), HF_AT(fileName), HF_AT(title), HF_AT(owner), HF_AT(fileSize), HF_AT(jobType),
                           HF_AT(groupMember), HF_AT(colourType), HF_AT(safeToDelete), HF_AT(next), HF_AT(previous),
                           HF_AT(itemFlags), HF_AT(uniqueId), HF_AT(intakeFailureText)}),
      (std::vector<size_t>{file_record::kFolder, file_record::kFileName, file_record::kTitle, file_record::kOwner,
                           file_record::kFileSize, file_record::kJobType, file_record::kGroupMember,
                           file_record::kColourType, file_record::kSafeToDelete, file_record::kNext,
                           file_record::kPrevious, file_record::kItemFlags, file_record::kUniqueId,
                           file_record::kIntakeFailureText}));

  ChainedFileItem* record = NewFileItem();
  ASSERT_NE(record, nullptr);
  EXPECT_GE(::GlobalSize(record), file_record::kSize);
  EXPECT_EQ(::GlobalHandle(record), static_cast<HGLOBAL>(record));  // fixed: the handle is the address
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), file_record::kSize),
            std::string(file_record::kSize, '\0'));
  DeleteHeadFile(record);
}

// ---- chains of file records ----

using Lines = std::vector<LogLine>;

TEST(ChainedFileItem, RecordsAreLinkedBothWaysDeletionsKeepTheHeadAndEmptyListsAreLogged) {
  ChainedFileItem *a = NewFileItem(), *b = NewFileItem(), *c = NewFileItem(), *d = NewFileItem();
  ChainedFileItem* list = AppendFile(nullptr, a);
  EXPECT_EQ(list, a);
  for (ChainedFileItem* item : {b, c, d}) EXPECT_EQ(AppendFile(list, item), a);  // the head, whatever the length
  EXPECT_EQ(AppendFile(list, nullptr), a);
  EXPECT_EQ(std::make_tuple(a->previous, b->previous, c->next, d->previous, d->next),
            std::make_tuple(nullptr, a, d, c, nullptr));

  EXPECT_EQ(DeleteFileItem(c), a);  // inner
  EXPECT_TRUE(b->next == d && d->previous == b);
  EXPECT_EQ(DeleteFileItem(d), a);  // last
  EXPECT_EQ(b->next, nullptr);
  EXPECT_EQ(DeleteFileItem(a), b);  // head
  EXPECT_TRUE(b->previous == nullptr && !IsLiveGlobalBlock(a));
  ChainedFileItem* e = NewFileItem();
  list = AppendFile(b, e);
  EXPECT_EQ(DeleteHeadFile(list), e);
  EXPECT_TRUE(e->previous == nullptr && !IsLiveGlobalBlock(b));
  EXPECT_EQ(DeleteHeadFile(e), nullptr);

  LogCapture log;  // empty lists and missing items
  EXPECT_EQ(AppendFile(nullptr, nullptr), nullptr);
  EXPECT_EQ(DeleteFileItem(nullptr), nullptr);
  EXPECT_EQ(DeleteHeadFile(nullptr), nullptr);
  DeleteFileList(nullptr, 1);
  EXPECT_EQ(log.lines, (Lines{{1, "AppendFile - item to add is a NULL pointer!"},
                              {2, "DeleteFileItem called with a NULL item"},
                              {2, "DeleteHeadFile called with an empty list"},
                              {2, "DeleteFileList called with an empty list"}}));
}

// Records the host wrote: an unterminated name is cut, a broken link ends the walk.
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
