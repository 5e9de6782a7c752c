// The folder list: lookup, registration and removal.
#include "hotfolder/hot_folder_list.h"

#include "base/win32/windows_api.h"
#include "host/message_handover.h"
#include "hotfolder/sluicegate_app.h"

#include <cstring>

namespace hf {

namespace {

// The count is changed under the synchronisation event; the scanner peeks at
// it without the event, so every access is atomic.
void AddToCount(CSluicegateApp& app, int delta) { __atomic_add_fetch(&app.folderCount, delta, __ATOMIC_SEQ_CST); }

}  // namespace

CHotFolder* FindFolderByPath(CSluicegateApp& app, const char* path) {
  for (CHotFolder* folder = app.folderListHead; folder != nullptr; folder = folder->nextFolder)
    if (::lstrcmpiA(folder->path, path) == 0) return folder;
  return nullptr;
}

CHotFolder* FindFolderByTaskId(CSluicegateApp& app, uint32_t taskId) {
  for (CHotFolder* folder = app.folderListHead; folder != nullptr; folder = folder->nextFolder)
    if (folder->taskId == taskId) return folder;
  return nullptr;
}

void AppendFolder(CSluicegateApp& app, CHotFolder* folder) {
  folder->nextFolder = nullptr;
  CHotFolder** link = &app.folderListHead;
  while (*link != nullptr) link = &(*link)->nextFolder;
  *link = folder;
  AddToCount(app, 1);
}

std::unique_ptr<CHotFolder> UnlinkFolder(CSluicegateApp& app, CHotFolder* folder) {
  for (CHotFolder** link = &app.folderListHead; *link != nullptr; link = &(*link)->nextFolder) {
    if (*link != folder) continue;
    *link = folder->nextFolder;
    folder->nextFolder = nullptr;
    AddToCount(app, -1);
    return std::unique_ptr<CHotFolder>(folder);
  }
  return nullptr;
}

int unlinkFolderEntry(CSluicegateApp& app, PluginParameters* params, const char* folderPath) {
  if (app.folderListHead == nullptr) {
    HF_REPORT_ERROR(params, "unlinkFolderEntry - Folder list is empty.");
    return 0;
  }
  for (CHotFolder* folder = app.folderListHead; folder != nullptr; folder = folder->nextFolder) {
    if (std::strcmp(folder->path, folderPath) != 0) continue;
    UnlinkFolder(app, folder);  // destroyed here
    return 1;
  }
  HF_REPORT_ERROR(params, "unlinkFolderEntry - Folder is not in the list.");
  return 0;
}

void DestroyAllFolders(CSluicegateApp& app) {
  CHotFolder* folder = app.folderListHead;
  app.folderListHead = nullptr;
  __atomic_store_n(&app.folderCount, 0, __ATOMIC_SEQ_CST);
  while (folder != nullptr) {
    std::unique_ptr<CHotFolder> owned(folder);
    folder = owned->nextFolder;
  }
}

int RemoveFileItem(CSluicegateApp& app, CLinkedFileList* item) {
  if (item == nullptr) return 0;
  for (CHotFolder* folder = app.folderListHead; folder != nullptr; folder = folder->nextFolder) {
    if (RemoveHeadItem(folder->pendingList, item)) return 1;
    if (RemoveHeadItem(folder->foundList, item)) return 1;
  }
  return 0;
}

int FolderCountUnlocked(const CSluicegateApp& app) { return __atomic_load_n(&app.folderCount, __ATOMIC_SEQ_CST); }

}  // namespace hf
