// The 1448-byte file record handed to the host and the operations on a chain of
// them. Records live in fixed, zero-initialised global memory owned by the
// plug-in; the host reads them and marks them safe to delete.
#pragma once

#include <cstddef>
#include <cstdint>

struct ChainedFileItem {
  char folder[260];                // the hot folder, or the destination after a move
  char fileName[260];              // the name in `folder`
  char title[132];
  char owner[132];
  uint64_t fileSize;
  uint32_t jobType;                // 0 when the file was never type-checked
  uint32_t groupMember;            // 1 in records built from a group file
  uint32_t colourType;             // separation colour type of a group member
  uint32_t safeToDelete;           // set by whoever has finished with the record
  ChainedFileItem* next;
  ChainedFileItem* previous;
  uint32_t reserved816[2];
  char reserved824[32];
  char reserved856[32];
  char reserved888[64];
  uint32_t reserved952[8];
  uint32_t itemFlags;              // kItemHasIntakeFailure
  char reserved988[32];
  char reserved1020[32];
  char uniqueId[128];
  uint32_t reserved1180;
  char intakeFailureText[260];
  uint32_t reserved1444;
};

// itemFlags: intakeFailureText holds the reason a job ticket was not taken.
constexpr uint32_t kItemHasIntakeFailure = 4;

static_assert(sizeof(void*) == 4, "the host's record has 32-bit links");
static_assert(sizeof(ChainedFileItem) == 1448, "host record size");
static_assert(offsetof(ChainedFileItem, folder) == 0, "folder");
static_assert(offsetof(ChainedFileItem, fileName) == 260, "fileName");
static_assert(offsetof(ChainedFileItem, title) == 520, "title");
static_assert(offsetof(ChainedFileItem, owner) == 652, "owner");
static_assert(offsetof(ChainedFileItem, fileSize) == 784, "fileSize");
static_assert(offsetof(ChainedFileItem, jobType) == 792, "jobType");
static_assert(offsetof(ChainedFileItem, groupMember) == 796, "groupMember");
static_assert(offsetof(ChainedFileItem, colourType) == 800, "colourType");
static_assert(offsetof(ChainedFileItem, safeToDelete) == 804, "safeToDelete");
static_assert(offsetof(ChainedFileItem, next) == 808, "next");
static_assert(offsetof(ChainedFileItem, previous) == 812, "previous");
static_assert(offsetof(ChainedFileItem, reserved816) == 816, "reserved816");
static_assert(offsetof(ChainedFileItem, reserved824) == 824, "reserved824");
static_assert(offsetof(ChainedFileItem, reserved952) == 952, "reserved952");
static_assert(offsetof(ChainedFileItem, itemFlags) == 984, "itemFlags");
static_assert(offsetof(ChainedFileItem, reserved988) == 988, "reserved988");
static_assert(offsetof(ChainedFileItem, uniqueId) == 1052, "uniqueId");
static_assert(offsetof(ChainedFileItem, reserved1180) == 1180, "reserved1180");
static_assert(offsetof(ChainedFileItem, intakeFailureText) == 1184, "intakeFailureText");
static_assert(offsetof(ChainedFileItem, reserved1444) == 1444, "reserved1444");

// One zeroed record in fixed global memory, or null when the allocation fails.
ChainedFileItem* NewFileItem();

// Links `item` behind the last record of `list` and returns the head (`item`
// itself when the list is empty). A null item is logged and ignored.
ChainedFileItem* AppendFile(ChainedFileItem* list, ChainedFileItem* item);

// Unlinks `item` from its neighbours, frees it and returns the head of what is
// left (null when nothing is).
ChainedFileItem* DeleteFileItem(ChainedFileItem* item);

// Frees the head record and returns its successor, now the head.
ChainedFileItem* DeleteHeadFile(ChainedFileItem* list);

// Frees every record from the head on. With `warn` non-zero, each record not
// marked safeToDelete is logged (index from 0 and file name) before it is freed.
void DeleteFileList(ChainedFileItem* list, int warn);
