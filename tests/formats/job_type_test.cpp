// Job type recognition from real file heads, its log lines, and the extension table.
#include "formats/job_type.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

class JobTypeTest : public ::testing::Test {
 protected:
  // Recognises `head` from a heap block of exactly its size, as a file read
  // would fill it, so that any read past the end shows under the sanitizers.
  JobType Recognise(const std::string& head) {
    log.lines.clear();
    std::unique_ptr<char[]> block(new char[head.size()]);
    std::memcpy(block.get(), head.data(), head.size());
    JobType type = RecogniseJobType(block.get(), head.size());
    lastByte = block[head.size() - 1];
    return type;
  }

  LogCapture log;
  char lastByte = 'x';
};

// A real head of each kind, padded with a line of its own so that the byte
// the recognition overwrites is not part of a marker.
std::string Head(std::string text) { return text + "\n"; }

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) out += static_cast<char>(value);
  return out;
}

// A binary EPS: 30-byte header (PostScript at 30, 55 bytes; TIFF preview at 85, 48 bytes), then the sections.
std::string BinaryEps() {
  return Bytes({0xC5, 0xD0, 0xD3, 0xC6, 30, 0,  0, 0, 55, 0,  0, 0, 0, 0,    0,
                0,    0,    0,    0,    0,  85, 0, 0, 0,  48, 0, 0, 0, 0xFF, 0xFF}) +
         "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 72 72\n%%EOF\n" + Bytes({'I', 'I', 42, 0, 8, 0, 0, 0}) +
         std::string(40, '\0');
}

TEST_F(JobTypeTest, EachKindOfHeadGivesItsTypeAndLogLine) {
  const std::tuple<std::string, JobType, const char*> cases[] = {
      {Head("%!PS-Adobe-3.0\n%%Title: (Brochure)\n%%EndComments"), kJobTypePostScript, "PS job recognised."},
      {Head("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 595 842"), kJobTypeEps, "EPS job recognised."},
      {Head("%!PS-Adobe-3.0 EPSF-3.0\n%%PlateFile: (Cyan) EPSF #0000012345 0000004567"), kJobTypeDcs,
       "DCS control or single file DCS recognised."},
      {Head("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Job/>"), kJobTypeXml, "XML job recognised."},
      {Head("<JDF xmlns=\"http://www.CIP4.org/JDFSchema_1_1\" Type=\"Product\">"), kJobTypeJdf, "JDF job recognised."},
      {Head("PMEC\x01\x02zxm data"), kJobTypeZxm, "ZXM job recognised."},
      {Head("%!PS-Adobe-3.0\n%%CIP3-File Version 3.0\nCIP3BeginSheet"), kJobTypePpf, "PPF job recognised."},
      {Head("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>"), kJobTypePdf, "PDF job recognised."},
      {Head("!PDF-1.3\n1 0 obj"), kJobTypePdf, "PDF job recognised."},
      {Bytes({'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0}), kJobTypeTiff, "Job appears to be Intel-format TIFF."},
      {Bytes({'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1}), kJobTypeTiff, "Job appears to be PowerPC-format TIFF."},
      {BinaryEps(), kJobTypeEps, "Binary EPSF job recognised."},
      {Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}) + "JFIF" + Bytes({0, 1, 1, 0, 0, 72, 0, 72, 0, 0}), kJobTypeJpeg,
       "Job appears to be JPEG/JFIF format."},
      {Bytes({0, 0, 0, 1, 7}) + "/PGB 2.0" + Bytes({0, 0, 0}), kJobTypePageBuffer, "Job appears to be a PageBuffer."},
      {Head("\x1B%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\r\n%!PS-Adobe-3.0"), kJobTypePostScript,
       "PS job recognised, using fallback id method."},
      {Head("\x04%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1"), kJobTypeEps,
       "EPSF job recognised, using fallback id method."},
      {Head("garbage from a mail client\r\n%PDF-1.4\n1 0 obj"), kJobTypePdf,
       "PDF job recognised, using fallback id method."},
      {Head("[FileGroupInfo]\r\nGroupName=Job 12\r\nFileCount=4\r\n"), kJobTypeFileGroupList,
       "FileGroupList recognised, using fallback id method."},
      {Head("some text, then %! and more"), kJobTypePostScript, "PS job recognised, using final catch."},
      // A full 512-byte head without a NUL is searched to its end.
      {std::string(500, 'x') + "%!PS-A" + std::string(6, 'y'), kJobTypePostScript,
       "PS job recognised, using fallback id method."}};
  for (const auto& [head, type, message] : cases) {
    EXPECT_EQ(Recognise(head), type) << message;
    EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, message}}));
  }
  EXPECT_EQ(Recognise(Head("Dear printer,\nplease print this.\n")), kJobTypeUnknown);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{1, "Job Filetype not recognised. Download may fail."}}));
}

TEST_F(JobTypeTest, BoundaryHeadsGiveTheRightType) {
  const std::tuple<const char*, std::string, JobType> cases[] = {
      {"begins-with ignores case", Head("%!ps-adobe-3.0 EPSF-3.0"), kJobTypeEps},
      {"contains does not", Head("%!PS-Adobe-3.0 epsf-3.0"), kJobTypePostScript},
      // A ticket is told by its root element, after a declaration, comments and a byte-order mark.
      {"JDF after declaration", Head("<?xml version=\"1.0\"?>\n<!-- by hand -->\n<jdf:JDF Type=\"Product\"/>"), kJobTypeJdf},
      {"other root stays XML", Head("<?xml version=\"1.0\"?>\n<JDFX Type=\"Product\"/>"), kJobTypeXml},
      {"JDF in UTF-8 with BOM", Bytes({0xEF, 0xBB, 0xBF}) + "<?xml version='1.0'?><JDF/>", kJobTypeJdf},
      {"JDF in UTF-16", Bytes({0xFF, 0xFE, '<', 0, 'J', 0, 'D', 0, 'F', 0, ' ', 0}), kJobTypeJdf},
      {"root cut by the head", Head("<?xml version=\"1.0\"?>\n<JDF"), kJobTypeXml},
      // The PPF marker must start within byte 17 (first line of 17 and 18 bytes with its line end).
      {"PPF at byte 17", Head("%!PS-Adobe-3.0 X\n%%cip3-file Version 3.0"), kJobTypePpf},
      {"PPF at byte 18", Head("%!PS-Adobe-3.0 XY\n%%CIP3-File Version 3.0"), kJobTypePostScript},
      // The PPF token ends at a space and holds at most 16 characters.
      {"PPF token of 16", Head("%!PS-Adobe-3.0\n%%CIP3-File-2.10 Version"), kJobTypePpf},
      {"PPF token of 17", Head("%!PS-Adobe-3.0\n%%CIP3-File-2.100 Version"), kJobTypePostScript},
      {"line end is no space", Head("%!PS-Adobe-3.0\n%%CIP3-File\n%%CreationDate: today"), kJobTypePostScript},
      // The PPF search skips byte 0 and stops at a NUL.
      {"PPF search skips byte 0", Head("%%CIP3-File Version 3.0"), kJobTypeUnknown},
      {"PPF search stops at NUL", std::string("%!PS") + '\0' + "-Adobe\n%%CIP3-File V\n", kJobTypePostScript},
      {"PDF after junk and NUL", std::string("JUNK") + '\0' + "JUNK%PDF-1.4\n", kJobTypeUnknown},
      {"IM is no byte order", Bytes({'I', 'M', 42, 0, 8, 0}), kJobTypeUnknown},
      // A start of image and a marker is a JPEG without "JFIF" (Exif, Adobe).
      {"Exif JPEG", Bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34}) + "Exif" + Bytes({0, 0, 'M', 'M', 0, 42}),
       kJobTypeJpeg},
      {"Adobe JPEG", Bytes({0xFF, 0xD8, 0xFF, 0xEE, 0, 14}) + "Adobe" + Bytes({0, 100}), kJobTypeJpeg},
      {"start of image without a marker", Bytes({0xFF, 0xD8, 0x00, 0xE1, 0x12}), kJobTypeUnknown},
      {"start of image cut by the NUL", Bytes({0xFF, 0xD8, 0xFF}), kJobTypeUnknown},
      // The marker search is over bytes: NULs do not stop it, but it stops four
      // bytes before the end, whose last byte is set to NUL.
      {"JFIF after NULs", std::string(300, '\0') + "JFIF" + Bytes({0, 1}), kJobTypeJpeg},
      {"JFIF at length - 5", Bytes({0, 1, 2}) + "JFIF" + "x", kJobTypeJpeg},
      {"JFIF at length - 4", Bytes({0, 1, 2}) + "JFIF", kJobTypeUnknown},
      {"binary EPS of four bytes", Bytes({0xC5, 0xD0, 0xD3, 0xC6}), kJobTypeUnknown},
      {"binary EPS of five bytes", Bytes({0xC5, 0xD0, 0xD3, 0xC6, 0}), kJobTypeEps}};
  for (const auto& [why, head, type] : cases) {
    EXPECT_EQ(Recognise(head), type) << why;
    EXPECT_EQ(lastByte, '\0') << why;
  }
}

// Tiny heads of every kind are the fuzz target's seeds (fuzz/corpus/job_type/tiny_*).
TEST_F(JobTypeTest, MissingOrEmptyHeadsAreNotRead) {
  EXPECT_EQ(RecogniseJobType(nullptr, 100), kJobTypeUnknown);
  char one = 'A';
  EXPECT_EQ(RecogniseJobType(&one, 0), kJobTypeUnknown);
  EXPECT_EQ(one, 'A');
  EXPECT_TRUE(log.lines.empty());
}

TEST(JobTypeFromExtension, LooksUpTheTableIgnoringCaseAndOtherwiseGivesTiff) {
  const std::pair<const char*, JobType> expected[] = {
      {".ps", kJobTypePostScript},     {".PDF", kJobTypePdf},   {".Tif", kJobTypeTiff},
      {".jpg", kJobTypeJpeg},          {".zx", kJobTypeZxm},    {".Json", kJobTypeJson},
      {".fgl", kJobTypeFileGroupList}, {"", kJobTypeTiff},      {".xyz", kJobTypeTiff},
      {"pdf", kJobTypeTiff},           {".pdf ", kJobTypeTiff}, {".p", kJobTypeTiff}};  // no prefix
  for (const auto& [extension, type] : expected) EXPECT_EQ(JobTypeFromExtension(extension), type) << extension;
  EXPECT_EQ(JobTypeFromExtension(std::string_view(".psx", 3)), kJobTypePostScript);
}

}  // namespace

}  // namespace hf
