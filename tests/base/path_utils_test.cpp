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
  const char *input, *expected;
};

// Runs `function` over each row; a failure names the row's input.
template <typename Function, size_t N>
void ExpectEach(Function function, const TextCase (&cases)[N]) {
  for (const TextCase& c : cases) EXPECT_EQ(function(c.input), c.expected) << "<" << c.input << ">";
}

TEST(JoinPath, JoinsWithOneBackslashResolvingDotsButNeverAboveTheRoot) {
  const struct {
    const char *first, *second, *expected;
  } cases[] = {// Trailing backslashes on the folder make no difference.
               {"C:\\hot\\in\\\\\\", "job.ps", "C:\\hot\\in\\job.ps"},
               {"C:\\hot\\in", "job.ps", "C:\\hot\\in\\job.ps"},
               {"C:", "job.ps", "C:\\job.ps"},
               // An absolute second part is taken as it stands; "D:" alone is a name.
               {"C:\\hot", "d:/other/job.ps", "d:\\other\\job.ps"},
               {"C:\\hot", "D:", "C:\\hot\\D:"},
               {"C:\\hot\\in\\", "..\\..\\job.ps", "C:\\job.ps"},
               {"C:\\hot\\in", ".\\job.ps", "C:\\hot\\in\\job.ps"},
               {"C:\\a", "..\\..\\..\\job.ps", "C:\\job.ps"},
               {"\\\\server\\share\\in", "..\\..\\job.ps", "\\\\server\\share\\job.ps"},
               // An empty part gives the other unchanged, slashes and all.
               {"", "a/b.ps", "a/b.ps"},
               {"C:/hot/", "", "C:/hot/"},
               {"//server/share", "sub/job.ps", "\\\\server\\share\\sub\\job.ps"},
               // Dots inside names are not segments.
               {"C:\\a.b\\..c", "d..\\.e", "C:\\a.b\\..c\\d..\\.e"},
               {"C:\\hot", "...\\x", "C:\\hot\\...\\x"}};
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.first, c.second), c.expected) << c.first << " + " << c.second;
}

TEST(NormalizePath, RemovesDotSegmentsAndResolvesDotDotWithTheNameBeforeIt) {
  const TextCase cases[] = {{"C:/a/./././b", "C:\\a\\b"},
                            {"C:\\a\\b\\c\\..\\..\\d", "C:\\a\\d"},
                            {"C:\\a\\b\\..\\..\\..\\d", "C:\\d"},
                            {"\\a\\..\\b", "\\b"},
                            {"\\..\\b", "\\b"},
                            {"C:\\a\\b\\..", "C:\\a\\b\\.."},  // no backslash after the trailing "..": it stays
                            // Inside a relative path (not at its start) a ".." before another stays.
                            {"x\\a\\..\\..\\b", "b"},
                            {"x\\..\\..\\b", "..\\b"},
                            {"", ""},
                            {"C:\\hot\\in\\", "C:\\hot\\in\\"}};
  ExpectEach(NormalizePath, cases);
}

TEST(NormalizePath, LeadingDotIsRelativeToTheHostProgramFolder) {
  std::string host = HostProgramFolder();
  EXPECT_TRUE(FolderExists(host)) << host;
  EXPECT_EQ(FileNameOnly(host), "tests") << host;  // this program lives in its build's tests folder
  std::replace(host.begin(), host.end(), '/', '\\');
  EXPECT_EQ(NormalizePath("./Config/x.fns"), host + "\\Config\\x.fns");
  EXPECT_EQ(NormalizePath("..\\htdocs\\Thumbnails"), ParentFolder(host) + "\\htdocs\\Thumbnails");
}

TEST(PathParts, ParentFolderFileNameAndExtensionSplitAtTheLastSeparator) {
  const TextCase parents[] = {{"C:\\a\\b/job.ps", "C:\\a\\b"},
                              {"C:/a/b\\job.ps", "C:/a/b"},
                              {"C:\\a\\b\\", "C:\\a\\b"},
                              {"C:\\", "C:\\"},
                              {"C:/job.ps", "C:\\"},  // drive roots
                              {"C:job.ps", ""},
                              {"", ""},
                              {"\\job.ps", ""}};
  ExpectEach(ParentFolder, parents);
  const TextCase names[] = {{"C:\\a/b/job.ps", "job.ps"}, {"job.ps", "job.ps"}, {"C:\\a\\", ""}};
  ExpectEach(FileNameOnly, names);
  // The extension runs from the last dot unless a separator follows it.
  const TextCase extensions[] = {{"C:\\a\\job.tar.gz", ".gz"}, {"job.", "."},        {".hidden", ".hidden"},
                                 {"C:/hot.in/job", ""},        {"C:\\hot.in\\", ""}, {"job", ""}};
  ExpectEach(GetExtension, extensions);
  const TextCase removed[] = {{"C:\\a\\job.tar.gz", "C:\\a\\job.tar"}, {"C:\\hot.in\\job", "C:\\hot.in\\job"}};
  ExpectEach(RemoveExtension, removed);
}

TEST(TrailingBackslash, AddedOnlyWhenMissingAndItFitsBelow259CharactersRemovedOneAtATime) {
  // The text, the buffer size and the text afterwards; an empty folder must not become "\", the root of the
  // current drive.
  const struct {
    std::string text;
    size_t size;
    std::string expected;
  } cases[] = {{"C:\\hot", kMaxPathBytes, "C:\\hot\\"},
               {"C:\\hot\\", kMaxPathBytes, "C:\\hot\\"},
               {std::string(258, 'a'), kMaxPathBytes, std::string(258, 'a') + "\\"},
               {std::string(259, 'a'), kMaxPathBytes, std::string(259, 'a')},
               {"abcdefg", 8, "abcdefg"},
               {"abcdef", 8, "abcdef\\"},
               {"", 8, ""}};
  for (const auto& c : cases) {
    char buffer[kMaxPathBytes] = {};
    std::memcpy(buffer, c.text.c_str(), c.text.size() + 1);
    AddTrailingBackslash(buffer, c.size);
    EXPECT_EQ(buffer, c.expected) << c.text.size();
  }
  char twice[16] = "C:\\hot\\\\", empty[4] = "";
  EXPECT_EQ(RemoveTrailingBackslash(twice) + RemoveTrailingBackslash(twice) + RemoveTrailingBackslash(twice), 2);
  EXPECT_STREQ(twice, "C:\\hot");
  EXPECT_EQ(RemoveTrailingBackslash(empty) + RemoveTrailingBackslash(nullptr), 0);
}

TEST(FormatInto, FormatsWhenItFitsOtherwiseCutsToSizeMinusOneAndWritesNothingPastTheBuffer) {
  char buffer[32];
  FormatInto(buffer, sizeof buffer, "%s%d-%llx", "C:\\hot\\", 42, static_cast<unsigned long long>(0x1234abcdef));
  EXPECT_STREQ(buffer, "C:\\hot\\42-1234abcdef");
  for (const char* text : {"0123456789", "01234567", "0123456"}) {  // long, one too long, exactly fits
    char eight[10] = "#########";                                   // eight bytes for the text and one that must stay
    FormatInto(eight, 8, "%s", text);
    EXPECT_EQ(std::string(eight, 9), std::string("0123456\0#", 9)) << text;
  }
  char small[4] = "abc";
  FormatInto(small, 0, "%s", "xyz");
  EXPECT_STREQ(small, "abc");
  FormatInto(small, 1, "%s", "xyz");
  EXPECT_EQ(std::string(small, 3), std::string("\0bc", 3));
  FormatInto(nullptr, 10, "%s", "xyz");  // no buffer: nothing happens
}

}  // namespace

}  // namespace hf
