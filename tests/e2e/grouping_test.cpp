// Separation grouping through the real DLL: separations dropped into a hot
// folder become one group file and folder per group, closed by count or by
// time-out, handed to the host as ".fgl" records and moved with their folders
// (also to another drive); PDF files grouped by type; group files from
// outside, shared folders and dangerous FolderPath values.
#include "tests/e2e/hot_folder_session.h"

#include "tests/support/win32/mapped_drive.h"

#include <algorithm>
#include <set>

namespace hf {

namespace hot_folder_e2e {
namespace {

constexpr uint32_t kTiffType = 4;

class GroupingTest : public HotFolderTest {
 protected:
  RawBlock& StartGroupingTask(const std::string& templateName, const std::string& destination,
                              bool thumbnails = false) {
    return HotFolderTest::StartGroupingTask(hot, destination, templateName, thumbnails);
  }

  // The record whose group file names `groupName`.
  const FileRecord* GroupNamed(const std::vector<FileRecord>& records, const std::string& groupName) {
    const FileRecord* found = nullptr;
    for (const FileRecord& record : records) {
      if (record.jobType != kFileGroupListType) continue;
      if (GroupText(LoadGroup(record), "FileGroupInfo", "GroupName") != groupName) continue;
      EXPECT_EQ(found, nullptr) << "two groups named " << groupName;
      found = &record;
    }
    EXPECT_NE(found, nullptr) << groupName;
    return found;
  }

  FilenameSetups setups;
};

TEST_F(GroupingTest, InterleavedSeparationsArriveAsOneGroupEachClosedByCount) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Count", out);
  EXPECT_EQ(task.MessageText(), "");
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 2, "SA: Info: Grouping enabled for '" + hot + "'"));

  const std::vector<std::string> a = {"ALPHA_p1_Cyan.tif", "ALPHA_p1_Magenta.tif", "ALPHA_p1_Yellow.tif",
                                      "ALPHA_p1_Black.tif"};
  const std::vector<std::string> b = {"BETA_p2_Black.tif", "BETA_p2_Tinctura Teal C.tif", "BETA_p2_Cyan.tif",
                                      "BETA_p2_(Ultramarine).tif"};
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(WriteBytes(hot + a[i], TiffBytes(a[i])));
    ASSERT_TRUE(WriteBytes(hot + b[i], TiffBytes(b[i])));
  }

  std::vector<FileRecord> records = CollectRecords(task, 2);
  ASSERT_EQ(records.size(), 2u);
  const FileRecord* alpha = GroupNamed(records, "ALPHA");
  const FileRecord* beta = GroupNamed(records, "BETA");
  ASSERT_TRUE(alpha != nullptr && beta != nullptr);
  ExpectGroupArrived(*alpha, out, hot, a);
  ExpectGroupArrived(*beta, out, hot, b);
  // Every separation arrived with its own bytes, in its own group only.
  for (const std::string& name : a) {
    std::string bytes;
    EXPECT_TRUE(ReadBytes(out + alpha->fileName.substr(0, alpha->fileName.size() - 4) + "\\" + name, bytes));
    EXPECT_EQ(bytes, TiffBytes(name));
  }

  CIniDocument group = LoadGroup(*beta);
  EXPECT_EQ(GroupText(group, "SettingsInfo", "GroupMethod"), "2");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "FNSFileName"), "E2E Count");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "TimeoutSeconds"), "60");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "FileCountTrigger"), "1");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "FileCount"), "4");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "SerialMode"), "0");
  EXPECT_EQ(GroupText(group, "FileGroupInfo", "Extension"), ".tif");
  EXPECT_EQ(GroupText(group, "FileInfo", "BETA_p2_Tinctura Teal C.tif"), "Tinctura Teal C,BETA,200,0,100,20,1,2");
  EXPECT_EQ(GroupText(group, "FileInfo", "BETA_p2_Black.tif"), "Black,BETA,0,0,0,255,1,1");
  EXPECT_EQ(GroupText(group, "BETA_p2_Cyan.tif_Settings", "PageNumber"), "2");
  EXPECT_TRUE(FileNamesIn(hot).empty());
}

TEST_F(GroupingTest, AGroupWithoutNewFilesClosesAfterItsTimeout) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Timeout", kWithoutPreps, 2, 0, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Timeout", out);
  const std::vector<std::string> members = {"LATE_p3_Cyan.tif", "LATE_p3_Black.tif"};
  for (const std::string& name : members) ASSERT_TRUE(WriteBytes(hot + name, TiffBytes(name)));

  std::vector<FileRecord> records = CollectRecords(task, 1);
  ASSERT_EQ(records.size(), 1u);
  ExpectGroupArrived(records[0], out, hot, members);
  LogMessages messages = ReceivedMessages();
  bool timedOut = false;
  for (const auto& message : messages)
    timedOut = timedOut || message.second.find("): Got timeout for group <$$") != std::string::npos;
  EXPECT_TRUE(timedOut);
}

// Files the scheme cannot read are handed over on their own, each with a
// resource ID of its own.
TEST_F(GroupingTest, WithThumbnailsTheSeparationsOfAGroupShareOneResourceId) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 3);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Count", out, true);
  const std::vector<std::string> members = {"RID_p1_Cyan.tif", "RID_p1_Magenta.tif", "RID_p1_Black.tif"};
  for (const std::string& name : members) ASSERT_TRUE(WriteBytes(hot + name, TiffBytes(name)));
  ASSERT_TRUE(WriteBytes(hot + "no colour.tif", TiffBytes("plain")));
  ASSERT_TRUE(WriteBytes(hot + "scan.tiff", TiffBytes("tiff")));

  std::vector<FileRecord> records = CollectRecords(task, 3);
  ASSERT_EQ(records.size(), 3u);
  const FileRecord* group = GroupNamed(records, "RID");
  ASSERT_NE(group, nullptr);
  ExpectGroupArrived(*group, out, hot, members);
  const std::string resourceId = GroupText(LoadGroup(*group), "FileGroupInfo", "ResourceID");
  ASSERT_NE(resourceId, "<missing>");
  EXPECT_FALSE(resourceId.empty());

  LogMessages messages = ReceivedMessages();
  EXPECT_EQ(CountMessages(messages, 0, "HFA: Setting group resource ID to '" + resourceId + "'. "), 1);
  // Every later separation takes the group's, including the one whose arrival
  // completes the group and wakes its monitor.
  EXPECT_EQ(CountMessages(messages, 0, "HFA: Using group resource ID of '" + resourceId + "'. "), 2);
  std::set<std::string> alone;
  for (const FileRecord& record : records) {
    if (&record == group) continue;
    alone.insert(record.fileName);
    EXPECT_EQ(record.jobType, kTiffType);
    EXPECT_EQ(record.groupMember, 0u);
    EXPECT_EQ(record.folder, out);
    EXPECT_NE(record.uniqueId, resourceId);
    EXPECT_EQ(CountMessages(messages, 0, "HFA: Not added - using unique resource ID of '" + record.uniqueId + "'. "),
              1) << record.fileName;
  }
  EXPECT_EQ(alone, (std::set<std::string>{"no colour.tif", "scan.tiff"}));
  EXPECT_TRUE(HasMessage(messages, 2, "Failed to analyse file no colour.tif"));
  EXPECT_TRUE(HasMessage(messages, 2, "Purported TIFF file scan.tiff has non-TIFF extension"));
}

TEST_F(GroupingTest, PdfFilesAreGroupedByType) {
  setups.WriteCatalogue();
  setups.WriteTemplate("GroupByFileType", "GroupByFileType", 60, 1, 3);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("GroupByFileType", out);
  const std::vector<std::string> pdfs = {"one.pdf", "two.pdf", "three.pdf"};
  for (const std::string& name : pdfs) ASSERT_TRUE(WriteBytes(hot + name, "%PDF-1.4\n" + name + "\n%%EOF\n"));

  std::vector<FileRecord> records = CollectRecords(task, 1);
  ASSERT_EQ(records.size(), 1u);
  ExpectGroupArrived(records[0], out, hot, pdfs);
  CIniDocument group = LoadGroup(records[0]);
  EXPECT_EQ(GroupText(group, "SettingsInfo", "GroupMethod"), "3");
  EXPECT_EQ(GroupText(group, "SettingsInfo", "NoSubScan"), "Yes");
  EXPECT_EQ(GroupText(group, "FileGroupInfo", "Extension"), ".pdf");
  EXPECT_EQ(GroupText(group, "FileGroupInfo", "GroupName") + ".fgl", records[0].fileName);
}

TEST_F(GroupingTest, GroupingIsSwitchedOffWhenItCannotBeSetUp) {
  setups.RemoveCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& noCatalogue = StartGroupingTask("E2E Count", out);
  const std::string text = "Failed to load Colour Info. Grouping was disabled for '" + hot + "'.";
  EXPECT_EQ(noCatalogue.MessageText(), text);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, "SA: Warning - " + text));

  // A template that cannot be read although it is there.
  setups.WriteCatalogue();
  const std::string templatePath = setups.folder() + "E2E Count.fns";
  ScopedHandle holder(::CreateFileA(templatePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  RawBlock& locked = StartGroupingTask("E2E Count", out);
  EXPECT_EQ(locked.MessageText(),
            "Failed to configure grouping object - error 17. Grouping was disabled for '" + hot + "'.");
  holder.reset();

  // Without grouping a separation is handed over as it is.
  ASSERT_TRUE(WriteBytes(hot + "SOLO_p1_Cyan.tif", TiffBytes("solo")));
  std::vector<FileRecord> records = CollectRecords(locked, 1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].fileName, "SOLO_p1_Cyan.tif");
  EXPECT_EQ(records[0].groupMember, 0u);
}

// A group file written elsewhere and dropped into the hot folder.
std::string OutsideGroupFile(const std::string& folderPath, bool shared) {
  std::string text = "[FileGroupInfo]\r\nFolderPath=" + folderPath + "\r\nGroupName=Outside\r\n\r\n[SettingsInfo]\r\n";
  if (shared) text += "NoMoveCopyFolder=Yes\r\n";
  return text + "\r\n[FileInfo]\r\na.tif=\r\n";
}

TEST_F(GroupingTest, ASharedFolderStaysAndCountsEveryGroupFileMoved) {
  ASSERT_EQ(Initialise(), 0);
  const std::string shared = scratch.MakeSubfolder("shared");
  ASSERT_TRUE(WriteBytes(shared + "a.tif", TiffBytes("shared")));
  RawBlock& task = StartTask(hot, out);
  ASSERT_TRUE(WriteBytes(hot + "first.fgl", OutsideGroupFile(shared, true)));
  ASSERT_TRUE(WriteBytes(hot + "second.fgl", OutsideGroupFile(shared, true)));

  std::vector<FileRecord> records = CollectRecords(task, 2);
  ASSERT_EQ(records.size(), 2u);
  for (const FileRecord& record : records) {
    EXPECT_EQ(record.folder, out);
    EXPECT_EQ(record.jobType, kFileGroupListType);
    EXPECT_EQ(GroupText(LoadGroup(record), "FileGroupInfo", "FolderPath"), shared);
  }
  EXPECT_TRUE(FileIsThere(shared + "a.tif"));
  std::string count;
  ASSERT_TRUE(ReadBytes(shared + "_ref\\_ref.ini", count));
  EXPECT_EQ(count, "[RefCount]\r\nCount=2\r\n");
}

TEST_F(GroupingTest, AGroupFileNamingTheHotFolderIsHandedOverWhereItIs) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartTask(hot, out);
  ASSERT_TRUE(WriteBytes(hot + "keep.ps", PostScriptJob("keep", "me")));
  ASSERT_TRUE(WriteBytes(hot + "greedy.fgl", OutsideGroupFile(hot, false)));

  // A group file that failed to move stays, and is handed over again by
  // every later scan: wait until the other file has arrived too.
  std::vector<FileRecord> records;
  for (DWORD started = ::GetTickCount(); ::GetTickCount() - started < kGroupLimitMs;) {
    std::vector<FileRecord> more = CollectRecords(task, 1);
    records.insert(records.end(), more.begin(), more.end());
    if (std::any_of(records.begin(), records.end(), [](const FileRecord& r) { return r.fileName == "keep.ps"; }))
      break;
  }
  auto greedy = std::find_if(records.begin(), records.end(), [](const FileRecord& r) { return r.fileName == "greedy.fgl"; });
  ASSERT_NE(greedy, records.end());
  EXPECT_EQ(greedy->folder, hot);  // the move was refused
  EXPECT_TRUE(FileIsThere(hot + "greedy.fgl"));
  EXPECT_TRUE(FolderExists(hot));
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 2, "Refusing to move group folder <" + hot + ">: the hot folder or a folder above it"));
  EXPECT_TRUE(HasMessage(messages, 0,
                         "GetActionStatus - move file failed, Src/Dest files were " + hot + "greedy.fgl -> " + out +
                             "greedy.fgl\n"));
  EXPECT_TRUE(FileIsThere(out + "keep.ps"));
}

TEST_F(GroupingTest, AGroupMovedToAnotherDriveIsCopiedThenDeleted) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 2);
  const std::string driveFolder = scratch.MakeSubfolder("drive");
  MappedDrive drive(driveFolder);
  ASSERT_TRUE(drive.ok()) << drive.error();
  const std::string destination = drive.root() + "out\\";
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Count", destination);
  const std::vector<std::string> members = {"FAR_p1_Cyan.tif", "FAR_p1_Black.tif"};
  for (const std::string& name : members) ASSERT_TRUE(WriteBytes(hot + name, TiffBytes(name)));

  std::vector<FileRecord> records = CollectRecords(task, 1);
  ASSERT_EQ(records.size(), 1u);
  ExpectGroupArrived(records[0], destination, hot, members);
  EXPECT_TRUE(FileNamesIn(hot).empty());
  // The bytes are on the drive's own folder.
  const std::string group = records[0].fileName.substr(0, records[0].fileName.size() - 4);
  EXPECT_TRUE(FileIsThere(driveFolder + "out\\" + group + "\\FAR_p1_Cyan.tif"));
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
