// The picture prevgen writes for a file it does not render (PostScript, PDF,
// EPS without a TIFF preview, JPEG): a grey page with a crossed frame, the
// file kind and the words "NOT A RENDER" in a tiny built-in capital font.
#pragma once

#include <string_view>

#include "tools/pictures/picture.h"

namespace hf {

// A 3:4 page (300 x 400, or smaller to fit the box) labelled `kind` ("PDF",
// "PS", "EPS", "JPG"; letters outside the font are left blank).
RgbPicture MakePlaceholder(std::string_view kind, BoxSize box);

}  // namespace hf
