// Trimming binary EPS files on disk: the PostScript section replaces the file in
// one step, and a lying header or a failing step leaves the file as it was.
#include "jobs/win32/binary_eps.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

using Line = LogLine;

// Header, PostScript section, a metafile preview and a TIFF preview.
struct BinaryEps {
  std::string postScript;
  std::string metafile = std::string(300, 'W');
  std::string tiff = std::string("II*\0", 4) + std::string(700, '\x7F');

  std::string Bytes() const { return Bytes(30, static_cast<uint32_t>(postScript.size())); }
  std::string Bytes(uint32_t psOffset, uint32_t psLength) const {
    std::string bytes(30, '\0');
    bytes[0] = '\xC5';
    bytes[1] = '\xD0';
    bytes[2] = '\xD3';
    bytes[3] = '\xC6';
    uint32_t metafileOffset = 30 + static_cast<uint32_t>(postScript.size());
    uint32_t tiffOffset = metafileOffset + static_cast<uint32_t>(metafile.size());
    Put32(bytes, 4, psOffset);
    Put32(bytes, 8, psLength);
    Put32(bytes, 12, metafileOffset);
    Put32(bytes, 16, static_cast<uint32_t>(metafile.size()));
    Put32(bytes, 20, tiffOffset);
    Put32(bytes, 24, static_cast<uint32_t>(tiff.size()));
    bytes[28] = '\xFF';
    bytes[29] = '\xFF';
    return bytes + postScript + metafile + tiff;
  }
};

std::string PostScriptOf(size_t size) {
  std::string text = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 100\n%%Title: (Logo)\n";
  for (size_t i = 0; text.size() < size - 6; ++i) text += "0 0 moveto " + std::to_string(i) + " pop\n";
  text.resize(size - 6, ' ');
  return text + "\n%%EOF";
}

class TrimBinaryEpsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()) << temp.path(); }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = folder + name;
    EXPECT_EQ(ReplaceFileContents(path, bytes), 0);
    return path;
  }
  // Writes a binary EPS with a PostScript section of `size` bytes; its bytes.
  std::string WriteEps(const std::string& name, size_t size) {
    eps.postScript = PostScriptOf(size);
    std::string bytes = eps.Bytes();
    WriteFile(name, bytes);
    return bytes;
  }
  int64_t Trim(const std::string& name, const std::string& bytes) {
    return TrimBinaryEps(folder.c_str(), name.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size() < 512 ? bytes.size() : 512, static_cast<int64_t>(bytes.size()));
  }
  // The file is byte for byte as written and no temporary file is left.
  void ExpectUntouched(const std::string& name, const std::string& bytes) {
    EXPECT_EQ(Contents(folder + name), bytes);
    EXPECT_FALSE(FileExists(folder + name + ".trimmed"));
  }
  TempFolder temp{"hf_eps"};
  BinaryEps eps;
  const std::string& folder = temp.path();
};

TEST_F(TrimBinaryEpsTest, FileBecomesExactlyItsPostScriptSection) {
  eps.postScript = PostScriptOf(20000);  // several 8192-byte pieces and a partial one
  std::string bytes = eps.Bytes();
  WriteFile("logo.eps", bytes);
  LogCapture log;
  EXPECT_EQ(Trim("logo.eps", bytes), 20000);
  EXPECT_EQ(Contents(folder + "logo.eps"), eps.postScript);
  EXPECT_FALSE(FileExists(folder + "logo.eps.trimmed"));
  EXPECT_EQ(log.lines, (std::vector<Line>{{2, "EPS files trimmed from 21034 bytes to 20000 bytes, metafile preview: "
                                              "300, TIFF preview: 704"}}));
}

TEST_F(TrimBinaryEpsTest, NameAloneIsAFullPath) {
  std::string bytes = WriteEps("full.eps", 100);
  std::string path = folder + "full.eps";
  EXPECT_EQ(TrimBinaryEps("", path.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()), 30,
                          static_cast<int64_t>(bytes.size())),
            100);
  EXPECT_EQ(Contents(path), eps.postScript);
}

TEST_F(TrimBinaryEpsTest, SectionAtTheVeryEndOfTheFileIsKept) {
  eps.postScript = PostScriptOf(64);
  eps.metafile.clear();
  eps.tiff.clear();
  std::string bytes = eps.Bytes();
  WriteFile("bare.eps", bytes);
  EXPECT_EQ(Trim("bare.eps", bytes), 64);
  EXPECT_EQ(Contents(folder + "bare.eps"), eps.postScript);
}

TEST_F(TrimBinaryEpsTest, LyingHeadersLeaveTheFileAsItWas) {
  eps.postScript = PostScriptOf(500);
  const uint32_t size = static_cast<uint32_t>(eps.Bytes().size());
  struct Case {
    const char* what;
    uint32_t offset, length;
  } cases[] = {
      {"offset past the end", size + 10, 100},
      {"length past the end", 30, size},
      {"offset plus length wraps", 0xFFFFFF00u, 0x200},
      {"zero length", 30, 0},
      {"offset inside the header", 4, 100},
  };
  for (const Case& c : cases) {
    std::string bytes = eps.Bytes(c.offset, c.length);
    WriteFile("liar.eps", bytes);
    LogCapture log;
    EXPECT_EQ(Trim("liar.eps", bytes), static_cast<int64_t>(bytes.size())) << c.what;
    ExpectUntouched("liar.eps", bytes);
    ASSERT_EQ(log.lines.size(), 1u) << c.what;
    EXPECT_EQ(log.lines[0].first, 1) << c.what;
    EXPECT_NE(log.lines[0].second.find("not trimmed"), std::string::npos) << log.lines[0].second;
  }
}

TEST_F(TrimBinaryEpsTest, HeaderThatIsNotBinaryEpsIsRefused) {
  std::string bytes = "%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\n";
  WriteFile("text.eps", bytes);
  EXPECT_EQ(Trim("text.eps", bytes), static_cast<int64_t>(bytes.size()));
  ExpectUntouched("text.eps", bytes);
}

TEST_F(TrimBinaryEpsTest, MissingFileIsLogged) {
  eps.postScript = PostScriptOf(100);
  std::string bytes = eps.Bytes();
  LogCapture log;
  EXPECT_EQ(Trim("absent.eps", bytes), static_cast<int64_t>(bytes.size()));
  EXPECT_EQ(log.lines, (std::vector<Line>{{1, "Failure calling CreateFile on " + folder +
                                                  "absent.eps trimming EPS file: 2"}}));
  EXPECT_FALSE(FileExists(folder + "absent.eps.trimmed"));
}

TEST_F(TrimBinaryEpsTest, SourceHeldWithoutSharingIsNotTouched) {
  std::string bytes = WriteEps("held.eps", 300);
  std::string path = folder + "held.eps";
  {
    ScopedHandle holder(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    ASSERT_TRUE(holder.valid());
    LogCapture log;
    EXPECT_EQ(Trim("held.eps", bytes), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(log.lines, (std::vector<Line>{{1, "Failure calling CreateFile on " + path +
                                                    " trimming EPS file: 32"}}));
  }
  ExpectUntouched("held.eps", bytes);
}

TEST_F(TrimBinaryEpsTest, SourceOpenElsewhereCannotBeReplacedAndStays) {
  std::string bytes = WriteEps("open.eps", 300);
  std::string path = folder + "open.eps";
  {
    // A reader that shares reading and writing but not deletion: the copy can be
    // made, but the file cannot be replaced while it is open.
    ScopedHandle reader(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.valid());
    LogCapture log;
    EXPECT_EQ(Trim("open.eps", bytes), static_cast<int64_t>(bytes.size()));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, 1);
    EXPECT_EQ(log.lines[0].second.rfind("Failure calling MoveFile(" + path + ".trimmed," + path +
                                            ") while trimming EPS file: ",
                                        0),
              0u)
        << log.lines[0].second;
  }
  ExpectUntouched("open.eps", bytes);
}

TEST_F(TrimBinaryEpsTest, ReadOnlyFileIsNotReplaced) {
  std::string bytes = WriteEps("readonly.eps", 300);
  std::string path = folder + "readonly.eps";
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  LogCapture log;
  EXPECT_EQ(Trim("readonly.eps", bytes), static_cast<int64_t>(bytes.size()));
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectUntouched("readonly.eps", bytes);
  // Windows would also refuse to replace it; Wine would not, so it is refused first.
  EXPECT_EQ(log.lines, (std::vector<Line>{{1, "EPS file " + path + " not trimmed: it is read-only"}}));
}

TEST_F(TrimBinaryEpsTest, TemporaryFileThatCannotBeCreatedLeavesTheSource) {
  std::string bytes = WriteEps("busy.eps", 300);
  std::string temporary = WriteFile("busy.eps.trimmed", "someone else's");
  {
    ScopedHandle holder(::CreateFileA(temporary.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());
    LogCapture log;
    EXPECT_EQ(Trim("busy.eps", bytes), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(log.lines, (std::vector<Line>{{1, "Failure calling CreateFile on " + temporary +
                                                    " trimming EPS file: 32"}}));
  }
  EXPECT_EQ(Contents(folder + "busy.eps"), bytes);
  EXPECT_EQ(Contents(temporary), "someone else's");
}

TEST_F(TrimBinaryEpsTest, OverlongPathIsRefused) {
  eps.postScript = PostScriptOf(100);
  std::string bytes = eps.Bytes();
  std::string name(260 - folder.size() - 8, 'n');  // the ".trimmed" copy would pass 259 characters
  LogCapture log;
  EXPECT_EQ(Trim(name, bytes), static_cast<int64_t>(bytes.size()));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].second.find("not trimmed"), std::string::npos);
}

}  // namespace

}  // namespace hf
