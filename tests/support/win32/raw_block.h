// A parameter block as the host holds it: raw bytes (1280 in the win32 build,
// 1312 in the win64 build), read and written only through the offsets of
// block_offsets.h.
#pragma once

#include "tests/support/win32/block_offsets.h"

#include <array>
#include <cstdint>
#include <string>

namespace hf {

class RawBlock {
 public:
  RawBlock();  // all bytes zero

  // The host's default-initialised block: zero except version 5, structSize
  // (the block's size), capsExtra1/2 -1, scanTimeout 50, charSize 1, taskSettingsHeader 0x000A0084.
  static RawBlock Default();

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }

  uint32_t U32(const block::Field& field) const;
  int32_t I32(const block::Field& field) const { return static_cast<int32_t>(U32(field)); }
  void SetU32(const block::Field& field, uint32_t value);
  void SetI32(const block::Field& field, int32_t value) { SetU32(field, static_cast<uint32_t>(value)); }

  void* Pointer(const block::Field& field) const;
  void SetPointer(const block::Field& field, const void* pointer);

  // The bytes of a text field up to its first NUL (or its whole width).
  std::string Text(const block::Field& field) const;
  // Writes `text` into the field, cut to width - 1 and NUL-terminated.
  void SetText(const block::Field& field, const std::string& text);

  // The text messageText points to (empty when null), read within messageLength + 1 bytes.
  std::string MessageText() const;
  // Sets messageAcknowledged to 1, as the host does when it has taken the message.
  void AcknowledgeMessage() { SetU32(block::kMessageAcknowledged, 1); }

  bool operator==(const RawBlock& other) const { return bytes_ == other.bytes_; }
  bool operator!=(const RawBlock& other) const { return bytes_ != other.bytes_; }

 private:
  alignas(8) std::array<uint8_t, block::kSize> bytes_;
};

// Offset of the first byte where the two blocks differ, or -1 when they are equal.
int FirstDifference(const RawBlock& a, const RawBlock& b);

}  // namespace hf
