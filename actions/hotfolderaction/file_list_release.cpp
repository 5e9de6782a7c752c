// Frees a handed-over chained file list, warning about records not marked safe to delete.
#include "actions/hotfolderaction/file_list_release.h"

#include "actions/common/win32/message_handover.h"
#include "common/log.h"
#include "common/win32/windows_api.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t ReadSafeToDelete(const unsigned char* record) {
  uint32_t value = 0;
  std::memcpy(&value, record + kFileRecordSafeToDeleteOffset, sizeof value);
  return value;
}

void* ReadNext(const unsigned char* record) {
  void* next = nullptr;
  std::memcpy(&next, record + kFileRecordNextOffset, sizeof next);
  return next;
}

}  // namespace

void ReleaseHandedOverFileList(PluginParameters* params) {
  if (params == nullptr || params->fileList == nullptr) return;
  if (!HF_IS_VALID_POINTER(&params->fileList)) {
    Log(2, "DeleteFileList called with invalid pointer");
    return;
  }
  void* current = params->fileList;
  params->fileList = nullptr;
  for (int index = 0; current != nullptr; ++index) {
    if (!HF_IS_VALID_POINTER(&current)) break;  // an all-ones link ends the walk
    const auto* record = static_cast<const unsigned char*>(current);
    if (ReadSafeToDelete(record) == 0) {
      char fileName[kFileRecordFileNameSize + 1] = {};
      std::memcpy(fileName, record + kFileRecordFileNameOffset, kFileRecordFileNameSize);
      Log(2, "Filelist item %d (%s) has not been marked as safe to delete!", index, fileName);
    }
    void* next = ReadNext(record);
    ::GlobalFree(current);
    current = next;
  }
}
