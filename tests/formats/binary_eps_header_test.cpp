// Decoding of the binary EPS header and the placement check of its PostScript section.
#include "formats/binary_eps_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

namespace hf {

namespace {

// The 30-byte header: magic C5 D0 D3 C6, then six little-endian words (the
// metafile pair fixed), then the checksum 0xFFFF.
std::vector<unsigned char> Header(uint32_t psOffset, uint32_t psLength, uint32_t tiffOffset = 0,
                                  uint32_t tiffLength = 0) {
  std::vector<unsigned char> bytes(30, 0xFF);
  const uint32_t words[] = {0xC6D3D0C5, psOffset, psLength, 0x11223344, 0x55667788, tiffOffset, tiffLength};
  for (int w = 0; w < 7; ++w)
    for (int i = 0; i < 4; ++i) bytes[4 * w + i] = static_cast<unsigned char>(words[w] >> (8 * i));
  return bytes;
}

TEST(BinaryEpsHeader, FieldsAreReadLittleEndianAtTheirOffsets) {
  auto bytes = Header(0x0000001E, 0x00010203, 0x00020304, 0xA0B0C0D0);
  BinaryEpsHeader h;
  ASSERT_TRUE(ParseBinaryEpsHeader(bytes.data(), bytes.size(), h));
  const uint32_t fields[] = {h.postScriptOffset, h.postScriptLength, h.metafileOffset, h.metafileLength,
                             h.tiffOffset,       h.tiffLength,       h.checksum};
  EXPECT_EQ(std::vector<uint32_t>(fields, fields + 7),
            (std::vector<uint32_t>{0x1E, 0x00010203, 0x11223344, 0x55667788, 0x00020304, 0xA0B0C0D0, 0xFFFF}));
}

TEST(BinaryEpsHeader, ShortOrForeignBytesAreNotAHeader) {
  auto bytes = Header(30, 10);
  BinaryEpsHeader header;
  header.postScriptLength = 77;
  EXPECT_FALSE(ParseBinaryEpsHeader(bytes.data(), 29, header));
  EXPECT_FALSE(ParseBinaryEpsHeader(nullptr, 30, header));
  for (size_t i = 0; i < 4; ++i) {
    auto changed = bytes;
    changed[i] ^= 0x01;
    EXPECT_FALSE(ParseBinaryEpsHeader(changed.data(), changed.size(), header)) << "magic byte " << i;
  }
  EXPECT_EQ(header.postScriptLength, 77u);  // untouched on refusal
  EXPECT_TRUE(HasBinaryEpsMagic(bytes.data(), 4));
  EXPECT_FALSE(HasBinaryEpsMagic(bytes.data(), 3));
}

TEST(BinaryEpsHeader, SectionMustLieInsideTheFileAfterTheHeader) {
  using S = PostScriptSection;
  const std::tuple<uint32_t, uint32_t, uint64_t, PostScriptSection> cases[] = {
      {30, 100, 130, S::kInsideFile},
      {30, 100, 5000, S::kInsideFile},  // ends exactly at the end; previews follow
      {30, 101, 130, S::kPastEnd},
      {130, 1, 130, S::kPastEnd},
      {0xFFFFFFF0u, 0x20, 4096, S::kPastEnd},  // wraps in 32 bits
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFull, S::kPastEnd},
      {30, 0, 130, S::kEmpty},
      {0, 0, 130, S::kEmpty},
      {0, 100, 130, S::kOverlapsHeader},
      {29, 10, 130, S::kOverlapsHeader}};
  for (const auto& [offset, length, fileSize, expected] : cases) {
    auto bytes = Header(offset, length);
    BinaryEpsHeader header;
    ASSERT_TRUE(ParseBinaryEpsHeader(bytes.data(), bytes.size(), header));
    EXPECT_EQ(CheckPostScriptSection(header, fileSize), expected)
        << "offset " << offset << " length " << length << " size " << fileSize;
  }
}

}  // namespace

}  // namespace hf
