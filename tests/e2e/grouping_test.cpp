// Separation grouping through the real DLL: separations dropped into a hot
// folder become one group file and folder per group, closed by count or by
// time-out, handed to the host as ".fgl" records and moved with their folders
// (also to another drive); PDF files grouped by type; group files from
// outside, shared folders and dangerous FolderPath values.
#include "tests/e2e/hot_folder_session.h"

#include "common/file_io.h"
#include "common/path_utils.h"
#include "common/group_document.h"
#include "common/ini_document.h"
#include "common/win32/scoped_handle.h"
#include "tests/support/win32/mapped_drive.h"

#include <algorithm>
#include <map>
#include <set>

namespace hot_folder_e2e {
namespace {

constexpr uint32_t kFileGroupListType = 0x8000000;
constexpr uint32_t kTiffType = 4;
constexpr DWORD kGroupLimitMs = 40000;

std::string ShippedFile(const std::string& name) {
  std::string text;
  EXPECT_TRUE(ReadBytes(std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + name, text)) << name;
  return text;
}

// The sample catalogue and test templates in "Config\FilenameSetups" beside
// the host program (this test program); what was made is removed afterwards
// and a catalogue that was there is put back.
class FilenameSetups {
 public:
  FilenameSetups() : folder_(HostProgramFolder() + "\\Config\\FilenameSetups\\") {
    for (const std::string& path : {HostProgramFolder() + "\\Config", folder_})
      if (!FolderExists(path) && ::CreateDirectoryA(path.c_str(), nullptr)) madeFolders_.push_back(path);
    hadCatalogue_ = ReadBytes(folder_ + "Colours.ini", oldCatalogue_);
  }
  ~FilenameSetups() {
    for (const std::string& file : madeFiles_) ::DeleteFileA(file.c_str());
    if (hadCatalogue_)
      WriteBytes(folder_ + "Colours.ini", oldCatalogue_);
    else
      ::DeleteFileA((folder_ + "Colours.ini").c_str());
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) ::RemoveDirectoryA(it->c_str());
  }

  void WriteCatalogue() { ASSERT_TRUE(WriteBytes(folder_ + "Colours.ini", ShippedFile("Colours.ini"))); }
  void RemoveCatalogue() { ::DeleteFileA((folder_ + "Colours.ini").c_str()); }

  // A shipped template under `name` with its closing rules replaced.
  void WriteTemplate(const std::string& name, const std::string& shipped, int timeout, int closeOnCount, int count) {
    CIniDocument document;
    document.LoadFromBuffer(ShippedFile(shipped + ".fns"));
    document.SetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", std::to_string(timeout));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_ON_FILECOUNT", std::to_string(closeOnCount));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", std::to_string(count));
    ASSERT_TRUE(WriteBytes(folder_ + name + ".fns", document.SaveToBuffer()));
    madeFiles_.push_back(folder_ + name + ".fns");
  }

  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::vector<std::string> madeFolders_;
  std::vector<std::string> madeFiles_;
  bool hadCatalogue_ = false;
  std::string oldCatalogue_;
};

const char kWithoutPreps[] = "Default RUD Without PREPS";

std::string TiffBytes(const std::string& tag) { return std::string("II*\0", 4) + "separation " + tag; }

class GroupingTest : public HotFolderTest {
 protected:
  void SetUp() override {
    HotFolderTest::SetUp();
    hot = scratch.MakeSubfolder("hot");
    out = scratch.MakeSubfolder("out");
  }

  // A started task that groups with `templateName`.
  RawBlock& StartGroupingTask(const std::string& templateName, const std::string& destination,
                              bool thumbnails = false) {
    RawBlock& task = NewTask(hot, destination);
    uint32_t on = 1;
    std::memcpy(task.data() + block::kTaskSettings.offset + block::kGroupingEnabledInRecord, &on, sizeof on);
    if (thumbnails)
      std::memcpy(task.data() + block::kTaskSettings.offset + block::kThumbnailsEnabledInRecord, &on, sizeof on);
    std::memcpy(task.data() + block::kTaskText.offset, templateName.c_str(), templateName.size() + 1);
    EXPECT_EQ(dll.Call(kStartAction, task), 0) << task.MessageText();
    return task;
  }

  // Polls GetActionStatus until `count` records have been handed over in
  // all (or the limit passes).
  std::vector<FileRecord> CollectRecords(RawBlock& task, size_t count, DWORD limitMs = kGroupLimitMs) {
    std::vector<FileRecord> records;
    const DWORD started = ::GetTickCount();
    while (records.size() < count && ::GetTickCount() - started < limitMs) {
      if (GetActionStatus(task) == 0) {
        std::vector<FileRecord> more = ReadFileList(task);
        records.insert(records.end(), more.begin(), more.end());
      } else {
        ::Sleep(50);
      }
    }
    return records;
  }

  // The group file at the record's place, loaded.
  static CIniDocument LoadGroup(const FileRecord& record) {
    CIniDocument document;
    EXPECT_TRUE(document.Load(record.folder + record.fileName)) << record.folder + record.fileName;
    return document;
  }

  static std::string Text(const CIniDocument& document, const char* section, const char* key) {
    return document.GetValue(section, key, "<missing>");
  }

  // Checks one handed-over group: a ".fgl" record in the destination, its
  // folder beside it holding exactly `members`, each listed once in FileInfo
  // (in the order the scan met them).
  void ExpectGroupArrived(const FileRecord& record, const std::string& destination,
                          std::vector<std::string> members) {
    EXPECT_EQ(record.folder, destination);
    EXPECT_EQ(record.jobType, kFileGroupListType);
    EXPECT_EQ(record.groupMember, 1u);
    ASSERT_GE(record.fileName.size(), 4u);
    EXPECT_EQ(record.fileName.substr(record.fileName.size() - 4), ".fgl");
    const std::string folder = destination + record.fileName.substr(0, record.fileName.size() - 4);
    CIniDocument document = LoadGroup(record);
    EXPECT_EQ(Text(document, "FileGroupInfo", "FolderPath"), folder);
    std::vector<std::string> listed = CGroupDocumentReader(document).GetFileInfoNames();
    std::sort(listed.begin(), listed.end());
    std::sort(members.begin(), members.end());
    EXPECT_EQ(listed, members);
    EXPECT_EQ(FileNamesIn(folder), members);
    EXPECT_FALSE(FileIsThere(hot + record.fileName));
    EXPECT_FALSE(FolderExists(hot + record.fileName.substr(0, record.fileName.size() - 4)));
  }

  // The record whose group file names `groupName`.
  const FileRecord* GroupNamed(const std::vector<FileRecord>& records, const std::string& groupName) {
    const FileRecord* found = nullptr;
    for (const FileRecord& record : records) {
      if (record.jobType != kFileGroupListType) continue;
      if (Text(LoadGroup(record), "FileGroupInfo", "GroupName") != groupName) continue;
      EXPECT_EQ(found, nullptr) << "two groups named " << groupName;
      found = &record;
    }
    EXPECT_NE(found, nullptr) << groupName;
    return found;
  }

  FilenameSetups setups;
  std::string hot;
  std::string out;
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
  ExpectGroupArrived(*alpha, out, a);
  ExpectGroupArrived(*beta, out, b);
  // Every separation arrived with its own bytes, in its own group only.
  for (const std::string& name : a) {
    std::string bytes;
    EXPECT_TRUE(ReadBytes(out + alpha->fileName.substr(0, alpha->fileName.size() - 4) + "\\" + name, bytes));
    EXPECT_EQ(bytes, TiffBytes(name));
  }

  CIniDocument group = LoadGroup(*beta);
  EXPECT_EQ(Text(group, "SettingsInfo", "GroupMethod"), "2");
  EXPECT_EQ(Text(group, "SettingsInfo", "FNSFileName"), "E2E Count");
  EXPECT_EQ(Text(group, "SettingsInfo", "TimeoutSeconds"), "60");
  EXPECT_EQ(Text(group, "SettingsInfo", "FileCountTrigger"), "1");
  EXPECT_EQ(Text(group, "SettingsInfo", "FileCount"), "4");
  EXPECT_EQ(Text(group, "SettingsInfo", "SerialMode"), "0");
  EXPECT_EQ(Text(group, "FileGroupInfo", "Extension"), ".tif");
  EXPECT_EQ(Text(group, "FileInfo", "BETA_p2_Tinctura Teal C.tif"), "Tinctura Teal C,BETA,200,0,100,20,1,2");
  EXPECT_EQ(Text(group, "FileInfo", "BETA_p2_Black.tif"), "Black,BETA,0,0,0,255,1,1");
  EXPECT_EQ(Text(group, "BETA_p2_Cyan.tif_Settings", "PageNumber"), "2");
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
  ExpectGroupArrived(records[0], out, members);
  LogMessages messages = ReceivedMessages();
  bool timedOut = false;
  for (const auto& message : messages)
    timedOut = timedOut || message.second.find("): Got timeout for group <$$") != std::string::npos;
  EXPECT_TRUE(timedOut);
}

TEST_F(GroupingTest, WithThumbnailsTheSeparationsOfAGroupShareOneResourceId) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 3);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Count", out, true);
  const std::vector<std::string> members = {"RID_p1_Cyan.tif", "RID_p1_Magenta.tif", "RID_p1_Black.tif"};
  for (const std::string& name : members) ASSERT_TRUE(WriteBytes(hot + name, TiffBytes(name)));
  ASSERT_TRUE(WriteBytes(hot + "alone.tif", TiffBytes("alone")));

  std::vector<FileRecord> records = CollectRecords(task, 2);
  ASSERT_EQ(records.size(), 2u);
  const FileRecord* group = GroupNamed(records, "RID");
  ASSERT_NE(group, nullptr);
  ExpectGroupArrived(*group, out, members);
  const std::string resourceId = Text(LoadGroup(*group), "FileGroupInfo", "ResourceID");
  ASSERT_NE(resourceId, "<missing>");
  EXPECT_FALSE(resourceId.empty());

  LogMessages messages = ReceivedMessages();
  EXPECT_EQ(CountMessages(messages, 0, "HFA: Setting group resource ID to '" + resourceId + "'. "), 1);
  // Every later separation takes the group's, including the one whose arrival
  // completes the group and wakes its monitor.
  EXPECT_EQ(CountMessages(messages, 0, "HFA: Using group resource ID of '" + resourceId + "'. "), 2);
  const FileRecord& alone = group == &records[0] ? records[1] : records[0];
  EXPECT_EQ(alone.fileName, "alone.tif");
  EXPECT_NE(alone.uniqueId, resourceId);
  EXPECT_EQ(CountMessages(messages, 0, "HFA: Not added - using unique resource ID of '" + alone.uniqueId + "'. "), 1);
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
  ExpectGroupArrived(records[0], out, pdfs);
  CIniDocument group = LoadGroup(records[0]);
  EXPECT_EQ(Text(group, "SettingsInfo", "GroupMethod"), "3");
  EXPECT_EQ(Text(group, "SettingsInfo", "NoSubScan"), "Yes");
  EXPECT_EQ(Text(group, "FileGroupInfo", "Extension"), ".pdf");
  EXPECT_EQ(Text(group, "FileGroupInfo", "GroupName") + ".fgl", records[0].fileName);
}

TEST_F(GroupingTest, FilesTheSchemeCannotReadAreHandedOverOnTheirOwn) {
  setups.WriteCatalogue();
  setups.WriteTemplate("E2E Count", kWithoutPreps, 60, 1, 4);
  ASSERT_EQ(Initialise(), 0);
  RawBlock& task = StartGroupingTask("E2E Count", out);
  ASSERT_TRUE(WriteBytes(hot + "no colour.tif", TiffBytes("plain")));
  ASSERT_TRUE(WriteBytes(hot + "scan.tiff", TiffBytes("tiff")));

  std::vector<FileRecord> records = CollectRecords(task, 2);
  ASSERT_EQ(records.size(), 2u);
  std::set<std::string> names;
  for (const FileRecord& record : records) {
    names.insert(record.fileName);
    EXPECT_EQ(record.jobType, kTiffType);
    EXPECT_EQ(record.groupMember, 0u);
    EXPECT_EQ(record.folder, out);
  }
  EXPECT_EQ(names, (std::set<std::string>{"no colour.tif", "scan.tiff"}));
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 2, "Failed to analyse file no colour.tif"));
  EXPECT_TRUE(HasMessage(messages, 2, "Purported TIFF file scan.tiff has non-TIFF extension"));
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
    EXPECT_EQ(Text(LoadGroup(record), "FileGroupInfo", "FolderPath"), shared);
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
  ExpectGroupArrived(records[0], destination, members);
  EXPECT_TRUE(FileNamesIn(hot).empty());
  // The bytes are on the drive's own folder.
  const std::string group = records[0].fileName.substr(0, records[0].fileName.size() - 4);
  EXPECT_TRUE(FileIsThere(driveFolder + "out\\" + group + "\\FAR_p1_Cyan.tif"));
}

}  // namespace
}  // namespace hot_folder_e2e
