// The module-wide list of hot folders (head and count kept by CSluicegateApp),
// chained by nextFolder in the order of registration, and the removal of a
// found-file item from whichever folder list starts with it.
//
// The list is read by the scanner and by GetActionStatus; every change and
// every walk of it happens while the synchronisation event is held.
#pragma once

#include "host/plugin_parameters.h"
#include "hotfolder/hot_folder.h"

#include <cstdint>
#include <memory>

namespace hf {

class CSluicegateApp;

// The registered folder whose path equals `path`, ignoring case; null when none.
CHotFolder* FindFolderByPath(CSluicegateApp& app, const char* path);

// The first registered folder of the task; null when none.
CHotFolder* FindFolderByTaskId(CSluicegateApp& app, uint32_t taskId);

// Appends the folder at the end of the list and counts it.
void AppendFolder(CSluicegateApp& app, CHotFolder* folder);

// Takes the folder out of the list (count decreased) and hands it over to the
// caller; null when it was not in the list.
std::unique_ptr<CHotFolder> UnlinkFolder(CSluicegateApp& app, CHotFolder* folder);

// Removes the folder whose path equals `folderPath` exactly (case-sensitive),
// destroys it and returns 1. Otherwise reports "unlinkFolderEntry - Folder
// list is empty." or "unlinkFolderEntry - Folder is not in the list." with
// ReportError and returns 0.
int unlinkFolderEntry(CSluicegateApp& app, PluginParameters* params, const char* folderPath);

// Destroys every folder with its lists; the list is empty afterwards.
void DestroyAllFolders(CSluicegateApp& app);

// Finds the folder whose pending list (tested first) or found-file list starts
// with `item`, makes that list start at item->next and destroys the item.
// 1 when removed, 0 when no list starts with it.
int RemoveFileItem(CSluicegateApp& app, CLinkedFileList* item);

// The folder count, read without holding the synchronisation event (the
// scanner's "nothing to do" test).
int FolderCountUnlocked(const CSluicegateApp& app);

}  // namespace hf
