// Global-memory chains as the host or an earlier call leaves them in a block, and a check that a block was freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hf {

// File records (fixed, zeroed global memory) linked by next/previous, one per name, in chain order.
std::vector<void*> NewFileRecordChain(const std::vector<std::string>& fileNames, uint32_t safeToDelete);

// `count` global blocks of `size` bytes (at least two pointers), each holding the next one's address.
std::vector<void*> NewInitDataChain(int count, size_t size);

// True while `block` is an allocated block of the process heap, where fixed global memory lives.
bool IsLiveGlobalBlock(const void* block);

}  // namespace hf
