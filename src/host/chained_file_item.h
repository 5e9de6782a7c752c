// The file record handed to the host (1448 bytes in the win32 build, 1456 in
// the win64 build: the two links are 8 bytes there) and the operations on a
// chain of them. Records live in fixed, zero-initialised global memory owned by the
// plug-in; the host reads them and marks them safe to delete.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hf {

struct ChainedFileItem {
  char folder[260];    // the hot folder, or the destination after a move
  char fileName[260];  // the name in `folder`
  char title[132];
  char owner[132];
  uint64_t fileSize;
  uint32_t jobType;       // 0 when the file was never type-checked
  uint32_t groupMember;   // 1 in records built from a group file
  uint32_t colourType;    // separation colour type of a group member
  uint32_t safeToDelete;  // set by whoever has finished with the record
  ChainedFileItem* next;
  ChainedFileItem* previous;
  uint32_t reserved816[2];
  char reserved824[32];
  char reserved856[32];
  char reserved888[64];
  uint32_t reserved952[8];
  uint32_t itemFlags;  // kItemHasIntakeFailure
  char reserved988[32];
  char reserved1020[32];
  char uniqueId[128];
  uint32_t reserved1180;
  char intakeFailureText[260];
  uint32_t reserved1444;
};

// itemFlags: intakeFailureText holds the reason a job ticket was not taken.
constexpr uint32_t kItemHasIntakeFailure = 4;

#define HF_RECORD_FIELD_AT(field, offset) static_assert(offsetof(ChainedFileItem, field) == (offset), #field " offset")
HF_RECORD_FIELD_AT(folder, 0);
HF_RECORD_FIELD_AT(fileName, 260);
HF_RECORD_FIELD_AT(title, 520);
HF_RECORD_FIELD_AT(owner, 652);
HF_RECORD_FIELD_AT(fileSize, 784);
HF_RECORD_FIELD_AT(jobType, 792);
HF_RECORD_FIELD_AT(groupMember, 796);
HF_RECORD_FIELD_AT(colourType, 800);
HF_RECORD_FIELD_AT(safeToDelete, 804);
HF_RECORD_FIELD_AT(next, 808);
#if defined(_WIN64)
static_assert(sizeof(void*) == 8, "the win64 record has 64-bit links");
static_assert(sizeof(ChainedFileItem) == 1456, "64-bit host record size");
HF_RECORD_FIELD_AT(previous, 816);
HF_RECORD_FIELD_AT(reserved816, 824);
HF_RECORD_FIELD_AT(reserved824, 832);
HF_RECORD_FIELD_AT(reserved856, 864);
HF_RECORD_FIELD_AT(reserved888, 896);
HF_RECORD_FIELD_AT(reserved952, 960);
HF_RECORD_FIELD_AT(itemFlags, 992);
HF_RECORD_FIELD_AT(reserved988, 996);
HF_RECORD_FIELD_AT(reserved1020, 1028);
HF_RECORD_FIELD_AT(uniqueId, 1060);
HF_RECORD_FIELD_AT(reserved1180, 1188);
HF_RECORD_FIELD_AT(intakeFailureText, 1192);
HF_RECORD_FIELD_AT(reserved1444, 1452);
#else
static_assert(sizeof(void*) == 4, "the win32 record has 32-bit links");
static_assert(sizeof(ChainedFileItem) == 1448, "host record size");
HF_RECORD_FIELD_AT(previous, 812);
HF_RECORD_FIELD_AT(reserved816, 816);
HF_RECORD_FIELD_AT(reserved824, 824);
HF_RECORD_FIELD_AT(reserved856, 856);
HF_RECORD_FIELD_AT(reserved888, 888);
HF_RECORD_FIELD_AT(reserved952, 952);
HF_RECORD_FIELD_AT(itemFlags, 984);
HF_RECORD_FIELD_AT(reserved988, 988);
HF_RECORD_FIELD_AT(reserved1020, 1020);
HF_RECORD_FIELD_AT(uniqueId, 1052);
HF_RECORD_FIELD_AT(reserved1180, 1180);
HF_RECORD_FIELD_AT(intakeFailureText, 1184);
HF_RECORD_FIELD_AT(reserved1444, 1444);
#endif
#undef HF_RECORD_FIELD_AT

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

}  // namespace hf
