// Building global-memory chains for boundary tests and checking that they were freed.
#include "tests/support/win32/global_blocks.h"

#include "base/win32/windows_api.h"
#include "tests/support/win32/block_offsets.h"

#include <algorithm>
#include <cstring>

namespace hf {

namespace {

void WritePointer(void* block, size_t offset, const void* pointer) {
  std::memcpy(static_cast<char*>(block) + offset, &pointer, sizeof pointer);
}

}  // namespace

std::vector<void*> NewFileRecordChain(const std::vector<std::string>& fileNames, uint32_t safeToDelete) {
  std::vector<void*> records;
  for (const std::string& name : fileNames) {
    void* record = ::GlobalAlloc(GPTR, file_record::kSize);
    if (record == nullptr) break;
    char* bytes = static_cast<char*>(record);
    std::memcpy(bytes + file_record::kFileName, name.data(), name.size() < 259 ? name.size() : 259);
    std::memcpy(bytes + file_record::kSafeToDelete, &safeToDelete, sizeof safeToDelete);
    if (!records.empty()) {
      WritePointer(records.back(), file_record::kNext, record);
      WritePointer(record, file_record::kPrevious, records.back());
    }
    records.push_back(record);
  }
  return records;
}

std::vector<void*> NewInitDataChain(int count, size_t size) {
  std::vector<void*> blocks;
  for (int i = 0; i < count; ++i) {
    void* block = ::GlobalAlloc(GPTR, std::max(size, 2 * block::kPointerWidth));
    if (block == nullptr) break;
    if (!blocks.empty()) WritePointer(blocks.back(), block::kInitDataNext, block);
    blocks.push_back(block);
  }
  return blocks;
}

bool IsLiveGlobalBlock(const void* block) { return ::HeapValidate(::GetProcessHeap(), 0, block) != FALSE; }

}  // namespace hf
