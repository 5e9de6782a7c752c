// Decoding of the binary EPS header and the placement check of its PostScript section.
#include "formats/binary_eps_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace hf {

namespace {

void Put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::vector<unsigned char> Header(uint32_t psOffset, uint32_t psLength, uint32_t tiffOffset = 0,
                                  uint32_t tiffLength = 0) {
  std::vector<unsigned char> bytes(30, 0xFF);  // the checksum field stays 0xFFFF
  Put32(bytes, 0, 0xC6D3D0C5);                   // C5 D0 D3 C6
  Put32(bytes, 4, psOffset);
  Put32(bytes, 8, psLength);
  Put32(bytes, 12, 0x11223344);
  Put32(bytes, 16, 0x55667788);
  Put32(bytes, 20, tiffOffset);
  Put32(bytes, 24, tiffLength);
  return bytes;
}

TEST(BinaryEpsHeader, FieldsAreReadLittleEndianAtTheirOffsets) {
  auto bytes = Header(0x0000001E, 0x00010203, 0x00020304, 0xA0B0C0D0);
  BinaryEpsHeader header;
  ASSERT_TRUE(ParseBinaryEpsHeader(bytes.data(), bytes.size(), header));
  EXPECT_EQ(header.postScriptOffset, 0x1Eu);
  EXPECT_EQ(header.postScriptLength, 0x00010203u);
  EXPECT_EQ(header.metafileOffset, 0x11223344u);
  EXPECT_EQ(header.metafileLength, 0x55667788u);
  EXPECT_EQ(header.tiffOffset, 0x00020304u);
  EXPECT_EQ(header.tiffLength, 0xA0B0C0D0u);
  EXPECT_EQ(header.checksum, 0xFFFFu);
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
  const unsigned char text[] = "%!PS-Adobe-3.0 EPSF-3.0";
  EXPECT_FALSE(HasBinaryEpsMagic(text, sizeof text));
}

TEST(BinaryEpsHeader, SectionMustLieInsideTheFileAfterTheHeader) {
  struct Case {
    uint32_t offset, length;
    uint64_t fileSize;
    PostScriptSection expected;
  } cases[] = {
      {30, 100, 130, PostScriptSection::kInsideFile},    // ends exactly at the end
      {30, 100, 5000, PostScriptSection::kInsideFile},   // previews follow
      {30, 101, 130, PostScriptSection::kPastEnd},       // one byte too long
      {131, 1, 130, PostScriptSection::kPastEnd},        // starts past the end
      {130, 1, 130, PostScriptSection::kPastEnd},
      {0xFFFFFFF0u, 0x20, 4096, PostScriptSection::kPastEnd},  // wraps in 32 bits
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFull, PostScriptSection::kPastEnd},
      {30, 0, 130, PostScriptSection::kEmpty},
      {0, 0, 130, PostScriptSection::kEmpty},
      {0, 100, 130, PostScriptSection::kOverlapsHeader},
      {29, 10, 130, PostScriptSection::kOverlapsHeader},
  };
  for (const Case& c : cases) {
    auto bytes = Header(c.offset, c.length);
    BinaryEpsHeader header;
    ASSERT_TRUE(ParseBinaryEpsHeader(bytes.data(), bytes.size(), header));
    EXPECT_EQ(CheckPostScriptSection(header, c.fileSize), c.expected)
        << "offset " << c.offset << " length " << c.length << " size " << c.fileSize;
  }
}

}  // namespace

}  // namespace hf
