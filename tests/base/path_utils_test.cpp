// Path text operations: joins, normalisation, parts of a path, fixed buffers.
#include "base/path_utils.h"
#include "base/format.h"

#include "base/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace hf {

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

// Runs `function` over each row; a failure names the row's input.
template <typename Function, size_t N>
void ExpectEach(Function function, const TextCase (&cases)[N]) {
  for (const TextCase& c : cases) EXPECT_EQ(function(c.input), c.expected) << "<" << c.input << ">";
}

std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

TEST(JoinPath, JoinsWithOneBackslashResolvingDotsButNeverAboveTheRoot) {
  const struct {
    const char *first, *second, *expected;
  } cases[] = {
      // Trailing backslashes on the folder make no difference.
      {"C:\\hot\\in\\", "job.ps", "C:\\hot\\in\\job.ps"}, {"C:\\hot\\in", "job.ps", "C:\\hot\\in\\job.ps"},
      {"C:\\hot\\in\\\\\\", "job.ps", "C:\\hot\\in\\job.ps"}, {"C:\\", "job.ps", "C:\\job.ps"},
      {"C:", "job.ps", "C:\\job.ps"},
      // An absolute second part is taken as it stands; "D:" alone is a name.
      {"C:\\hot", "D:\\other\\job.ps", "D:\\other\\job.ps"}, {"C:\\hot", "d:/other/job.ps", "d:\\other\\job.ps"},
      {"C:\\hot", "D:", "C:\\hot\\D:"},
      {"C:\\hot\\in", "..\\job.ps", "C:\\hot\\job.ps"}, {"C:\\hot\\in\\", "..\\..\\job.ps", "C:\\job.ps"},
      {"C:\\hot\\in", ".\\job.ps", "C:\\hot\\in\\job.ps"}, {"C:\\", "..\\job.ps", "C:\\job.ps"},
      {"C:\\a", "..\\..\\..\\job.ps", "C:\\job.ps"},
      {"\\\\server\\share", "..\\job.ps", "\\\\server\\share\\job.ps"},
      {"\\\\server\\share\\in", "..\\..\\job.ps", "\\\\server\\share\\job.ps"},
      // An empty part gives the other unchanged, slashes and all.
      {"", "a/b.ps", "a/b.ps"}, {"C:/hot/", "", "C:/hot/"}, {"", "", ""},
      {"C:/hot/in/", "sub/job.ps", "C:\\hot\\in\\sub\\job.ps"},
      {"\\\\server\\share\\in\\", "job.ps", "\\\\server\\share\\in\\job.ps"},
      {"//server/share", "job.ps", "\\\\server\\share\\job.ps"},
      // Dots inside names are not segments.
      {"C:\\a.b\\..c", "d..\\.e", "C:\\a.b\\..c\\d..\\.e"}, {"C:\\hot", "...\\x", "C:\\hot\\...\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.first, c.second), c.expected) << c.first << " + " << c.second;
}

TEST(NormalizePath, RemovesDotSegmentsAndResolvesDotDotWithTheNameBeforeIt) {
  const TextCase cases[] = {
      {"C:\\a\\.\\b", "C:\\a\\b"},           {"C:\\a\\.\\.\\.\\b", "C:\\a\\b"},
      {"C:/a/./b", "C:\\a\\b"},              {"C:\\a\\b\\..\\c", "C:\\a\\c"},
      {"C:\\a\\b\\c\\..\\..\\d", "C:\\a\\d"}, {"C:\\a\\b\\..\\..\\..\\d", "C:\\d"},
      {"\\a\\..\\b", "\\b"},               {"\\..\\b", "\\b"},
      {"C:\\a\\b\\..", "C:\\a\\b\\.."},  // no backslash after the trailing "..": it stays
      // Inside a relative path (not at its start) a ".." before another stays.
      {"a\\..\\b", "b"}, {"x\\a\\..\\..\\b", "b"}, {"x\\..\\..\\b", "..\\b"},
      {"", ""}, {"job.ps", "job.ps"}, {"C:\\hot\\in\\", "C:\\hot\\in\\"},
      {"\\\\server\\share\\a.b\\c", "\\\\server\\share\\a.b\\c"},
  };
  ExpectEach(NormalizePath, cases);
}

TEST(NormalizePath, LeadingDotIsRelativeToTheHostProgramFolder) {
  const std::string host = Backslashed(HostProgramFolder());
  ASSERT_FALSE(host.empty());
  EXPECT_EQ(NormalizePath(".\\Config\\x.fns"), host + "\\Config\\x.fns");
  EXPECT_EQ(NormalizePath("./Config/x.fns"), host + "\\Config\\x.fns");
  const std::string parent = Backslashed(ParentFolder(HostProgramFolder()));
  EXPECT_EQ(NormalizePath("..\\htdocs\\Thumbnails"), parent + "\\htdocs\\Thumbnails");
}

TEST(HostProgramFolder, IsTheExistingFolderOfThisProgram) {
  std::string host = HostProgramFolder();
  ASSERT_FALSE(host.empty());
  EXPECT_TRUE(FolderExists(host)) << host;
  EXPECT_EQ(FileNameOnly(host), "tests") << host;  // this program lives in its build's tests folder
}

TEST(PathParts, ParentFolderFileNameAndExtensionSplitAtTheLastSeparator) {
  const TextCase parents[] = {
      {"C:\\a\\b\\job.ps", "C:\\a\\b"},  {"C:\\a\\b/job.ps", "C:\\a\\b"}, {"C:/a/b\\job.ps", "C:/a/b"},
      {"C:\\a\\b\\", "C:\\a\\b"},        {"\\\\server\\share\\job.ps", "\\\\server\\share"},
      {"C:\\job.ps", "C:\\"},            {"C:\\", "C:\\"},                {"C:/job.ps", "C:\\"},  // drive roots
      {"job.ps", ""},                    {"C:job.ps", ""},                {"", ""},
      {"\\job.ps", ""},
  };
  ExpectEach(ParentFolder, parents);
  const TextCase names[] = {{"C:\\a\\b\\job.ps", "job.ps"}, {"C:\\a/b/job.ps", "job.ps"}, {"job.ps", "job.ps"},
                            {"C:\\a\\", ""},                 {"", ""}};
  ExpectEach(FileNameOnly, names);
  // The extension runs from the last dot unless a separator follows it.
  const TextCase extensions[] = {{"C:\\a\\job.ps", ".ps"}, {"C:\\a\\job.tar.gz", ".gz"}, {"job.", "."},
                                 {".hidden", ".hidden"},   {"job.JSON", ".JSON"},        {"C:\\hot.in\\job", ""},
                                 {"C:/hot.in/job", ""},    {"C:\\hot.in\\", ""},         {"job", ""},
                                 {"", ""}};
  ExpectEach(GetExtension, extensions);
  const TextCase removed[] = {{"C:\\a\\job.ps", "C:\\a\\job"},        {"C:\\a\\job.tar.gz", "C:\\a\\job.tar"},
                              {"C:\\hot.in\\job", "C:\\hot.in\\job"}, {".hidden", ""},
                              {"", ""}};
  ExpectEach(RemoveExtension, removed);
}

TEST(AddTrailingBackslash, AppendsOnlyWhenMissingAndItFitsBelow259Characters) {
  char buffer[kMaxPathBytes] = "C:\\hot";
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\hot\\");
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\hot\\");

  std::memset(buffer, 'a', 258);
  buffer[258] = '\0';
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_EQ(std::strlen(buffer), 259u);
  EXPECT_EQ(buffer[258], '\\');
  buffer[258] = 'a';
  AddTrailingBackslash(buffer, sizeof buffer);  // 259 characters: unchanged
  EXPECT_EQ(buffer[258], 'a');
  EXPECT_EQ(std::strlen(buffer), 259u);

  char full[8] = "abcdefg";
  AddTrailingBackslash(full, sizeof full);
  EXPECT_STREQ(full, "abcdefg");
  char room[8] = "abcdef";
  AddTrailingBackslash(room, sizeof room);
  EXPECT_STREQ(room, "abcdef\\");
  // An empty folder must not become "\", the root of the current drive.
  char empty[16] = "";
  AddTrailingBackslash(empty, sizeof empty);
  EXPECT_STREQ(empty, "");
}

TEST(RemoveTrailingBackslash, RemovesOneAndSaysSo) {
  char buffer[16] = "C:\\hot\\\\";
  EXPECT_EQ(RemoveTrailingBackslash(buffer), 1);
  EXPECT_STREQ(buffer, "C:\\hot\\");
  EXPECT_EQ(RemoveTrailingBackslash(buffer), 1);
  EXPECT_STREQ(buffer, "C:\\hot");
  EXPECT_EQ(RemoveTrailingBackslash(buffer), 0);
  EXPECT_STREQ(buffer, "C:\\hot");
  char empty[4] = "";
  EXPECT_EQ(RemoveTrailingBackslash(empty), 0);
  EXPECT_EQ(RemoveTrailingBackslash(nullptr), 0);
}

TEST(FormatInto, FormatsWhenItFitsAndOtherwiseCutsToSizeMinusOne) {
  char buffer[32];
  FormatInto(buffer, sizeof buffer, "%s%s.trimmed", "C:\\hot\\", "a.eps");
  EXPECT_STREQ(buffer, "C:\\hot\\a.eps.trimmed");
  FormatInto(buffer, sizeof buffer, "%d-%llx", 42, static_cast<unsigned long long>(0x1234abcdef));
  EXPECT_STREQ(buffer, "42-1234abcdef");

  char eight[8];
  for (const char* text : {"0123456789", "01234567", "0123456"}) {  // long, one too long, exactly fits
    std::memset(eight, '#', sizeof eight);
    FormatInto(eight, sizeof eight, "%s", text);
    EXPECT_STREQ(eight, "0123456") << text;
  }
  char path[kMaxPathBytes];
  FormatInto(path, sizeof path, "C:\\hot\\%s", std::string(400, 'n').c_str());
  EXPECT_EQ(std::strlen(path), kMaxPathBytes - 1);
}

TEST(FormatInto, TinyOrZeroSizeWritesNothingPastIt) {
  char buffer[4] = "abc";
  FormatInto(buffer, 1, "%s", "xyz");
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'b');
  char untouched[4] = "abc";
  FormatInto(untouched, 0, "%s", "xyz");
  EXPECT_STREQ(untouched, "abc");
  FormatInto(nullptr, 10, "%s", "xyz");  // no buffer: nothing happens
}

}  // namespace

}  // namespace hf
