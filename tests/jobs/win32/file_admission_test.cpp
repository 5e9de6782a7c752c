// The in-use test, the size-and-type read and binary EPS trimming (the scan's way: end to end).
#include "jobs/win32/file_admission.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"
#include "host/message_handover.h"
#include "jobs/win32/binary_eps.h"
#include "jobs/win32/file_size_and_type.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace hf {

namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;

ScopedHandle Open(const std::string& path, DWORD access, DWORD share) {
  return ScopedHandle(
      ::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class AdmissionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()) << temp.path(); }
  void TearDown() override {
    params.messageAcknowledged = 1;
    ReleaseHandedOverMessage(&params);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    EXPECT_EQ(ReplaceFileContents(folder + name, bytes), 0);
    return folder + name;
  }
  // Reads `name` in the test folder with both outputs given.
  int64_t Read(const std::string& name) {
    type = kUntouched;
    std::memset(title, 'x', sizeof title);
    std::memset(forName, 'x', sizeof forName);
    return GetUnopenedFileSizeAndType(&params, folder.c_str(), name.c_str(), &type, title, forName);
  }

  TempFolder temp{"admission"};
  const std::string& folder = temp.path();
  PluginParameters params = {};
  uint32_t type = kUntouched;
  char title[64];
  char forName[32];
};

// Whatever the writer shares, the file is in use; a reader may still read it.
TEST_F(AdmissionTest, AFileHeldByAWriterIsInUseButCanBeRead) {
  const std::string content = "%!PS\n%%Title: open\n";
  const std::string path = Write("spooling.ps", content);
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    ScopedHandle writer = Open(path, GENERIC_WRITE, share);
    ASSERT_TRUE(writer.valid());
    LogCapture log;
    EXPECT_TRUE(IsFileInUse(nullptr, path.c_str())) << "share mode " << share;
    EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, "File is in use (spooling?) : " + path}}));
    EXPECT_EQ(Read("spooling.ps"), share == 0 ? 0 : static_cast<int64_t>(content.size()));
    EXPECT_EQ(type, share == 0 ? kUntouched : 1u);
    EXPECT_EQ(log.Has(3, "File is in use (spooling?) : " + path), share == 0);
  }
  EXPECT_FALSE(IsFileInUse(nullptr, path.c_str()));  // the writer has closed it
  EXPECT_EQ(params.errorCode, 0);
}

TEST_F(AdmissionTest, FilesThatCannotBeOpenedAreReportedAndNotRead) {
  const std::string path = folder + "gone.ps";
  LogCapture log;
  EXPECT_FALSE(IsFileInUse(&params, path.c_str()));
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (LogLine{0, "Failure on file \"" + path + "\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(MessageOf(params).find("IsFileInUse?"), std::string::npos) << MessageOf(params);

  TearDown();
  params = {};
  log.lines.clear();
  EXPECT_EQ(Read("gone.ps"), 0);
  EXPECT_EQ(std::make_tuple(type, std::string(title), std::string(forName)), std::make_tuple(kUntouched, "", ""));
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (LogLine{3, "Failure on file \"" + path + "\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(MessageOf(params).find("GetUnopenedFileSizeAndType"), std::string::npos) << MessageOf(params);
}

// The summary line names the outputs that were asked for.
TEST_F(AdmissionTest, SizeTypeTitleAndForNameAreReadAndLogged) {
  const std::string content = "%!PS-Adobe-3.0\n%%Title: (Spring brochure)\n%%For: anna\n%%EndComments\nshowpage\n";
  Write("brochure.ps", content);
  const std::string stem = folder + "brochure.ps is " + std::to_string(content.size()) + " bytes of type 0x00000001";
  LogCapture log;
  EXPECT_EQ(Read("brochure.ps"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(std::make_tuple(type, std::string(title), std::string(forName)),
            std::make_tuple(1u, "Spring brochure", "anna"));
  EXPECT_TRUE(log.Has(3, stem + "  Titled:Spring brochure and For:anna"));

  const std::string bare = folder.substr(0, folder.size() - 1);  // no trailing backslash
  uint32_t code = 0;
  GetUnopenedFileSizeAndType(nullptr, bare.c_str(), "brochure.ps", &code, title, nullptr);
  GetUnopenedFileSizeAndType(nullptr, "", (folder + "brochure.ps").c_str(), &code, nullptr, forName);
  EXPECT_EQ(GetUnopenedFileSizeAndType(nullptr, folder.c_str(), "brochure.ps", &code, nullptr, nullptr),
            static_cast<int64_t>(content.size()));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(log.Has(3, stem + "  Titled:Spring brochure") && log.Has(3, stem + "  for:anna") && log.Has(3, stem));
  EXPECT_EQ(SizeAndTypeOfOpenedFile(nullptr, folder.c_str(), "x.ps", ScopedHandle(), &type, title, forName), 0);
}

// ---- binary EPS trimming ----

// Header, PostScript section, a metafile preview and a TIFF preview.
struct BinaryEps {
  std::string postScript;
  std::string metafile = std::string(300, 'W');
  std::string tiff = std::string("II*\0", 4) + std::string(700, '\x7F');

  std::string Bytes() const { return Bytes(30, static_cast<uint32_t>(postScript.size())); }
  std::string Bytes(uint32_t psOffset, uint32_t psLength) const {
    std::string bytes("\xC5\xD0\xD3\xC6", 4);
    bytes.resize(28, '\0');
    const uint32_t metafileOffset = 30 + static_cast<uint32_t>(postScript.size());
    Put32(bytes, 4, psOffset);
    Put32(bytes, 8, psLength);
    Put32(bytes, 12, metafileOffset);
    Put32(bytes, 16, static_cast<uint32_t>(metafile.size()));
    Put32(bytes, 20, metafileOffset + static_cast<uint32_t>(metafile.size()));
    Put32(bytes, 24, static_cast<uint32_t>(tiff.size()));
    return bytes + "\xFF\xFF" + postScript + metafile + tiff;
  }
};

std::string PostScriptOf(size_t size) {
  std::string text = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n%%Title: (Logo)\n";
  for (size_t i = 0; text.size() < size - 6; ++i) text += "0 0 moveto " + std::to_string(i) + " pop\n";
  text.resize(size - 6, ' ');
  return text + "\n%%EOF";
}

class TrimBinaryEpsTest : public AdmissionTest {
 protected:
  int64_t Trim(const std::string& name, const std::string& bytes) {
    return TrimBinaryEps(folder.c_str(), name.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size() < 512 ? bytes.size() : 512, static_cast<int64_t>(bytes.size()));
  }
  BinaryEps eps;
};

TEST_F(TrimBinaryEpsTest, FileBecomesExactlyItsPostScriptSection) {
  eps.postScript = PostScriptOf(20000);  // several 8192-byte pieces and a partial one
  std::string bytes = eps.Bytes();
  Write("logo.eps", bytes);
  LogCapture log;
  EXPECT_EQ(Trim("logo.eps", bytes), 20000);
  EXPECT_EQ(Contents(folder + "logo.eps"), eps.postScript);
  EXPECT_FALSE(FileExists(folder + "logo.eps.trimmed"));
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{2,
                                              "EPS files trimmed from 21034 bytes to 20000 bytes, metafile "
                                              "preview: 300, TIFF preview: 704"}}));
  // A section that ends exactly at the end of the file is inside it.
  eps.postScript = PostScriptOf(64);
  eps.metafile.clear();
  eps.tiff.clear();
  bytes = eps.Bytes();
  Write("bare.eps", bytes);
  EXPECT_EQ(Trim("bare.eps", bytes), 64);
  EXPECT_EQ(Contents(folder + "bare.eps"), eps.postScript);
}

// Its DSC title comes from the PostScript section, not from the binary header the file begins with;
// a header pointing past the end gives no title, never bytes from elsewhere.
TEST_F(TrimBinaryEpsTest, ABinaryEpsIsTitledFromItsPostScriptSection) {
  eps.postScript = PostScriptOf(600);
  const std::string bytes = eps.Bytes();
  Write("logo.eps", bytes);
  EXPECT_EQ(Read("logo.eps"), 600);  // trimmed to its PostScript section on the way
  EXPECT_EQ(std::make_tuple(type, std::string(title)), std::make_tuple(0x40u, std::string("Logo")));
  Write("lying.eps", eps.Bytes(static_cast<uint32_t>(bytes.size()) + 10, 100));
  EXPECT_EQ(Read("lying.eps"), static_cast<int64_t>(bytes.size()));
  EXPECT_EQ(std::make_tuple(type, std::string(title)), std::make_tuple(0x40u, std::string()));
}

// Each refusal logs one line and leaves the file as it was, with no trimmed copy of ours beside it.
TEST_F(TrimBinaryEpsTest, LyingHeadersAndFailingStepsLeaveTheFileAsItWas) {
  eps.postScript = PostScriptOf(500);
  const uint32_t size = static_cast<uint32_t>(eps.Bytes().size());
  enum Fault { kNone, kReadOnly, kHeldAlone, kOpenWithoutDeleteSharing, kTemporaryHeld, kLongName };
  // What is wrong, the bytes, the fault arranged and the start of the one log line ("<path>": the file's path).
  const std::string no = "EPS file <path> not trimmed: ", past = no + "its PostScript section runs past";
  const std::string create = "Failure calling CreateFile on <path>";
  const std::tuple<const char*, std::string, Fault, std::string> rows[] = {
      {"offset past the end",       eps.Bytes(size + 10, 100),     kNone, past},
      {"length past the end",       eps.Bytes(30, size),           kNone, past},
      {"offset plus length wraps",  eps.Bytes(0xFFFFFF00u, 0x200), kNone, past},
      {"zero length",               eps.Bytes(30, 0),              kNone, no + "its PostScript section is empty"},
      {"offset inside the header",  eps.Bytes(4, 100),             kNone, no + "its PostScript section starts"},
      {"no binary header",          "%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\n", kNone, no + "it has no binary"},
      {"read-only",                 eps.Bytes(), kReadOnly,      no + "it is read-only"},
      {"held without sharing",      eps.Bytes(), kHeldAlone,     create + " trimming EPS file: 32"},
      {"open elsewhere",            eps.Bytes(), kOpenWithoutDeleteSharing,  // copied, but not replaced while open
       "Failure calling MoveFile(<path>.trimmed,<path>) while trimming EPS file: "},
      {"temporary file held",       eps.Bytes(), kTemporaryHeld, create + ".trimmed trimming EPS file: 32"},
      {"path of the copy too long", eps.Bytes(), kLongName,      no + "the path of its trimmed copy"}};
  for (const auto& [what, bytes, fault, logStart] : rows) {
    SCOPED_TRACE(what);
    // The ".trimmed" copy of the long name would pass 259 characters.
    const std::string name = fault == kLongName ? std::string(260 - folder.size() - 8, 'n') : "job.eps";
    const std::string path = folder + name;
    if (fault != kLongName) Write(name, bytes);
    if (fault == kTemporaryHeld) Write(name + ".trimmed", "someone else's");
    ASSERT_TRUE(fault != kReadOnly || ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    std::vector<ScopedHandle> holders;
    if (fault == kHeldAlone) holders.push_back(Open(path, GENERIC_READ, 0));
    if (fault == kOpenWithoutDeleteSharing)
      holders.push_back(Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    if (fault == kTemporaryHeld) holders.push_back(Open(path + ".trimmed", GENERIC_READ, 0));
    for (const ScopedHandle& holder : holders) ASSERT_TRUE(holder.valid());
    LogCapture log;
    EXPECT_EQ(Trim(name, bytes), static_cast<int64_t>(bytes.size()));
    holders.clear();
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string expected = logStart;
    for (size_t at; (at = expected.find("<path>")) != std::string::npos;) expected.replace(at, 6, path);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(std::make_pair(log.lines[0].first, log.lines[0].second.substr(0, expected.size())),
              std::make_pair(1, expected));
    if (fault == kLongName) continue;
    EXPECT_EQ(Contents(path), bytes);
    EXPECT_EQ(Contents(path + ".trimmed"), fault == kTemporaryHeld ? "someone else's" : "<missing>");
    ::DeleteFileA((path + ".trimmed").c_str());
  }
}

}  // namespace

}  // namespace hf
