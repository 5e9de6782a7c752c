// The group composite: separations (pictures of ink coverage) combined into one
// RGB picture as printed. Paper is white; each separation's ink filters it:
//   ink colour of C, M, Y, K (0..255 each, as fractions c, m, y, k):
//     R = (1 - c)(1 - k), G = (1 - m)(1 - k), B = (1 - y)(1 - k)
//   a pixel with coverage a (0..1) of that ink multiplies each channel by
//     1 - a * (1 - ink channel)
// so full cyan over paper gives (0, 255, 255) and full black (0, 0, 0).
// Coverage is read from a separation's picture: black is full ink, white none
// (grey = the mean of R, G and B; coverage = 1 - grey / 255).
#pragma once

#include <string_view>
#include <vector>

#include "tools/pictures/picture.h"

namespace hf {

class CColourInfo;

struct InkColour {
  double red = 1, green = 1, blue = 1;  // 0..1, the ink at full coverage on white paper
};

InkColour InkOfCmyk(const unsigned char cmyk[4]);

// Where a member's ink came from.
enum class InkSource { kDetails, kProcessName, kCatalogue, kUnknownName, kNoName };

// The C, M, Y, K of a group member, from its FileInfo details
// ("colour,group,C,M,Y,K,mixable,type"):
//   1. the CMYK of the details when they carry four numbers;
//   2. else a process colour spelling ("Cyan", "C", "BLK", ...) as its solid;
//   3. else the colour's entry in the catalogue (when one is given);
//   4. else a named colour the catalogue does not know gets C 0 M 112 Y 154 K 11
//      (the value the grouping gives unknown spot colours), and a member
//      without a colour name solid black.
InkSource ResolveMemberInk(std::string_view details, const CColourInfo* catalogue, unsigned char cmyk[4]);

// Accumulates separations over white paper. A separation of another size than
// the composite is scaled to it (nearest pixel).
class SubtractiveComposite {
 public:
  SubtractiveComposite(uint32_t width, uint32_t height);
  void AddSeparation(const RgbPicture& separation, InkColour ink);
  RgbPicture Result() const;

 private:
  uint32_t width_, height_;
  std::vector<double> light_;  // 3 per pixel, 1 = paper white
};

}  // namespace hf
