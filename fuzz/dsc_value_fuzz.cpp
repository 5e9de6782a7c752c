// Fuzzes DSC value extraction: the first byte picks the UTF-8 flag and the
// destination size, the rest is the text at the comment.
#include "formats/dsc_value.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace hf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool utf8 = (data[0] & 0x80) != 0;
  static const size_t kSizes[] = {1, 2, 3, 8, 32, 64, 260, 4096};
  const size_t destinationSize = kSizes[data[0] & 7];
  ++data;
  --size;

  // The text as the head buffer holds it: NUL-terminated, exactly sized.
  std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';

  // No NUL beforehand: a written value must bring its own terminator.
  std::unique_ptr<char[]> destination(new char[destinationSize]);
  std::memset(destination.get(), 'X', destinationSize);
  ExtractDscValue(text.get(), utf8, destination.get(), destinationSize);

  const void* end = std::memchr(destination.get(), '\0', destinationSize);
  if (end == nullptr) {
    for (size_t i = 0; i < destinationSize; ++i)
      if (destination[i] != 'X') std::abort();  // written but not terminated
  }
  return 0;
}
