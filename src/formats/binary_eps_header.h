// The 30-byte header of a binary EPS file (PostScript with embedded metafile and
// TIFF previews) and the check that its PostScript section lies inside the file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hf {

constexpr size_t kBinaryEpsHeaderSize = 30;

// Little-endian fields at bytes 4, 8, ..., 24 and the checksum at 28.
struct BinaryEpsHeader {
  uint32_t postScriptOffset = 0;
  uint32_t postScriptLength = 0;
  uint32_t metafileOffset = 0;
  uint32_t metafileLength = 0;
  uint32_t tiffOffset = 0;
  uint32_t tiffLength = 0;
  uint16_t checksum = 0;
};

// True when the bytes begin with C5 D0 D3 C6.
bool HasBinaryEpsMagic(const unsigned char* bytes, size_t length);

// Reads the header from the first bytes of a file. False (and `header` left as
// it was) when fewer than 30 bytes are given or the magic is missing.
bool ParseBinaryEpsHeader(const unsigned char* bytes, size_t length, BinaryEpsHeader& header);

enum class PostScriptSection {
  kInsideFile,      // offset + length <= file size, not empty, after the header
  kEmpty,           // length 0
  kOverlapsHeader,  // offset before the end of the 30-byte header
  kPastEnd,         // offset + length (computed without wrapping) beyond the file
};

// Where the header's PostScript section lies in a file of `fileSize` bytes.
PostScriptSection CheckPostScriptSection(const BinaryEpsHeader& header, uint64_t fileSize);

}  // namespace hf
