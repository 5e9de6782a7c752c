// Scan cycles and hand-offs called directly on a registered folder, and the scanner thread's restarts.
#include "hotfolder/scanner/timer_action.h"

#include "base/path_utils.h"
#include "host/chained_file_item.h"
#include "host/message_handover.h"
#include "host/zu_ini_file.h"
#include "hotfolder/action_handlers.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/services/grouping_service.h"
#include "hotfolder/sluicegate_app.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

namespace hf {

namespace {

// Written in place: a replacing write's temporary name would not fit at the path limit.
void WriteText(const std::string& path, const std::string& text) { ASSERT_TRUE(WriteBytes(path, text)) << path; }

std::vector<const CLinkedFileList*> ItemsOf(const CLinkedFileList* list) {
  std::vector<const CLinkedFileList*> items;
  for (; list != nullptr; list = list->next) items.push_back(list);
  return items;
}

std::vector<ChainedFileItem*> RecordsOf(const PluginParameters& params) {
  std::vector<ChainedFileItem*> records;
  for (auto* r = static_cast<ChainedFileItem*>(params.fileList); r != nullptr; r = r->next) records.push_back(r);
  return records;
}

// The host's INI file: a path with no file, so that every key reads as its default.
void UseIniFile(const std::string& path) {
  IniFileDescriptor descriptor{};
  std::snprintf(descriptor.path, sizeof descriptor.path, "%s", path.c_str());
  TheIniFile().SetDescriptor(descriptor);
}

class TimerActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    UseIniFile(temp.path() + "absent.ini");
    hot = temp.path() + "hot\\";
    out = temp.path() + "out\\";
    ASSERT_EQ(CreateFolder(hot, false), 0);
    folder = new CHotFolder();
    std::snprintf(folder->path, sizeof folder->path, "%s", hot.c_str());
    folder->taskId = 7;
    AppendFolder(app, folder);
    params.taskId = 7;
    std::snprintf(params.sourceFolder, sizeof params.sourceFolder, "%s", hot.c_str());
  }
  void TearDown() override {
    DestroyAllFolders(app);
    DeleteFileList(static_cast<ChainedFileItem*>(params.fileList), 0);
    if (params.messageText != nullptr) ::GlobalFree(params.messageText);
  }

  void SetDestination(const std::string& destination) {
    std::snprintf(params.destinationFolder, sizeof params.destinationFolder, "%s", destination.c_str());
  }

  CSluicegateApp app;
  TempFolder temp{"timer_action"};
  std::string hot;
  std::string out;
  CHotFolder* folder = nullptr;
  PluginParameters params = DefaultBlock();
};

TEST_F(TimerActionTest, EachAdmittedFileBecomesAnItemAndASpareItemEndsTheList) {
  WriteText(hot + "a.ps", "%!PS-Adobe-3.0\nshowpage\n");
  WriteText(hot + "b.pdf", "%PDF-1.4\n%%EOF\n");
  WriteText(hot + "c.json", "{\"JobFilePath\": \"b.pdf\"}");
  WriteText(hot + "f.json", "{\"JobFilePath\": \"gone.pdf\"}");                 // not valid: dropped
  WriteText(hot + "d.jdf", "<jdf ID=\"n1\"><RunList DocCopies=\"1\"/></jdf>");  // names no file: not taken
  WriteText(hot + "e.fgl", "[FileGroupInfo]\nFolderPath=x\n");
  LogCapture log;
  EXPECT_EQ(timerAction(&params), 0);

  EXPECT_TRUE(folder->foundList == nullptr && folder->addedCount == 0u);
  std::vector<const CLinkedFileList*> items = ItemsOf(folder->pendingList);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(std::string(items.back()->fileName) + std::to_string(items.back()->typeChecked), "0");  // the spare

  std::set<std::string> ids;
  std::set<std::pair<std::string, uint32_t>> typed;
  for (size_t i = 0; i + 1 < items.size(); ++i) {
    EXPECT_EQ(items[i]->typeChecked, 1u);
    EXPECT_STREQ(items[i]->intakeFailureText, std::string(items[i]->fileName) == "d.jdf"
                                                  ? "Failed to copy JDF-referenced file '' into job folder."
                                                  : "");
    ids.insert(items[i]->uniqueId);
    typed.emplace(items[i]->fileName, items[i]->jobType);
  }
  EXPECT_EQ(ids.size(), 5u);  // (titles, owners and sizes are pinned end to end)
  EXPECT_EQ(typed, (std::set<std::pair<std::string, uint32_t>>{
                       {"a.ps", 1}, {"b.pdf", 2}, {"c.json", 2048}, {"d.jdf", 256}, {"e.fgl", 0x8000000}}));
  EXPECT_TRUE(log.Has(3, "0 stops remaining, so replacing static list, now 5 items."));
  EXPECT_TRUE(log.Has(1, "JSON file \"f.json\" was deemed not valid."));
}

TEST_F(TimerActionTest, WithThumbnailsTheWalkEndsAtThePreviewLimitAndEachFileHasItsOwnPreview) {
  const std::string renderer = temp.path() + "prevgen.exe";
  ASSERT_TRUE(::CopyFileA(JoinPath(HostProgramFolder(), "preview_standin.exe").c_str(), renderer.c_str(), FALSE));
  RegistryValueScope user{HKEY_CURRENT_USER, "Software\\Vorlan\\Brenmar", "VEZ_Thumbnail"};
  ASSERT_TRUE(user.SetString(renderer));
  WriteText(temp.path() + "host.ini", "[HFA]\r\nPreviewFileLoopLimit=2\r\n");
  UseIniFile(temp.path() + "host.ini");
  const std::string record = temp.path() + "record.txt";
  ::SetEnvironmentVariableA("HF_PREVIEW_RECORD", record.c_str());
  folder->thumbnailsEnabled = 1;
  folder->thumbnailFolder = temp.path() + "thumbs";
  folder->groupingActive = 1;  // without a group list nothing is taken: each file keeps its own resource ID
  for (const char* name : {"a.ps", "b.ps", "c.ps"}) WriteText(hot + name, "%!PS-Adobe-3.0\n");
  WriteText(hot + "d.json", "not json");  // dropped, never rendered
  LogCapture log;
  EXPECT_EQ(timerAction(&params), 0);
  ::SetEnvironmentVariableA("HF_PREVIEW_RECORD", nullptr);

  EXPECT_TRUE(log.Has(2, "Breaking out of loop as we previewed 2 files (limited to 2 per cycle)."));
  const std::vector<const CLinkedFileList*> items = ItemsOf(folder->pendingList);
  ASSERT_EQ(items.size(), 3u);
  for (size_t i = 0; i < 2; ++i) {
    const std::string id = items[i]->uniqueId;
    EXPECT_EQ(Contents(folder->thumbnailFolder + "\\" + id + "\\" + id + ".png"), "PNG:%!PS-Adobe-3.0\n");
    EXPECT_TRUE(log.Has(0, "HFA: Not added - using unique resource ID of '" + id + "'. "));
  }
  const std::string rendered = Contents(record);
  EXPECT_EQ(std::count(rendered.begin(), rendered.end(), '\n'), 2);
  // A TIFF outside a group gets its page folder and no picture.
  EXPECT_EQ(GroupedThumbnailStage(*folder, "t.tif", 4, true, nullptr, "", "t1"), 0);
  EXPECT_TRUE(FolderExists(folder->thumbnailFolder + "\\t1\\1"));
}

TEST_F(TimerActionTest, AFolderThatCannotBeListedKeepsItsPendingListAndIsReported) {
  std::strcat(folder->path, "missing\\");
  folder->pendingList = new CLinkedFileList();
  std::strcpy(folder->pendingList->fileName, "waiting.ps");
  LogCapture log;
  timerAction(&params);
  ASSERT_NE(folder->pendingList, nullptr);
  EXPECT_TRUE(std::string(folder->pendingList->fileName) == "waiting.ps" && folder->foundList == nullptr);
  EXPECT_TRUE(log.Has(3, "[" + hot + "missing\\*.*] FFF returns -1") && log.Has(2, "FFF error: 3"));
  // The report waits for the folder's task, not in the scanner's block.
  EXPECT_EQ(params.errorCode, 0);
  ASSERT_EQ(folder->pendingReports.size(), 1u);
  EXPECT_EQ(folder->pendingReports.front().errorCode, 3);
  timerAction(&params);
  EXPECT_EQ(folder->pendingReports.size(), 1u);  // the same report is not queued twice
}

TEST_F(TimerActionTest, AFailedMoveIsReportedAndTheRecordNamesTheHotFolder) {
  WriteText(hot + "a.ps", "%!PS\na\n");
  timerAction(&params);
  WriteText(temp.path() + "blocker", "a file where the destination should be");
  SetDestination(temp.path() + "blocker\\out");
  LogCapture log;
  ASSERT_EQ(GetActionStatus(&params), 0);
  EXPECT_EQ(params.destinationFolder, temp.path() + "blocker\\out\\");  // given its backslash
  ASSERT_EQ(RecordsOf(params).size(), 1u);
  EXPECT_EQ(RecordsOf(params)[0]->folder, hot);
  const std::string text = "GetActionStatus - move file failed, Src/Dest files were " + hot + "a.ps -> " + temp.path() +
                           "blocker\\out\\a.ps";
  EXPECT_EQ(std::make_pair(params.errorCode, std::string(params.messageText)), std::make_pair(-1, text + "\n"));
  EXPECT_TRUE(log.Has(0, text + "\n"));
  EXPECT_TRUE(FileExists(hot + "a.ps"));
}

// A group whose move keeps failing is told once, and after the folder's
// give-up time is left in the hot folder, told once more and no more offered.
TEST_F(TimerActionTest, AGroupThatCannotBeMovedIsGivenUpAfterItsTime) {
  ASSERT_EQ(CreateFolder(hot + "GIVEUP", false), 0);
  WriteText(hot + "GIVEUP.fgl", "[FileGroupInfo]\r\nFolderPath=" + hot + "GIVEUP\r\n");
  WriteText(temp.path() + "blocker", "a file where the destination should be");
  SetDestination(temp.path() + "blocker\\out");  // every move fails
  folder->groupMoveGiveUpMs = 0;
  auto nextCall = [&] {
    DeleteFileList(static_cast<ChainedFileItem*>(params.fileList), 0);
    params.fileList = nullptr;
    params.errorCode = 0;
    params.messageAcknowledged = 1;
    ReleaseHandedOverMessage(&params);
  };
  timerAction(&params);
  ASSERT_EQ(GetActionStatus(&params), 0);
  EXPECT_EQ(std::make_pair(RecordsOf(params).size(), params.errorCode), std::make_pair(size_t{1}, -1));  // told
  nextCall();
  timerAction(&params);
  ASSERT_EQ(GetActionStatus(&params), 0);
  EXPECT_EQ(std::make_pair(RecordsOf(params).size(), params.errorCode), std::make_pair(size_t{0}, 0));  // given up
  nextCall();
  ASSERT_EQ(GetActionStatus(&params), 1);  // nothing handed over
  EXPECT_STREQ(params.messageText, ("HF: group " + hot +
                                    "GIVEUP.fgl could not be handed over for 0 minutes; it is left "
                                    "in the hot folder.\n")
                                       .c_str());
  nextCall();
  timerAction(&params);  // excluded by its name: not offered again
  EXPECT_EQ(folder->pendingList, nullptr);
  EXPECT_TRUE(FileExists(hot + "GIVEUP.fgl"));
}

// An undone group that kept a member (its group file marked) is no job: each scan tries the member again, and once it
// is back the group goes.
TEST_F(TimerActionTest, AStrandedGroupReturnsItsMembersInsteadOfBeingHandedOver) {
  ASSERT_EQ(CreateFolder(hot + "STRAND", false), 0);
  WriteText(hot + "STRAND\\m.tif", "member");
  WriteText(hot + "STRAND.fgl", "[FileGroupInfo]\r\nStranded=1\r\n");
  WriteText(hot + "m.tif", "a newer job of the member's name");
  SetDestination(temp.path() + "out");
  {
    ScopedHandle reader(::CreateFileA((hot + "STRAND\\m.tif").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    timerAction(&params);
    GetActionStatus(&params);
    EXPECT_TRUE(FileExists(hot + "STRAND.fgl") && FileExists(hot + "STRAND\\m.tif"));
  }
  DeleteFileList(static_cast<ChainedFileItem*>(params.fileList), 0);
  params.fileList = nullptr;
  timerAction(&params);
  GetActionStatus(&params);
  for (const ChainedFileItem* record : RecordsOf(params)) EXPECT_STRNE(record->fileName, "STRAND.fgl");
  EXPECT_FALSE(FileExists(hot + "STRAND.fgl") || FolderExists(hot + "STRAND") ||
               FileExists(temp.path() + "out\\STRAND.fgl"));
  // The newer job of the member's name was handed over first: the name is free again.
  EXPECT_EQ(std::make_pair(Contents(hot + "m.tif"), Contents(temp.path() + "out\\m.tif")),
            std::make_pair(std::string("member"), std::string("a newer job of the member's name")));
}

TEST_F(TimerActionTest, WhenNoUniqueNameFitsTheMoveFailsAndNothingIsOverwritten) {
  // A file at the path limit in the destination: no longer free name fits.
  std::string destination = temp.path();
  while (destination.size() < 230) destination += "deep\\";
  ASSERT_EQ(CreateFolder(destination, true), 0);
  const std::string name = std::string(259 - destination.size() - 3, 'n') + ".ps";
  ASSERT_EQ((destination + name).size(), 259u);
  WriteText(destination + name, "older");
  WriteText(hot + name, "%!PS\nnewer\n");
  timerAction(&params);
  SetDestination(destination);
  LogCapture log;
  ASSERT_EQ(GetActionStatus(&params), 0);
  ASSERT_EQ(RecordsOf(params).size(), 1u);
  EXPECT_EQ(Contents(destination + name) + "|" + Contents(hot + name), "older|%!PS\nnewer\n");
  EXPECT_TRUE(log.Has(0, "No free name for " + name + " in " + destination + "."));
  EXPECT_EQ(std::string(params.messageText).rfind("GetActionStatus - move file failed, Src/Dest files were ", 0), 0u);
}

// A reused spare item keeps only its intake failure text; records cut values to the host's fields.
TEST_F(TimerActionTest, RecordsCarryTheItemsIntakeFailureAndLimits) {
  CLinkedFileList* item = new CLinkedFileList();
  std::memset(item->owner, 'o', sizeof item->owner);
  std::strcpy(item->intakeFailureText, "No FileSpec in the ticket");
  item->typeChecked = 1;
  item->Initialise();
  std::memset(item->fileName, 'n', sizeof item->fileName);
  item->jobType = 256;  // not type-checked: handed over as 0
  std::memset(item->title, 't', sizeof item->title);
  std::memset(item->uniqueId, 'u', sizeof item->uniqueId);
  CLinkedFileList* spare = new CLinkedFileList();
  spare->Initialise();
  item->next = spare;
  folder->pendingList = item;

  ASSERT_EQ(GetActionStatus(&params), 0);
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 1u);
  const ChainedFileItem& r = *records[0];  // all of an unterminated title
  EXPECT_EQ(std::make_tuple(r.jobType, r.itemFlags, std::string(r.intakeFailureText), std::string(r.fileName),
                            std::string(r.title), std::string(r.owner), std::strlen(r.uniqueId), std::string(r.folder)),
            std::make_tuple(0u, kItemHasIntakeFailure, "No FileSpec in the ticket", std::string(259, 'n'),
                            std::string(64, 't'), "", size_t{127}, hot));
}

// (A task whose folder is gone is pinned end to end.)
TEST_F(TimerActionTest, ABlockWithoutItsFolderSetsTheFailedState) {
  PluginParameters unset = DefaultBlock();
  unset.taskId = 7;
  EXPECT_EQ(GetActionStatus(&unset), -1);
  EXPECT_EQ(unset.actionState, 6);
  EXPECT_STREQ(unset.messageText, "GAS - folder is unset\n");
  ::GlobalFree(unset.messageText);
}

class ScannerStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialiseDefaultParameters(params);
    ASSERT_TRUE(scanner.EnsureWakeEvent());
  }
  void TearDown() override {
    scanner.Stop(10);
    EXPECT_FALSE(scanner.running());
  }

  CSluicegateApp app;  // no folders: every cycle has nothing to do
  ScannerState& scanner = TheScanner();
  PluginParameters params{};
};

// A stop ends only this process's scanner; a new start is not ended by it, nor counts on a thread that is ending.
TEST_F(ScannerStateTest, TheScannerRestartsAfterAStopOfItsOwnAndWhileItsLastThreadEnds) {
  params.dwFlags = ScriptBit;
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  EXPECT_EQ(scanner.taskFlags(), ScriptBit);  // the word is copied: the block may go
  // Another process's scanner waits on the shared wake-up event: a stop here must leave it alone.
  ScopedHandle shared(::OpenEventA(SYNCHRONIZE, FALSE, kScanWakeEventName));
  ASSERT_TRUE(shared.valid());
  scanner.Stop(10);
  EXPECT_EQ(::WaitForSingleObject(shared.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ASSERT_EQ(::WaitForSingleObject(scanner.stopEvent(), 0), WAIT_OBJECT_0);
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  EXPECT_EQ(::WaitForSingleObject(scanner.stopEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(scanner.stopRequested());
  EXPECT_TRUE(scanner.running());

  ASSERT_TRUE(::SetEvent(scanner.wakeEvent()));  // a wake-up without a stop: one cycle, then the thread ends
  // The ending thread holds its stop flag for a moment before it clears its
  // running flag; a start seen then must not count on it.
  WaitUntil([&] { return scanner.stopRequested() || !scanner.running(); });
  ASSERT_TRUE(scanner.EnsureRunning(nullptr));
  EXPECT_TRUE(scanner.running());
  EXPECT_FALSE(scanner.stopRequested());
  EXPECT_EQ(::WaitForSingleObject(scanner.wakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace

}  // namespace hf
