// prevgen on files made here: the PNG decodes back to the source's pixels;
// the command line, the box per configuration, placeholders, and failures that
// leave no picture behind.
#include "tools/pictures/prevgen_run.h"

#include "tests/support/unit_test_support.h"
#include "tests/tools/picture_test_support.h"
#include "tools/pictures/picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>

namespace hf {

namespace {

using Pixels = std::vector<uint8_t>;

struct Outcome {
  int status;
  std::string errors;
};

Outcome Prevgen(const std::vector<std::string>& arguments) {
  std::ostringstream errors;
  const int status = RunPrevgen(arguments, errors);
  return {status, errors.str()};
}

// Runs prevgen as the plug-in does and decodes the picture.
void Render(const ScratchFolder& scratch, const std::string& source, uint32_t& width, uint32_t& height, Pixels& rgb) {
  const std::string png = scratch.PathOf("out.png");
  const Outcome run = Prevgen({"-c", "_ZuPng150dpi", "-p", "4", "-X", "-f", png, source, "-nt"});
  ASSERT_EQ(run.status, 0) << run.errors;
  ASSERT_TRUE(DecodePng(png, width, height, rgb));
  EXPECT_FALSE(std::filesystem::exists(png + ".part"));
}

// A 3 x 2 RGB image: red green blue / white black grey.
const TestTiff kRgb{3, 2, 8, 3, PHOTOMETRIC_RGB, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 90, 90, 90}};
const Pixels kRgbPixels = kRgb.bytes;

}  // namespace

TEST(PrevgenArguments, TheCommandLinesOfThePluginParseAndMistakesAreRefused) {
  PrevgenOptions options;
  std::string error;
  ASSERT_EQ(ParsePrevgenArguments({"-c", "_ZuPng72dpi", "-p", "4", "-X", "-f", "o.png", "a.pdf", "b.pdf", "-nt"},
                                  options, error),
            0);
  EXPECT_EQ(
      std::make_tuple(options.config, options.pages, options.output, options.sources),
      std::make_tuple(std::string("_ZuPng72dpi"), 4, std::string("o.png"), std::vector<std::string>{"a.pdf", "b.pdf"}));
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{"-f", "o.png"}, "no source file"},
      {{"a.tif"}, "no output picture (-f OUT.png)"},
      {{"-f", "o.png", "a.tif", "-c"}, "option -c needs a value"},
      {{"-p", "four", "-f", "o.png", "a.tif"}, "option -p needs a number, not 'four'"},
      {{"-q", "-f", "o.png", "a.tif"}, "unknown option -q"},
  };
  for (const auto& [arguments, message] : bad) {
    PrevgenOptions ignored;
    std::string text;
    EXPECT_EQ(ParsePrevgenArguments(arguments, ignored, text), 2) << message;
    EXPECT_EQ(text, message);
  }
}

TEST(PrevgenBox, TheConfigurationNameSetsTheBoxAndImagesAreOnlyReduced) {
  const std::vector<std::tuple<const char*, uint32_t>> boxes = {{"_ZuPng150dpi", 600}, {"_ZuPng72DPI", 288},
                                                                {"_ZuPng5dpi", 72},    {"_ZuPng9999dpi", 2400},
                                                                {"dpi", 600},          {"_ZuJpeg", 600}};
  for (const auto& [name, side] : boxes) {
    const BoxSize box = PreviewBoxForConfig(name);
    EXPECT_EQ(std::make_tuple(box.width, box.height), std::make_tuple(side, side)) << name;
  }
  const std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> fits = {
      {1200, 600, 600, 300}, {600, 2400, 150, 600}, {10, 7, 10, 7}, {6000, 1, 600, 1}, {0, 5, 0, 0}};
  for (const auto& [width, height, fittedWidth, fittedHeight] : fits) {
    const BoxSize fitted = FitIntoBox(width, height, {600, 600});
    EXPECT_EQ(std::make_tuple(fitted.width, fitted.height), std::make_tuple(fittedWidth, fittedHeight)) << width;
  }
}

TEST(Prevgen, AOneBitTiffDecodesBackToItsPixels) {
  ScratchFolder scratch("prevgen");
  // 10 x 2, white is zero: row 0 alternates ink and paper, row 1 is ink on the right half.
  const TestTiff bilevel{10, 2, 1, 1, PHOTOMETRIC_MINISWHITE, {0xaa, 0x80, 0x07, 0xc0}};
  ASSERT_TRUE(WriteTestTiff(scratch.PathOf("bilevel.tif"), bilevel));
  uint32_t width = 0, height = 0;
  Pixels rgb;
  Render(scratch, scratch.PathOf("bilevel.tif"), width, height, rgb);
  ASSERT_EQ(std::make_tuple(width, height), std::make_tuple(10u, 2u));
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 10; ++x) {
      const bool ink = y == 0 ? x % 2 == 0 : x >= 5;
      const uint8_t expected = ink ? 0 : 255;
      EXPECT_EQ(Pixels(&rgb[(y * 10 + x) * 3], &rgb[(y * 10 + x) * 3 + 3]), Pixels(3, expected)) << x << "," << y;
    }
}

TEST(Prevgen, AnRgbTiffAndTheTiffPreviewOfABinaryEpsDecodeBackToTheirPixels) {
  ScratchFolder scratch("prevgen");
  ASSERT_TRUE(WriteTestTiff(scratch.PathOf("rgb.tif"), kRgb));
  uint32_t width = 0, height = 0;
  Pixels rgb;
  Render(scratch, scratch.PathOf("rgb.tif"), width, height, rgb);
  EXPECT_EQ(std::make_tuple(width, height, rgb), std::make_tuple(3u, 2u, kRgbPixels));

  // Header, PostScript, then the TIFF at the offset the header gives.
  const std::string tiff = scratch.Read("rgb.tif");
  const std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 3 2\n";
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  const std::string eps = std::string("\xC5\xD0\xD3\xC6") + le32(30) + le32(uint32_t(postScript.size())) + le32(0) +
                          le32(0) + le32(uint32_t(30 + postScript.size())) + le32(uint32_t(tiff.size())) + "\xff\xff" +
                          postScript + tiff;
  Render(scratch, scratch.Write("job.eps", eps), width, height, rgb);
  EXPECT_EQ(std::make_tuple(width, height, rgb), std::make_tuple(3u, 2u, kRgbPixels));
}

TEST(Prevgen, ALargeGreyTiffIsReducedIntoTheBoxByAveraging) {
  ScratchFolder scratch("prevgen");
  TestTiff grey{1200, 4, 8, 1, PHOTOMETRIC_MINISBLACK, Pixels(4800, 255), 3};
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 1200; x += 2) grey.bytes[y * 1200 + x] = x < 600 ? 0 : 255;  // left half 50 %
  ASSERT_TRUE(WriteTestTiff(scratch.PathOf("grey.tif"), grey));
  uint32_t width = 0, height = 0;
  Pixels rgb;
  Render(scratch, scratch.PathOf("grey.tif"), width, height, rgb);
  ASSERT_EQ(std::make_tuple(width, height), std::make_tuple(600u, 2u));
  EXPECT_EQ(rgb[0], 128);  // average of 0 and 255, rounded
  EXPECT_EQ(rgb[(600 + 599) * 3], 255);
}

TEST(Prevgen, PostScriptPdfAndJpegGetTheMarkedPlaceholder) {
  ScratchFolder scratch("prevgen");
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"a.ps", "%!PS-Adobe-3.0\n"}, {"a.pdf", "%PDF-1.4\n"}, {"a.jpg", "\xff\xd8\xff\xe0\x00\x10JFIF\x00"}}) {
    uint32_t width = 0, height = 0;
    Pixels rgb;
    Render(scratch, scratch.Write(name, bytes), width, height, rgb);
    EXPECT_EQ(std::make_tuple(width, height), std::make_tuple(300u, 400u)) << name;
    EXPECT_EQ(rgb[0], 90) << name;                      // the frame
    EXPECT_EQ(rgb[(200 * 300 + 40) * 3], 235) << name;  // the page
  }
}

TEST(Prevgen, AFileItCannotReadFailsAndLeavesTheOldPictureAlone) {
  ScratchFolder scratch("prevgen");
  const std::string png = scratch.Write("out.png", "old picture");
  const std::vector<std::pair<std::string, std::string>> sources = {
      {scratch.PathOf("missing.tif"), "cannot open"},
      {scratch.Write("broken.tif", std::string("II*\0\x08\0\0\0\xff\xff", 10)), "cannot read"},
      {scratch.Write("notes.txt", "plain words"), "not a TIFF"},
      {scratch.Write("cut.eps", std::string("\xC5\xD0\xD3\xC6", 4) + std::string(26, '\x7f')), "beyond the end"},
  };
  for (const auto& [source, message] : sources) {
    const Outcome run = Prevgen({"-c", "_ZuPng150dpi", "-f", png, source});
    EXPECT_EQ(run.status, 1) << source;
    EXPECT_EQ(run.errors.rfind("prevgen: ", 0), 0u) << run.errors;
    EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
    EXPECT_EQ(scratch.Read("out.png"), "old picture");
    EXPECT_FALSE(std::filesystem::exists(png + ".part"));
  }
  EXPECT_EQ(Prevgen({"-f", png}).status, 2);
}

}  // namespace hf
