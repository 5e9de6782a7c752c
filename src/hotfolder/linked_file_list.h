// CLinkedFileList: one file found in a hot folder, chained into the folder's
// found-file and pending lists, and the making of a host record from it.
#pragma once

#include "host/chained_file_item.h"

#include <cstdint>

namespace hf {

class CLinkedFileList {
 public:
  CLinkedFileList();
  virtual ~CLinkedFileList();
  CLinkedFileList(const CLinkedFileList&) = delete;
  CLinkedFileList& operator=(const CLinkedFileList&) = delete;

  // Makes the item a spare one, ready to be filled by the next admitted file.
  // intakeFailureText is left alone: it is written only when an item is filled.
  void Initialise();

  uint32_t reserved4 = 0;
  CLinkedFileList* next = nullptr;
  char fileName[260];        // empty in the spare item that ends a scan list
  uint32_t typeChecked = 0;  // non-zero once jobType has been determined
  uint32_t jobType = 0;
  int64_t fileSize = 0;
  uint32_t reserved288[2];
  char title[64];               // from "%%Title:"
  char owner[32];               // from "%%For:"
  char uniqueId[260];           // the resource ID
  char intakeFailureText[260];  // why a job ticket could not be taken; usually empty
};

static_assert(sizeof(void*) != 4 || sizeof(CLinkedFileList) == 912, "found-file item size");

// Fills a zeroed host record from a found-file item: `folder` is the hot folder;
// title and owner are cut to 131 characters, uniqueId to 127; jobType is 0 when
// the item was never type-checked; an intake failure text sets
// kItemHasIntakeFailure.
void FillFileItem(ChainedFileItem& record, const char* folder, const CLinkedFileList& item);

// When `head` starts with `item`, makes the list start at item->next, destroys
// `item` and returns true; otherwise changes nothing and returns false.
bool RemoveHeadItem(CLinkedFileList*& head, CLinkedFileList* item);

// Destroys every item of the list and leaves `head` null.
void DeleteLinkedFileList(CLinkedFileList*& head);

}  // namespace hf
