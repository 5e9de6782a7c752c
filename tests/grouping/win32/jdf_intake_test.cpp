// The JDF intake on real folders: the job folder, copies, the ticket move and the group file, and what
// each failure leaves behind (nothing but the ticket where it was).
#include "grouping/win32/jdf_intake.h"

#include "base/ascii.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace hf {

namespace {

std::string Slashed(const std::string& path) { return std::regex_replace(path, std::regex("\\\\"), "/"); }

// A run list with copies and its file.
std::string RunListOf(const std::string& run, const std::string& url, const std::string& pages = "0~-1") {
  return "<RunList Run=\"" + run + "\" Pages=\"" + pages + "\" DocCopies=\"" + run +
         "\"><LayoutElement><FileSpec URL=\"" + url + "\"/></LayoutElement></RunList>";
}
std::string Ticket(const std::string& runLists) {
  return "<?xml version=\"1.0\"?>\n<JDF xmlns=\"http://www.CIP4.org/JDFSchema_1_1\" ID=\"n1\" DescriptiveName=\"Brochure\">"
         "<ResourcePool><RunList ID=\"RL\">" +
         runLists + "</RunList></ResourcePool></JDF>\n";
}

// A file opened without sharing (locked) for as long as it lives.
ScopedHandle Lock(const std::string& path, DWORD share) {
  return ScopedHandle(
      ::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class JdfIntakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    ASSERT_TRUE(Put(source + "a.pdf", "%PDF a") && Put(source + "b.pdf", "%PDF b") &&
                Put(other + "a.pdf", "%PDF other a"));
  }
  int Take(const std::string& ticket, std::optional<std::string> allowed = std::string(),
           const JdfJobPreview& preview = JdfJobPreview()) {
    EXPECT_TRUE(Put(hot + "t.jdf", ticket));
    failure = "<unset>";
    return TakeJdfTicket(JdfIntakeRequest{hot, "t.jdf", "1f2e", std::move(allowed)}, preview, failure);
  }
  std::string Url(const std::string& path) { return "file:///" + Slashed(path); }

  TempFolder temp{"jdf"};
  const std::string hot = temp.MakeSubfolder("hot");
  const std::string source = temp.MakeSubfolder("src");
  const std::string other = temp.MakeSubfolder("src\\other dir");
  std::string failure;
  LogCapture log;
};

TEST_F(JdfIntakeTest, ATicketBecomesAJobFolderWithItsFilesAndAGroupFile) {
  std::string previewed;
  const JdfJobPreview preview = [&](const std::string& folder, const JdfSubJobMap& subJobs) {
    previewed += folder + "|" + subJobs.at(4).file;
  };
  // Run 3 names a.pdf again (one copy); run 4 another a.pdf (a renamed copy); run 5 the ticket itself;
  // run 6 a relative path to b.pdf.
  ASSERT_EQ(Take(Ticket(RunListOf("2", Url(source + "b.pdf"), "0 ~ 3") + RunListOf("1", Url(source) + "a.pdf") +
                        RunListOf("3", Url(source) + "x/../a.pdf") +
                        RunListOf("4", std::regex_replace(Url(other), std::regex(" "), "%20") + "a.pdf") +
                        RunListOf("5", "t.jdf") + RunListOf("6", "../src/b.pdf")),
                 std::string(), preview),
            1)
      << failure;
  const std::string job = hot + "t";
  EXPECT_EQ(failure + previewed, job + "|" + job + "\\4_a.pdf");
  EXPECT_EQ(FileNamesIn(hot), std::vector<std::string>{"t.fgl"});
  EXPECT_EQ(FileNamesIn(job), (std::vector<std::string>{"4_a.pdf", "a.pdf", "b.pdf", "t.jdf"}));
  EXPECT_EQ(Contents(job + "\\4_a.pdf") + Contents(source + "a.pdf"), "%PDF other a%PDF a");  // copied, not moved

  std::string group = Contents(hot + "t.fgl");
  std::smatch id;
  ASSERT_TRUE(std::regex_search(group, id, std::regex("JDFJobID=([0-9]{1,10})\r\n"))) << group;
  EXPECT_LT(std::stoll(id[1]), 2147483648ll);
  std::string expected = "[FileGroupInfo]\r\nFolderPath=" + job + "\r\nJDFJobID=" + id[1].str() +
                         "\r\nJDFCustom1=Brochure\r\nJDFCustom2=n1\r\nJDFFile=t.jdf\r\nExtension=.pdf\r\n"
                         "ResourceID=1f2e\r\n\r\n[FileInfo]\r\n1_a.pdf=\r\n2_b.pdf=\r\n3_a.pdf=\r\n4_a.pdf=\r\n"
                         "5_t.jdf=\r\n6_b.pdf=\r\n";
  for (const char* const s : {"1_a.pdf|0~-1|1|a.pdf", "2_b.pdf|0 ~ 3|2|b.pdf", "3_a.pdf|0~-1|3|a.pdf",
                              "4_a.pdf|0~-1|4|4_a.pdf", "5_t.jdf|0~-1|5|t.jdf", "6_b.pdf|0~-1|6|b.pdf"})
    expected += std::regex_replace(s, std::regex("(.*)\\|(.*)\\|(.*)\\|(.*)"),
                                   "\r\n[$1_Settings]\r\nJDFPageRange=$2\r\nCopyCount=$3\r\nRealFileName=$4\r\n");
  EXPECT_EQ(group, expected);

  for (const std::string& text :
       {"File folder path: '" + job + "'.", std::string("Storing sub-job information: F='4_a.pdf', PR='0~-1', CC='4'."),
        "Storing file information: JID='" + id[1].str() + "', CUSTOM1='Brochure', CUSTOM2='n1', RESID='1f2e'."})
    EXPECT_TRUE(log.Has(2, text)) << text;
  EXPECT_TRUE(HasLineStartingWith(log, 2, "Time to generate previews = "));
  EXPECT_TRUE(log.Has(1, "JDF-referenced file '" + other +
                             "a.pdf' has the name of another file of the job: " + "copied as '4_a.pdf'."));
}

// A name already taken (a folder of that name, or an earlier job's group file) never mixes two jobs; a
// ticket without copies gives a group file without files.
TEST_F(JdfIntakeTest, ATakenJobFolderNameGivesTheNextFreeOne) {
  temp.MakeSubfolder("hot\\t");
  ASSERT_TRUE(Put(hot + "t\\mine.txt", "someone else's") && Put(hot + "t_1.fgl", "[FileGroupInfo]\r\n"));
  ASSERT_EQ(Take("<JDF ID='x'><RunList Run='1' Pages='0'/></JDF>"), 1) << failure;
  EXPECT_EQ(FileNamesIn(hot + "t"), std::vector<std::string>{"mine.txt"});
  EXPECT_EQ(FileNamesIn(hot + "t_2"), std::vector<std::string>{"t.jdf"});
  const std::string group = Contents(hot + "t_2.fgl");
  EXPECT_NE(group.find("FolderPath=" + hot + "t_2\r\n"), std::string::npos) << group;
  EXPECT_EQ(group.find("[FileInfo]"), std::string::npos) << group;
  EXPECT_EQ(Contents(hot + "t_1.fgl"), "[FileGroupInfo]\r\n");
  EXPECT_TRUE(log.Has(1, "JDF job folder '" + hot + "t' is taken: the job goes into '" + hot + "t_2'."));
}

TEST_F(JdfIntakeTest, AFailureLeavesTheTicketInPlaceAndNoJobFolder) {
  temp.MakeSubfolder("src\\folder.pdf");
  ScopedHandle locked;
  const struct {
    const char* what;
    std::string ticket;
    std::function<void()> before;
    std::optional<std::string> allowed;
    std::string failure, line;
  } cases[] = {
      {"not XML", "just text", nullptr, "", "Not a valid JDF file.", "File 't.jdf' is not a valid JDF file."},
      {"empty", "", nullptr, "", "Not a valid JDF file.", "File 't.jdf' is not a valid JDF file."},
      {"second copy fails", Ticket(RunListOf("1", Url(source + "a.pdf")) + RunListOf("2", Url(source + "gone.pdf"))),
       nullptr, "", "Failed to copy JDF-referenced file 'gone.pdf' into job folder.",
       "Failed to copy file, at path '" + source + "gone.pdf' into FGL folder. Error: 2"},
      {"a folder", Ticket(RunListOf("1", Url(source + "a.pdf")) + RunListOf("2", Url(source + "folder.pdf"))), nullptr,
       "", "Failed to copy JDF-referenced file 'folder.pdf' into job folder.",
       "Failed to copy file, at path '" + source + "folder.pdf' into FGL folder. Error: 5"},
      {"a locked file", Ticket(RunListOf("1", Url(source + "a.pdf")) + RunListOf("2", Url(source + "b.pdf"))),
       [&] { locked = Lock(source + "b.pdf", 0); }, "", "Failed to copy JDF-referenced file 'b.pdf' into job folder.",
       "Failed to copy file, at path '" + source + "b.pdf' into FGL folder. Error: 32"},
      {"outside AllowedJobFolders, '..' resolved first",
       Ticket(RunListOf("1", Url(other + "a.pdf")) + RunListOf("2", Url(other + "../b.pdf"))), nullptr,
       other + ";" + hot, "Failed to copy JDF-referenced file 'b.pdf' into job folder.",
       "JDF file 't.jdf' references '" + other + "..\\b.pdf', which is outside the AllowedJobFolders."},
      {"AllowedJobFolders unreadable", Ticket(RunListOf("1", Url(source + "a.pdf"))), nullptr, std::nullopt,
       "Failed to copy JDF-referenced file 'a.pdf' into job folder.",
       "JDF file 't.jdf' references '" + source + "a.pdf', which is outside the AllowedJobFolders."},
      {"the ticket cannot move", Ticket(RunListOf("1", Url(source + "a.pdf"))),
       [&] { locked = Lock(hot + "t.jdf", FILE_SHARE_READ | FILE_SHARE_WRITE); }, "",
       "Failed to copy JDF file 't.jdf' into job folder.", "Failed to move JDF file into FGL folder. Error: 32"},
  };
  for (const auto& c : cases) {
    log.lines.clear();
    ASSERT_TRUE(Put(hot + "t.jdf", c.ticket));
    if (c.before) c.before();
    failure = "<unset>";
    EXPECT_EQ(TakeJdfTicket(JdfIntakeRequest{hot, "t.jdf", "1f2e", c.allowed}, JdfJobPreview(), failure), 0) << c.what;
    locked.reset();
    EXPECT_EQ(failure, c.failure) << c.what;
    EXPECT_TRUE(log.Has(0, c.line)) << c.what << ": " << c.line;
    EXPECT_EQ(FileNamesIn(hot), std::vector<std::string>{"t.jdf"}) << c.what;
    EXPECT_EQ(Contents(hot + "t.jdf"), c.ticket) << c.what;
    EXPECT_FALSE(FolderExists(hot + "t")) << c.what;
  }
}

}  // namespace

}  // namespace hf
