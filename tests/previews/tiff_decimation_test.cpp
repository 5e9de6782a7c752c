// DecimateTiff on TIFFs made here with libtiff (or byte by byte where the file
// must lie): the copy limit, the reduced image, and the refusals and damaged
// files that must leave no target behind.
#include "previews/tiff_decimation.h"

#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hf {

namespace {

// The known content: byte `b` of row `r`.
uint8_t SourceByte(uint32_t r, uint32_t b) { return static_cast<uint8_t>(r * 31u + b * 7u + (b >> 3)); }

struct Image {
  uint32_t width, length;
  uint16_t bits = 1, photometric = PHOTOMETRIC_MINISWHITE, compression = COMPRESSION_CCITTFAX4;
  bool tiled = false;
  uint32_t rowsPerStrip = 0;  // 0: libtiff's default, one row per strip for a plate
};

void WriteTiff(const std::string& path, const Image& image) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, image.width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, image.length);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, image.photometric);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, image.compression);
  TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 2540.0);
  TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 1270.0);
  TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  if (image.tiled) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 256);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tiff)));
    for (ttile_t t = 0; t < TIFFNumberOfTiles(tiff); ++t) TIFFWriteEncodedTile(tiff, t, tile.data(), -1);
  } else {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP,
                 image.rowsPerStrip != 0 ? image.rowsPerStrip : TIFFDefaultStripSize(tiff, 0));
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    for (uint32_t r = 0; r < image.length; ++r) {
      for (uint32_t b = 0; b < row.size(); ++b) row[b] = SourceByte(r, b);
      ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), r, 0), 1);
    }
  }
  TIFFClose(tiff);
}

// An uncompressed 1-bit TIFF in one strip, written byte by byte so that its
// tags can claim what the file does not hold: `dataBytes` bytes of pixels follow
// the directory, whatever `width`, `length` and `stripBytes` say.
std::string RawTiff(uint32_t width, uint32_t length, uint32_t stripBytes, uint32_t dataBytes) {
  std::string bytes("II*\0\x08\0\0\0", 8);
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const uint32_t dataOffset = 8 + 2 + 9 * 12 + 4;
  const uint32_t entries[9][3] = {{256, 4, width}, {257, 4, length}, {258, 3, 1},
                                  {259, 3, 1},     {262, 3, 0},      {273, 4, dataOffset},
                                  {277, 3, 1},     {278, 4, length}, {279, 4, stripBytes}};
  put(9, 2);
  for (const auto& entry : entries) {
    put(entry[0], 2), put(entry[1], 2), put(1, 4), put(entry[2], 4);
  }
  put(0, 4);
  for (uint32_t i = 0; i < dataBytes; ++i) bytes += static_cast<char>(SourceByte(i / 6401, i % 6401));
  return bytes;
}

struct Scratch : ScratchFolder {
  Scratch() : ScratchFolder("hf_decimation_") {}
  std::string source = PathOf("plate.tif");
  std::string target = PathOf("thumb.tif");
  // Nothing but the source (and what the test put there) is left in the folder.
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
  }
};

}  // namespace

TEST(DecimateTiff, AtMost6400AfterTheReductionIsCopiedAboveItIsReducedWithKnownBits) {
  struct Case {
    Image image;
    bool reduced;
  } cases[] = {
      {{8 * 6400, 16}, false},
      {{8 * 6400 + 7, 16, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE}, false},
      {{64, 8 * 6400 + 7}, false},
      {{8 * 6401, 24, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW}, true},
      {{8 * 6401 + 5, 23}, true},  // neither dimension a multiple of 8
      {{64, 8 * 6401}, true},
      // Strips of 3 rows: some keep no row, some hold rows before or after their kept
      // row; plates in one strip, larger than libtiff reads of a strip at once.
      {{8 * 6401, 37, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_LZW, false, 3}, true},
      {{8 * 6401, 29, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, false, 29}, true},
      {{8 * 6401, 161, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_LZW, false, 161}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.image.width) + " x " + std::to_string(c.image.length));
    Scratch scratch;
    WriteTiff(scratch.source, c.image);
    scratch.Write("thumb.tif", "an older thumbnail");
    ASSERT_TRUE(DecimateTiff(scratch.source, scratch.target));
    EXPECT_EQ(scratch.FileCount(), 2u);
    if (!c.reduced) {
      EXPECT_EQ(scratch.Read("thumb.tif"), scratch.Read("plate.tif"));
      continue;
    }
    TIFF* tiff = TIFFOpen(scratch.target.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    uint32_t width = 0, length = 0, rowsPerStrip = 0;
    uint16_t bits = 0, photometric = 9, compression = 0, unit = 0;
    float x = 0, y = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
    TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y);
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    EXPECT_EQ(width, c.image.width / 8);
    EXPECT_EQ(length, c.image.length / 8);
    EXPECT_EQ(rowsPerStrip, 100u);
    EXPECT_EQ(bits, 1);
    EXPECT_EQ(photometric, c.image.photometric);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(x, 2540.0f);
    EXPECT_EQ(y, 1270.0f);
    EXPECT_EQ(unit, RESUNIT_INCH);
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    ASSERT_EQ(row.size(), (width + 7) / 8);
    for (uint32_t r = 0; r < length; ++r) {
      ASSERT_EQ(TIFFReadScanline(tiff, row.data(), r, 0), 1);
      for (uint32_t j = 0; j < row.size(); ++j) ASSERT_EQ(row[j], SourceByte(8 * r, 8 * j)) << r << ", " << j;
    }
    TIFFClose(tiff);
  }
}

TEST(DecimateTiff, RefusedAndDamagedFilesGiveFalseWithOneClearLineAndLeaveNoTarget) {
  const uint32_t wide = 8 * 6401, row = 6401;
  struct Case {
    const char* what;
    Image image;       // written with libtiff when `raw` is empty
    std::string raw;   // otherwise these bytes
    bool keepOld;      // an older target was there and must stay
    std::string line;  // level 0; "<source>" stands for the source path
  } cases[] = {
      {"8-bit",
       {wide, 8, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW},
       "",
       true,
       "Decimate: '<source>' has 8 bits per sample and 1 samples per pixel: only 1-bit images are reduced."},
      {"tiled",
       {wide, 16, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, true},
       "",
       false,
       "Decimate: '<source>' is organised in tiles: only images in strips are reduced."},
      {"truncated",
       {0, 0},
       RawTiff(wide, 64, 64 * row, 40 * row + 17),
       true,
       "Decimate: Unable to read row 40 of '<source>': the file is truncated or damaged."},
      {"more rows than bytes",
       {0, 0},
       RawTiff(wide, 0x7FFFFFF8u, 16 * row, 16 * row),
       false,
       // libtiff cuts the one strip into strips of 8 MB: the first cannot be read whole.
       "Decimate: Unable to read row 0 of '<source>': the file is truncated or damaged."},
      {"huge rows",
       {0, 0},
       RawTiff(0xFFFFFFF8u, 64, 1000, 1000),
       false,
       "Decimate: '<source>' claims rows of 536870911 bytes: it is not reduced."},
      {"no TIFF", {0, 0}, "II*\0 not a directory", true, "Decimate: Unable to open '<source>' as a TIFF."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch scratch;
    if (c.raw.empty()) {
      WriteTiff(scratch.source, c.image);
    } else {
      scratch.Write("plate.tif", c.raw);
    }
    if (c.keepOld) scratch.Write("thumb.tif", "an older thumbnail");
    LogCapture log;
    EXPECT_FALSE(DecimateTiff(scratch.source, scratch.target));
    std::string line = c.line;
    line.replace(line.find("<source>"), 8, scratch.source);
    EXPECT_TRUE(log.Has(0, line)) << (log.lines.empty() ? "" : log.lines.back().second);
    int levelZero = 0;
    for (const LogLine& logged : log.lines) levelZero += logged.first == 0;
    EXPECT_EQ(levelZero, 1);
    EXPECT_EQ(scratch.FileCount(), c.keepOld ? 2u : 1u);
    if (c.keepOld) {
      EXPECT_EQ(scratch.Read("thumb.tif"), "an older thumbnail");
    }
  }
}

TEST(DecimateTiff, MissingSourceOrUnwritableTargetGivesFalseAndNoFile) {
  Scratch scratch;
  LogCapture log;
  EXPECT_FALSE(DecimateTiff(scratch.PathOf("none.tif"), scratch.target));
  EXPECT_TRUE(log.Has(0, "Decimate: Unable to open '" + scratch.PathOf("none.tif") + "' as a TIFF."));
  // Reduced and copied, each into a folder that is not there.
  const std::string absent = scratch.PathOf("absent") + "/thumb.tif";
  WriteTiff(scratch.source, {8 * 6401, 8});
  EXPECT_FALSE(DecimateTiff(scratch.source, absent));
  EXPECT_TRUE(log.Has(0, "Decimate: Unable to create '" + absent + ".tmp~'."));
  WriteTiff(scratch.source, {8, 8});
  EXPECT_FALSE(DecimateTiff(scratch.source, absent));
  const std::string copyLine = "Decimate: Unable to copy '" + scratch.source + "' to '" + absent + "'. Error: ";
  EXPECT_EQ(log.lines.back().second.rfind(copyLine, 0), 0u) << log.lines.back().second;
  EXPECT_EQ(scratch.FileCount(), 1u);
}

}  // namespace hf
