// JDF tickets through the real DLL: a taken ticket arrives as one group file with its job folder; a
// ticket that is not taken arrives as itself with the reason in its record.
#include "tests/support/win32/hot_folder_session.h"

#include "base/file_io.h"

#include <regex>

namespace hf::hot_folder_e2e {
namespace {

constexpr uint32_t kJdfType = 256;

class JdfIntakeE2eTest : public HotFolderTest {
 protected:
  std::string Url(const std::string& path) { return "file:///" + std::regex_replace(path, std::regex("\\\\"), "/"); }

  const std::string assets = scratch.MakeSubfolder("assets");
};

TEST_F(JdfIntakeE2eTest, ATicketArrivesAsOneGroupWithItsFilesAndABadOneWithItsReason) {
  ASSERT_TRUE(WriteBytes(assets + "cover.pdf", "%PDF-1.4 cover") &&
              WriteBytes(assets + "inside.pdf", "%PDF-1.4 inside"));
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  const std::string ticket =
      "<?xml version='1.0' encoding='UTF-8'?>\n<JDF xmlns='http://www.CIP4.org/JDFSchema_1_1' ID='J7' "
      "DescriptiveName='Leaflet'><ResourcePool><RunList ID='RL'>"
      "<RunList Run='2' Pages='0 ~ 3' DocCopies='10'><LayoutElement><FileSpec URL='" +
      Url(assets) +
      "inside.pdf'/></LayoutElement></RunList><RunList Run='1' Pages='0~-1' DocCopies='5'>"
      "<LayoutElement><FileSpec URL='" +
      Url(assets) + "cover.pdf'/></LayoutElement></RunList></RunList></ResourcePool></JDF>\n";
  ASSERT_TRUE(WriteBytes(hot + "job.jdf", ticket));
  ASSERT_TRUE(WriteBytes(hot + "bad.jdf", "<JDF><RunList Run='1' DocCopies='1'><FileSpec URL='" + Url(assets) +
                                              "gone.pdf'/></RunList></JDF>"));

  std::vector<FileRecord> records = CollectRecords(task, 2, kGroupLimitMs);
  ASSERT_EQ(records.size(), 2u);
  const FileRecord& group = records[0].jobType == kFileGroupListType ? records[0] : records[1];
  const FileRecord& bad = &group == &records[0] ? records[1] : records[0];

  EXPECT_EQ(std::make_tuple(group.fileName, group.folder, group.jobType, group.intakeFailureText),
            std::make_tuple(std::string("job.fgl"), out, kFileGroupListType, std::string()));
  EXPECT_EQ(FileNamesIn(out + "job"), (std::vector<std::string>{"cover.pdf", "inside.pdf", "job.jdf"}));
  EXPECT_EQ(BytesOf(out + "job\\job.jdf"), ticket);
  EXPECT_EQ(BytesOf(out + "job\\cover.pdf"), "%PDF-1.4 cover");
  EXPECT_TRUE(FileIsThere(assets + "cover.pdf"));  // copied, not moved
  // (the unit test pins the whole group file)
  EXPECT_EQ(GroupText(group, "2_inside.pdf_Settings", "JDFPageRange") + GroupText(group, "FileGroupInfo", "JDFFile"),
            "0 ~ 3job.jdf");
  EXPECT_EQ(GroupText(group, "FileGroupInfo", "FolderPath"), out + "job");  // rewritten by the move

  // The identifiers in the group file are those the intake logged for the ticket.
  const std::string jobId = GroupText(group, "FileGroupInfo", "JDFJobID");
  const std::string resourceId = GroupText(group, "FileGroupInfo", "ResourceID");
  EXPECT_TRUE(std::regex_match(jobId, std::regex("[0-9]{1,10}")) && std::stoll(jobId) < 2147483648ll) << jobId;
  EXPECT_TRUE(std::regex_match(resourceId, std::regex("[0-9a-f]+"))) << resourceId;
  const LogMessages messages = ReceivedMessages();
  EXPECT_EQ(CountMessages(messages, 2,
                          "Storing file information: JID='" + jobId + "', CUSTOM1='Leaflet', CUSTOM2='J7', RESID='" +
                              resourceId + "'."),
            1);

  EXPECT_EQ(std::make_tuple(bad.fileName, bad.folder, bad.jobType, bad.intakeFailureText),
            std::make_tuple(std::string("bad.jdf"), out, kJdfType,
                            std::string("Failed to copy JDF-referenced file 'gone.pdf' into job folder.")));
  EXPECT_TRUE(FileIsThere(out + "bad.jdf"));
  EXPECT_FALSE(FolderExists(out + "bad") || FolderExists(hot + "bad"));
  EXPECT_TRUE(
      HasMessage(messages, 0, "Failed to copy file, at path '" + assets + "gone.pdf' into FGL folder. Error: 2"));
  EXPECT_TRUE(FileNamesIn(hot).empty());
  EXPECT_FALSE(FolderExists(hot + "job"));
}

}  // namespace
}  // namespace hf::hot_folder_e2e
