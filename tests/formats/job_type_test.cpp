// Job type recognition from real file heads, its log lines, and the extension table.
#include "formats/job_type.h"

#include "base/log.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

class JobTypeTest : public ::testing::Test {
 protected:

  // Recognises `head` from a heap block of exactly its size, as a file read
  // would fill it, so that any read past the end shows under the sanitizers.
  JobType Recognise(const std::string& head) {
    records.clear();
    if (head.empty()) return RecogniseJobType(nullptr, 0);
    std::unique_ptr<char[]> block(new char[head.size()]);
    std::memcpy(block.get(), head.data(), head.size());
    JobType type = RecogniseJobType(block.get(), head.size());
    lastByte = block[head.size() - 1];
    return type;
  }

  // The one record of the last recognition.
  std::pair<int, std::string> OnlyRecord() const {
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? std::make_pair(-1, std::string()) : records.front();
  }

  LogCapture log;
  std::vector<LogLine>& records = log.lines;
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

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A binary EPS: 30-byte header, PostScript section, then a TIFF preview.
std::string BinaryEps() {
  std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 72 72\n%%EOF\n";
  std::string preview = Bytes({'I', 'I', 42, 0, 8, 0, 0, 0}) + std::string(40, '\0');
  std::string out = Bytes({0xC5, 0xD0, 0xD3, 0xC6});
  PutLe32(out, 30);
  PutLe32(out, static_cast<uint32_t>(postScript.size()));
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, static_cast<uint32_t>(30 + postScript.size()));
  PutLe32(out, static_cast<uint32_t>(preview.size()));
  out += Bytes({0xFF, 0xFF});
  return out + postScript + preview;
}

struct Case {
  const char* name;
  std::string head;
  JobType type;
  int level;
  const char* message;
};

TEST_F(JobTypeTest, EachKindOfHeadGivesItsTypeAndLogLine) {
  const std::string jfif = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}) + "JFIF" + Bytes({0, 1, 1, 0, 0, 72, 0, 72, 0, 0});
  const Case cases[] = {
      {"PostScript", Head("%!PS-Adobe-3.0\n%%Title: (Brochure)\n%%EndComments"), kJobTypePostScript, 2,
       "PS job recognised."},
      {"EPS", Head("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 595 842"), kJobTypeEps, 2, "EPS job recognised."},
      {"DCS", Head("%!PS-Adobe-3.0 EPSF-3.0\n%%PlateFile: (Cyan) EPSF #0000012345 0000004567"), kJobTypeDcs, 2,
       "DCS control or single file DCS recognised."},
      {"XML", Head("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Job/>"), kJobTypeXml, 2, "XML job recognised."},
      {"JDF", Head("<JDF xmlns=\"http://www.CIP4.org/JDFSchema_1_1\" Type=\"Product\">"), kJobTypeJdf, 2,
       "JDF job recognised."},
      {"ZXM", Head("PMEC\x01\x02zxm data"), kJobTypeZxm, 2, "ZXM job recognised."},
      {"PPF", Head("%!PS-Adobe-3.0\n%%CIP3-File Version 3.0\nCIP3BeginSheet"), kJobTypePpf, 2, "PPF job recognised."},
      {"PDF", Head("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>"), kJobTypePdf, 2,
       "PDF job recognised."},
      {"PDF with !", Head("!PDF-1.3\n1 0 obj"), kJobTypePdf, 2, "PDF job recognised."},
      {"Intel TIFF", Bytes({'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0}), kJobTypeTiff, 2,
       "Job appears to be Intel-format TIFF."},
      {"Motorola TIFF", Bytes({'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1}), kJobTypeTiff, 2,
       "Job appears to be PowerPC-format TIFF."},
      {"binary EPS", BinaryEps(), kJobTypeEps, 2, "Binary EPSF job recognised."},
      {"JPEG", jfif, kJobTypeJpeg, 2, "Job appears to be JPEG/JFIF format."},
      {"PGB", Bytes({0, 0, 0, 1, 7}) + "/PGB 2.0" + Bytes({0, 0, 0}), kJobTypePageBuffer, 2,
       "Job appears to be a PageBuffer."},
      {"PS after a PJL header", Head("\x1B%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\r\n%!PS-Adobe-3.0"),
       kJobTypePostScript, 2, "PS job recognised, using fallback id method."},
      {"EPS after ctrl-D", Head("\x04%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1"), kJobTypeEps, 2,
       "EPSF job recognised, using fallback id method."},
      {"PDF after junk", Head("garbage from a mail client\r\n%PDF-1.4\n1 0 obj"), kJobTypePdf, 2,
       "PDF job recognised, using fallback id method."},
      {"group file", Head("[FileGroupInfo]\r\nGroupName=Job 12\r\nFileCount=4\r\n"), kJobTypeFileGroupList, 2,
       "FileGroupList recognised, using fallback id method."},
      {"final catch", Head("some text, then %! and more"), kJobTypePostScript, 2,
       "PS job recognised, using final catch."},
      {"plain text", Head("Dear printer,\nplease print this.\n"), kJobTypeUnknown, 1,
       "Job Filetype not recognised. Download may fail."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Recognise(c.head), c.type);
    EXPECT_EQ(OnlyRecord(), std::make_pair(c.level, std::string(c.message)));
  }
}

TEST_F(JobTypeTest, BoundaryHeadsGiveTheRightType) {
  const struct {
    const char* why;
    std::string head;
    JobType type;
  } cases[] = {
      {"begins-with ignores case", Head("%!ps-adobe-3.0 EPSF-3.0"), kJobTypeEps},
      {"contains does not", Head("%!PS-Adobe-3.0 epsf-3.0"), kJobTypePostScript},
      {"plate file in lower case", Head("%!PS-Adobe-3.0 EPSF-3.0\n%%platefile: (Cyan)"), kJobTypeEps},
      {"XML in upper case", Head("<?XML version=\"1.0\"?>"), kJobTypeXml},
      {"JDF in lower case", Head("<jdf ID=\"n1\">"), kJobTypeJdf},
      {"ZXM in lower case", Head("pmec"), kJobTypeZxm},
      {"PDF in lower case", Head("%pdf-1.2"), kJobTypePdf},
      {"PPF marker in lower case", Head("%!PS-Adobe-3.0\n%%cip3-file Version 2.1"), kJobTypePpf},
      {"group section in another case", Head("[filegroupinfo]\r\nA=1"), kJobTypeUnknown},
      {"plate file anywhere in the head",
       "%!PS-Adobe-3.0 EPSF-3.0\n" + std::string(400, ' ') + "\n%%PlateFile: (Black) EPSF #1 2\n", kJobTypeDcs},
      // A JDF ticket that opens with its XML declaration is XML by content.
      {"XML declaration wins over JDF root", Head("<?xml version=\"1.0\"?>\n<JDF Type=\"Product\"/>"), kJobTypeXml},
      // The PPF marker must start within byte 17 (first line of 15, 16, 17 bytes with its line end).
      {"PPF at byte 15", Head("%!PS-Adobe-3.0\n%%CIP3-File Version 3.0"), kJobTypePpf},
      {"PPF at byte 16", Head("%!PS-Adobe-3.0\r\n%%CIP3-File Version 3.0"), kJobTypePpf},
      {"PPF at byte 17", Head("%!PS-Adobe-3.0 X\n%%CIP3-File Version 3.0"), kJobTypePpf},
      {"PPF at byte 18", Head("%!PS-Adobe-3.0 XY\n%%CIP3-File Version 3.0"), kJobTypePostScript},
      {"PPF far out", Head("%!PS-Adobe-3.0 PPF-file\n%%CIP3-File Version 3.0"), kJobTypePostScript},
      // The PPF token ends at a space and holds at most 16 characters.
      {"PPF token of 16", Head("%!PS-Adobe-3.0\n%%CIP3-File-2.10 Version"), kJobTypePpf},
      {"PPF token of 17", Head("%!PS-Adobe-3.0\n%%CIP3-File-2.100 Version"), kJobTypePostScript},
      {"line end is no space", Head("%!PS-Adobe-3.0\n%%CIP3-File\n%%CreationDate: today"), kJobTypePostScript},
      {"too short for the PPF marker", Head("%!PS-Adobe-3.0\n%%CIP3 x"), kJobTypePostScript},
      // The PPF search skips byte 0 and stops at a NUL.
      {"PPF search skips byte 0", Head("%%CIP3-File Version 3.0"), kJobTypeUnknown},
      {"PPF search stops at NUL", std::string("%!PS") + '\0' + "-Adobe\n%%CIP3-File V\n", kJobTypePostScript},
      {"PDF after junk", Head("JUNKJUNK\r\n%PDF-1.4\n"), kJobTypePdf},
      {"PDF after junk and NUL", std::string("JUNK") + '\0' + "JUNK%PDF-1.4\n", kJobTypeUnknown},
      {"Intel byte order alone", "II?", kJobTypeTiff},
      {"Motorola byte order alone", "MM?", kJobTypeTiff},
      {"IM is no byte order", Bytes({'I', 'M', 42, 0, 8, 0}), kJobTypeUnknown},
      // A start of image and a marker is a JPEG without "JFIF" (Exif, Adobe).
      {"Exif JPEG", Bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34}) + "Exif" + Bytes({0, 0, 'M', 'M', 0, 42}), kJobTypeJpeg},
      {"Adobe JPEG", Bytes({0xFF, 0xD8, 0xFF, 0xEE, 0, 14}) + "Adobe" + Bytes({0, 100}), kJobTypeJpeg},
      {"start of image without a marker", Bytes({0xFF, 0xD8, 0x00, 0xE1, 0x12}), kJobTypeUnknown},
      {"start of image cut by the NUL", Bytes({0xFF, 0xD8, 0xFF}), kJobTypeUnknown},
      // The marker search is over bytes: NULs do not stop it...
      {"JFIF after NULs", std::string(300, '\0') + "JFIF" + Bytes({0, 1}), kJobTypeJpeg},
      // ...but it stops four bytes before the end, whose last byte is set to NUL.
      {"JFIF at length - 5", Bytes({0, 1, 2}) + "JFIF" + "x", kJobTypeJpeg},
      {"JFIF at length - 4", Bytes({0, 1, 2}) + "JFIF", kJobTypeUnknown},
      {"PGB at length - 5", Bytes({0, 1, 2}) + "/PGB" + "x", kJobTypePageBuffer},
      {"PGB at length - 4", Bytes({0, 1, 2}) + "/PGB", kJobTypeUnknown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(Recognise(c.head), c.type);
    if (c.type == kJobTypeUnknown) {
      EXPECT_EQ(OnlyRecord(), std::make_pair(1, std::string("Job Filetype not recognised. Download may fail.")));
    }
  }
}

TEST_F(JobTypeTest, TheLastByteIsSetToNul) {
  EXPECT_EQ(Recognise("abc%!"), kJobTypeUnknown);  // "%!" loses its "!"
  EXPECT_EQ(lastByte, '\0');
  EXPECT_EQ(Recognise("abc%!x"), kJobTypePostScript);
}

TEST_F(JobTypeTest, MissingOrEmptyBufferIsUnknownAndSilent) {
  EXPECT_EQ(RecogniseJobType(nullptr, 0), kJobTypeUnknown);
  EXPECT_EQ(RecogniseJobType(nullptr, 100), kJobTypeUnknown);
  char one = 'A';
  EXPECT_EQ(RecogniseJobType(&one, 0), kJobTypeUnknown);
  EXPECT_EQ(one, 'A');
  EXPECT_TRUE(records.empty());
}

TEST_F(JobTypeTest, TinyHeadsAreReadOnlyWithinTheirLength) {
  // Each is a block of exactly its size; the sanitizers catch any read past it.
  const std::string heads[] = {"I",    "II",   "MM",   "%",   "%!",   "%!PS", "<?xm", "PMEC",
                               "JFIF", "/PGB", "\xC5", "\xC5\xD0\xD3\xC6", "%%CIP3-File", "%!PS-Adobe-3.0 EPSF"};
  for (const std::string& head : heads) {
    SCOPED_TRACE(head);
    Recognise(head);
    EXPECT_EQ(lastByte, '\0');
  }
  // Binary EPS header of four bytes: the last one is cut, so not recognised.
  EXPECT_EQ(Recognise(Bytes({0xC5, 0xD0, 0xD3, 0xC6})), kJobTypeUnknown);
  EXPECT_EQ(Recognise(Bytes({0xC5, 0xD0, 0xD3, 0xC6, 0})), kJobTypeEps);
}

TEST_F(JobTypeTest, AFull512ByteHeadWithoutNulIsSearchedToItsEnd) {
  std::string head(511, 'x');
  head.replace(500, 6, "%!PS-A");
  head += 'y';
  EXPECT_EQ(Recognise(head), kJobTypePostScript);
  EXPECT_EQ(OnlyRecord().second, "PS job recognised, using fallback id method.");
}

TEST(JobTypeFromExtension, LooksUpEveryExtensionOfTheTableIgnoringCase) {
  const std::pair<const char*, JobType> expected[] = {
      {".ps", 0x1},    {".pdf", 0x2},   {".tiff", 0x4},  {".tif", 0x4},    {".jpg", 0x8},       {".pgb", 0x10},
      {".dcs", 0x20},  {".eps", 0x40},  {".prf", 0x80},  {".jdf", 0x100},  {".ppf", 0x200},     {".zxm", 0x400},
      {".zx", 0x400},  {".json", 0x800}, {".xml", 0x1000}, {".fgl", 0x8000000}};
  for (const auto& [extension, type] : expected) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(JobTypeFromExtension(extension), type) << extension;
    EXPECT_EQ(JobTypeFromExtension(upper), type) << upper;
  }
  EXPECT_EQ(JobTypeFromExtension(".Tif"), kJobTypeTiff);
}

TEST(JobTypeFromExtension, UnknownOrEmptyExtensionIsTiff) {
  EXPECT_EQ(JobTypeFromExtension(""), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension(".xyz"), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension("pdf"), kJobTypeTiff);   // the dot belongs to it
  EXPECT_EQ(JobTypeFromExtension(".pdf "), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension(".p"), kJobTypeTiff);    // no prefix matches
  EXPECT_EQ(JobTypeFromExtension(std::string_view(".psx", 3)), kJobTypePostScript);
}

}  // namespace

}  // namespace hf
