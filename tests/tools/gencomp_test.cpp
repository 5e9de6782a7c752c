// gencomp on groups made here: the ink of each member, the composite of a known
// cyan and black pair as printed, and the groups that give no picture.
#include "tools/pictures/gencomp_run.h"

#include "grouping/colours/colour_info.h"
#include "tests/support/unit_test_support.h"
#include "tests/tools/picture_test_support.h"
#include "tools/pictures/composite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>

namespace hf {

namespace {

using Cmyk = std::tuple<int, int, int, int>;

std::tuple<InkSource, Cmyk> Ink(const std::string& details, const CColourInfo* catalogue) {
  unsigned char cmyk[4] = {1, 2, 3, 4};
  const InkSource source = ResolveMemberInk(details, catalogue, cmyk);
  return {source, Cmyk{cmyk[0], cmyk[1], cmyk[2], cmyk[3]}};
}

int Gencomp(const std::vector<std::string>& arguments, const std::string& programFolder, std::string& errors) {
  std::ostringstream stream;
  const int status = RunGencomp(arguments, programFolder, stream);
  errors = stream.str();
  return status;
}

}  // namespace

TEST(GencompInk, DetailsThenProcessNamesThenTheCatalogueThenTheFallbacks) {
  CColourInfo catalogue;
  catalogue.LoadCatalogueFromText("[Options]\nignore_case=1\n[PredefinedSpotColours]\nHarbourBlue=230 120 0 40\n",
                                  kCatalogueAll);
  const std::vector<std::tuple<std::string, InkSource, Cmyk>> cases = {
      {"Orange,g,0,128,255,0,1,4", InkSource::kDetails, {0, 128, 255, 0}},
      {"Cyan,g,255,0,0", InkSource::kProcessName, {255, 0, 0, 0}},  // too few values
      {"Cyan,g,255,0,0,x,1,1", InkSource::kProcessName, {255, 0, 0, 0}},
      {"BLK,g", InkSource::kProcessName, {0, 0, 0, 255}},
      {"Harbour Blue,g", InkSource::kCatalogue, {230, 120, 0, 40}},
      {"Sea Foam,g", InkSource::kUnknownName, {0, 112, 154, 11}},
      {"", InkSource::kNoName, {0, 0, 0, 255}},
  };
  for (const auto& [details, source, cmyk] : cases)
    EXPECT_EQ(Ink(details, &catalogue), std::make_tuple(source, cmyk)) << details;
  EXPECT_EQ(Ink("Harbour Blue,g", nullptr), std::make_tuple(InkSource::kUnknownName, Cmyk{0, 112, 154, 11}));
}

TEST(Gencomp, ACyanAndABlackSeparationComposeAsPrinted) {
  ScratchFolder scratch("gencomp");
  std::filesystem::create_directories(scratch.folder / "grp");
  // 2 x 2. Cyan, 1-bit (white is zero): ink in the top row. Black, 8-bit grey:
  // full at top right, about half at bottom right.
  ASSERT_TRUE(WriteTestTiff(scratch.PathOf("grp/j_C.tif"), {2, 2, 1, 1, PHOTOMETRIC_MINISWHITE, {0xc0, 0x00}}));
  // Black is no longer in the group's folder, only in the page folder beside the group file.
  std::filesystem::create_directories(scratch.folder / "3");
  ASSERT_TRUE(WriteTestTiff(scratch.PathOf("3/j_K.tif"), {2, 2, 8, 1, PHOTOMETRIC_MINISBLACK, {255, 0, 255, 128}}));
  const std::string fgl = scratch.Write(
      "j.fgl", "[FileGroupInfo]\nFolderPath=" + scratch.PathOf("grp") +
                   "\nResourceID=5e1f\nExtension=.tif\n[FileInfo]\nj_C.tif=Cyan,j,255,0,0,0,1,1\nj_K.tif=Black,j\n"
                   "[j_K.tif_Settings]\nPageNumber=3\n");
  std::string errors;
  ASSERT_EQ(Gencomp({"gencomp", fgl}, scratch.folder.string(), errors), 0) << errors;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(DecodePng(scratch.PathOf("5e1f.png"), width, height, rgb));
  // Cyan; cyan under black; paper; paper under 127/255 black.
  EXPECT_EQ(std::make_tuple(width, height, rgb),
            std::make_tuple(2u, 2u, std::vector<uint8_t>{0, 255, 255, 0, 0, 0, 255, 255, 255, 128, 128, 128}));
}

TEST(Gencomp, GroupsWithoutAReadableMemberOrResourceGiveNoPicture) {
  ScratchFolder scratch("gencomp");
  const std::string folder = scratch.folder.string();
  scratch.Write("bad.tif", "II*\0garbage");
  const std::vector<std::tuple<std::string, std::string>> groups = {
      {"[FileGroupInfo]\nFolderPath=" + folder + "\nResourceID=r1\n[FileInfo]\nbad.tif=Cyan,g\nmissing.tif=Black,g\n",
       "no separation of"},
      {"[FileGroupInfo]\nFolderPath=" + folder + "\nResourceID=r1\n[FileInfo]\nmissing.tif=Black,g\n",
       "left out 'missing.tif': neither in"},
      {"[FileGroupInfo]\nFolderPath=" + folder + "\n[FileInfo]\nbad.tif=Cyan,g\n", "no usable ResourceID"},
      {"[FileGroupInfo]\nFolderPath=" + folder + "\nResourceID=..\\r1\n", "no usable ResourceID"},
  };
  for (const auto& [text, message] : groups) {
    std::string errors;
    EXPECT_EQ(Gencomp({"gencomp", scratch.Write("g.fgl", text)}, folder, errors), 1) << text;
    EXPECT_NE(errors.find(message), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("r1.png")));
  }
  std::string errors;
  EXPECT_EQ(Gencomp({"gencomp", scratch.PathOf("none.fgl")}, folder, errors), 1);
  EXPECT_EQ(Gencomp({"render", scratch.PathOf("g.fgl")}, folder, errors), 2);
}

}  // namespace hf
