// Found-file items and their hand-over records.
#include "hotfolder/linked_file_list.h"

#include <cstring>
#include <memory>

namespace hf {

namespace {

// Copies at most `limit` characters of a text held in a field of `textSize`
// bytes (which need not be terminated) and terminates the copy.
void CopyLimited(char* field, size_t fieldSize, const char* text, size_t textSize, size_t limit) {
  if (fieldSize == 0) return;
  if (limit > fieldSize - 1) limit = fieldSize - 1;
  size_t length = strnlen(text, textSize < limit ? textSize : limit);
  std::memcpy(field, text, length);
  field[length] = '\0';
}

}  // namespace

CLinkedFileList::CLinkedFileList() {
  std::memset(fileName, 0, sizeof fileName);
  std::memset(reserved288, 0, sizeof reserved288);
  std::memset(title, 0, sizeof title);
  std::memset(owner, 0, sizeof owner);
  std::memset(uniqueId, 0, sizeof uniqueId);
  std::memset(intakeFailureText, 0, sizeof intakeFailureText);
}

CLinkedFileList::~CLinkedFileList() = default;

void CLinkedFileList::Initialise() {
  next = nullptr;
  std::memset(fileName, 0, sizeof fileName);
  typeChecked = 0;
  jobType = 0;
  fileSize = 0;
  std::memset(reserved288, 0, sizeof reserved288);
  std::memset(title, 0, sizeof title);
  std::memset(owner, 0, sizeof owner);
  std::memset(uniqueId, 0, sizeof uniqueId);
}

void FillFileItem(ChainedFileItem& record, const char* folder, const CLinkedFileList& item) {
  if (folder == nullptr) folder = "";
  CopyLimited(record.folder, sizeof record.folder, folder, std::strlen(folder), 259);
  CopyLimited(record.fileName, sizeof record.fileName, item.fileName, sizeof item.fileName, 259);
  CopyLimited(record.title, sizeof record.title, item.title, sizeof item.title, 131);
  CopyLimited(record.owner, sizeof record.owner, item.owner, sizeof item.owner, 131);
  record.fileSize = static_cast<uint64_t>(item.fileSize);
  record.jobType = item.typeChecked != 0 ? item.jobType : 0;
  if (item.intakeFailureText[0] != '\0') {
    record.itemFlags |= kItemHasIntakeFailure;
    CopyLimited(record.intakeFailureText, sizeof record.intakeFailureText, item.intakeFailureText,
                sizeof item.intakeFailureText, 259);
  }
  if (item.uniqueId[0] != '\0')
    CopyLimited(record.uniqueId, sizeof record.uniqueId, item.uniqueId, sizeof item.uniqueId, 127);
}

bool RemoveHeadItem(CLinkedFileList*& head, CLinkedFileList* item) {
  if (item == nullptr || head != item) return false;
  std::unique_ptr<CLinkedFileList> removed(item);
  head = removed->next;
  return true;
}

void DeleteLinkedFileList(CLinkedFileList*& head) {
  while (head != nullptr) {
    std::unique_ptr<CLinkedFileList> removed(head);
    head = removed->next;
  }
}

}  // namespace hf
