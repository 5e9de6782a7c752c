// Writes an RGB picture as a PNG file with libpng, in one step: the file is
// written under a temporary name beside the target and moved over it only when
// complete, so that nobody ever sees a half-written picture.
#pragma once

#include <string>

#include "tools/pictures/picture.h"

namespace hf {

// 0 on success; otherwise non-zero, `error` says why, and the target is as it
// was (no temporary file is left behind).
int WritePngFile(const std::string& path, const RgbPicture& picture, std::string& error);

}  // namespace hf
