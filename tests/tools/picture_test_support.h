// Small TIFFs written with libtiff and PNGs decoded with libpng, for the tests
// of the picture tools.
#pragma once

#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <string>
#include <vector>

namespace hf {

struct TestTiff {
  uint32_t width, height;
  uint16_t bits, samples, photometric;
  std::vector<uint8_t> bytes;  // packed rows, as stored
  uint32_t rowsPerStrip = 1;   // one strip per row: several strips
};

inline bool WriteTestTiff(const std::string& path, const TestTiff& image) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (!tiff) return false;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, image.width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, image.height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.samples);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, image.photometric);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, image.rowsPerStrip);
  const size_t rowBytes = static_cast<size_t>(TIFFScanlineSize(tiff));
  bool ok = image.bytes.size() == rowBytes * image.height;
  for (uint32_t row = 0; ok && row < image.height; ++row)
    ok = TIFFWriteScanline(tiff, const_cast<uint8_t*>(&image.bytes[row * rowBytes]), row, 0) == 1;
  TIFFClose(tiff);
  return ok;
}

// The PNG's pixels as 8-bit RGB rows; false when it does not decode.
inline bool DecodePng(const std::string& path, uint32_t& width, uint32_t& height, std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb.assign(PNG_IMAGE_SIZE(image), 0);
  const bool ok = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
  width = image.width;
  height = image.height;
  png_image_free(&image);
  return ok;
}

}  // namespace hf
