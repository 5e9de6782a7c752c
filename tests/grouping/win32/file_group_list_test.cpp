// The group list on real folders: the ways a group closes and the faults on a file's way into one.
#include "grouping/win32/file_group_list.h"
#include "grouping/win32/stranded_group.h"
#include "jobs/unique_target.h"

#include "base/file_io.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "formats/ini_document.h"
#include "grouping/colours/colour_info.h"
#include "grouping/group_document.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace hf {

namespace {

const char kTemplate[] = "Default RUD Without PREPS";
using Reader = CGroupDocumentReader;

std::string ShippedFile(const std::string& name) {
  const std::string text = Contents(std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + name);
  EXPECT_NE(text, "<missing>") << name;
  return text;
}

// The ".fgl" files in a folder.
std::vector<std::string> GroupFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& name : FileNamesIn(folder))
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".fgl") == 0) names.push_back(name);
  return names;
}

class GroupListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    host = temp.path() + "host";
    hot = temp.path() + "hot\\";
    setups = host + "\\Config\\FilenameSetups\\";
    ASSERT_EQ(CreateFolder(setups, true), 0);
    ASSERT_EQ(CreateFolder(hot, false), 0);
    // A copy of the catalogue: unknown colours are added to it.
    ASSERT_TRUE(Put(setups + "Colours.ini", ShippedFile("Colours.ini")));
    colours.SetPath(setups + "Colours.ini");
    ASSERT_TRUE(colours.LoadCatalogue(kCatalogueAll));
  }

  // A list set up as the hot folder's set-up makes it (unique names on), from
  // the shipped template with its closing rules replaced.
  std::unique_ptr<CFileGroupList> MakeList(int timeout, int closeOnCount, int count,
                                           const std::string& templateName = kTemplate) {
    CIniDocument document;
    document.LoadFromBuffer(ShippedFile(EqualsIgnoringAsciiCase(templateName, kGroupByFileTypeTemplate)
                                            ? "GroupByFileType.fns"
                                            : templateName + ".fns"));
    document.SetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", std::to_string(timeout));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_ON_FILECOUNT", std::to_string(closeOnCount));
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", std::to_string(count));
    EXPECT_TRUE(document.SaveAs(setups + templateName + ".fns"));
    auto list = std::make_unique<CFileGroupList>();
    EXPECT_EQ(list->SetUpGroupingIn(host, templateName, &colours), GroupStatus::kOk);
    list->SetUniqueNames(1);
    return list;
  }

  void Arrive(const std::string& name, const std::string& bytes = "II*\x00separation") {
    ASSERT_TRUE(Put(hot + name, bytes)) << name;
  }
  // A file arrives and is offered; AddFile's result.
  GroupStatus ArriveAndOffer(CFileGroupList& list, const std::string& name, CFileGroup** groupOut = nullptr) {
    Arrive(name);
    return Offer(list, name, groupOut);
  }

  // Offers a file that has just arrived; returns AddFile's result.
  GroupStatus Offer(CFileGroupList& list, const std::string& name, CFileGroup** groupOut = nullptr) {
    std::string path;
    CFileGroup* group = nullptr;
    GroupStatus result = list.AddFile(name, hot, path, group);
    if (result == GroupStatus::kOk) {
      EXPECT_NE(group, nullptr);
      EXPECT_EQ(path, JoinPath(group->folder(), name));
      EXPECT_TRUE(FileExists(path)) << path;
      EXPECT_FALSE(FileExists(hot + name)) << name;
    } else {
      EXPECT_EQ(group, nullptr);
      EXPECT_TRUE(path.empty());
    }
    if (groupOut != nullptr) *groupOut = group;
    return result;
  }

  bool AllClosed(CFileGroupList& list) {
    return WaitUntil([&] { return list.GroupCount() == 0; });
  }

  // The members of the one saved group whose GroupName is `groupName`.
  std::vector<std::string> SavedMembers(const std::string& groupName) {
    std::vector<std::vector<std::string>> found;
    for (const std::string& file : GroupFilesIn(hot)) {
      CIniDocument document;
      std::string name;
      EXPECT_TRUE(document.Load(hot + file));
      Reader(document).GetGroupName(name);
      if (name == groupName) found.push_back(Reader(document).GetFileInfoNames());
    }
    EXPECT_EQ(found.size(), 1u) << groupName;
    return found.empty() ? std::vector<std::string>() : found[0];
  }

  TempFolder temp{"group_list"};
  std::string host, hot, setups;
  CColourInfo colours;
};

TEST_F(GroupListTest, FilesOfTheWrongTypeOrUnreadableNamesStayStandalone) {
  auto list = MakeList(30, 0, 4);
  LogCapture log;
  EXPECT_EQ(ArriveAndOffer(*list, "JOB1_p1_Cyan.tiff"), GroupStatus::kWrongExtension);  // its log line: end to end
  EXPECT_TRUE(FileExists(hot + "JOB1_p1_Cyan.tiff"));

  EXPECT_EQ(ArriveAndOffer(*list, "no colour here.tif"), GroupStatus::kNotAnalysed);
  EXPECT_TRUE(log.Has(2, "Analysing file no colour here") && log.Has(2, "Analyse no colour here returned false"));
  EXPECT_TRUE(FileExists(hot + "no colour here.tif"));
  EXPECT_EQ(list->GroupCount(), 0u);

  EXPECT_EQ(ArriveAndOffer(*list, "JOB1_p1_Cyan.TIF"), GroupStatus::kOk);  // the extension in any case
  EXPECT_EQ(list->GroupCount(), 1u);

  auto byType = MakeList(30, 0, 4, kGroupByFileTypeTemplate);
  EXPECT_EQ(ArriveAndOffer(*byType, "page.tif"), GroupStatus::kWrongExtension);
  EXPECT_TRUE(log.Has(2, "Purported PDF file page.tif has non-PDF extension."));
}

TEST_F(GroupListTest, AFileNamedAsItsGroupPassesThroughNormally) {
  auto list = MakeList(30, 0, 4);
  CFileGroupFNS group(list.get());
  std::string path;
  LogCapture log;
  EXPECT_EQ(group.AddToNewGroup("job.TIF", hot, "JOB.tif", "JOB.tif", path), GroupStatus::kNameRefused);
  EXPECT_TRUE(log.Has(2, "Matching failed - file will pass through normally"));
  EXPECT_EQ(group.name() + group.identifiedName(), "");
  EXPECT_TRUE(GroupFilesIn(hot).empty());

  EXPECT_EQ(group.AddToNewGroup("a.tif", hot, "", "x", path), GroupStatus::kNameRefused);
  EXPECT_TRUE(log.Has(2, "NewGroup failed - Groupname is empty"));
  EXPECT_EQ(group.AddToNewGroup("a.tif", hot, "..", "..", path), GroupStatus::kNameRefused);
  EXPECT_TRUE(GroupFilesIn(temp.path()).empty());
}

// (Each file's work reaching its group before the close is pinned end to end.)
TEST_F(GroupListTest, FourSeparationsCloseTheirGroupOnTheCount) {
  auto list = MakeList(60, 1, 4);
  LogCapture log;
  const std::vector<std::string> names = {"JOB1_p1_Cyan.tif", "JOB1_p1_Magenta.tif", "JOB1_p1_Yellow.tif",
                                          "JOB1_p1_Black.tif"};
  for (const std::string& name : names) ASSERT_EQ(ArriveAndOffer(*list, name), GroupStatus::kOk) << name;
  ASSERT_TRUE(AllClosed(*list));
  EXPECT_TRUE(HasLineContaining(log, "Hit file count limit for <$$"));

  const std::vector<std::string> files = GroupFilesIn(hot);
  ASSERT_EQ(files.size(), 1u);
  const std::string folder = hot + RemoveExtension(files[0]);
  // Process, thread and list say who made the group, its creation time (8 hex digits) keeps a restart's apart.
  char maker[64];
  std::snprintf(maker, sizeof maker, "$$%04lx-%04lx-%08lx-", static_cast<unsigned long>(::GetCurrentProcessId()),
                static_cast<unsigned long>(::GetCurrentThreadId()),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(list.get())));
  const size_t stamp = std::strlen(maker);
  EXPECT_EQ(files[0].substr(0, stamp), maker);
  EXPECT_EQ(files[0].substr(stamp + 8), "-0001.fgl");
  ::Sleep(20);
  CFileGroupList restarted;
  restarted.SetUniqueNames(1);
  EXPECT_NE(restarted.MakeUniqueGroupName().substr(stamp, 8), files[0].substr(stamp, 8));
  for (const std::string& name : names) EXPECT_TRUE(FileExists(JoinPath(folder, name))) << name;
  EXPECT_EQ(SavedMembers("JOB1"), names);  // its values are pinned end to end
  // The group file is the document, key=value, nothing else.
  EXPECT_EQ(Contents(hot + files[0]).rfind("[FileGroupInfo]\r\nFolderPath=" + folder + "\r\nGroupName=JOB1\r\n", 0),
            0u);
}

TEST_F(GroupListTest, PdfFilesAreGatheredByTypeUnderAUniqueName) {
  auto list = MakeList(60, 1, 3, kGroupByFileTypeTemplate);
  const std::vector<std::string> names = {"cover.pdf", "inside.PDF", "back.pdf"};
  for (const std::string& name : names) ASSERT_EQ(ArriveAndOffer(*list, name), GroupStatus::kOk) << name;
  ASSERT_TRUE(AllClosed(*list));
  const std::vector<std::string> files = GroupFilesIn(hot);
  ASSERT_EQ(files.size(), 1u);
  CIniDocument document;
  ASSERT_TRUE(document.Load(hot + files[0]));
  Reader reader(document);
  std::string name, extension, noSubScan;
  int method = 0;
  reader.GetGroupName(name);
  reader.GetExtension(extension);
  reader.GetNoSubScan(noSubScan);
  reader.GetGroupMethod(method);
  EXPECT_EQ(std::make_tuple(name, extension, noSubScan, method),
            std::make_tuple(RemoveExtension(files[0]), std::string(".pdf"), std::string("Yes"), kGroupMethodFileType));
  EXPECT_EQ(files[0].rfind("$$", 0), 0u);
  EXPECT_EQ(reader.GetFileInfoNames(), names);
}

TEST_F(GroupListTest, EveryNewFileRestartsTheTimeout) {
  // Files arrive every 0.4 s, for longer than the 2 s time-out in all. A comma in a
  // colour's name would shift the group file's colour fields and split the group.
  auto list = MakeList(2, 0, 4);
  LogCapture log;
  for (const char* name : {"R1_p1_Cyan.tif", "R1_p1_Magenta.tif", "R1_p1_Yellow.tif", "R1_p1_Black.tif",
                           "R1_p1_(Proof).tif", "R1_p1_(StudioRed).tif", "R1_p1_(Red, warm).tif"}) {
    ASSERT_EQ(ArriveAndOffer(*list, name), GroupStatus::kOk) << name;
    EXPECT_EQ(list->GroupCount(), 1u);
    ::Sleep(400);
  }
  ASSERT_TRUE(AllClosed(*list));
  EXPECT_EQ(SavedMembers("R1").size(), 7u);  // one group
  EXPECT_TRUE(log.Has(2, "Colour name <Red, warm> is written as <Red; warm> in the group file"));
}

TEST_F(GroupListTest, SerialModeClosesTheGroupsAFileDoesNotBelongTo) {
  auto list = MakeList(60, 0, 4);
  list->settings().SetSerialMode(1);
  LogCapture log;
  for (const char* name : {"S1_p1_Cyan.tif", "S1_p1_Black.tif", "S2_p1_Cyan.tif"})
    ASSERT_EQ(ArriveAndOffer(*list, name), GroupStatus::kOk) << name;
  EXPECT_TRUE(log.Has(2, "In Serial Mode"));
  // S1 is closed and saved; S2 stays open.
  ASSERT_TRUE(WaitUntil([&] { return list->GroupCount() == 1; }));
  EXPECT_EQ(SavedMembers("S1"), (std::vector<std::string>{"S1_p1_Cyan.tif", "S1_p1_Black.tif"}));
  EXPECT_TRUE(HasLineContaining(log, "): Got an end event for group <$$"));
}

TEST_F(GroupListTest, ASecondFileOfTheSameNameOpensAnotherGroup) {
  auto list = MakeList(60, 0, 4);
  Arrive("D1_p1_Cyan.tif", "first");
  ASSERT_EQ(Offer(*list, "D1_p1_Cyan.tif"), GroupStatus::kOk);
  Arrive("D1_p1_Cyan.tif", "second");
  LogCapture log;
  CFileGroup* second = nullptr;
  ASSERT_EQ(Offer(*list, "D1_p1_Cyan.tif", &second), GroupStatus::kOk);
  EXPECT_TRUE(log.Has(2, "File <D1_p1_Cyan.tif> already exists in group <D1>"));
  EXPECT_EQ(list->GroupCount(), 2u);
  EXPECT_EQ(second->identifiedName(), "D1");

  list.reset();  // closes both; each keeps its own copy
  std::set<std::string> contents;
  for (const std::string& file : GroupFilesIn(hot))
    contents.insert(Contents(JoinPath(hot + RemoveExtension(file), "D1_p1_Cyan.tif")));
  EXPECT_EQ(contents, (std::set<std::string>{"first", "second"}));
}

TEST_F(GroupListTest, AFileThatCannotBeMovedInUndoesItsGroup) {
  auto list = MakeList(60, 0, 4);
  CFileGroup* group = nullptr;
  ASSERT_EQ(ArriveAndOffer(*list, "U1_p1_Cyan.tif", &group), GroupStatus::kOk);
  const std::string folder = group->folder();
  const std::string groupFile = group->groupFile();

  Arrive("U1_p1_Black.tif");
  ASSERT_TRUE(Put(hot + "U1_p1_Cyan.tif", "a newer job of the member's name"));
  {
    // Held open by a writer: the move fails.
    ScopedHandle writer(::CreateFileA((hot + "U1_p1_Black.tif").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    LogCapture log;
    EXPECT_EQ(Offer(*list, "U1_p1_Black.tif"), GroupStatus::kFileNotMoved);
    EXPECT_TRUE(HasLineStartingWith(log, 2, "MoveFileEx(" + hot + "U1_p1_Black.tif, " + folder));
    EXPECT_TRUE(log.Has(2, "MoveFileIntoGroup() failed") && log.Has(2, "Add failed - treat as standalone file") &&
                log.Has(3, "UndoGrouping"));
  }
  // Both separations are back (the member under a free name, the newer job untouched); the group is gone for good.
  EXPECT_EQ(Contents(hot + "U1_p1_Cyan.tif"), "a newer job of the member's name");
  EXPECT_EQ(Contents(hot + "U1_p1_Cyan_0_0_" + std::to_string(UniqueTargetCounter()) + ".tif"), "II*\0separation");
  EXPECT_TRUE(FileExists(hot + "U1_p1_Black.tif"));
  EXPECT_FALSE(FolderExists(folder));
  ASSERT_TRUE(AllClosed(*list));
  EXPECT_FALSE(FileExists(groupFile));  // removed, and not written again at the close

  // Offered again, they group normally.
  ASSERT_EQ(Offer(*list, "U1_p1_Cyan.tif"), GroupStatus::kOk);
  ASSERT_EQ(Offer(*list, "U1_p1_Black.tif"), GroupStatus::kOk);
  list.reset();
  EXPECT_EQ(SavedMembers("U1"), (std::vector<std::string>{"U1_p1_Cyan.tif", "U1_p1_Black.tif"}));
}

TEST_F(GroupListTest, AMemberThatCannotGoBackKeepsTheGroupFolderAndItsGroupFile) {
  auto list = MakeList(60, 0, 4);
  CFileGroup* group = nullptr;
  ASSERT_EQ(ArriveAndOffer(*list, "V1_p1_Cyan.tif", &group), GroupStatus::kOk);
  const std::string folder = group->folder(), groupFile = group->groupFile();
  Arrive("V1_p1_Black.tif");
  ScopedHandle member(::CreateFileA(JoinPath(folder, "V1_p1_Cyan.tif").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ScopedHandle writer(::CreateFileA((hot + "V1_p1_Black.tif").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(member && writer);
  LogCapture log;
  EXPECT_EQ(Offer(*list, "V1_p1_Black.tif"), GroupStatus::kFileNotMoved);
  EXPECT_TRUE(HasLineContaining(log, "1 member(s) could not go back to the hot folder and stay in <" + folder +
                                         "> with its group file: V1_p1_Cyan.tif"));
  EXPECT_TRUE(FileExists(JoinPath(folder, "V1_p1_Cyan.tif")));
  EXPECT_EQ(StrandedGroupFolder(groupFile), WithoutTrailingSeparators(folder));
  list.reset();  // an undone group is not written at its close: the mark stays
  EXPECT_EQ(StrandedGroupFolder(groupFile), WithoutTrailingSeparators(folder));
}

// A file where the group's folder should go, or a closed group of the name, leaves it standalone.
TEST_F(GroupListTest, AGroupThatCannotBeMadeLeavesTheFileStandalone) {
  auto list = MakeList(60, 0, 4);
  list->SetUniqueNames(0);
  Arrive("F1");
  Arrive("E1.fgl", "[FileGroupInfo]\r\nGroupName=E1\r\n");
  LogCapture log;
  EXPECT_EQ(ArriveAndOffer(*list, "F1_p1_Cyan.tif"), GroupStatus::kFolderNotCreated);
  EXPECT_TRUE(log.Has(2, "CreateDirectory() failed: 183") && log.Has(2, "NewGroup(F1_p1_Cyan.tif) failed"));
  EXPECT_EQ(ArriveAndOffer(*list, "E1_p1_Cyan.tif"), GroupStatus::kNameRefused);
  EXPECT_TRUE(log.Has(2, "Create GroupFile failed - 80"));
  EXPECT_EQ(Contents(hot + "E1.fgl"), "[FileGroupInfo]\r\nGroupName=E1\r\n");
  EXPECT_TRUE(FileExists(hot + "F1_p1_Cyan.tif") && FileExists(hot + "E1_p1_Cyan.tif") && !FileExists(hot + "F1.fgl"));
  EXPECT_EQ(list->GroupCount(), 0u);
}

// ---- the end of the list ----

// Late monitors are waited for outside the list's lock: one that wakes after
// ten seconds finds its group taken over and ends by itself; one that never
// wakes is ended when the list's wait runs out. Both groups are written once.
TEST_F(GroupListTest, MonitorsThatDoNotAnswerAreWaitedForThenEnded) {
  auto list = MakeList(600, 0, 4);
  CFileGroup* groups[2] = {};
  ASSERT_EQ(ArriveAndOffer(*list, "M1_p1_Cyan.tif", &groups[0]), GroupStatus::kOk);
  ASSERT_EQ(ArriveAndOffer(*list, "M2_p1_Cyan.tif", &groups[1]), GroupStatus::kOk);
  ScopedHandle stuck[2];
  for (int i = 0; i < 2; ++i) {  // a monitor that cannot run cannot answer the end event
    HANDLE thread = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), groups[i]->monitorThread(), ::GetCurrentProcess(), &thread,
                                  0, FALSE, DUPLICATE_SAME_ACCESS));
    stuck[i].reset(thread);
    ASSERT_NE(::SuspendThread(thread), static_cast<DWORD>(-1));
  }
  // Between the close wait (10 s) and the end of the list's wait for late monitors (10 s more).
  std::thread waker([&] {
    ::Sleep(14000);
    ::ResumeThread(stuck[0].get());
  });
  LogCapture log;
  list.reset();
  waker.join();
  EXPECT_TRUE(HasLineContaining(log, "> was not closed by its monitor in time - ending the monitor"));
  EXPECT_TRUE(HasLineContaining(log, "> was taken over as its list closed"));
  DWORD exitCodes[2] = {};
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(::GetExitCodeThread(stuck[i].get(), &exitCodes[i]));
  EXPECT_EQ(exitCodes[0], 0u);  // ended by itself
  EXPECT_EQ(exitCodes[1], 1u);  // ended by the list
  EXPECT_EQ(SavedMembers("M1"), std::vector<std::string>{"M1_p1_Cyan.tif"});
  EXPECT_EQ(SavedMembers("M2"), std::vector<std::string>{"M2_p1_Cyan.tif"});
}

// An open group's file may be read but not taken exclusively (the scanner's in-use test).
TEST_F(GroupListTest, OpenGroupsAreReachedAndHeldOnlyWhileTheyAreOpen) {
  auto list = MakeList(60, 0, 4);
  CFileGroup* group = nullptr;
  ASSERT_EQ(ArriveAndOffer(*list, "W1_p1_Cyan.tif", &group), GroupStatus::kOk);
  const std::string groupFile = group->groupFile();
  auto open = [&](DWORD share) {
    return ScopedHandle(
        ::CreateFileA(groupFile.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  EXPECT_TRUE(open(FILE_SHARE_READ | FILE_SHARE_WRITE));
  EXPECT_FALSE(open(0));
  EXPECT_EQ(Contents(groupFile), "");
  std::string seen;
  EXPECT_TRUE(list->WithOpenGroup(group, [&](CFileGroup& open) { seen = open.identifiedName(); }));
  EXPECT_EQ(seen, "W1");
  const std::string name = group->name();
  LogCapture log;
  EXPECT_EQ(list->TriggerRemoval(name), 0);
  EXPECT_TRUE(log.Has(3, "Triggering removal of group <" + name + ">") && log.Has(3, "Closing group <" + name + ">"));
  ASSERT_TRUE(AllClosed(*list));
  EXPECT_TRUE(open(0));
  EXPECT_FALSE(list->WithOpenGroup(group, [&](CFileGroup&) { ADD_FAILURE() << "a removed group was reached"; }));
  EXPECT_EQ(list->TriggerRemoval(name), 0);
  EXPECT_TRUE(log.Has(2, "Remove group failed"));
}

}  // namespace

}  // namespace hf
