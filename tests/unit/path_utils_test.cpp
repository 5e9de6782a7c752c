// Path text operations: joins, normalisation, parts of a path, fixed buffers.
#include "common/path_utils.h"

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(JoinPath, TrailingBackslashOnTheFolderMakesNoDifference) {
  EXPECT_EQ(JoinPath("C:\\hot\\in\\", "job.ps"), "C:\\hot\\in\\job.ps");
  EXPECT_EQ(JoinPath("C:\\hot\\in", "job.ps"), "C:\\hot\\in\\job.ps");
  EXPECT_EQ(JoinPath("C:\\hot\\in\\\\\\", "job.ps"), "C:\\hot\\in\\job.ps");
  EXPECT_EQ(JoinPath("C:\\", "job.ps"), "C:\\job.ps");
  EXPECT_EQ(JoinPath("C:", "job.ps"), "C:\\job.ps");
}

TEST(JoinPath, AbsoluteSecondPartIsTakenAsItStands) {
  EXPECT_EQ(JoinPath("C:\\hot", "D:\\other\\job.ps"), "D:\\other\\job.ps");
  EXPECT_EQ(JoinPath("C:\\hot", "d:/other/job.ps"), "d:\\other\\job.ps");
  // "D:" alone is not absolute: it is joined like any name.
  EXPECT_EQ(JoinPath("C:\\hot", "D:"), "C:\\hot\\D:");
}

TEST(JoinPath, DotDotDropsTheFoldersLastComponent) {
  EXPECT_EQ(JoinPath("C:\\hot\\in", "..\\job.ps"), "C:\\hot\\job.ps");
  EXPECT_EQ(JoinPath("C:\\hot\\in\\", "..\\..\\job.ps"), "C:\\job.ps");
  EXPECT_EQ(JoinPath("C:\\hot\\in", ".\\job.ps"), "C:\\hot\\in\\job.ps");
}

TEST(JoinPath, DotDotNeverClimbsAboveTheRoot) {
  EXPECT_EQ(JoinPath("C:\\", "..\\job.ps"), "C:\\job.ps");
  EXPECT_EQ(JoinPath("C:\\a", "..\\..\\..\\job.ps"), "C:\\job.ps");
  EXPECT_EQ(JoinPath("\\\\server\\share", "..\\job.ps"), "\\\\server\\share\\job.ps");
  EXPECT_EQ(JoinPath("\\\\server\\share\\in", "..\\..\\job.ps"), "\\\\server\\share\\job.ps");
}

TEST(JoinPath, EmptyPartGivesTheOtherUnchanged) {
  EXPECT_EQ(JoinPath("", "a/b.ps"), "a/b.ps");
  EXPECT_EQ(JoinPath("C:/hot/", ""), "C:/hot/");
  EXPECT_EQ(JoinPath("", ""), "");
}

TEST(JoinPath, SlashesBecomeBackslashesAndNetworkPathsKeepTheirLeadingPair) {
  EXPECT_EQ(JoinPath("C:/hot/in/", "sub/job.ps"), "C:\\hot\\in\\sub\\job.ps");
  EXPECT_EQ(JoinPath("\\\\server\\share\\in\\", "job.ps"), "\\\\server\\share\\in\\job.ps");
  EXPECT_EQ(JoinPath("//server/share", "job.ps"), "\\\\server\\share\\job.ps");
}

TEST(JoinPath, DotsInsideNamesAreNotSegments) {
  EXPECT_EQ(JoinPath("C:\\a.b\\..c", "d..\\.e"), "C:\\a.b\\..c\\d..\\.e");
  EXPECT_EQ(JoinPath("C:\\hot", "...\\x"), "C:\\hot\\...\\x");
}

TEST(NormalizePath, RemovesDotSegmentsKeepingOneBackslash) {
  EXPECT_EQ(NormalizePath("C:\\a\\.\\b"), "C:\\a\\b");
  EXPECT_EQ(NormalizePath("C:\\a\\.\\.\\.\\b"), "C:\\a\\b");
  EXPECT_EQ(NormalizePath("C:/a/./b"), "C:\\a\\b");
}

TEST(NormalizePath, ResolvesDotDotWithTheNameBeforeIt) {
  EXPECT_EQ(NormalizePath("C:\\a\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(NormalizePath("C:\\a\\b\\c\\..\\..\\d"), "C:\\a\\d");
  EXPECT_EQ(NormalizePath("C:\\a\\b\\..\\..\\..\\d"), "C:\\d");
  EXPECT_EQ(NormalizePath("\\a\\..\\b"), "\\b");
  EXPECT_EQ(NormalizePath("\\..\\b"), "\\b");
  // A trailing ".." has no backslash after it and stays.
  EXPECT_EQ(NormalizePath("C:\\a\\b\\.."), "C:\\a\\b\\..");
}

TEST(NormalizePath, RelativeDotDotOnlyRemovesRealNames) {
  // Inside a relative path (not at its start) a ".." before another stays.
  EXPECT_EQ(NormalizePath("a\\..\\b"), "b");
  EXPECT_EQ(NormalizePath("x\\a\\..\\..\\b"), "b");
  EXPECT_EQ(NormalizePath("x\\..\\..\\b"), "..\\b");
}

TEST(NormalizePath, LeadingDotIsRelativeToTheHostProgramFolder) {
  std::string host = Backslashed(HostProgramFolder());
  ASSERT_FALSE(host.empty());
  if (host.back() == '\\') host.pop_back();
  EXPECT_EQ(NormalizePath(".\\Config\\x.fns"), host + "\\Config\\x.fns");
  EXPECT_EQ(NormalizePath("./Config/x.fns"), host + "\\Config\\x.fns");
  std::string parent = Backslashed(ParentFolder(HostProgramFolder()));
  if (parent.back() == '\\') parent.pop_back();
  EXPECT_EQ(NormalizePath("..\\htdocs\\Thumbnails"), parent + "\\htdocs\\Thumbnails");
}

TEST(NormalizePath, PathsWithoutDotSegmentsStayAsTheyAre) {
  EXPECT_EQ(NormalizePath(""), "");
  EXPECT_EQ(NormalizePath("job.ps"), "job.ps");
  EXPECT_EQ(NormalizePath("C:\\hot\\in\\"), "C:\\hot\\in\\");
  EXPECT_EQ(NormalizePath("\\\\server\\share\\a.b\\c"), "\\\\server\\share\\a.b\\c");
}

TEST(HostProgramFolder, IsTheExistingFolderOfThisProgram) {
  std::string host = HostProgramFolder();
  ASSERT_FALSE(host.empty());
  EXPECT_TRUE(FolderExists(host)) << host;
  // This test program lives in its build's tests folder.
  EXPECT_EQ(FileNameOnly(host), "tests") << host;
}

TEST(ParentFolder, PartBeforeTheLastSeparator) {
  EXPECT_EQ(ParentFolder("C:\\a\\b\\job.ps"), "C:\\a\\b");
  EXPECT_EQ(ParentFolder("C:\\a\\b/job.ps"), "C:\\a\\b");
  EXPECT_EQ(ParentFolder("C:/a/b\\job.ps"), "C:/a/b");
  EXPECT_EQ(ParentFolder("C:\\a\\b\\"), "C:\\a\\b");
  EXPECT_EQ(ParentFolder("\\\\server\\share\\job.ps"), "\\\\server\\share");
}

TEST(ParentFolder, DriveRootKeepsItsBackslash) {
  EXPECT_EQ(ParentFolder("C:\\job.ps"), "C:\\");
  EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
  EXPECT_EQ(ParentFolder("C:/job.ps"), "C:\\");
}

TEST(ParentFolder, EmptyWithoutSeparator) {
  EXPECT_EQ(ParentFolder("job.ps"), "");
  EXPECT_EQ(ParentFolder("C:job.ps"), "");
  EXPECT_EQ(ParentFolder(""), "");
  EXPECT_EQ(ParentFolder("\\job.ps"), "");
}

TEST(FileNameOnly, PartAfterTheLastSeparator) {
  EXPECT_EQ(FileNameOnly("C:\\a\\b\\job.ps"), "job.ps");
  EXPECT_EQ(FileNameOnly("C:\\a/b/job.ps"), "job.ps");
  EXPECT_EQ(FileNameOnly("job.ps"), "job.ps");
  EXPECT_EQ(FileNameOnly("C:\\a\\"), "");
  EXPECT_EQ(FileNameOnly(""), "");
}

TEST(GetExtension, FromTheLastDotWhenNoSeparatorFollows) {
  EXPECT_EQ(GetExtension("C:\\a\\job.ps"), ".ps");
  EXPECT_EQ(GetExtension("C:\\a\\job.tar.gz"), ".gz");
  EXPECT_EQ(GetExtension("job."), ".");
  EXPECT_EQ(GetExtension(".hidden"), ".hidden");
  EXPECT_EQ(GetExtension("job.JSON"), ".JSON");
}

TEST(GetExtension, DotOnlyInAFolderNameGivesNothing) {
  EXPECT_EQ(GetExtension("C:\\hot.in\\job"), "");
  EXPECT_EQ(GetExtension("C:/hot.in/job"), "");
  EXPECT_EQ(GetExtension("C:\\hot.in\\"), "");
  EXPECT_EQ(GetExtension("job"), "");
  EXPECT_EQ(GetExtension(""), "");
}

TEST(RemoveExtension, DropsExactlyTheExtension) {
  EXPECT_EQ(RemoveExtension("C:\\a\\job.ps"), "C:\\a\\job");
  EXPECT_EQ(RemoveExtension("C:\\a\\job.tar.gz"), "C:\\a\\job.tar");
  EXPECT_EQ(RemoveExtension("C:\\hot.in\\job"), "C:\\hot.in\\job");
  EXPECT_EQ(RemoveExtension(".hidden"), "");
  EXPECT_EQ(RemoveExtension(""), "");
}

TEST(AddTrailingBackslash, AppendsOnlyWhenMissing) {
  char buffer[kMaxPathBytes] = "C:\\hot";
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\hot\\");
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\hot\\");
}

TEST(AddTrailingBackslash, LeavesTextsOf259CharactersAlone) {
  char buffer[kMaxPathBytes];
  std::memset(buffer, 'a', 258);
  buffer[258] = '\0';
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_EQ(std::strlen(buffer), 259u);
  EXPECT_EQ(buffer[258], '\\');
  AddTrailingBackslash(buffer, sizeof buffer);  // 259 characters now: unchanged
  EXPECT_EQ(std::strlen(buffer), 259u);
}

TEST(AddTrailingBackslash, NeverWritesPastASmallBuffer) {
  char buffer[8] = "abcdefg";
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "abcdefg");
  char room[8] = "abcdef";
  AddTrailingBackslash(room, sizeof room);
  EXPECT_STREQ(room, "abcdef\\");
}

TEST(AddTrailingBackslash, EmptyTextStaysEmpty) {
  // An empty folder must not become "\", the root of the current drive.
  char buffer[16] = "";
  AddTrailingBackslash(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "");
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

TEST(FormatInto, FormatsWhenItFits) {
  char buffer[32];
  FormatInto(buffer, sizeof buffer, "%s%s.trimmed", "C:\\hot\\", "a.eps");
  EXPECT_STREQ(buffer, "C:\\hot\\a.eps.trimmed");
  FormatInto(buffer, sizeof buffer, "%d-%llx", 42, static_cast<unsigned long long>(0x1234abcdef));
  EXPECT_STREQ(buffer, "42-1234abcdef");
}

TEST(FormatInto, CutsToSizeMinusOneAndTerminates) {
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  FormatInto(buffer, sizeof buffer, "%s", "0123456789");
  EXPECT_STREQ(buffer, "0123456");
  FormatInto(buffer, sizeof buffer, "%s", "01234567");  // exactly one too long
  EXPECT_STREQ(buffer, "0123456");
  FormatInto(buffer, sizeof buffer, "%s", "0123456");  // exactly fits
  EXPECT_STREQ(buffer, "0123456");
}

TEST(FormatInto, TinyZeroAndPathSizes) {
  char buffer[4] = "abc";
  FormatInto(buffer, 1, "%s", "xyz");
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'b');  // nothing past the size is written
  char untouched[4] = "abc";
  FormatInto(untouched, 0, "%s", "xyz");
  EXPECT_STREQ(untouched, "abc");
  FormatInto(nullptr, 10, "%s", "xyz");  // no buffer: nothing happens
  char path[kMaxPathBytes];
  FormatInto(path, sizeof path, "C:\\hot\\%s", std::string(400, 'n').c_str());
  EXPECT_EQ(std::strlen(path), kMaxPathBytes - 1);
}

}  // namespace
