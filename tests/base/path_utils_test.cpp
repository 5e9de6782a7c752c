// Path text operations (joins, normalisation, parts of a path, fixed buffers)
// and the plain file name rule for names handed back by scripts.
#include "base/path_utils.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/plain_file_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

namespace hf {

TEST(JoinPath, JoinsWithOneBackslashResolvingDotsButNeverAboveTheRoot) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"C:\\hot\\in\\\\\\", "job.ps", "C:\\hot\\in\\job.ps"},  // trailing backslashes make no difference
      {"C:", "job.ps", "C:\\job.ps"},
      // An absolute second part is taken as it stands; "D:" alone is a name.
      {"C:\\hot", "d:/other/job.ps", "d:\\other\\job.ps"},
      {"C:\\hot", "D:", "C:\\hot\\D:"},
      {"C:\\a", "..\\..\\..\\job.ps", "C:\\job.ps"},
      {"\\\\server\\share\\in", "..\\..\\job.ps", "\\\\server\\share\\job.ps"},
      // An empty part gives the other unchanged, slashes and all.
      {"", "a/b.ps", "a/b.ps"},
      {"C:/hot/", "", "C:/hot/"},
      {"C:\\a.b\\..c", "d..\\.e", "C:\\a.b\\..c\\d..\\.e"}};  // dots inside names are not segments
  for (const auto& [first, second, expected] : cases)
    EXPECT_EQ(JoinPath(first, second), expected) << first << " + " << second;
}

// Each text operation on its input; a failure names the input.
TEST(PathText, NormalisedPathsAndTheirParts) {
  const std::tuple<std::string (*)(const std::string&), const char*, const char*> cases[] = {
      {NormalizePath, "C:/a/./././b", "C:\\a\\b"},
      {NormalizePath, "C:\\a\\b\\..\\..\\..\\d", "C:\\d"},
      {NormalizePath, "\\..\\b", "\\b"},
      {NormalizePath, "C:\\a\\b\\..", "C:\\a\\b\\.."},  // no backslash after the trailing "..": it stays
      // Inside a relative path (not at its start) a ".." before another stays.
      {NormalizePath, "x\\a\\..\\..\\b", "b"},
      {NormalizePath, "x\\..\\..\\b", "..\\b"},
      {ParentFolder, "C:\\a\\b/job.ps", "C:\\a\\b"},
      {ParentFolder, "C:/job.ps", "C:\\"},  // a drive root
      {ParentFolder, "C:job.ps", ""},
      {FileNameOnly, "C:\\a/b/job.ps", "job.ps"},
      {FileNameOnly, "job.ps", "job.ps"},
      // The extension runs from the last dot unless a separator follows it.
      {GetExtension, "C:\\a\\job.tar.gz", ".gz"},
      {GetExtension, "C:/hot.in/job", ""},
      {GetExtension, "job", ""},
      {RemoveExtension, "C:\\a\\job.tar.gz", "C:\\a\\job.tar"}};
  for (const auto& [function, input, expected] : cases) EXPECT_EQ(function(input), expected) << "<" << input << ">";
}

TEST(NormalizePath, LeadingDotIsRelativeToTheHostProgramFolder) {
  std::string host = HostProgramFolder();
  EXPECT_TRUE(FolderExists(host)) << host;
  EXPECT_EQ(FileNameOnly(host), "tests") << host;  // this program lives in its build's tests folder
  std::replace(host.begin(), host.end(), '/', '\\');
  EXPECT_EQ(NormalizePath("./Config/x.fns"), host + "\\Config\\x.fns");
  EXPECT_EQ(NormalizePath("..\\htdocs\\Thumbnails"), ParentFolder(host) + "\\htdocs\\Thumbnails");
}

TEST(TrailingBackslash, AddedOnlyWhenMissingAndItFitsBelow259CharactersRemovedOneAtATime) {
  // The text, the buffer size and the text afterwards; an empty folder must not become "\", the root of the
  // current drive.
  const std::tuple<std::string, size_t, std::string> cases[] = {
      {"C:\\hot\\", kMaxPathBytes, "C:\\hot\\"},
      {std::string(258, 'a'), kMaxPathBytes, std::string(258, 'a') + "\\"},
      {std::string(259, 'a'), kMaxPathBytes, std::string(259, 'a')},
      {"abcdefg", 8, "abcdefg"},
      {"abcdef", 8, "abcdef\\"},
      {"", 8, ""}};
  for (const auto& [text, size, expected] : cases) {
    char buffer[kMaxPathBytes] = {};
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    AddTrailingBackslash(buffer, size);
    EXPECT_EQ(buffer, expected) << text.size();
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
  for (const char* text : {"01234567", "0123456"}) {  // one too long, exactly fits
    char eight[10] = "#########";                     // eight bytes for the text and one that must stay
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

TEST(IsPlainFileName, AcceptsOrdinaryNamesAndRefusesOnesThatLeaveTheFolderOrTheFileSystemWouldChange) {
  for (const char* name : {"Job 1 & (co) ^ 100.ps", "..hidden", "\xC4pfel.tif", "a=b;c,d[1]{2}'%!.ps"})
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  EXPECT_TRUE(IsPlainFileName(std::string(255, 'n')));
  for (const char* name : {"", ".", "..", "../x.ps", "sub\\x.ps", "C:x.ps", "x.ps:stream", "a?.ps", "a*.ps", "a<b.ps",
                           "a>b.ps", "a|b.ps", "a\"b.ps", "tab\there.ps", "x.ps ", "x.ps."})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  EXPECT_FALSE(IsPlainFileName(std::string("a\0b.ps", 6)) || IsPlainFileName(std::string(256, 'n')));
  EXPECT_EQ(WithoutTrailingBlanks("  x y.ps \t "), "  x y.ps");
  EXPECT_EQ(WithoutTrailingBlanks("   "), "");
  EXPECT_EQ(WithoutTrailingBlanks("x.ps\r"), "x.ps\r");
}

}  // namespace hf
