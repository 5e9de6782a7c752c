// CHotFolder: one watched folder, registered by StartAction, with the two
// lists of found files and the set-up of its optional services (grouping,
// scripting, thumbnails).
#pragma once

#include "host/message_handover.h"
#include "hotfolder/linked_file_list.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hf {

class CFileGroupList;  // the folder's separation grouping object

constexpr size_t kFolderPathSize = 260;

class CHotFolder {
 public:
  CHotFolder();  // out of line: the group list is an incomplete type here
  // Destroys every item of both lists and the group list.
  virtual ~CHotFolder();
  CHotFolder(const CHotFolder&) = delete;
  CHotFolder& operator=(const CHotFolder&) = delete;

  uint32_t taskId = 0;          // the task that registered the folder
  uint32_t stopsRemaining = 0;  // the scanner's countdown; nothing sets it
  CHotFolder* nextFolder = nullptr;
  char path[kFolderPathSize] = {};         // with a trailing backslash
  uint32_t folderFlags = 0;                // the task's option word, carried
  CLinkedFileList* foundList = nullptr;    // built by the scan in progress
  CLinkedFileList* pendingList = nullptr;  // waiting for GetActionStatus
  uint32_t addedCount = 0;                 // files added by the last walk, until its list is taken over
  uint32_t groupingActive = 0;
  std::unique_ptr<CFileGroupList> groupList;
  uint32_t scriptingEnabled = 0;
  std::string scriptName;  // in the scripts folder
  uint32_t thumbnailsEnabled = 0;
  std::string thumbnailFolder;
  // Messages and error reports for the task's host, made by the scanner (on
  // its own block) or by a walk, handed over one per GetActionStatus as the
  // host's block has room. An equal report already waiting is not queued
  // again, and the queue is bounded (what overflows is only in the log).
  void QueueReport(BlockReport report);
  std::deque<BlockReport> pendingReports;
  // The jobs whose failed move has been told (so that a retry is not told
  // again), with the tick count of the first failure; a group whose move
  // keeps failing for groupMoveGiveUpMs is left in the hot folder.
  std::map<std::string, uint32_t> reportedMoveFailures;
  uint32_t groupMoveGiveUpMs = 10 * 60 * 1000;
};

}  // namespace hf
