// The module-wide folder list: lookups, registration order, unlinkFolderEntry
// with its two reports, and the removal of a found-file item from whichever
// folder list starts with it.
#include "hotfolder/hot_folder_list.h"

#include "hotfolder/sluicegate_app.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace hf {

namespace {

CHotFolder* NewFolder(const char* path, uint32_t taskId) {
  CHotFolder* folder = new CHotFolder();
  std::strcpy(folder->path, path);
  folder->taskId = taskId;
  return folder;
}

CLinkedFileList* NewItem(const char* name, CLinkedFileList* next = nullptr) {
  CLinkedFileList* item = new CLinkedFileList();
  item->Initialise();
  std::strcpy(item->fileName, name);
  item->next = next;
  return item;
}

class HotFolderListTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DestroyAllFolders(app);
    if (params.messageText != nullptr) ::GlobalFree(params.messageText);
  }

  CSluicegateApp app;
  PluginParameters params = DefaultBlock();
};

TEST_F(HotFolderListTest, FoldersAreKeptInTheOrderOfRegistration) {
  CHotFolder* a = NewFolder("C:\\a\\", 1);
  CHotFolder* b = NewFolder("C:\\b\\", 2);
  CHotFolder* c = NewFolder("C:\\c\\", 2);
  AppendFolder(app, a);
  AppendFolder(app, b);
  AppendFolder(app, c);
  EXPECT_EQ(app.folderCount, 3);
  EXPECT_EQ(FolderCountUnlocked(app), 3);
  EXPECT_EQ(app.folderListHead, a);
  EXPECT_EQ(a->nextFolder, b);
  EXPECT_EQ(b->nextFolder, c);
  EXPECT_EQ(c->nextFolder, nullptr);
  EXPECT_EQ(FindFolderByTaskId(app, 2), b);
  EXPECT_EQ(FindFolderByTaskId(app, 9), nullptr);
}

TEST_F(HotFolderListTest, PathLookupIgnoresCaseButUnlinkingDoesNot) {
  CHotFolder* folder = NewFolder("C:\\Hot\\In\\", 1);
  AppendFolder(app, folder);
  EXPECT_EQ(FindFolderByPath(app, "c:\\HOT\\in\\"), folder);
  EXPECT_EQ(FindFolderByPath(app, "C:\\Hot\\In"), nullptr);

  EXPECT_EQ(unlinkFolderEntry(app, &params, "c:\\hot\\in\\"), 0);
  EXPECT_EQ(MessageOf(params), "unlinkFolderEntry - Folder is not in the list.\n");
  EXPECT_EQ(params.errorCode, -1);
  EXPECT_EQ(app.folderCount, 1);
}

TEST_F(HotFolderListTest, UnlinkFolderEntryRemovesAndDestroysTheFolder) {
  AppendFolder(app, NewFolder("C:\\a\\", 1));
  CHotFolder* b = NewFolder("C:\\b\\", 2);
  b->pendingList = NewItem("x.ps", NewItem(""));
  AppendFolder(app, b);
  AppendFolder(app, NewFolder("C:\\c\\", 3));

  EXPECT_EQ(unlinkFolderEntry(app, &params, "C:\\b\\"), 1);
  EXPECT_EQ(app.folderCount, 2);
  EXPECT_EQ(FindFolderByTaskId(app, 2), nullptr);
  EXPECT_EQ(app.folderListHead->nextFolder, FindFolderByTaskId(app, 3));
  EXPECT_EQ(params.messageText, nullptr);
  EXPECT_EQ(params.errorCode, 0);
}

TEST_F(HotFolderListTest, UnlinkFolderEntryOnAnEmptyListReportsIt) {
  EXPECT_EQ(unlinkFolderEntry(app, &params, "C:\\a\\"), 0);
  EXPECT_EQ(MessageOf(params), "unlinkFolderEntry - Folder list is empty.\n");
  EXPECT_EQ(app.folderCount, 0);
}

TEST_F(HotFolderListTest, RemoveFileItemLooksAtPendingListsFirstAndOnlyAtTheirHeads) {
  CHotFolder* a = NewFolder("C:\\a\\", 1);
  CHotFolder* b = NewFolder("C:\\b\\", 2);
  CLinkedFileList* second = NewItem("second.ps");
  CLinkedFileList* pending = NewItem("pending.ps", second);
  CLinkedFileList* found = NewItem("found.ps");
  b->pendingList = pending;
  b->foundList = found;
  AppendFolder(app, a);
  AppendFolder(app, b);

  EXPECT_EQ(RemoveFileItem(app, second), 0);  // not at a head
  EXPECT_EQ(b->pendingList, pending);
  EXPECT_EQ(RemoveFileItem(app, pending), 1);
  EXPECT_EQ(b->pendingList, second);
  EXPECT_EQ(RemoveFileItem(app, found), 1);
  EXPECT_EQ(b->foundList, nullptr);
  EXPECT_EQ(RemoveFileItem(app, nullptr), 0);
}

}  // namespace

}  // namespace hf
