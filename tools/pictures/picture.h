// RgbPicture, the pictures the two picture tools write, and the sizes they
// have: a box per renderer configuration name, and the size of an image
// fitted into a box.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace hf {

// 8-bit RGB, rows top to bottom, three bytes per pixel.
struct RgbPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;

  void Resize(uint32_t newWidth, uint32_t newHeight, uint8_t fill) {
    width = newWidth;
    height = newHeight;
    rgb.assign(static_cast<size_t>(newWidth) * newHeight * 3, fill);
  }
  uint8_t* Pixel(uint32_t x, uint32_t y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  const uint8_t* Pixel(uint32_t x, uint32_t y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

struct BoxSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// The box a preview is fitted into, from the renderer configuration name: a
// name with "<N>dpi" in it ("_ZuPng150dpi") gives a square of four inches at N
// dots per inch (600 x 600 for 150), N clamped to 18..600; any other name the
// default 600 x 600.
constexpr uint32_t kDefaultBoxSide = 600;
BoxSize PreviewBoxForConfig(std::string_view configName);

// The size of a width x height image fitted into the box with its proportions
// kept (each side rounded, at least 1). Images that already fit keep their
// size: previews are reduced, never enlarged. A zero side gives 0 x 0.
BoxSize FitIntoBox(uint32_t width, uint32_t height, BoxSize box);

// Reduces an image that arrives in bands of rows to a smaller size by area
// averaging: every source pixel (x, y) adds to the target pixel
// (x * tw / sw, y * th / sh). With equal sizes the pixels come through unchanged.
class AreaReducer {
 public:
  AreaReducer(uint32_t sourceWidth, uint32_t sourceHeight, BoxSize target);

  // One source row at `y` of packed RGBA (libtiff's ABGR words: R in the low byte).
  void AddRgbaRow(uint32_t y, const uint32_t* row);
  // The averages (a target pixel no source pixel reached stays white).
  RgbPicture Result() const;

 private:
  uint32_t sourceWidth_, sourceHeight_;
  BoxSize target_;
  std::vector<uint32_t> columnOf_;
  std::vector<uint64_t> sums_;  // 3 per target pixel
  std::vector<uint32_t> counts_;
};

}  // namespace hf
