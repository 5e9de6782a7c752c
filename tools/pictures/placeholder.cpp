// Placeholder drawing: rectangles, two diagonals and 5 x 7 glyphs.
#include "tools/pictures/placeholder.h"

#include <algorithm>
#include <cstdlib>

namespace hf {

namespace {

struct Glyph {
  char letter;
  uint8_t rows[7];  // five bits per row, the high bit on the left
};
constexpr Glyph kGlyphs[] = {
    {'A', {0x0e, 0x11, 0x11, 0x1f, 0x11, 0x11, 0x11}}, {'D', {0x1e, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1e}},
    {'E', {0x1f, 0x10, 0x10, 0x1e, 0x10, 0x10, 0x1f}}, {'F', {0x1f, 0x10, 0x10, 0x1e, 0x10, 0x10, 0x10}},
    {'G', {0x0e, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0f}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0c}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}}, {'O', {0x0e, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0e}},
    {'P', {0x1e, 0x11, 0x11, 0x1e, 0x10, 0x10, 0x10}}, {'R', {0x1e, 0x11, 0x11, 0x1e, 0x14, 0x12, 0x11}},
    {'S', {0x0f, 0x10, 0x10, 0x0e, 0x01, 0x01, 0x1e}}, {'T', {0x1f, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
};

const Glyph* GlyphOf(char letter) {
  for (const Glyph& glyph : kGlyphs)
    if (glyph.letter == letter) return &glyph;
  return nullptr;
}

void Put(RgbPicture& picture, long x, long y, uint8_t grey) {
  if (x < 0 || y < 0 || x >= static_cast<long>(picture.width) || y >= static_cast<long>(picture.height)) return;
  uint8_t* pixel = picture.Pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
  pixel[0] = pixel[1] = pixel[2] = grey;
}

// Text centred on row `centreY`, each font dot a square of `scale` pixels.
void DrawText(RgbPicture& picture, std::string_view text, long centreY, long scale, uint8_t grey) {
  const long advance = 6 * scale;
  long left = (static_cast<long>(picture.width) - static_cast<long>(text.size()) * advance + scale) / 2;
  const long top = centreY - 7 * scale / 2;
  for (char letter : text) {
    if (const Glyph* glyph = GlyphOf(letter)) {
      for (long row = 0; row < 7 * scale; ++row)
        for (long column = 0; column < 5 * scale; ++column)
          if (glyph->rows[row / scale] & (0x10 >> (column / scale))) Put(picture, left + column, top + row, grey);
    }
    left += advance;
  }
}

}  // namespace

RgbPicture MakePlaceholder(std::string_view kind, BoxSize box) {
  const BoxSize size = FitIntoBox(300, 400, box);
  RgbPicture picture;
  picture.Resize(std::max<uint32_t>(size.width, 1), std::max<uint32_t>(size.height, 1), 235);
  const long width = picture.width;
  const long height = picture.height;
  const long frame = std::max(1l, width / 60);
  for (long y = 0; y < height; ++y) {  // the two diagonals
    const long x = y * (width - 1) / std::max(1l, height - 1);
    for (long t = 0; t < frame; ++t) {
      Put(picture, x + t, y, 200);
      Put(picture, width - 1 - x - t, y, 200);
    }
  }
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x)
      if (x < frame || y < frame || x >= width - frame || y >= height - frame)
        Put(picture, x, y, 90);  // the frame, over them
  const long scale = std::max(1l, width / 100);
  DrawText(picture, kind, height * 2 / 5, scale * 2, 40);
  DrawText(picture, "NOT A RENDER", height * 3 / 5, scale, 40);
  return picture;
}

}  // namespace hf
