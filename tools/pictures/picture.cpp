// Box sizes and area reduction of the picture tools.
#include "tools/pictures/picture.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/ascii.h"

namespace hf {

BoxSize PreviewBoxForConfig(std::string_view configName) {
  const std::string lower = AsciiLowered(configName);
  const size_t dpi = lower.find("dpi");
  size_t start = dpi;
  while (start != std::string::npos && start > 0 && IsAsciiDigit(lower[start - 1]) && dpi - start < 4) --start;
  if (dpi == std::string::npos || start == dpi) return {kDefaultBoxSide, kDefaultBoxSide};
  const long resolution = std::clamp(std::strtol(lower.c_str() + start, nullptr, 10), 18l, 600l);
  const auto side = static_cast<uint32_t>(resolution * 4);
  return {side, side};
}

BoxSize FitIntoBox(uint32_t width, uint32_t height, BoxSize box) {
  if (width == 0 || height == 0 || box.width == 0 || box.height == 0) return {0, 0};
  if (width <= box.width && height <= box.height) return {width, height};
  // Scale by the tighter side; the other is rounded and kept at least 1.
  const bool byWidth = static_cast<uint64_t>(width) * box.height >= static_cast<uint64_t>(height) * box.width;
  if (byWidth) {
    const uint64_t scaled = (static_cast<uint64_t>(height) * box.width + width / 2) / width;
    return {box.width, static_cast<uint32_t>(std::max<uint64_t>(scaled, 1))};
  }
  const uint64_t scaled = (static_cast<uint64_t>(width) * box.height + height / 2) / height;
  return {static_cast<uint32_t>(std::max<uint64_t>(scaled, 1)), box.height};
}

AreaReducer::AreaReducer(uint32_t sourceWidth, uint32_t sourceHeight, BoxSize target)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      target_(target),
      columnOf_(sourceWidth),
      sums_(static_cast<size_t>(target.width) * target.height * 3),
      counts_(static_cast<size_t>(target.width) * target.height) {
  for (uint32_t x = 0; x < sourceWidth; ++x)
    columnOf_[x] = static_cast<uint32_t>(static_cast<uint64_t>(x) * target.width / sourceWidth);
}

void AreaReducer::AddRgbaRow(uint32_t y, const uint32_t* row) {
  if (y >= sourceHeight_ || target_.width == 0) return;
  const size_t targetRow = static_cast<size_t>(static_cast<uint64_t>(y) * target_.height / sourceHeight_);
  uint64_t* sums = &sums_[targetRow * target_.width * 3];
  uint32_t* counts = &counts_[targetRow * target_.width];
  for (uint32_t x = 0; x < sourceWidth_; ++x) {
    const uint32_t column = columnOf_[x];
    const uint32_t pixel = row[x];
    sums[column * 3] += pixel & 0xff;
    sums[column * 3 + 1] += (pixel >> 8) & 0xff;
    sums[column * 3 + 2] += (pixel >> 16) & 0xff;
    ++counts[column];
  }
}

RgbPicture AreaReducer::Result() const {
  RgbPicture picture;
  picture.Resize(target_.width, target_.height, 255);
  for (size_t i = 0; i < counts_.size(); ++i) {
    if (counts_[i] == 0) continue;
    for (int c = 0; c < 3; ++c)
      picture.rgb[i * 3 + c] = static_cast<uint8_t>((sums_[i * 3 + c] + counts_[i] / 2) / counts_[i]);
  }
  return picture;
}

}  // namespace hf
