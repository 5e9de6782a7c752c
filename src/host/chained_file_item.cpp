// Allocation, linking and release of the host's chained file records.
#include "host/chained_file_item.h"

#include "base/log.h"
#include "base/win32/windows_api.h"
#include "host/message_handover.h"

#include <cstring>

namespace hf {

namespace {

// Frees one record after the pointer check; the caller's field is cleared.
void FreeRecord(ChainedFileItem*& record) {
  if (HF_IS_VALID_POINTER(&record)) ::GlobalFree(record);
  record = nullptr;
}

}  // namespace

ChainedFileItem* NewFileItem() {
  return static_cast<ChainedFileItem*>(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(ChainedFileItem)));
}

ChainedFileItem* AppendFile(ChainedFileItem* list, ChainedFileItem* item) {
  if (item == nullptr) {
    Log(LogLevel::kProgress, "AppendFile - item to add is a NULL pointer!");
    return list;
  }
  if (list == nullptr) return item;
  ChainedFileItem* last = list;
  while (last->next != nullptr) last = last->next;
  last->next = item;
  item->previous = last;
  return list;
}

ChainedFileItem* DeleteFileItem(ChainedFileItem* item) {
  if (item == nullptr) {
    Log(LogLevel::kDetail, "DeleteFileItem called with a NULL item");
    return nullptr;
  }
  ChainedFileItem* previous = item->previous;
  ChainedFileItem* next = item->next;
  if (previous != nullptr) previous->next = next;
  if (next != nullptr) next->previous = previous;
  FreeRecord(item);
  if (previous == nullptr) return next;
  ChainedFileItem* head = previous;
  while (head->previous != nullptr) head = head->previous;
  return head;
}

ChainedFileItem* DeleteHeadFile(ChainedFileItem* list) {
  if (list == nullptr) {
    Log(LogLevel::kDetail, "DeleteHeadFile called with an empty list");
    return nullptr;
  }
  ChainedFileItem* next = list->next;
  if (next != nullptr) next->previous = nullptr;
  FreeRecord(list);
  return next;
}

void DeleteFileList(ChainedFileItem* list, int warn) {
  if (list == nullptr) {
    Log(LogLevel::kDetail, "DeleteFileList called with an empty list");
    return;
  }
  if (!HF_IS_VALID_POINTER(&list)) {
    Log(LogLevel::kDetail, "DeleteFileList called with invalid pointer");
    return;
  }
  int index = 0;
  ChainedFileItem* record = list;
  while (record != nullptr) {
    // A broken link ends the walk rather than being followed.
    if (!HF_IS_VALID_POINTER(&record)) break;
    if (warn != 0 && record->safeToDelete == 0) {
      // The host may have written the record: its name need not be terminated.
      char fileName[sizeof record->fileName + 1] = {};
      std::memcpy(fileName, record->fileName, sizeof record->fileName);
      Log(LogLevel::kDetail, "Filelist item %d (%s) has not been marked as safe to delete!", index, fileName);
    }
    ChainedFileItem* next = record->next;
    ::GlobalFree(record);
    record = next;
    ++index;
  }
}

}  // namespace hf
