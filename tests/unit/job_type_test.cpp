// Job type recognition from real file heads, its log lines, and the extension table.
#include "common/job_type.h"

#include "common/log.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

TEST_F(JobTypeTest, BeginsWithIgnoresCaseButContainsDoesNot) {
  EXPECT_EQ(Recognise(Head("%!ps-adobe-3.0 EPSF-3.0")), kJobTypeEps);
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0 epsf-3.0")), kJobTypePostScript);
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0 EPSF-3.0\n%%platefile: (Cyan)")), kJobTypeEps);
  EXPECT_EQ(Recognise(Head("<?XML version=\"1.0\"?>")), kJobTypeXml);
  EXPECT_EQ(Recognise(Head("<jdf ID=\"n1\">")), kJobTypeJdf);
  EXPECT_EQ(Recognise(Head("pmec")), kJobTypeZxm);
  EXPECT_EQ(Recognise(Head("%pdf-1.2")), kJobTypePdf);
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%cip3-file Version 2.1")), kJobTypePpf);
  // A group section name in another case is no group file.
  EXPECT_EQ(Recognise(Head("[filegroupinfo]\r\nA=1")), kJobTypeUnknown);
}

TEST_F(JobTypeTest, PlateFileAnywhereInTheHeadMakesDcs) {
  std::string head = "%!PS-Adobe-3.0 EPSF-3.0\n" + std::string(400, ' ') + "\n%%PlateFile: (Black) EPSF #1 2\n";
  EXPECT_EQ(Recognise(head), kJobTypeDcs);
}

TEST_F(JobTypeTest, XmlDeclarationWinsOverJdfRoot) {
  // A JDF ticket that opens with its XML declaration is XML by content.
  EXPECT_EQ(Recognise(Head("<?xml version=\"1.0\"?>\n<JDF Type=\"Product\"/>")), kJobTypeXml);
}

TEST_F(JobTypeTest, PpfNeedsTheMarkerWithinByte17) {
  // First line of 15 and 16 bytes (with its line end): PPF.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%CIP3-File Version 3.0")), kJobTypePpf);
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\r\n%%CIP3-File Version 3.0")), kJobTypePpf);
  // 17 bytes: the "%" sits at byte 17, the last looked at.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0 X\n%%CIP3-File Version 3.0")), kJobTypePpf);
  // More than 17 bytes: plain PostScript.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0 XY\n%%CIP3-File Version 3.0")), kJobTypePostScript);
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0 PPF-file\n%%CIP3-File Version 3.0")), kJobTypePostScript);
}

TEST_F(JobTypeTest, PpfTokenEndsAtASpaceAndHoldsAtMost16Characters) {
  // 16 characters before the space: still a token.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%CIP3-File-2.10 Version")), kJobTypePpf);
  // 17 characters: no token, so PostScript.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%CIP3-File-2.100 Version")), kJobTypePostScript);
  // The line end is not a space: the token runs on into the next line.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%CIP3-File\n%%CreationDate: today")), kJobTypePostScript);
  // Too short to hold the marker.
  EXPECT_EQ(Recognise(Head("%!PS-Adobe-3.0\n%%CIP3 x")), kJobTypePostScript);
}

TEST_F(JobTypeTest, PpfSearchSkipsByteZeroAndStopsAtNul) {
  // The "%" at byte 0 is not looked at; the one at byte 1 starts "%CIP3-File".
  EXPECT_EQ(Recognise(Head("%%CIP3-File Version 3.0")), kJobTypeUnknown);
  // A NUL before the "%" ends the search.
  std::string head = std::string("%!PS") + '\0' + "-Adobe\n%%CIP3-File V\n";
  EXPECT_EQ(Recognise(head), kJobTypePostScript);
}

TEST_F(JobTypeTest, PdfWithJunkBeforeItsHeaderNeedsNoNulOnTheWay) {
  EXPECT_EQ(Recognise(Head("JUNKJUNK\r\n%PDF-1.4\n")), kJobTypePdf);
  std::string withNul = std::string("JUNK") + '\0' + "JUNK%PDF-1.4\n";
  EXPECT_EQ(Recognise(withNul), kJobTypeUnknown);
  EXPECT_EQ(OnlyRecord(), std::make_pair(1, std::string("Job Filetype not recognised. Download may fail.")));
}

TEST_F(JobTypeTest, TiffFromTheByteOrderMarkAlone) {
  EXPECT_EQ(Recognise("II?"), kJobTypeTiff);
  EXPECT_EQ(Recognise("MM?"), kJobTypeTiff);
  // "IM" is neither byte order.
  EXPECT_EQ(Recognise(Bytes({'I', 'M', 42, 0, 8, 0})), kJobTypeUnknown);
}

TEST_F(JobTypeTest, JpegNeedsJfifWithinTheHead) {
  std::string exif = Bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x12, 0x34}) + "Exif" + Bytes({0, 0, 'M', 'M', 0, 42});
  EXPECT_EQ(Recognise(exif), kJobTypeUnknown);
  // "JFIF" after a NUL is still found: the marker search is over bytes.
  std::string late = std::string(300, '\0') + "JFIF" + Bytes({0, 1});
  EXPECT_EQ(Recognise(late), kJobTypeJpeg);
}

TEST_F(JobTypeTest, MarkerSearchStopsFourBytesBeforeTheEnd) {
  // At offset length - 5 the marker is found...
  EXPECT_EQ(Recognise(Bytes({0, 1, 2}) + "JFIF" + "x"), kJobTypeJpeg);
  // ...at length - 4 its last byte is the one set to NUL, and it is not.
  EXPECT_EQ(Recognise(Bytes({0, 1, 2}) + "JFIF"), kJobTypeUnknown);
  EXPECT_EQ(Recognise(Bytes({0, 1, 2}) + "/PGB" + "x"), kJobTypePageBuffer);
  EXPECT_EQ(Recognise(Bytes({0, 1, 2}) + "/PGB"), kJobTypeUnknown);
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

TEST(JobTypeFromExtension, LooksUpTheTableIgnoringCase) {
  EXPECT_EQ(JobTypeFromExtension(".PDF"), kJobTypePdf);
  EXPECT_EQ(JobTypeFromExtension(".pdf"), kJobTypePdf);
  EXPECT_EQ(JobTypeFromExtension(".zx"), kJobTypeZxm);
  EXPECT_EQ(JobTypeFromExtension(".ZXM"), kJobTypeZxm);
  EXPECT_EQ(JobTypeFromExtension(".JSON"), kJobTypeJson);
  EXPECT_EQ(JobTypeFromExtension(".Tif"), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension(".prf"), kJobTypePrf);
  EXPECT_EQ(JobTypeFromExtension(".fgl"), kJobTypeFileGroupList);
  EXPECT_EQ(JobTypeFromExtension(".eps"), kJobTypeEps);
  EXPECT_EQ(JobTypeFromExtension(".dcs"), kJobTypeDcs);
}

TEST(JobTypeFromExtension, UnknownOrEmptyExtensionIsTiff) {
  EXPECT_EQ(JobTypeFromExtension(""), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension(".xyz"), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension("pdf"), kJobTypeTiff);   // the dot belongs to it
  EXPECT_EQ(JobTypeFromExtension(".pdf "), kJobTypeTiff);
  EXPECT_EQ(JobTypeFromExtension(".p"), kJobTypeTiff);    // no prefix matches
  EXPECT_EQ(JobTypeFromExtension(std::string_view(".psx", 3)), kJobTypePostScript);
}

TEST(JobTypeFromExtension, TableHoldsEveryExtensionInOrder) {
  const std::pair<const char*, JobType> expected[] = {
      {".ps", 0x1},    {".pdf", 0x2},   {".tiff", 0x4},  {".tif", 0x4},   {".jpg", 0x8},   {".pgb", 0x10},
      {".dcs", 0x20},  {".eps", 0x40},  {".prf", 0x80},  {".jdf", 0x100}, {".ppf", 0x200}, {".zxm", 0x400},
      {".zx", 0x400},  {".json", 0x800}, {".xml", 0x1000}, {".fgl", 0x8000000}, {"", 0x0}};
  size_t i = 0;
  for (const auto& [extension, type] : expected) {
    SCOPED_TRACE(extension);
    EXPECT_STREQ(kJobTypeExtensions[i].extension, extension);
    EXPECT_EQ(kJobTypeExtensions[i].type, type);
    ++i;
  }
}

}  // namespace
