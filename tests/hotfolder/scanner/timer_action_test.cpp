// One scan cycle and one hand-off, called directly on a registered folder (no
// scanner thread): the items a cycle records and the spare item that ends the
// list, the loop limit, the replacement of the pending list, a folder that
// cannot be listed, and GetActionStatus's moves, failed moves and records.
#include "hotfolder/scanner/timer_action.h"

#include "hotfolder/action_handlers.h"
#include "hotfolder/hot_folder_list.h"
#include "hotfolder/sluicegate_app.h"
#include "host/chained_file_item.h"
#include "jobs/win32/file_admission.h"
#include "host/zu_ini_file.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

namespace hf {

namespace {

// Written in place: a replacing write's temporary name would not fit beside a
// file at the path limit.
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

// An INI file of the host for the duration of a test; afterwards a path with
// no file, so that every key reads as its default.
class HostIniFile {
 public:
  explicit HostIniFile(const std::string& path) : path_(path) { Use(path_); }
  ~HostIniFile() { Use(path_ + ".gone"); }
  void Write(const std::string& text) { WriteText(path_, text); }

 private:
  static void Use(const std::string& path) {
    IniFileDescriptor descriptor{};
    std::snprintf(descriptor.path, sizeof descriptor.path, "%s", path.c_str());
    TheIniFile().SetDescriptor(descriptor);
  }
  std::string path_;
};

class TimerActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
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
    ModuleExclusionLists().Clear();
  }

  void SetDestination(const std::string& destination) {
    std::snprintf(params.destinationFolder, sizeof params.destinationFolder, "%s", destination.c_str());
  }

  CSluicegateApp app;
  TempFolder temp{"timer_action"};
  HostIniFile ini{temp.path() + "host.ini"};
  std::string hot;
  std::string out;
  CHotFolder* folder = nullptr;
  PluginParameters params = DefaultBlock();
};

TEST_F(TimerActionTest, EachAdmittedFileBecomesAnItemAndASpareItemEndsTheList) {
  WriteText(hot + "a.ps", "%!PS-Adobe-3.0\n%%Title: (Alpha)\n%%For: Ann\n%%EndComments\nshowpage\n");
  WriteText(hot + "b.pdf", "%PDF-1.4\n%%EOF\n");
  WriteText(hot + "c.json", "{\"job\": 1}");
  WriteText(hot + "d.jdf", "<jdf ID=\"n1\"></jdf>");
  WriteText(hot + "e.fgl", "[FileGroupInfo]\nFolderPath=x\n");
  LogCapture log;
  EXPECT_EQ(timerAction(&params), 0);

  EXPECT_EQ(folder->foundList, nullptr);
  EXPECT_EQ(folder->addedCount, 0u);
  std::vector<const CLinkedFileList*> items = ItemsOf(folder->pendingList);
  ASSERT_EQ(items.size(), 6u);
  const CLinkedFileList* spare = items.back();
  EXPECT_STREQ(spare->fileName, "");
  EXPECT_EQ(spare->typeChecked, 0u);

  std::set<std::string> ids;
  std::set<std::pair<std::string, uint32_t>> typed;
  for (size_t i = 0; i + 1 < items.size(); ++i) {
    EXPECT_EQ(items[i]->typeChecked, 1u);
    EXPECT_STREQ(items[i]->intakeFailureText, "");
    ids.insert(items[i]->uniqueId);
    typed.emplace(items[i]->fileName, items[i]->jobType);
    if (std::strcmp(items[i]->fileName, "a.ps") == 0) {
      EXPECT_STREQ(items[i]->title, "Alpha");
      EXPECT_STREQ(items[i]->owner, "Ann");
      EXPECT_GT(items[i]->fileSize, 0);
    }
  }
  EXPECT_EQ(ids.size(), 5u) << "every file has its own resource ID";
  EXPECT_EQ(typed, (std::set<std::pair<std::string, uint32_t>>{
                       {"a.ps", 1}, {"b.pdf", 2}, {"c.json", 2048}, {"d.jdf", 256}, {"e.fgl", 0x8000000}}));
  EXPECT_TRUE(log.Has(3, "Beginning scan on 1 folders"));
  EXPECT_TRUE(log.Has(3, "0 stops remaining, so replacing static list, now 5 items."));
  EXPECT_TRUE(log.Has(3, "Added 5 items to " + hot));
}

TEST_F(TimerActionTest, TheLoopLimitCountsAddedFilesNotSkippedEntries) {
  ini.Write("[HFA]\r\nFileLoopLimit=2\r\n");
  addToTextList("skip", ModuleExclusionLists().fileNames);
  for (const char* name : {"skip1.ps", "skip2.ps", "skip3.ps", "a.ps", "b.ps", "c.ps"})
    WriteText(hot + name, "%!PS\n");
  LogCapture log;
  timerAction(&params);
  std::vector<const CLinkedFileList*> items = ItemsOf(folder->pendingList);
  ASSERT_EQ(items.size(), 3u);
  for (size_t i = 0; i < 2; ++i) EXPECT_NE(std::string(items[i]->fileName).rfind("skip", 0), 0u);
  EXPECT_TRUE(log.Has(2, "Breaking out of loop as we added 2 files (limited to 2 per cycle)."));
}

TEST_F(TimerActionTest, AWalkThatAddsNothingEmptiesThePendingList) {
  folder->pendingList = new CLinkedFileList();
  std::strcpy(folder->pendingList->fileName, "stale.ps");
  WriteText(hot + "empty.ps", "");
  LogCapture log;
  timerAction(&params);
  EXPECT_EQ(folder->pendingList, nullptr);
  EXPECT_EQ(folder->foundList, nullptr);
  EXPECT_TRUE(log.Has(3, "No files in folder \"" + hot + "*.*\""));
  EXPECT_EQ(GetActionStatus(&params), 1);
}

TEST_F(TimerActionTest, AFolderThatCannotBeListedKeepsItsPendingListAndIsReported) {
  std::strcat(folder->path, "missing\\");
  folder->pendingList = new CLinkedFileList();
  std::strcpy(folder->pendingList->fileName, "waiting.ps");
  LogCapture log;
  timerAction(&params);
  ASSERT_NE(folder->pendingList, nullptr);
  EXPECT_STREQ(folder->pendingList->fileName, "waiting.ps");
  EXPECT_EQ(folder->foundList, nullptr);
  EXPECT_TRUE(log.Has(3, "[" + hot + "missing\\*.*] FFF returns -1"));
  EXPECT_TRUE(log.Has(2, "FFF error: 3"));
  EXPECT_EQ(params.errorCode, 3);
}

TEST_F(TimerActionTest, HandOffMovesEachFileAndChainsTheRecords) {
  WriteText(hot + "a.ps", "%!PS\na\n");
  WriteText(hot + "b.ps", "%!PS\nbb\n");
  timerAction(&params);
  SetDestination(out.substr(0, out.size() - 1));  // without its backslash
  LogCapture log;
  ASSERT_EQ(GetActionStatus(&params), 0);
  EXPECT_STREQ(params.destinationFolder, out.c_str());
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]->previous, nullptr);
  EXPECT_EQ(records[1]->previous, records[0]);
  for (ChainedFileItem* r : records) {
    EXPECT_STREQ(r->folder, out.c_str());
    EXPECT_EQ(Contents(out + r->fileName).size(), r->fileSize);
    EXPECT_TRUE(log.Has(2, "Moving normal file " + hot + r->fileName + " to " + out + r->fileName));
  }
  EXPECT_EQ(folder->pendingList, nullptr) << "the spare item is discarded too";
  EXPECT_TRUE(log.Has(3, "GetActionStatus for item #0 of task #7 : synched..."));
}

TEST_F(TimerActionTest, AFailedMoveIsReportedAndTheRecordNamesTheHotFolder) {
  WriteText(hot + "a.ps", "%!PS\na\n");
  timerAction(&params);
  WriteText(temp.path() + "blocker", "a file where the destination should be");
  SetDestination(temp.path() + "blocker\\out\\");
  LogCapture log;
  ASSERT_EQ(GetActionStatus(&params), 0);
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_STREQ(records[0]->folder, hot.c_str());
  EXPECT_STREQ(records[0]->fileName, "a.ps");
  const std::string text = "GetActionStatus - move file failed, Src/Dest files were " + hot + "a.ps -> " +
                           temp.path() + "blocker\\out\\a.ps";
  EXPECT_EQ(params.errorCode, -1);
  EXPECT_STREQ(params.messageText, (text + "\n").c_str());
  EXPECT_TRUE(log.Has(0, text + "\n"));
  EXPECT_TRUE(FileExists(hot + "a.ps"));
}

TEST_F(TimerActionTest, WhenNoUniqueNameFitsTheMoveFailsAndNothingIsOverwritten) {
  // A destination whose existing file fills the path limit: a longer unique
  // name no longer fits, so no free name can be given.
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
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_STREQ(records[0]->folder, hot.c_str());
  EXPECT_STREQ(records[0]->fileName, name.c_str());
  EXPECT_EQ(Contents(destination + name), "older");
  EXPECT_EQ(Contents(hot + name), "%!PS\nnewer\n");
  EXPECT_TRUE(log.Has(0, "No free name for " + name + " in " + destination + "."));
  EXPECT_EQ(std::string(params.messageText).rfind("GetActionStatus - move file failed, Src/Dest files were ", 0), 0u);
}

TEST_F(TimerActionTest, AGroupFileIsNeverGivenAnotherName) {
  ASSERT_EQ(CreateFolder(out, false), 0);
  WriteText(out + "g.fgl", "[FileGroupInfo]\nold\n");
  WriteText(hot + "g.fgl", "[FileGroupInfo]\nnew\n");
  timerAction(&params);
  SetDestination(out);
  LogCapture log;
  ASSERT_EQ(GetActionStatus(&params), 0);
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->jobType, 0x8000000u);
  EXPECT_STREQ(records[0]->fileName, "g.fgl");
  EXPECT_FALSE(FileExists(out + "g_0_0_0.fgl"));
  EXPECT_TRUE(log.Has(2, "Moving GroupList file"));
  EXPECT_FALSE(log.Has(3, "Call to makeUniqueTarget"));
}

TEST_F(TimerActionTest, RecordsCarryTheItemsIntakeFailureAndLimits) {
  CLinkedFileList* item = new CLinkedFileList();
  item->Initialise();
  std::strcpy(item->fileName, "ticket.jdf");
  item->jobType = 256;  // not type-checked: handed over as 0
  std::memset(item->title, 't', sizeof item->title - 1);
  std::memset(item->uniqueId, 'u', sizeof item->uniqueId - 1);
  std::strcpy(item->intakeFailureText, "No FileSpec in the ticket");
  CLinkedFileList* spare = new CLinkedFileList();
  spare->Initialise();
  item->next = spare;
  folder->pendingList = item;

  ASSERT_EQ(GetActionStatus(&params), 0);
  std::vector<ChainedFileItem*> records = RecordsOf(params);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->jobType, 0u);
  EXPECT_EQ(records[0]->itemFlags, 4u);
  EXPECT_STREQ(records[0]->intakeFailureText, "No FileSpec in the ticket");
  EXPECT_EQ(std::strlen(records[0]->title), 63u);
  EXPECT_EQ(std::strlen(records[0]->uniqueId), 127u);
  EXPECT_STREQ(records[0]->folder, hot.c_str());
}

TEST_F(TimerActionTest, TaskLevelFailuresSetTheFailedState) {
  PluginParameters unset = DefaultBlock();
  unset.taskId = 7;
  EXPECT_EQ(GetActionStatus(&unset), -1);
  EXPECT_EQ(unset.actionState, 6);
  EXPECT_STREQ(unset.messageText, "GAS - folder is unset\n");
  ::GlobalFree(unset.messageText);

  PluginParameters unknown = params;
  unknown.taskId = 8;
  unknown.messageText = nullptr;
  EXPECT_EQ(GetActionStatus(&unknown), -1);
  EXPECT_EQ(unknown.actionState, 6);
  EXPECT_STREQ(unknown.messageText, "GAStatus - folder unregistered / task Ended.\n");
  ::GlobalFree(unknown.messageText);
}

}  // namespace

}  // namespace hf
