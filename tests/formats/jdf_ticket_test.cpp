// JDF tickets: the run-list walk into ordered sub-jobs, ticket text decoding, FileSpec URLs.
#include "formats/jdf_ticket.h"

#include <gtest/gtest.h>

#include <string>

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

// "run:file|pages|copies" per sub-job, in map order.
std::string SubJobsOf(const JdfTicket& ticket) {
  std::string out;
  for (const auto& [run, s] : ticket.subJobs)
    out += std::to_string(run) + ":" + s.file + "|" + s.pageRange + "|" + s.copyCount + ";";
  return out;
}

// Latin-1 text as UTF-16 with its byte-order mark.
std::string Utf16(const std::string& latin1, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char c : latin1) bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
  return bytes;
}

TEST(JdfTicket, RunListsBecomeSubJobsInRunOrder) {
  const char* const cases[][3] = {
      {"real ticket; the nested JDF wins the custom values", kRealTicket,
       "1:\\\\printsrv\\jobs\\inside.pdf|0 ~ 3|100;2:C:\\jobs\\cover sheet.pdf|0~-1|25;/Imposing/n0002"},
      {"runs 2 then 1 give 1 first",
       R"(<JDF><RunList Run="2" DocCopies="1"/><FileSpec URL="b.pdf"/><RunList Run="1" DocCopies="3"/>)"
       R"(<FileSpec URL="a.pdf"/></JDF>)",
       "1:a.pdf||3;2:b.pdf||1;//"},
      {"no Run is 0, Run 'x7' is 0 and replaces it, ' 12abc' is 12",
       R"(<JDF><RunList DocCopies="1"/><RunList Run="x7" DocCopies="2"><FileSpec URL="x.pdf"/></RunList>)"
       R"(<RunList Run=" 12abc" DocCopies="4"/></JDF>)",
       "0:x.pdf||2;12:||4;//"},
      {"a FileSpec after a RunList without DocCopies fills the previous sub-job",
       R"(<JDF><RunList Run="5" DocCopies="1"/><RunList Run="6" Pages="1"/><FileSpec URL="late.pdf"/></JDF>)",
       "5:late.pdf||1;//"},
      {"a sub-job made below an element is not current after it; a FileSpec before any is dropped",
       R"(<JDF ID="j"><FileSpec URL="a.pdf"/><Pool><RunList Run="1" DocCopies="1"/></Pool><FileSpec URL="b"/></JDF>)",
       "1:||1;//j"},
      {"namespace prefixes and tag case do not matter; attribute case does",
       R"(<jdf:JDF xmlns:jdf="x" DescriptiveName="P"><jdf:runlist Run="3" DocCopies="2"><jdf:FILESPEC URL="p.pdf"/>)"
       R"(</jdf:runlist><RunList Run="4" doccopies="9"/></jdf:JDF>)",
       "3:p.pdf||2;/P/"},
      {"no run list with copies", R"(<JDF ID="empty"><RunList Run="1"/></JDF>)", "//empty"},
  };
  for (const auto& c : cases) {
    JdfTicket ticket;
    std::string error = "<unset>";
    ASSERT_TRUE(ReadJdfTicket(c[1], nullptr, ticket, error)) << c[0] << ": " << error;
    EXPECT_EQ(SubJobsOf(ticket) + "/" + ticket.custom1 + "/" + ticket.custom2, c[2]) << c[0];
  }
}

TEST(JdfTicket, Utf16AndUtf8TicketsReadAlikeAndBrokenOnesFailWithTheLoaderText) {
  const std::string body = R"("><RunList Run="1" DocCopies="2"><FileSpec URL="file:///D:/x.pdf"/></RunList></JDF>)";
  const std::string utf8 = "<JDF DescriptiveName=\"Caf\xC3\xA9" + body,
                    latin1 = "<JDF DescriptiveName=\"Caf\xE9" + body;
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, Utf16(latin1, true), Utf16(latin1, false)}) {
    JdfTicket read;
    std::string error;
    ASSERT_TRUE(ReadJdfTicket(bytes, nullptr, read, error)) << error;
    EXPECT_EQ(SubJobsOf(read) + read.custom1, "1:D:\\x.pdf||2;Caf\xE9");  // in the ANSI code page
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
      {"C:/secret.pdf%00/../ok/a.pdf", "C:\\secret.pdf%00\\..\\ok\\a.pdf"},  // no NUL cuts the path short
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
