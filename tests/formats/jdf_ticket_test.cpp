// JDF tickets: the run-list walk into ordered sub-jobs, ticket text decoding, FileSpec URLs.
#include "formats/jdf_ticket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

namespace {

// A ticket as prepress programs write them: declaration, default namespace, comments, a resource
// pool, a parent RunList with partitions, single quotes, page ranges and a nested JDF node.
const char kRealTicket[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- written by a layout program -->
<JDF xmlns="http://www.CIP4.org/JDFSchema_1_1" ID='n0001' Type="Product" DescriptiveName="Brochure A4" Version="1.3">
  <ResourcePool>
    <RunList ID="RL1" Class="Parameter" Status="Available">
      <!-- one partition per document -->
      <RunList Run="2" Pages="0~-1" DocCopies="25">
        <LayoutElement><FileSpec MimeType="application/pdf" URL="file:///C:/jobs/cover%20sheet.pdf"/></LayoutElement>
      </RunList>
      <RunList Run='1' Pages='0 ~ 3' DocCopies='100'>
        <LayoutElement>
          <FileSpec URL='file://printsrv/jobs/inside.pdf'/>
        </LayoutElement>
      </RunList>
    </RunList>
  </ResourcePool>
  <ResourceLinkPool><RunListLink rRef="RL1" Usage="Input"/></ResourceLinkPool>
  <JDF ID="n0002" Type="Imposition" DescriptiveName="Imposing"/>
</JDF>
)";

struct Expected {
  int32_t run;
  std::string file, pages, copies;
};

std::vector<Expected> SubJobsOf(const JdfTicket& ticket) {
  std::vector<Expected> out;
  for (const auto& [run, subJob] : ticket.subJobs)
    out.push_back({run, subJob.file, subJob.pageRange, subJob.copyCount});
  return out;
}

bool operator==(const Expected& a, const Expected& b) {
  return a.run == b.run && a.file == b.file && a.pages == b.pages && a.copies == b.copies;
}
void PrintTo(const Expected& e, std::ostream* os) {
  *os << "{" << e.run << ", '" << e.file << "', '" << e.pages << "', '" << e.copies << "'}";
}

std::string Utf16(const std::string& ascii, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char c : ascii) bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
  return bytes;
}

TEST(JdfTicket, RunListsBecomeSubJobsInRunOrder) {
  const struct {
    const char* what;
    std::string text;
    std::vector<Expected> subJobs;
    std::string custom1, custom2;
  } cases[] = {
      {"real ticket; the nested JDF wins the custom values",
       kRealTicket,
       {{1, "\\\\printsrv\\jobs\\inside.pdf", "0 ~ 3", "100"}, {2, "C:\\jobs\\cover sheet.pdf", "0~-1", "25"}},
       "Imposing",
       "n0002"},
      {"runs 2 then 1 give 1 first",
       R"(<JDF><RunList Run="2" DocCopies="1"/><FileSpec URL="b.pdf"/>)"
       R"(<RunList Run="1" DocCopies="3"/><FileSpec URL="a.pdf"/></JDF>)",
       {{1, "a.pdf", "", "3"}, {2, "b.pdf", "", "1"}},
       "",
       ""},
      {"no Run is 0, Run 'x7' is 0 and replaces it, '12abc' is 12",
       R"(<JDF><RunList DocCopies="1"/><RunList Run="x7" DocCopies="2"><FileSpec URL="x.pdf"/></RunList>)"
       R"(<RunList Run=" 12abc" DocCopies="4"/></JDF>)",
       {{0, "x.pdf", "", "2"}, {12, "", "", "4"}},
       "",
       ""},
      {"a FileSpec after a RunList without DocCopies fills the previous sub-job",
       R"(<JDF><RunList Run="5" DocCopies="1"/><RunList Run="6" Pages="1"/><FileSpec URL="late.pdf"/></JDF>)",
       {{5, "late.pdf", "", "1"}},
       "",
       ""},
      {"a sub-job made below an element is not current after it; a FileSpec before any is dropped",
       R"(<JDF ID="j"><FileSpec URL="early.pdf"/><Pool><RunList Run="1" DocCopies="1"/></Pool>)"
       R"(<FileSpec URL="orphan.pdf"/></JDF>)",
       {{1, "", "", "1"}},
       "",
       "j"},
      {"namespace prefixes and tag case do not matter; attribute case does",
       R"(<jdf:JDF xmlns:jdf="http://www.CIP4.org/JDFSchema_1_1" DescriptiveName="P">)"
       R"(<jdf:runlist Run="3" DocCopies="2"><jdf:FILESPEC URL="p.pdf"/></jdf:runlist>)"
       R"(<RunList Run="4" doccopies="9"/></jdf:JDF>)",
       {{3, "p.pdf", "", "2"}},
       "P",
       ""},
      {"no run list with copies", R"(<JDF ID="empty"><RunList Run="1"/></JDF>)", {}, "", "empty"},
  };
  for (const auto& c : cases) {
    JdfTicket ticket;
    std::string error = "<unset>";
    ASSERT_TRUE(ReadJdfTicket(c.text, nullptr, ticket, error)) << c.what << ": " << error;
    EXPECT_EQ(SubJobsOf(ticket), c.subJobs) << c.what;
    EXPECT_EQ(ticket.custom1, c.custom1) << c.what;
    EXPECT_EQ(ticket.custom2, c.custom2) << c.what;
  }
}

TEST(JdfTicket, Utf16AndUtf8TicketsReadAlikeAndBrokenOnesFailWithTheLoaderText) {
  const std::string ticket = R"(<JDF DescriptiveName="Caf)"
                             "\xC3\xA9"
                             R"("><RunList Run="1" DocCopies="2"><FileSpec URL="file:///D:/x.pdf"/></RunList></JDF>)";
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
  for (char c : std::string(R"(<JDF DescriptiveName="Caf)")) utf16le += std::string{c, '\0'};
  utf16le += std::string("\xE9\x00", 2);
  utf16be = Utf16(R"(<JDF DescriptiveName="Caf)", false) + std::string("\x00\xE9", 2);
  const std::string tail = R"("><RunList Run="1" DocCopies="2"><FileSpec URL="file:///D:/x.pdf"/></RunList></JDF>)";
  utf16le += Utf16(tail, true).substr(2);
  utf16be += Utf16(tail, false).substr(2);
  for (const std::string& bytes : {ticket, "\xEF\xBB\xBF" + ticket, utf16le, utf16be}) {
    JdfTicket read;
    std::string error;
    ASSERT_TRUE(ReadJdfTicket(bytes, nullptr, read, error)) << error;
    EXPECT_EQ(read.custom1, "Caf\xE9");  // in the ANSI code page
    EXPECT_EQ(SubJobsOf(read), (std::vector<Expected>{{1, "D:\\x.pdf", "", "2"}}));
  }

  const struct {
    std::string bytes, error;
  } broken[] = {
      {"", "File is empty"},
      {"\xFF\xFE", "Error converting XML file"},
      {Utf16("<JDF/>", true) + "x", "Error converting XML file"},                          // odd byte count
      {Utf16("<JDF/>", true) + std::string("\x00\xDC", 2), "Error converting XML file"},   // lone low surrogate
      {Utf16("<JDF/>", false) + std::string("\xD8\x00", 2), "Error converting XML file"},  // high surrogate at the end
      {"not xml at all", "Error processing settings: Element tag not found"},
      {"<JDF><RunList></JDF>", "Error processing settings: End tag does not correspond to RunList"},
  };
  for (const auto& b : broken) {
    JdfTicket read;
    read.custom1 = "stale";
    std::string error;
    EXPECT_FALSE(ReadJdfTicket(b.bytes, nullptr, read, error)) << b.error;
    EXPECT_EQ(error, b.error);
    EXPECT_TRUE(read.custom1.empty() && read.subJobs.empty());
  }
}

TEST(JdfTicket, FileSpecUrlsBecomePaths) {
  const char* const cases[][2] = {
      {"file:///C:/dir/a%20b.pdf", "C:\\dir\\a b.pdf"},
      {"FILE:///c:/Dir/A.PDF", "c:\\Dir\\A.PDF"},
      {"file://server/share/a.pdf", "\\\\server\\share\\a.pdf"},
      {"file:////server/share/a.pdf", "\\\\server\\share\\a.pdf"},
      {"file://localhost/C:/a.pdf", "C:\\a.pdf"},
      {"file:/C:/a.pdf", "C:\\a.pdf"},
      {"file:C:/a.pdf", "C:\\a.pdf"},
      {"file:/jobs/a.pdf", "\\jobs\\a.pdf"},
      {"sub/a%2Fb.pdf", "sub\\a\\b.pdf"},
      {"a%2.pdf%zz%", "a%2.pdf%zz%"},
      {"file:///C:/M%C3%BCller.pdf", "C:\\M\xFCller.pdf"},  // escaped UTF-8 to the code page
      {"file:///C:/M%FCller.pdf", "C:\\M\xFCller.pdf"},     // already in the code page
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(JdfUrlToPath(c[0]), c[1]) << c[0];
}

TEST(JdfTicket, RelativeReferencesLieBesideTheTicket) {
  const char* const cases[][3] = {
      {"C:\\hot\\", "a.pdf", "C:\\hot\\a.pdf"},
      {"C:\\hot\\", "assets\\..\\..\\b.pdf", "C:\\b.pdf"},
      {"C:\\hot\\", "D:\\x\\a.pdf", "D:\\x\\a.pdf"},
      {"C:\\hot\\", "\\\\srv\\s\\a.pdf", "\\\\srv\\s\\a.pdf"},
      {"C:\\hot\\", "\\jobs\\a.pdf", "C:\\jobs\\a.pdf"},
      {"\\\\srv\\hot\\", "\\jobs\\a.pdf", "\\jobs\\a.pdf"},
      {"C:\\hot\\", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(JdfReferencedPath(c[0], c[1]), c[2]) << c[1];
}

}  // namespace

}  // namespace hf
