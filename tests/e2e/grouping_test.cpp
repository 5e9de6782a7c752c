// Separation grouping through the real DLL: one ".fgl" record and folder per group.
#include "tests/support/win32/hot_folder_session.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"

#include <map>
#include <set>
#include <tuple>

namespace hf::hot_folder_e2e {
namespace {

class GroupingTest : public HotFolderTest {
 protected:
  void WriteSeparations(const std::vector<std::string>& names) {
    for (const std::string& name : names) ASSERT_TRUE(WriteBytes(hot + name, TiffBytes(name)));
  }

  ProgramConfig config;
};

// With thumbnails on, a group's separations share one resource ID; unreadable names go alone.
TEST_F(GroupingTest, InterleavedSeparationsArriveAsOneGroupEachClosedByCountWithOneResourceId) {
  config.WriteCatalogue();
  config.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask(hot, out, "E2E Count", true);
  EXPECT_EQ(task.MessageText(), "");
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "SA: Info: Grouping enabled for '" + hot + "'"));
  const std::vector<std::string> a = {"ALPHA_p1_Cyan.tif", "ALPHA_p1_Magenta.tif", "ALPHA_p1_Yellow.tif",
                                      "ALPHA_p1_Black.tif"};
  const std::vector<std::string> b = {"BETA_p2_Black.tif", "BETA_p2_Tinctura Teal C.tif", "BETA_p2_Cyan.tif",
                                      "BETA_p2_(Ultramarine).tif"};
  for (size_t i = 0; i < a.size(); ++i) WriteSeparations({a[i], b[i]});
  ASSERT_TRUE(WriteBytes(hot + "no colour.tif", TiffBytes("plain")));
  ASSERT_TRUE(WriteBytes(hot + "scan.tiff", TiffBytes("tiff")));

  std::vector<FileRecord> records = CollectRecords(task, 4);
  ASSERT_EQ(records.size(), 4u);
  std::map<std::string, const FileRecord*> groups;  // by group name
  for (const FileRecord& record : records)
    if (record.jobType == kFileGroupListType) groups[GroupText(record, "FileGroupInfo", "GroupName")] = &record;
  ASSERT_EQ(groups.size(), 2u);  // with the two files alone checked below, no group comes twice
  const FileRecord *alpha = groups["ALPHA"], *beta = groups["BETA"];
  ASSERT_TRUE(alpha != nullptr && beta != nullptr);
  ExpectGroupArrived(*alpha, out, hot, a);
  ExpectGroupArrived(*beta, out, hot, b);
  const char* const values[][3] = {
      {"SettingsInfo", "GroupMethod", "2"},        {"SettingsInfo", "FNSFileName", "E2E Count"},
      {"SettingsInfo", "TimeoutSeconds", "60"},    {"SettingsInfo", "FileCountTrigger", "1"},
      {"SettingsInfo", "FileCount", "4"},          {"SettingsInfo", "SerialMode", "0"},
      {"FileGroupInfo", "Extension", ".tif"},      {"BETA_p2_Cyan.tif_Settings", "PageNumber", "2"},
      {"FileInfo", "BETA_p2_Tinctura Teal C.tif", "Tinctura Teal C,BETA,200,0,100,20,1,2"},
      {"FileInfo", "BETA_p2_Black.tif", "Black,BETA,0,0,0,255,1,1"}};
  for (const auto& value : values) EXPECT_EQ(GroupText(*beta, value[0], value[1]), value[2]) << value[1];
  EXPECT_TRUE(FileNamesIn(hot).empty());

  LogMessages messages = ReceivedMessages();
  std::set<std::string> ids;
  for (const FileRecord* group : {alpha, beta}) {
    const std::string id = GroupText(*group, "FileGroupInfo", "ResourceID");
    ids.insert(id);
    EXPECT_EQ(CountMessages(messages, 0, "HFA: Setting group resource ID to '" + id + "'. "), 1) << id;
    // Every later separation takes the group's, also the one that completes the group.
    EXPECT_EQ(CountMessages(messages, 0, "HFA: Using group resource ID of '" + id + "'. "), 3) << id;
  }
  std::set<std::string> alone;
  for (const FileRecord& record : records) {
    if (record.jobType == kFileGroupListType) continue;
    alone.insert(record.fileName);
    EXPECT_EQ(std::make_tuple(record.jobType, record.groupMember, record.folder),
              std::make_tuple(4u /*TIFF*/, 0u, out));
    EXPECT_TRUE(ids.insert(record.uniqueId).second) << record.uniqueId;
    EXPECT_EQ(CountMessages(messages, 0, "HFA: Not added - using unique resource ID of '" + record.uniqueId + "'. "), 1)
        << record.fileName;
  }
  EXPECT_EQ(alone, (std::set<std::string>{"no colour.tif", "scan.tiff"}));
  EXPECT_TRUE(HasMessage(messages, 2, "Failed to analyse file no colour.tif") &&
              HasMessage(messages, 2, "Purported TIFF file scan.tiff has non-TIFF extension"));

  // Cancelling the last grouping task ends its grouping with its folder.
  ASSERT_EQ(dll.Call(kCancelAction, task), 0);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 1, "Removing folder \"" + hot + "\" from list"));
}

TEST_F(GroupingTest, GroupingIsSwitchedOffWhenItCannotBeSetUp) {
  config.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& noCatalogue = StartGroupingTask(hot, out, "E2E Count");
  const std::string text = "Failed to load Colour Info. Grouping was disabled for '" + hot + "'.";
  EXPECT_EQ(noCatalogue.MessageText(), text);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, "SA: Warning - " + text));

  // A template that cannot be read although it is there.
  config.WriteCatalogue();
  ScopedHandle holder(::CreateFileA(config.PathOf("E2E Count.fns").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  RawBlock& locked = StartGroupingTask(hot, out, "E2E Count");
  EXPECT_EQ(locked.MessageText(),
            "Failed to configure grouping object - error 17. Grouping was disabled for '" + hot + "'.");
  holder.reset();

  // Without grouping a separation is handed over as it is.
  WriteSeparations({"SOLO_p1_Cyan.tif"});
  std::vector<FileRecord> records = CollectRecords(locked, 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(std::make_pair(records[0].fileName, records[0].groupMember),
            std::make_pair(std::string("SOLO_p1_Cyan.tif"), 0u));
}

}  // namespace
}  // namespace hf::hot_folder_e2e
