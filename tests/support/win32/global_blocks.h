// Global-memory blocks as the host or an earlier call leaves them in a block:
// chains of file records and of init data, and a check that a block was freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hf {

// A chain of file records (fixed, zero-initialised global memory),
// linked by next/previous, one per name; `safeToDelete` is written into each.
// Returns the records in chain order.
std::vector<void*> NewFileRecordChain(const std::vector<std::string>& fileNames, uint32_t safeToDelete);

// A chain of `count` global blocks of `size` bytes (at least two pointers),
// each holding the next block's address at byte 4 (win32) or 8 (win64).
std::vector<void*> NewInitDataChain(int count, size_t size);

// True while `block` is an allocated block of the process heap (global memory
// of fixed blocks lives there); false once it has been freed.
bool IsLiveGlobalBlock(const void* block);

}  // namespace hf
