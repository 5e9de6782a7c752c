// CFileGroup: one open group of separation files: its folder in the hot
// folder, its group file (held open, empty, while the group is open), its
// monitor thread and the events that drive it; CFileGroupByType gathers files
// of one extension, CFileGroupFNS files whose names a filename scheme gives
// the same group name.
#pragma once

#include "base/win32/scoped_handle.h"
#include "grouping/file_group_settings.h"

#include <atomic>
#include <string>

namespace hf {

class CFileGroupList;

// Results of the grouping operations, with the status numbers the group code
// has always logged and returned.
enum class GroupStatus : int {
  kOk = 0,
  kWrongExtension = 4,      // AddFile: extension does not fit the method
  kNotCreated = 6,          // AddFile: no group object
  kNotListed = 7,           // AddFile: the new group could not join the list
  kFileNotMoved = 8,        // MoveFileIntoGroup
  kNameRefused = 10,        // AddToNewGroup: name empty or the file's own, or no group file
  kFolderNotCreated = 11,   // AddToNewGroup
  kThreadInvalid = 13,      // monitor thread started without a group
  kMonitorNotStarted = 16,  // StartGroupMonitor
  kTemplateNotLoaded = 17,  // SetUpGrouping
  kNoColourDetails = 18,    // NewGroup by filename scheme
  kNotAnalysed = 20,        // AddFile
};

// Monitor states.
constexpr int kMonitorNotStarted = -1;
constexpr int kMonitorRunning = 0;
constexpr int kMonitorLeaving = 1;

class CFileGroup : public CFileGroupSettings {
 public:
  // Takes the owner's four settings.
  explicit CFileGroup(CFileGroupList* owner);
  // Closes the end and file-added events, signals and closes the third event.
  ~CFileGroup() override;

  // Slot 8. Moves the file in; on failure the grouping is undone, the group
  // file deleted and the group folder removed (when empty), and the move's
  // result returned. The kinds record the file in the group document.
  virtual GroupStatus AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                                     std::string& outPath);

  // Slot 9. Creates the group: group file (new, held open), FolderPath and
  // GroupName in the document, folder, events and monitor; then moves the
  // first file in. 10, 11, 16 or 8 on failure, with what was made removed.
  virtual GroupStatus AddToNewGroup(const std::string& fileName, const std::string& sourceFolder,
                                    const std::string& identifiedName, const std::string& name, std::string& outPath);

  // Moves <sourceFolder>\<fileName> to <folder>\<fileName> (a copy across
  // volumes); `outPath` is the new path. 0 or GroupStatus::kFileNotMoved.
  GroupStatus MoveFileIntoGroup(const std::string& fileName, const std::string& sourceFolder, std::string& outPath);

  // Starts the monitor thread; 0 or GroupStatus::kMonitorNotStarted.
  GroupStatus StartGroupMonitor();

  // Asks the monitor to close the group (signals the end event).
  void CloseGroup();

  // Moves every file of the group folder back into the folder that holds the
  // group file, each under its own name or a free one (nothing is replaced),
  // and removes the group folder. The group is marked undone: it matches no
  // further file and its document is never saved. False when some member
  // could not go back (named in the log): the folder and the group file are
  // then to stay, so that no member is stranded without its group file.
  bool UndoGrouping();

  // The monitor thread: runs MonitorGroup, then removes the group from its
  // owner (which saves and deletes it). Ends with 0, or GroupStatus::kThreadInvalid
  // when started without a group.
  static unsigned __stdcall MonitorGroupThreadProc(void* group);

  // Waits for files and the end event until the group is to close: on the
  // file count (when FileCountTrigger is set), on the end event, or after
  // TimeoutSeconds without a new file.
  void MonitorGroup();

  // True when a file of that name is already in the group folder.
  bool HoldsFileNamed(const std::string& fileName) const;

  // True while the group may take more files: the monitor has not begun to
  // close it and its grouping was not undone.
  bool AcceptsFiles() const;

  const std::string& name() const { return name_; }
  const std::string& identifiedName() const { return identifiedName_; }
  const std::string& folder() const { return folder_; }
  const std::string& groupFile() const { return groupFile_; }
  CFileGroupList* owner() const { return owner_; }
  HANDLE monitorThread() const { return monitorThread_.get(); }
  HANDLE endEvent() const { return endEvent_.get(); }
  HANDLE fileAddedEvent() const { return fileAddedEvent_.get(); }
  int monitorState() const { return monitorState_.load(); }
  int filesCounted() const { return fileCount_; }  // by the monitor
  bool undone() const { return undone_.load(); }
  bool groupFileOpen() const { return groupFileHandle_.valid(); }
  const std::string& colourDetails() const { return colourDetails_; }
  int pageNumber() const { return pageNumber_; }
  // The owner's template name and path.
  std::string templateName() const;
  std::string templatePath() const;

  // For the owner: closes the held group file (before the document is saved
  // over it) and gives up the monitor thread's handle.
  void CloseGroupFileHandle() { groupFileHandle_.reset(); }
  ScopedHandle TakeMonitorThread() { return std::move(monitorThread_); }
  // After a failed creation or addition: closes the group file, deletes it
  // and removes the group folder when it is empty (a member that could not be
  // moved back keeps it).
  void DiscardGroupFileAndFolder();

 protected:
  // The file-added event, after a file has been written into the document.
  void SignalFileAdded();
  void ForgetNames();

  std::string colourDetails_;  // of the file being matched or added
  int pageNumber_ = 0;         // of that file

 private:
  bool CreateEvents();

  CFileGroupList* owner_;
  ScopedHandle monitorThread_;
  HMODULE moduleReference_ = nullptr;  // taken for the monitor thread, given back as it ends
  std::atomic<int> monitorState_{kMonitorNotStarted};
  std::string name_;
  std::string identifiedName_;
  std::string folder_;
  std::string groupFile_;
  ScopedHandle groupFileHandle_;
  ScopedHandle fileAddedEvent_;
  ScopedHandle endEvent_;
  ScopedHandle thirdEvent_;
  int fileCount_ = 0;               // counted by the monitor
  std::atomic<int> filesAdded_{0};  // counted by whoever adds a file
  std::atomic<bool> undone_{false};
};

// Gathers files of one extension (grouping method 3); each group is named by
// the owner's MakeUniqueGroupName.
class CFileGroupByType : public CFileGroup {
 public:
  explicit CFileGroupByType(CFileGroupList* owner);
  ~CFileGroupByType() override;

  GroupStatus AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                             std::string& outPath) override;

  // The group takes files of its extension (case ignored) whose name is not
  // yet in its folder.
  bool MatchesFile(const std::string& extension, const std::string& fileName);

  // Names the group, creates it with the file and fills the document.
  GroupStatus NewGroup(const std::string& fileName, const std::string& sourceFolder, std::string& outPath);

  const std::string& extension() const { return extension_; }

 private:
  std::string extension_;
};

// Gathers files whose analysed group names agree (grouping method 2). Works
// on the owner's analyser, after CFileGroupList::AnalyseFile.
class CFileGroupFNS : public CFileGroup {
 public:
  explicit CFileGroupFNS(CFileGroupList* owner);
  ~CFileGroupFNS() override;

  GroupStatus AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                             std::string& outPath) override;

  // Computes the file's colour details and page number from the analysis;
  // true when the analysed group name is the group's (case ignored) and no
  // file of that name is in the group folder yet.
  bool MatchesFile(const std::string& fileName);

  // Names the group after the analysis, creates it with the file and fills
  // the document. GroupStatus::kNoColourDetails when the analysis gave none.
  GroupStatus NewGroup(const std::string& fileName, const std::string& sourceFolder, std::string& outPath);
};

}  // namespace hf
