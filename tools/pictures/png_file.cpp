// PNG writing through libpng (8-bit RGB, no interlace), then one move into place.
#include "tools/pictures/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "base/file_io.h"

namespace hf {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

void PngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = std::string("libpng: ") + message;
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// libpng unwinds with longjmp: nothing with a destructor lives in this frame.
bool Encode(FILE* file, const RgbPicture& picture, std::string& error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
  if (!png) {
    error = "libpng: out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error.empty()) error = "libpng: out of memory";
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t y = 0; y < picture.height; ++y) png_write_row(png, picture.Pixel(0, y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

int WritePngFile(const std::string& path, const RgbPicture& picture, std::string& error) {
  if (picture.width == 0 || picture.height == 0 || picture.rgb.size() != size_t{picture.width} * picture.height * 3) {
    error = "empty picture";
    return 1;
  }
  const std::string temporary = path + ".part";
  bool written = false;
  {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
      error = "cannot create '" + temporary + "'";
      return 1;
    }
    written = Encode(file.get(), picture, error) && std::fflush(file.get()) == 0 && !std::ferror(file.get());
    if (written && std::fclose(file.release()) != 0) written = false;
  }
  if (!written) {
    if (error.empty()) error = "cannot write '" + temporary + "'";
    RemoveFile(temporary);
    return 1;
  }
  const int moved = MoveFileReplacing(temporary, path);
  if (moved != 0) {
    error = "cannot move the picture to '" + path + "': " + SystemErrorText(moved);
    RemoveFile(temporary);
    return 1;
  }
  return 0;
}

}  // namespace hf
