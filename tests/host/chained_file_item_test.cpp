// The host's file record, read through byte offsets typed in from the record's
// table of this build, and the operations on a chain of records.
#include "host/chained_file_item.h"

#include "base/log.h"
#include "base/win32/windows_api.h"
#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

// Byte offsets and widths of the record as the host reads it.
struct RecordField {
  const char* name;
  size_t offset;
  size_t width;
};
constexpr RecordField kFolder{"folder", file_record::kFolder, 260};
constexpr RecordField kFileName{"fileName", file_record::kFileName, 260};
constexpr RecordField kTitle{"title", file_record::kTitle, 132};
constexpr RecordField kOwner{"owner", file_record::kOwner, 132};
constexpr RecordField kFileSize{"fileSize", file_record::kFileSize, 8};
constexpr RecordField kJobType{"jobType", file_record::kJobType, 4};
constexpr RecordField kGroupMember{"groupMember", file_record::kGroupMember, 4};
constexpr RecordField kColourType{"colourType", file_record::kColourType, 4};
constexpr RecordField kSafeToDelete{"safeToDelete", file_record::kSafeToDelete, 4};
constexpr RecordField kNext{"next", file_record::kNext, block::kPointerWidth};
constexpr RecordField kPrevious{"previous", file_record::kPrevious, block::kPointerWidth};
constexpr RecordField kItemFlags{"itemFlags", file_record::kItemFlags, 4};
constexpr RecordField kUniqueId{"uniqueId", file_record::kUniqueId, 128};
constexpr RecordField kIntakeFailureText{"intakeFailureText", file_record::kIntakeFailureText, 260};
constexpr size_t kRecordSize = file_record::kSize;

uint64_t ReadNumber(const ChainedFileItem& record, RecordField field) {
  uint64_t value = 0;
  std::memcpy(&value, reinterpret_cast<const char*>(&record) + field.offset, field.width);
  return value;
}

std::string ReadText(const ChainedFileItem& record, RecordField field) {
  const char* start = reinterpret_cast<const char*>(&record) + field.offset;
  return std::string(start, strnlen(start, field.width));
}

using Line = LogLine;

// Three new records appended in order.
struct Chain3 {
  ChainedFileItem* a = NewFileItem();
  ChainedFileItem* b = NewFileItem();
  ChainedFileItem* c = NewFileItem();
  ChainedFileItem* head = AppendFile(AppendFile(AppendFile(nullptr, a), b), c);
};

TEST(ChainedFileItem, FieldsSitAtTheHostsByteOffsets) {
  ChainedFileItem* record = NewFileItem();
  ASSERT_NE(record, nullptr);
  std::strcpy(record->folder, "C:\\hot\\");
  std::strcpy(record->fileName, "job.ps");
  std::strcpy(record->title, "Brochure");
  std::strcpy(record->owner, "anna");
  record->fileSize = 0x0102030405060708ull;
  record->jobType = 0x40;
  record->groupMember = 1;
  record->colourType = 3;
  record->safeToDelete = 7;
  record->next = reinterpret_cast<ChainedFileItem*>(0x11223344);
  record->previous = reinterpret_cast<ChainedFileItem*>(0x55667788);
  record->itemFlags = kItemHasIntakeFailure;
  std::strcpy(record->uniqueId, "1a2b3c");
  std::strcpy(record->intakeFailureText, "no FileSpec");

  for (const auto& [field, text] : {std::pair<RecordField, std::string>{kFolder, "C:\\hot\\"}, {kFileName, "job.ps"},
                                     {kTitle, "Brochure"}, {kOwner, "anna"}, {kUniqueId, "1a2b3c"},
                                     {kIntakeFailureText, "no FileSpec"}})
    EXPECT_EQ(ReadText(*record, field), text) << field.name;
  for (const auto& [field, number] : {std::pair<RecordField, uint64_t>{kFileSize, 0x0102030405060708ull},
                                       {kJobType, 0x40}, {kGroupMember, 1}, {kColourType, 3}, {kSafeToDelete, 7},
                                       {kNext, 0x11223344}, {kPrevious, 0x55667788}, {kItemFlags, 4}})
    EXPECT_EQ(ReadNumber(*record, field), number) << field.name;
  record->next = nullptr;
  record->previous = nullptr;
  DeleteFileList(record, 0);
}

TEST(ChainedFileItem, NewRecordIsOneZeroedFixedBlockOfTheRecordSize) {
  ChainedFileItem* record = NewFileItem();
  ASSERT_NE(record, nullptr);
  EXPECT_GE(::GlobalSize(record), kRecordSize);
  EXPECT_EQ(::GlobalHandle(record), static_cast<HGLOBAL>(record));  // fixed: the handle is the address
  const auto* bytes = reinterpret_cast<const unsigned char*>(record);
  size_t nonZero = 0;
  for (size_t i = 0; i < kRecordSize; ++i) nonZero += bytes[i] != 0;
  EXPECT_EQ(nonZero, 0u);
  DeleteHeadFile(record);
}

TEST(ChainedFileItem, AppendingLinksBehindTheLastRecord) {
  ChainedFileItem* a = NewFileItem();
  ChainedFileItem* b = NewFileItem();
  ChainedFileItem* c = NewFileItem();
  ChainedFileItem* list = AppendFile(nullptr, a);
  EXPECT_EQ(list, a);
  EXPECT_EQ(AppendFile(list, b), a);
  EXPECT_EQ(AppendFile(list, c), a);  // the head, whatever the length
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next, c);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(a->previous, nullptr);
  EXPECT_EQ(b->previous, a);
  EXPECT_EQ(c->previous, b);
  DeleteFileList(list, 0);
}

TEST(ChainedFileItem, AppendingNothingIsLoggedAndChangesNothing) {
  LogCapture log;
  ChainedFileItem* a = NewFileItem();
  EXPECT_EQ(AppendFile(a, nullptr), a);
  EXPECT_EQ(AppendFile(nullptr, nullptr), nullptr);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(log.lines, (std::vector<Line>{{1, "AppendFile - item to add is a NULL pointer!"},
                                          {1, "AppendFile - item to add is a NULL pointer!"}}));
  DeleteFileList(a, 0);
}

TEST(ChainedFileItem, DeletingTheHeadOfThreeReturnsTheSecondAsHead) {
  Chain3 chain;
  ChainedFileItem* list = DeleteFileItem(chain.a);
  EXPECT_EQ(list, chain.b);
  EXPECT_EQ(chain.b->previous, nullptr);
  EXPECT_EQ(chain.b->next, chain.c);
  EXPECT_FALSE(IsLiveGlobalBlock(chain.a));
  DeleteFileList(list, 0);
}

TEST(ChainedFileItem, DeletingInnerOrLastRecordsReturnsTheSameHead) {
  Chain3 chain;
  EXPECT_EQ(DeleteFileItem(chain.b), chain.a);
  EXPECT_EQ(chain.a->next, chain.c);
  EXPECT_EQ(chain.c->previous, chain.a);
  EXPECT_EQ(DeleteFileItem(chain.c), chain.a);
  EXPECT_EQ(chain.a->next, nullptr);
  EXPECT_EQ(DeleteFileItem(chain.a), nullptr);
}

TEST(ChainedFileItem, DeletingFromNothingIsLogged) {
  LogCapture log;
  EXPECT_EQ(DeleteFileItem(nullptr), nullptr);
  EXPECT_EQ(DeleteHeadFile(nullptr), nullptr);
  DeleteFileList(nullptr, 1);
  EXPECT_EQ(log.lines, (std::vector<Line>{{2, "DeleteFileItem called with a NULL item"},
                                          {2, "DeleteHeadFile called with an empty list"},
                                          {2, "DeleteFileList called with an empty list"}}));
}

TEST(ChainedFileItem, DeleteHeadFileFreesTheHeadAndDetachesItsSuccessor) {
  ChainedFileItem* a = NewFileItem();
  ChainedFileItem* b = NewFileItem();
  ChainedFileItem* list = AppendFile(AppendFile(nullptr, a), b);
  list = DeleteHeadFile(list);
  EXPECT_EQ(list, b);
  EXPECT_EQ(b->previous, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(a));
  EXPECT_EQ(DeleteHeadFile(list), nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(b));
}

TEST(ChainedFileItem, DeleteFileListWarnsForEachUnmarkedRecordAndFreesAll) {
  std::vector<void*> records = NewFileRecordChain({"one.ps", "two.pdf"}, 0);
  ASSERT_EQ(records.size(), 2u);
  LogCapture log;
  DeleteFileList(static_cast<ChainedFileItem*>(records[0]), 1);
  EXPECT_EQ(log.lines,
            (std::vector<Line>{{2, "Filelist item 0 (one.ps) has not been marked as safe to delete!"},
                               {2, "Filelist item 1 (two.pdf) has not been marked as safe to delete!"}}));
  EXPECT_FALSE(IsLiveGlobalBlock(records[0]));
  EXPECT_FALSE(IsLiveGlobalBlock(records[1]));
}

TEST(ChainedFileItem, MarkedRecordsOrNoWarningAreFreedSilently) {
  std::vector<void*> marked = NewFileRecordChain({"a", "b", "c"}, 1);
  std::vector<void*> unmarked = NewFileRecordChain({"d", "e"}, 0);
  LogCapture log;
  DeleteFileList(static_cast<ChainedFileItem*>(marked[0]), 1);
  DeleteFileList(static_cast<ChainedFileItem*>(unmarked[0]), 0);
  EXPECT_TRUE(log.lines.empty());
  for (void* record : marked) EXPECT_FALSE(IsLiveGlobalBlock(record));
  for (void* record : unmarked) EXPECT_FALSE(IsLiveGlobalBlock(record));
}

TEST(ChainedFileItem, UnterminatedNameWrittenByTheHostIsCutInTheWarning) {
  std::vector<void*> records = NewFileRecordChain({"x"}, 0);
  auto* record = static_cast<ChainedFileItem*>(records[0]);
  std::memset(record->fileName, 'n', sizeof record->fileName);
  std::memset(record->title, 't', sizeof record->title);
  LogCapture log;
  DeleteFileList(record, 1);
  EXPECT_EQ(log.lines, (std::vector<Line>{{2, "Filelist item 0 (" + std::string(260, 'n') +
                                                  ") has not been marked as safe to delete!"}}));
}

TEST(ChainedFileItem, InvalidListPointerIsLoggedAndNotFollowed) {
  LogCapture log;
  DeleteFileList(reinterpret_cast<ChainedFileItem*>(~uintptr_t{0}), 1);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), (Line{2, "DeleteFileList called with invalid pointer"}));
}

TEST(ChainedFileItem, BrokenLinkEndsTheWalk) {
  std::vector<void*> records = NewFileRecordChain({"a", "b"}, 1);
  static_cast<ChainedFileItem*>(records[1])->next = reinterpret_cast<ChainedFileItem*>(~uintptr_t{0});
  DeleteFileList(static_cast<ChainedFileItem*>(records[0]), 1);
  EXPECT_FALSE(IsLiveGlobalBlock(records[0]));
  EXPECT_FALSE(IsLiveGlobalBlock(records[1]));
}

}  // namespace

}  // namespace hf
