// Decoding of the binary EPS header; a pure function of the bytes.
#include "formats/binary_eps_header.h"

namespace hf {

namespace {

uint32_t Little32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool HasBinaryEpsMagic(const unsigned char* bytes, size_t length) {
  return bytes != nullptr && length >= 4 && bytes[0] == 0xC5 && bytes[1] == 0xD0 && bytes[2] == 0xD3 &&
         bytes[3] == 0xC6;
}

bool ParseBinaryEpsHeader(const unsigned char* bytes, size_t length, BinaryEpsHeader& header) {
  if (length < kBinaryEpsHeaderSize || !HasBinaryEpsMagic(bytes, length)) return false;
  header.postScriptOffset = Little32(bytes + 4);
  header.postScriptLength = Little32(bytes + 8);
  header.metafileOffset = Little32(bytes + 12);
  header.metafileLength = Little32(bytes + 16);
  header.tiffOffset = Little32(bytes + 20);
  header.tiffLength = Little32(bytes + 24);
  header.checksum = static_cast<uint16_t>(bytes[28] | bytes[29] << 8);
  return true;
}

PostScriptSection CheckPostScriptSection(const BinaryEpsHeader& header, uint64_t fileSize) {
  if (header.postScriptLength == 0) return PostScriptSection::kEmpty;
  if (header.postScriptOffset < kBinaryEpsHeaderSize) return PostScriptSection::kOverlapsHeader;
  uint64_t end = static_cast<uint64_t>(header.postScriptOffset) + header.postScriptLength;
  if (end > fileSize) return PostScriptSection::kPastEnd;
  return PostScriptSection::kInsideFile;
}

}  // namespace hf
