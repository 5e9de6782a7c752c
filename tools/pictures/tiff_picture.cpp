// TIFF reading through libtiff's RGBA interface, one band of rows at a time.
#include "tools/pictures/tiff_picture.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace hf {

namespace {

// libtiff reports through global handlers; the last error text is kept for
// the caller (the tools are single-threaded).
std::string& LastTiffError() {
  static std::string text;
  return text;
}
void KeepTiffError(const char* module, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  LastTiffError() = std::string(module ? module : "libtiff") + ": " + text;
}
void IgnoreTiffWarning(const char*, const char*, va_list) {}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

void InstallHandlers() {
  TIFFSetErrorHandler(KeepTiffError);
  TIFFSetWarningHandler(IgnoreTiffWarning);
  LastTiffError().clear();
}

// Bytes in memory as a read-only libtiff stream.
struct MemoryStream {
  const std::string* bytes;
  toff_t position;
};
tmsize_t MemoryRead(thandle_t handle, void* buffer, tmsize_t size) {
  auto* stream = static_cast<MemoryStream*>(handle);
  const toff_t length = stream->bytes->size();
  if (size <= 0 || stream->position >= length) return 0;
  const auto count = static_cast<tmsize_t>(std::min<toff_t>(static_cast<toff_t>(size), length - stream->position));
  std::memcpy(buffer, stream->bytes->data() + stream->position, static_cast<size_t>(count));
  stream->position += static_cast<toff_t>(count);
  return count;
}
tmsize_t MemoryWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) {
  auto* stream = static_cast<MemoryStream*>(handle);
  const toff_t base = whence == SEEK_CUR ? stream->position : whence == SEEK_END ? stream->bytes->size() : 0;
  stream->position = base + offset;
  return stream->position;
}
int MemoryClose(thandle_t) { return 0; }
toff_t MemorySize(thandle_t handle) { return static_cast<MemoryStream*>(handle)->bytes->size(); }
int MemoryMap(thandle_t, void**, toff_t*) { return 0; }
void MemoryUnmap(thandle_t, void*, toff_t) {}

std::string TiffErrorOr(const char* fallback) {
  return LastTiffError().empty() ? std::string(fallback) : LastTiffError();
}

int ReadOpened(TIFF* tiff, BoxSize box, RgbPicture& picture, std::string& error) {
  char message[1024] = "";
  if (!TIFFRGBAImageOK(tiff, message)) {
    error = std::string("unsupported TIFF: ") + message;
    return 1;
  }
  TIFFRGBAImage image;
  if (!TIFFRGBAImageBegin(&image, tiff, 0, message)) {
    error = std::string("unsupported TIFF: ") + message;
    return 1;
  }
  std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)> end(&image, TIFFRGBAImageEnd);
  const uint32_t width = image.width;
  const uint32_t height = image.height;
  const BoxSize size = FitIntoBox(width, height, box);
  if (size.width == 0) {
    error = "empty TIFF image";
    return 1;
  }
  // Bands of about 16 MB of RGBA, at least one row.
  const uint32_t band = std::max<uint32_t>(1, static_cast<uint32_t>((16u << 20) / (static_cast<uint64_t>(width) * 4)));
  std::vector<uint32_t> raster(static_cast<size_t>(width) * std::min(band, height));
  AreaReducer reducer(width, height, size);
  image.req_orientation = ORIENTATION_TOPLEFT;
  for (uint32_t top = 0; top < height; top += band) {
    const uint32_t rows = std::min(band, height - top);
    image.row_offset = static_cast<int>(top);
    image.col_offset = 0;
    if (!TIFFRGBAImageGet(&image, raster.data(), width, rows)) {
      error = TiffErrorOr("cannot read the TIFF image data");
      return 1;
    }
    for (uint32_t r = 0; r < rows; ++r) reducer.AddRgbaRow(top + r, &raster[static_cast<size_t>(r) * width]);
  }
  picture = reducer.Result();
  return 0;
}

}  // namespace

int ReadTiffPicture(const std::string& path, BoxSize box, RgbPicture& picture, std::string& error) {
  InstallHandlers();
  TiffHandle tiff(TIFFOpen(path.c_str(), "r"));
  if (!tiff) {
    error = TiffErrorOr("cannot open the TIFF file");
    return 1;
  }
  return ReadOpened(tiff.get(), box, picture, error);
}

int ReadTiffPictureFromBytes(const std::string& bytes, BoxSize box, RgbPicture& picture, std::string& error) {
  InstallHandlers();
  MemoryStream stream{&bytes, 0};
  TiffHandle tiff(TIFFClientOpen("memory", "rm", &stream, MemoryRead, MemoryWrite, MemorySeek, MemoryClose, MemorySize,
                                 MemoryMap, MemoryUnmap));
  if (!tiff) {
    error = TiffErrorOr("cannot open the TIFF data");
    return 1;
  }
  return ReadOpened(tiff.get(), box, picture, error);
}

}  // namespace hf
