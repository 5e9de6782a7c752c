// Reads the first page of a TIFF (from a file, or from bytes such as the
// preview inside a binary EPS) as an RGB picture reduced into a box. Every
// layout libtiff's RGBA interface reads is taken: 1-bit and 8-bit grey, RGB,
// palette, CMYK, strips or tiles, with the codecs of the libtiff build.
#pragma once

#include <string>

#include "tools/pictures/picture.h"

namespace hf {

// 0 and the picture on success; otherwise non-zero and `error` says why.
// Large images are read in bands of rows, never whole.
int ReadTiffPicture(const std::string& path, BoxSize box, RgbPicture& picture, std::string& error);
int ReadTiffPictureFromBytes(const std::string& bytes, BoxSize box, RgbPicture& picture, std::string& error);

}  // namespace hf
