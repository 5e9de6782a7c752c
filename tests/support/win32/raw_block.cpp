// Raw parameter block access through byte offsets.
#include "tests/support/win32/raw_block.h"

#include <cstring>

namespace hf {

RawBlock::RawBlock() { bytes_.fill(0); }

RawBlock RawBlock::Default() {
  RawBlock raw;
  raw.SetU32(block::kVersion, 5);
  raw.SetU32(block::kStructSize, block::kSize);
  raw.SetI32(block::kCapsExtra1, -1);
  raw.SetI32(block::kCapsExtra2, -1);
  raw.SetU32(block::kScanTimeout, 50);
  raw.SetU32(block::kCharSize, 1);
  raw.SetU32(block::kTaskSettingsHeader, 0x000A0084);
  return raw;
}

uint32_t RawBlock::U32(const block::Field& field) const {
  const uint8_t* p = bytes_.data() + field.offset;
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void RawBlock::SetU32(const block::Field& field, uint32_t value) {
  uint8_t* p = bytes_.data() + field.offset;
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void* RawBlock::Pointer(const block::Field& field) const {
  uintptr_t value = 0;
  std::memcpy(&value, bytes_.data() + field.offset, sizeof value);
  return reinterpret_cast<void*>(value);
}

void RawBlock::SetPointer(const block::Field& field, const void* pointer) {
  auto value = reinterpret_cast<uintptr_t>(pointer);
  std::memcpy(bytes_.data() + field.offset, &value, sizeof value);
}

std::string RawBlock::Text(const block::Field& field) const {
  const char* text = reinterpret_cast<const char*>(bytes_.data() + field.offset);
  return std::string(text, strnlen(text, field.width));
}

void RawBlock::SetText(const block::Field& field, const std::string& text) {
  char* target = reinterpret_cast<char*>(bytes_.data() + field.offset);
  std::memset(target, 0, field.width);
  std::memcpy(target, text.data(), text.size() < field.width ? text.size() : field.width - 1);
}

std::string RawBlock::MessageText() const {
  const char* text = static_cast<const char*>(Pointer(block::kMessageText));
  if (text == nullptr) return std::string();
  return std::string(text, strnlen(text, static_cast<size_t>(U32(block::kMessageLength)) + 1));
}

int FirstDifference(const RawBlock& a, const RawBlock& b) {
  for (size_t i = 0; i < block::kSize; ++i)
    if (a.data()[i] != b.data()[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace hf
