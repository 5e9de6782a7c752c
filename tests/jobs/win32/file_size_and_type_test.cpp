// The size-and-type read on real files: job types, sizes, DSC title and
// for-name, files that cannot be read, and binary EPS trimming.
#include "jobs/win32/file_size_and_type.h"

#include "host/message_handover.h"
#include "host/plugin_parameters.h"
#include "base/file_io.h"
#include "base/log.h"
#include "jobs/win32/file_admission.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

using Line = LogLine;

constexpr uint32_t kUntouched = 0xDEADBEEF;

class SizeAndTypeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()) << temp.path(); }

  void Write(const std::string& name, const std::string& bytes) {
    ASSERT_EQ(ReplaceFileContents(folder + name, bytes), 0);
  }
  void ResetOutputs() {
    type = kUntouched;
    std::memset(title, 'x', sizeof title);
    std::memset(forName, 'x', sizeof forName);
  }
  // Reads `name` in the test folder with both outputs given.
  int64_t Read(const std::string& name) {
    ResetOutputs();
    return GetUnopenedFileSizeAndType(&params, folder.c_str(), name.c_str(), &type, title, forName);
  }
  // The scan's way: the in-use test's exclusive handle serves the read.
  int64_t ReadHeld(const std::string& name) {
    ResetOutputs();
    ScopedHandle held;
    EXPECT_FALSE(IsFileInUse(&params, (folder + name).c_str(), &held));
    EXPECT_TRUE(held.valid()) << name;
    return SizeAndTypeOfOpenedFile(&params, folder.c_str(), name.c_str(), std::move(held), &type, title, forName);
  }

  TempFolder temp{"hf_type"};
  const std::string& folder = temp.path();
  PluginParameters params = {};
  uint32_t type = kUntouched;
  char title[64];
  char forName[32];
};

TEST_F(SizeAndTypeTest, PostScriptWithTitleAndForName) {
  std::string content = "%!PS-Adobe-3.0\n%%Title: (Spring brochure)\n%%For: anna\n%%EndComments\nshowpage\n";
  Write("brochure.ps", content);
  LogCapture log;
  EXPECT_EQ(Read("brochure.ps"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 1u);
  EXPECT_STREQ(title, "Spring brochure");
  EXPECT_STREQ(forName, "anna");
  EXPECT_TRUE(log.Has(3, folder + "brochure.ps is " + std::to_string(content.size()) +
                             " bytes of type 0x00000001  Titled:Spring brochure and For:anna"));
}

TEST_F(SizeAndTypeTest, TypesFromContent) {
  struct Case {
    const char* name;
    std::string content;
    uint32_t type;
  } cases[] = {
      {"a.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n", 0x40},
      {"b.dcs", "%!PS-Adobe-3.0 EPSF-3.0\n%%PlateFile: (Cyan) EPSBinary 0 0\n", 0x20},
      {"c.pdf", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", 0x2},
      {"d.tif", std::string("II*\0\x08\0\0\0", 8), 0x4},
      {"e.tif", std::string("MM\0*\0\0\0\x08", 8), 0x4},
      {"f.xml", "<?xml version=\"1.0\"?><a/>", 0x1000},
      {"g.fgl", "; group\n[FileGroupInfo]\nFolderPath=x\n", 0x8000000},
      {"h.bin", "nothing to see here\n", 0x0},
  };
  for (const Case& c : cases) {
    Write(c.name, c.content);
    EXPECT_EQ(Read(c.name), static_cast<int64_t>(c.content.size())) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
  }
}

TEST_F(SizeAndTypeTest, OnlyTheFirst512BytesAreLookedAt) {
  std::string content = std::string(600, ' ') + "%PDF-1.4\n";
  Write("late.pdf", content);
  EXPECT_EQ(Read("late.pdf"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 0u);
}

TEST_F(SizeAndTypeTest, JsonIsKnownByItsExtensionWhenTheContentSaysNothing) {
  std::string content = "{\"job\": \"x\"}";
  Write("submit.JSON", content);
  Write("submit.txt", content);
  EXPECT_EQ(Read("submit.JSON"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 0x800u);
  EXPECT_EQ(Read("submit.txt"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 0u);
  Write("real.json", "%PDF-1.4\n");  // the content decides first
  Read("real.json");
  EXPECT_EQ(type, 2u);
}

TEST_F(SizeAndTypeTest, EmptyFileHasSizeAndTypeZero) {
  Write("empty.ps", "");
  LogCapture log;
  EXPECT_EQ(Read("empty.ps"), 0);
  EXPECT_EQ(type, 0u);
  EXPECT_STREQ(title, "");
  EXPECT_STREQ(forName, "");
  EXPECT_TRUE(log.Has(3, folder + "empty.ps is 0 bytes of type 0x00000000  Titled: and For:"));
}

TEST_F(SizeAndTypeTest, FileHeldByAWriterWithoutSharingIsNotRead) {
  Write("spool.ps", "%!PS\n%%Title: x\n");
  std::string path = folder + "spool.ps";
  ScopedHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  ASSERT_TRUE(writer.valid());
  LogCapture log;
  EXPECT_EQ(Read("spool.ps"), 0);
  EXPECT_EQ(type, kUntouched);
  EXPECT_EQ(log.lines, (std::vector<Line>{{3, "File is in use (spooling?) : " + path}}));
  EXPECT_EQ(params.errorCode, 0);
}

TEST_F(SizeAndTypeTest, FileWrittenWithSharingIsReadWhileOpen) {
  std::string content = "%!PS\n%%Title: open\n";
  Write("shared.ps", content);
  std::string path = folder + "shared.ps";
  ScopedHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(Read("shared.ps"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 1u);
}

TEST_F(SizeAndTypeTest, MissingFileIsReportedAndLeavesTheType) {
  LogCapture log;
  EXPECT_EQ(Read("gone.ps"), 0);
  EXPECT_EQ(type, kUntouched);
  EXPECT_STREQ(title, "");  // emptied before the open
  EXPECT_STREQ(forName, "");
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (Line{3, "Failure on file \"" + folder + "gone.ps\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  ASSERT_NE(params.messageText, nullptr);
  EXPECT_NE(std::string(params.messageText).find("GetUnopenedFileSizeAndType"), std::string::npos);
  params.messageAcknowledged = 1;
  ReleaseHandedOverMessage(&params);
}

TEST_F(SizeAndTypeTest, SummaryLineFollowsWhichOutputsWereAsked) {
  std::string content = "%!PS\n%%Title: T\n%%For: F\n";
  Write("s.ps", content);
  const std::string stem = folder + "s.ps is " + std::to_string(content.size()) + " bytes of type 0x00000001";
  char t[64], f[32];
  uint32_t code = 0;
  LogCapture log;
  GetUnopenedFileSizeAndType(nullptr, folder.c_str(), "s.ps", &code, t, nullptr);
  GetUnopenedFileSizeAndType(nullptr, folder.c_str(), "s.ps", &code, nullptr, f);
  GetUnopenedFileSizeAndType(nullptr, folder.c_str(), "s.ps", &code, nullptr, nullptr);
  EXPECT_STREQ(f, "F");
  EXPECT_TRUE(log.Has(3, stem + "  Titled:T"));
  EXPECT_TRUE(log.Has(3, stem + "  for:F"));
  EXPECT_TRUE(log.Has(3, stem));
}

TEST_F(SizeAndTypeTest, FolderWithoutBackslashOrNoFolderAtAll) {
  std::string content = "%PDF-1.4\n";
  Write("p.pdf", content);
  std::string bare = folder.substr(0, folder.size() - 1);
  uint32_t code = 0;
  EXPECT_EQ(GetUnopenedFileSizeAndType(nullptr, bare.c_str(), "p.pdf", &code, nullptr, nullptr), 9);
  EXPECT_EQ(code, 2u);
  code = 0;
  EXPECT_EQ(GetUnopenedFileSizeAndType(nullptr, "", (folder + "p.pdf").c_str(), &code, nullptr, nullptr), 9);
  EXPECT_EQ(code, 2u);
}

TEST_F(SizeAndTypeTest, LongValuesAreCutToTheirFields) {
  std::string content = "%!PS-Adobe-3.0\n%%Title: " + std::string(100, 'T') + "\n%%For: " + std::string(50, 'F') +
                        "\n";
  Write("long.ps", content);
  Read("long.ps");
  EXPECT_EQ(std::string(title), std::string(63, 'T'));
  EXPECT_EQ(std::string(forName), std::string(31, 'F'));
}

TEST_F(SizeAndTypeTest, TitleOnlyInPostScriptAndEps) {
  Write("t.pdf", "%PDF-1.4\n%%Title: not read\n%%For: nobody\n");
  Read("t.pdf");
  EXPECT_STREQ(title, "");
  EXPECT_STREQ(forName, "");
  Write("t.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%Title: <4142>\n%%For: (\\101nna)\n");
  Read("t.eps");
  EXPECT_EQ(type, 0x40u);
  EXPECT_STREQ(title, "AB");
  EXPECT_STREQ(forName, "Anna");
}

TEST_F(SizeAndTypeTest, Utf8TitleIsStoredInTheAnsiCodePage) {
  // The expected text is the ANSI form of U+00E9 as the system gives it.
  char ansi[8] = {};
  BOOL defaulted = FALSE;
  ASSERT_GT(::WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9", -1, ansi, sizeof ansi, nullptr, &defaulted), 0);
  Write("utf8.ps", "%!PS-Adobe-3.0\n%%APL_DSC_Encoding: UTF8\n%%Title: Caf\xC3\xA9\n%%For: J\xC3\xB6rg\n");
  LogCapture log;
  Read("utf8.ps");
  EXPECT_STREQ(title, ansi);
  EXPECT_EQ(std::strlen(forName), 4u);
  EXPECT_TRUE(log.Has(2, "Detected: %APL_DSC_Encoding: UTF8"));
  // Without the declaration the bytes are kept as they are.
  Write("plain.ps", "%!PS-Adobe-3.0\n%%Title: Caf\xC3\xA9\n%%EndComments\n");
  Read("plain.ps");
  EXPECT_STREQ(title, "Caf\xC3\xA9");
}

// A binary EPS: a 30-byte header, the PostScript section, a TIFF preview.
std::string BinaryEps(const std::string& postScript) {
  std::string tiff = std::string("II*\0", 4) + std::string(1000, '\x55');
  std::string bytes(30, '\0');
  bytes[0] = '\xC5';
  bytes[1] = '\xD0';
  bytes[2] = '\xD3';
  bytes[3] = '\xC6';
  Put32(bytes, 4, 30);
  Put32(bytes, 8, static_cast<uint32_t>(postScript.size()));
  Put32(bytes, 20, static_cast<uint32_t>(30 + postScript.size()));
  Put32(bytes, 24, static_cast<uint32_t>(tiff.size()));
  bytes[28] = bytes[29] = '\xFF';
  return bytes + postScript + tiff;
}

TEST_F(SizeAndTypeTest, TheInUseTestsHandleGivesTheSameReadAndIsClosedBeforeTrimming) {
  const std::string job = "%!PS-Adobe-3.0\n%%Title: (Held)\n%%For: hal\n%%EndComments\n";
  Write("held.ps", job);
  EXPECT_EQ(ReadHeld("held.ps"), static_cast<int64_t>(job.size()));
  EXPECT_EQ(type, 1u);
  EXPECT_STREQ(title, "Held");
  EXPECT_STREQ(forName, "hal");

  const std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%Title: (Mark)\n%%EOF\n";
  Write("mark.eps", BinaryEps(postScript));
  EXPECT_EQ(ReadHeld("mark.eps"), static_cast<int64_t>(postScript.size()));
  EXPECT_EQ(type, 0x40u);
  EXPECT_EQ(Contents(folder + "mark.eps"), postScript);
  // Nothing holds the file afterwards.
  ScopedHandle again(::CreateFileA((folder + "mark.eps").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(again.valid());

  LogCapture log;
  EXPECT_EQ(SizeAndTypeOfOpenedFile(&params, folder.c_str(), "x.ps", ScopedHandle(), &type, title, forName), 0);
}

TEST_F(SizeAndTypeTest, BinaryEpsIsTrimmedAndTheNewSizeReturned) {
  std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%Title: (Logo)\n%%BoundingBox: 0 0 10 10\n%%EOF\n";
  const std::string bytes = BinaryEps(postScript);
  Write("logo.eps", bytes);
  LogCapture log;
  EXPECT_EQ(Read("logo.eps"), static_cast<int64_t>(postScript.size()));
  EXPECT_EQ(type, 0x40u);
  EXPECT_EQ(Contents(folder + "logo.eps"), postScript);
  EXPECT_TRUE(log.Has(2, "EPS files trimmed from " + std::to_string(bytes.size()) + " bytes to " +
                             std::to_string(postScript.size()) + " bytes, metafile preview: 0, TIFF preview: 1004"));
  // Next time round the file is a text EPS and keeps its size.
  EXPECT_EQ(Read("logo.eps"), static_cast<int64_t>(postScript.size()));
  EXPECT_STREQ(title, "Logo");
}

}  // namespace

}  // namespace hf
