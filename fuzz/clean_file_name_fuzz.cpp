// Fuzzes file name cleaning in a double-byte code page: the result is always
// terminated inside the buffer, holds no control or disallowed single-byte
// character, and is no longer than the source.
#include "jobs/clean_file_name.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace hf;

namespace {

bool ShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool doubleByte = (data[0] & 0x80) != 0;
  const size_t bufferSize = 1 + (data[0] & 0x7F) * 3;
  ++data;
  --size;
  std::unique_ptr<char[]> source(new char[size + 1]);
  std::memcpy(source.get(), data, size);
  source[size] = '\0';
  std::unique_ptr<char[]> destination(new char[bufferSize]);
  std::memset(destination.get(), 'X', bufferSize);

  CleanFileName(source.get(), destination.get(), bufferSize, doubleByte ? ShiftJisLeadByte : nullptr);

  const char* end = static_cast<const char*>(std::memchr(destination.get(), '\0', bufferSize));
  if (end == nullptr) std::abort();
  size_t length = static_cast<size_t>(end - destination.get());
  if (length > std::strlen(source.get())) std::abort();
  const auto* out = reinterpret_cast<const unsigned char*>(destination.get());
  for (size_t i = 0; i < length; ++i) {
    if (doubleByte && ShiftJisLeadByte(out[i]) && i + 1 < length) {
      if (out[i + 1] == 0x5C) std::abort();  // a backslash trail must have been replaced
      ++i;
      continue;
    }
    if (out[i] < 32 || std::strchr(":*/<>?\\\"|", out[i]) != nullptr) std::abort();
  }
  return 0;
}
