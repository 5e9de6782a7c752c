// A parameter block as the host holds it: raw bytes, read and written through block_offsets.h.
#pragma once

#include "tests/support/win32/block_offsets.h"

#include <array>
#include <cstring>
#include <string>

namespace hf {

class RawBlock {
 public:
  RawBlock() { bytes_.fill(0); }

  // The host's default-initialised block.
  static RawBlock Default() {
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

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }

  uint32_t U32(const block::Field& field) const { return Get<uint32_t>(field); }
  int32_t I32(const block::Field& field) const { return Get<int32_t>(field); }
  void SetU32(const block::Field& field, uint32_t value) { Set(field, value); }
  void SetI32(const block::Field& field, int32_t value) { Set(field, value); }
  void* Pointer(const block::Field& field) const { return Get<void*>(field); }
  void SetPointer(const block::Field& field, const void* pointer) { Set(field, pointer); }

  std::string Text(const block::Field& field) const {
    const char* text = reinterpret_cast<const char*>(bytes_.data() + field.offset);
    return std::string(text, strnlen(text, field.width));
  }
  // Writes `text` into the field, cut to width - 1 and NUL-terminated.
  void SetText(const block::Field& field, const std::string& text) {
    std::memset(bytes_.data() + field.offset, 0, field.width);
    std::memcpy(bytes_.data() + field.offset, text.data(), text.size() < field.width ? text.size() : field.width - 1);
  }

  // The text messageText points to (empty when null), read within messageLength + 1 bytes.
  std::string MessageText() const {
    const char* text = static_cast<const char*>(Pointer(block::kMessageText));
    return text == nullptr ? std::string() : std::string(text, strnlen(text, U32(block::kMessageLength) + 1));
  }
  // Sets messageAcknowledged to 1, as the host does when it has taken the message.
  void AcknowledgeMessage() { SetU32(block::kMessageAcknowledged, 1); }

 private:
  template <typename T>
  T Get(const block::Field& field) const {
    T value;
    std::memcpy(&value, bytes_.data() + field.offset, sizeof value);
    return value;
  }
  template <typename T>
  void Set(const block::Field& field, T value) {
    std::memcpy(bytes_.data() + field.offset, &value, sizeof value);
  }

  alignas(8) std::array<uint8_t, block::kSize> bytes_;
};

// Offset of the first byte where the two blocks differ, or -1 when they are equal.
inline int FirstDifference(const RawBlock& a, const RawBlock& b) {
  for (size_t i = 0; i < block::kSize; ++i)
    if (a.data()[i] != b.data()[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace hf
