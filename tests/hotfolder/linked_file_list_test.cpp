// Found-file items: spare-item initialisation, the record made from an item, and
// removal from the head of a folder's list.
#include "hotfolder/linked_file_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace hf {

namespace {

void FillAll(CLinkedFileList& item) {
  item.next = &item;
  std::memset(item.fileName, 'n', sizeof item.fileName);
  item.typeChecked = 1;
  item.jobType = 0x40;
  item.fileSize = 12345;
  item.reserved288[0] = 9;
  item.reserved288[1] = 9;
  std::memset(item.title, 't', sizeof item.title);
  std::memset(item.owner, 'o', sizeof item.owner);
  std::memset(item.uniqueId, 'u', sizeof item.uniqueId);
  std::strcpy(item.intakeFailureText, "kept");
}

bool AllZero(const void* field, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(field);
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

// Every field but the intake failure text is zero.
void ExpectCleared(const CLinkedFileList& item) {
  EXPECT_EQ(item.next, nullptr);
  EXPECT_TRUE(AllZero(item.fileName, sizeof item.fileName));
  EXPECT_EQ(item.typeChecked, 0u);
  EXPECT_EQ(item.jobType, 0u);
  EXPECT_EQ(item.fileSize, 0);
  EXPECT_TRUE(AllZero(item.reserved288, sizeof item.reserved288));
  EXPECT_TRUE(AllZero(item.title, sizeof item.title));
  EXPECT_TRUE(AllZero(item.owner, sizeof item.owner));
  EXPECT_TRUE(AllZero(item.uniqueId, sizeof item.uniqueId));
}

TEST(LinkedFileList, NewItemIsEmptyAndInitialiseClearsAllButTheIntakeFailureText) {
  CLinkedFileList item;
  ExpectCleared(item);
  EXPECT_TRUE(AllZero(item.intakeFailureText, sizeof item.intakeFailureText));
  FillAll(item);
  item.Initialise();
  ExpectCleared(item);
  EXPECT_STREQ(item.intakeFailureText, "kept");
}

TEST(LinkedFileList, RecordTakesTheItemsValuesCutToTheHostsFields) {
  CLinkedFileList item;
  std::strcpy(item.fileName, "brochure.eps");
  item.typeChecked = 1;
  item.jobType = 0x40;
  item.fileSize = 0x123456789LL;
  std::strcpy(item.title, "Spring brochure");
  std::strcpy(item.owner, "anna");
  std::strcpy(item.uniqueId, std::string(200, 'f').c_str());
  ChainedFileItem record = {};
  FillFileItem(record, "C:\\hot\\", item);
  EXPECT_STREQ(record.folder, "C:\\hot\\");
  EXPECT_STREQ(record.fileName, "brochure.eps");
  EXPECT_STREQ(record.title, "Spring brochure");
  EXPECT_STREQ(record.owner, "anna");
  EXPECT_EQ(record.fileSize, 0x123456789ull);
  EXPECT_EQ(record.jobType, 0x40u);
  EXPECT_EQ(std::string(record.uniqueId), std::string(127, 'f'));
  EXPECT_EQ(record.itemFlags, 0u);
  EXPECT_STREQ(record.intakeFailureText, "");
}

TEST(LinkedFileList, IntakeFailureSetsTheFlagAndTheText) {
  CLinkedFileList item;
  std::strcpy(item.fileName, "ticket.jdf");
  std::strcpy(item.intakeFailureText, "FileSpec not found");
  ChainedFileItem record = {};
  record.itemFlags = 1;  // other bits are kept
  FillFileItem(record, "C:\\hot\\", item);
  EXPECT_EQ(record.itemFlags, 1u | kItemHasIntakeFailure);
  EXPECT_STREQ(record.intakeFailureText, "FileSpec not found");
}

TEST(LinkedFileList, UnterminatedFieldsAreCutNotOverrun) {
  CLinkedFileList item;
  std::memset(item.fileName, 'n', sizeof item.fileName);
  std::memset(item.title, 't', sizeof item.title);
  std::memset(item.owner, 'o', sizeof item.owner);
  ChainedFileItem record = {};
  FillFileItem(record, std::string(300, 'd').c_str(), item);
  EXPECT_EQ(std::string(record.folder), std::string(259, 'd'));
  EXPECT_EQ(std::string(record.fileName), std::string(259, 'n'));
  EXPECT_EQ(std::string(record.title), std::string(64, 't'));
  EXPECT_EQ(std::string(record.owner), std::string(32, 'o'));
}

int destroyed = 0;
class CountedItem : public CLinkedFileList {
 public:
  ~CountedItem() override { ++destroyed; }
};

TEST(LinkedFileList, RemoveHeadItemUnlinksAndDestroysOnlyTheHead) {
  destroyed = 0;
  auto* first = new CountedItem;
  auto* second = new CountedItem;
  first->next = second;
  CLinkedFileList* head = first;
  EXPECT_FALSE(RemoveHeadItem(head, second));  // not the head: nothing happens
  EXPECT_FALSE(RemoveHeadItem(head, nullptr));
  EXPECT_EQ(head, first);
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(RemoveHeadItem(head, first));
  EXPECT_EQ(head, second);
  EXPECT_EQ(destroyed, 1);  // through the virtual destructor
  EXPECT_TRUE(RemoveHeadItem(head, second));
  EXPECT_EQ(head, nullptr);
  EXPECT_EQ(destroyed, 2);
}

TEST(LinkedFileList, DeleteLinkedFileListDestroysEveryItem) {
  destroyed = 0;
  CLinkedFileList* head = new CountedItem;
  head->next = new CountedItem;
  head->next->next = new CountedItem;
  DeleteLinkedFileList(head);
  EXPECT_EQ(head, nullptr);
  EXPECT_EQ(destroyed, 3);
}

}  // namespace

}  // namespace hf
