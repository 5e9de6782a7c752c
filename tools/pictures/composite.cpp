// Subtractive combination of separations and the ink of each group member.
#include "tools/pictures/composite.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "grouping/colours/colour_info.h"
#include "grouping/group_document.h"

namespace hf {

namespace {

// A whole number 0..255 (leading and trailing blanks allowed), else -1.
int ByteValue(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const long value = std::strtol(begin, &end, 10);
  while (end && *end == ' ') ++end;
  if (end == begin || !end || *end != '\0' || value < 0 || value > 255) return -1;
  return static_cast<int>(value);
}

}  // namespace

InkColour InkOfCmyk(const unsigned char cmyk[4]) {
  const double white = 1.0 - cmyk[3] / 255.0;
  return {(1.0 - cmyk[0] / 255.0) * white, (1.0 - cmyk[1] / 255.0) * white, (1.0 - cmyk[2] / 255.0) * white};
}

InkSource ResolveMemberInk(std::string_view details, const CColourInfo* catalogue, unsigned char cmyk[4]) {
  const std::vector<std::string> fields = SplitCommaFields(details);
  if (fields.size() >= 6) {
    int values[4];
    bool numbers = true;
    for (int i = 0; i < 4; ++i) numbers = numbers && (values[i] = ByteValue(fields[2 + i])) >= 0;
    if (numbers) {
      for (int i = 0; i < 4; ++i) cmyk[i] = static_cast<unsigned char>(values[i]);
      return InkSource::kDetails;
    }
  }
  const std::string name = fields.empty() ? std::string() : std::string(TrimmedAscii(fields[0]));
  const int process = ProcessSpellingIndex(name);
  if (process >= 0) {
    ProcessColourSolid(process % 4, cmyk);
    return InkSource::kProcessName;
  }
  if (name.empty()) {
    cmyk[0] = cmyk[1] = cmyk[2] = 0;
    cmyk[3] = 255;
    return InkSource::kNoName;
  }
  const int index = catalogue ? catalogue->FindColour(name, catalogue->ignoreCase()) : -1;
  if (const ColourEntry* entry = catalogue ? catalogue->EntryAt(index) : nullptr) {
    const ColourDefinition& colour = entry->Effective();
    const int32_t values[4] = {colour.c, colour.m, colour.y, colour.k};
    for (int i = 0; i < 4; ++i) cmyk[i] = static_cast<unsigned char>(values[i] & 0xff);
    return InkSource::kCatalogue;
  }
  cmyk[0] = 0, cmyk[1] = 112, cmyk[2] = 154, cmyk[3] = 11;
  return InkSource::kUnknownName;
}

SubtractiveComposite::SubtractiveComposite(uint32_t width, uint32_t height)
    : width_(width), height_(height), light_(static_cast<size_t>(width) * height * 3, 1.0) {}

void SubtractiveComposite::AddSeparation(const RgbPicture& separation, InkColour ink) {
  if (separation.width == 0 || separation.height == 0) return;
  const double absorbed[3] = {1.0 - ink.red, 1.0 - ink.green, 1.0 - ink.blue};
  for (uint32_t y = 0; y < height_; ++y) {
    const auto sy = static_cast<uint32_t>(static_cast<uint64_t>(y) * separation.height / height_);
    for (uint32_t x = 0; x < width_; ++x) {
      const auto sx = static_cast<uint32_t>(static_cast<uint64_t>(x) * separation.width / width_);
      const uint8_t* pixel = separation.Pixel(sx, sy);
      const double coverage = 1.0 - (pixel[0] + pixel[1] + pixel[2]) / (3.0 * 255.0);
      double* light = &light_[(static_cast<size_t>(y) * width_ + x) * 3];
      for (int c = 0; c < 3; ++c) light[c] *= 1.0 - coverage * absorbed[c];
    }
  }
}

RgbPicture SubtractiveComposite::Result() const {
  RgbPicture picture;
  picture.Resize(width_, height_, 255);
  for (size_t i = 0; i < light_.size(); ++i) picture.rgb[i] = static_cast<uint8_t>(std::lround(light_[i] * 255.0));
  return picture;
}

}  // namespace hf
