// A group's creation, its files, its group file and folder, and the undoing
// of a grouping that failed part way.
#include "grouping/win32/file_group.h"
#include "base/ascii.h"
#include "grouping/win32/stranded_group.h"

#include "base/file_io.h"
#include "base/leading_integer.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/module_reference.h"
#include "base/win32/perform_op.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"
#include "grouping/group_path_checks.h"
#include "grouping/win32/file_group_list.h"
#include "jobs/win32/move_without_replacing.h"

#include <process.h>

#include <cstdio>
#include <cstring>

namespace hf {

namespace {

constexpr const char kSourceName[] = "file_group.cpp";

// Waits longer than about 49 days are not needed; the product would wrap.
DWORD TimeoutMilliseconds(int seconds) {
  if (seconds <= 0) return 0;
  const unsigned long long milliseconds = static_cast<unsigned long long>(seconds) * 1000ull;
  return milliseconds >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(milliseconds);
}

// A group name is joined to the hot folder: it must stay a plain name there.
bool NamesAFolderInside(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

// The colour (separation) name of an analysis: the name the catalogue knows
// it by, else its normalised or found spelling. The colour details are comma
// separated and their second field names the group, so a comma in a spot
// colour's name ("(Red, warm)") would shift every field and put the file into
// another group: it is written as a semicolon, and the log says so.
std::string ColourNameOf(const BestColour& best) {
  std::string name = !best.OriginalColor.empty()     ? best.OriginalColor
                     : !best.NormalisedColor.empty() ? best.NormalisedColor
                                                     : best.FoundColor;
  if (name.find(',') == std::string::npos) return name;
  std::string written = name;
  for (char& c : written)
    if (c == ',') c = ';';
  Log(LogLevel::kDetail, "Colour name <%s> is written as <%s> in the group file", name.c_str(), written.c_str());
  return written;
}

std::string WithoutCommas(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c != ',') result.push_back(c);
  }
  return result;
}

}  // namespace

// ---- CFileGroup ----

CFileGroup::CFileGroup(CFileGroupList* owner) : owner_(owner) {
  if (owner_ != nullptr) CopySettingsFrom(owner_->settings());
}

CFileGroup::~CFileGroup() {
  endEvent_.reset();
  fileAddedEvent_.reset();
  if (thirdEvent_) ::SetEvent(thirdEvent_.get());
  thirdEvent_.reset();
}

std::string CFileGroup::templateName() const { return owner_ != nullptr ? owner_->templateName() : std::string(); }
std::string CFileGroup::templatePath() const { return owner_ != nullptr ? owner_->templatePath() : std::string(); }

void CFileGroup::ForgetNames() {
  name_.clear();
  identifiedName_.clear();
}

bool CFileGroup::HoldsFileNamed(const std::string& fileName) const {
  return !folder_.empty() && FileExists(JoinPath(folder_, fileName));
}

bool CFileGroup::AcceptsFiles() const { return monitorState_.load() != kMonitorLeaving && !undone_.load(); }

void CFileGroup::SignalFileAdded() {
  filesAdded_.fetch_add(1);
  if (fileAddedEvent_) ::SetEvent(fileAddedEvent_.get());
}

void CFileGroup::DiscardGroupFileAndFolder() {
  groupFileHandle_.reset();
  if (!groupFile_.empty()) ::DeleteFileA(groupFile_.c_str());
  // Only an empty folder goes: a member that could not be moved back stays.
  if (!folder_.empty()) ::RemoveDirectoryA(folder_.c_str());
}

bool CFileGroup::CreateEvents() {
  endEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  fileAddedEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  thirdEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  return endEvent_ && fileAddedEvent_ && thirdEvent_;
}

GroupStatus CFileGroup::AddToNewGroup(const std::string& fileName, const std::string& sourceFolder,
                                      const std::string& identifiedName, const std::string& name,
                                      std::string& outPath) {
  Log(LogLevel::kDetail, "AddToNewGroup()");
  if (identifiedName.empty()) {
    Log(LogLevel::kDetail, "NewGroup failed - Groupname is empty");
    return GroupStatus::kNameRefused;
  }
  name_ = name;
  identifiedName_ = identifiedName;
  Log(LogLevel::kDetail, "Real Group Name = <%s>, Group Name = <%s>", identifiedName_.c_str(), name_.c_str());
  if (EqualsIgnoringAsciiCase(fileName, identifiedName_)) {
    Log(LogLevel::kDetail, "Matching failed - file will pass through normally");
    ForgetNames();
    return GroupStatus::kNameRefused;
  }
  if (!NamesAFolderInside(name_)) {
    Log(LogLevel::kDetail, "Group name <%s> cannot name a folder - file will pass through normally", name_.c_str());
    ForgetNames();
    return GroupStatus::kNameRefused;
  }

  folder_ = JoinPath(sourceFolder, name_);
  groupFile_ = folder_ + ".fgl";
  Log(LogLevel::kTrace, "Creating the group file for group: %s <%s>", identifiedName_.c_str(), groupFile_.c_str());
  // A file of that name (another group's, or one waiting to be handed over)
  // is never overwritten.
  groupFileHandle_.reset(::CreateFileA(groupFile_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
  if (!groupFileHandle_) {
    Log(LogLevel::kDetail, "Create GroupFile failed - %ld", static_cast<long>(::GetLastError()));
    ForgetNames();
    return GroupStatus::kNameRefused;
  }

  Log(LogLevel::kTrace, "Write Group Folder <%s> to <%s>", folder_.c_str(), groupFile_.c_str());
  group().SetFolderPath(folder_);
  Log(LogLevel::kTrace, "Write Group Name <%s> to <%s>", identifiedName_.c_str(), groupFile_.c_str());
  group().SetGroupName(identifiedName_);

  Log(LogLevel::kTrace, "Creating the group folder <%s>", folder_.c_str());
  if (!::CreateDirectoryA(folder_.c_str(), nullptr)) {
    Log(LogLevel::kDetail, "CreateDirectory() failed: %d", static_cast<int>(::GetLastError()));
    groupFileHandle_.reset();
    ::DeleteFileA(groupFile_.c_str());
    ForgetNames();
    return GroupStatus::kFolderNotCreated;
  }

  Log(LogLevel::kTrace, "Creating thread events for group <%s>", name_.c_str());
  const bool eventsMade = CreateEvents();
  Log(LogLevel::kTrace, "Thread timeout = %ld seconds", static_cast<long>(timeoutSeconds()));
  Log(LogLevel::kTrace, "Starting monitoring thread for group <%s>", name_.c_str());
  if (!eventsMade || StartGroupMonitor() != GroupStatus::kOk) {
    Log(LogLevel::kDetail, "StartGroupMonitor() failed");
    DiscardGroupFileAndFolder();
    ForgetNames();
    return GroupStatus::kMonitorNotStarted;
  }
  // The monitor has started once it leaves the first state (or has ended).
  while (monitorState_.load() == kMonitorNotStarted && ::WaitForSingleObject(monitorThread_.get(), 0) == WAIT_TIMEOUT) {
    ::SwitchToThread();
  }

  Log(LogLevel::kDetail, "Adding file <%s> to group <%s>", fileName.c_str(), name_.c_str());
  GroupStatus result = MoveFileIntoGroup(fileName, sourceFolder, outPath);
  if (result != GroupStatus::kOk) {
    Log(LogLevel::kDetail, "MoveFileIntoGroup() failed");
    undone_ = true;  // nothing of it is kept: never saved, never matched
    DiscardGroupFileAndFolder();
  }
  return result;
}

GroupStatus CFileGroup::AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                                       std::string& outPath) {
  Log(LogLevel::kDetail, "Adding file <%s> to group <%s>", fileName.c_str(), name_.c_str());
  GroupStatus result = MoveFileIntoGroup(fileName, sourceFolder, outPath);
  if (result == GroupStatus::kOk) return GroupStatus::kOk;
  Log(LogLevel::kDetail, "MoveFileIntoGroup() failed");
  if (UndoGrouping()) DiscardGroupFileAndFolder();
  return result;
}

GroupStatus CFileGroup::MoveFileIntoGroup(const std::string& fileName, const std::string& sourceFolder,
                                          std::string& outPath) {
  Log(LogLevel::kTrace, "MoveFileIntoGroup");
  const std::string source = JoinPath(sourceFolder, fileName);
  outPath = JoinPath(folder_, fileName);
  Log(LogLevel::kTrace, "Moving file <%s> to <%s>", source.c_str(), outPath.c_str());
  if (!::MoveFileExA(source.c_str(), outPath.c_str(), MOVEFILE_COPY_ALLOWED)) {
    Log(LogLevel::kDetail, "MoveFileEx(%s, %s) failed, error(%d)", source.c_str(), outPath.c_str(),
        static_cast<int>(::GetLastError()));
    return GroupStatus::kFileNotMoved;
  }
  return GroupStatus::kOk;
}

GroupStatus CFileGroup::StartGroupMonitor() {
  unsigned threadId = 0;
  // The monitor keeps the library loaded until its last step.
  moduleReference_ = TakeModuleReference();
  uintptr_t thread =
      ::_beginthreadex(nullptr, 0, &CFileGroup::MonitorGroupThreadProc, this, CREATE_SUSPENDED, &threadId);
  if (thread == 0) {
    ReleaseModuleReference(moduleReference_);
    moduleReference_ = nullptr;
    Log(LogLevel::kDetail, "AfxBeginThread() failed");
    return GroupStatus::kMonitorNotStarted;
  }
  monitorThread_.reset(reinterpret_cast<HANDLE>(thread));
  ::ResumeThread(monitorThread_.get());
  return GroupStatus::kOk;
}

void CFileGroup::CloseGroup() {
  Log(LogLevel::kTrace, "Closing group <%s>", name_.c_str());
  if (endEvent_ && monitorThread_) ::SetEvent(endEvent_.get());
}

bool CFileGroup::UndoGrouping() {
  Log(LogLevel::kTrace, "UndoGrouping");
  undone_ = true;
  if (CheckFilePath(groupFile_, kSourceName, __LINE__) != PathCheck::kValid) return true;
  // The group file stays empty while the group is open; its folder is in the
  // document.
  std::string folder;
  group().GetFolderPath(folder);
  if (CheckFolderPath(folder, kSourceName, __LINE__) != PathCheck::kValid) return true;
  // Members go back under their names, or free ones: a job that arrived
  // meanwhile under the same name is never replaced.
  const std::vector<std::string> left =
      ReturnFilesToHotFolder(WithoutTrailingSeparators(folder), ParentFolder(groupFile_), "Undoing a group");
  if (left.empty()) return true;
  Log(LogLevel::kError,
      "Group <%s>: %lu member(s) could not go back to the hot folder and stay in <%s> with its group file: %s",
      name_.c_str(), static_cast<unsigned long>(left.size()), folder.c_str(), JoinTexts(left, ", ").c_str());
  // The hand-over tries them again at every scan once the group has let go.
  MarkGroupStranded(groupFile_);
  return false;
}

unsigned __stdcall CFileGroup::MonitorGroupThreadProc(void* parameter) {
  const long threadId = static_cast<long>(::GetCurrentThreadId());
  CFileGroup* group = static_cast<CFileGroup*>(parameter);
  if (group == nullptr) {
    Log(LogLevel::kError, "%s(%ld): Thread launched with invalid parameters", "MonitorGroupThreadProc", threadId);
    return static_cast<unsigned>(GroupStatus::kThreadInvalid);
  }
  // Read now: the group is deleted when its owner removes it.
  const HMODULE module = group->moduleReference_;
  Log(LogLevel::kDetail, "%s(%ld): MonitorThread started", "MonitorGroupThreadProc", threadId);
  // Nothing escapes the thread: a monitor that fails closes its group all the
  // same, so that its files are handed over.
  try {
    group->MonitorGroup();
  } catch (...) {
    Log(LogLevel::kError, "%s(%ld): The monitor of group <%s> failed - closing it", "MonitorGroupThreadProc", threadId,
        group->name().c_str());
  }

  CFileGroupList* owner = group->owner();
  if (owner == nullptr) {
    Log(LogLevel::kError, "%s(%ld): Owner became invalid while still in thread", "MonitorGroupThreadProc", threadId);
  } else {
    Log(LogLevel::kDetail, "%s(%ld): About to remove group <%s>", "MonitorGroupThreadProc", threadId,
        group->name().c_str());
    try {
      owner->RemoveGroup(group);  // the group is gone afterwards
    } catch (...) {
      Log(LogLevel::kError, "%s(%ld): Closing a group failed", "MonitorGroupThreadProc", threadId);
    }
  }
  Log(LogLevel::kDetail, "%s(%ld): MonitorThread stopped", "MonitorGroupThreadProc", threadId);
  ExitThreadReleasingModule(module, 0);
}

void CFileGroup::MonitorGroup() {
  const long threadId = static_cast<long>(::GetCurrentThreadId());
  const DWORD timeout = TimeoutMilliseconds(timeoutSeconds());
  Log(LogLevel::kError, "%s(%ld): Thread timeout = %ldms", "MonitorGroup", threadId, static_cast<long>(timeout));
  monitorState_ = kMonitorRunning;
  HANDLE events[2] = {fileAddedEvent_.get(), endEvent_.get()};
  while (monitorState_.load() == kMonitorRunning) {
    // The wait starts afresh after every file: the group closes after
    // TimeoutSeconds without a new one.
    const DWORD waited = ::WaitForMultipleObjects(2, events, FALSE, timeout);
    if (waited == WAIT_OBJECT_0) {
      // Two files added between two wake-ups signal the event once; the
      // count of added files is exact.
      fileCount_ = filesAdded_.load();
      if (fileCountTrigger() != 0 && fileCount_ >= fileCount()) {
        monitorState_ = kMonitorLeaving;
        Log(LogLevel::kTrace, "%s(%ld): Hit file count limit for <%s> - leaving", "MonitorGroup", threadId,
            name_.c_str());
      }
    } else if (waited == WAIT_OBJECT_0 + 1) {
      monitorState_ = kMonitorLeaving;
      Log(LogLevel::kTrace, "%s(%ld): Got an end event for group <%s> - leaving", "MonitorGroup", threadId,
          name_.c_str());
    } else if (waited == WAIT_TIMEOUT) {
      monitorState_ = kMonitorLeaving;
      Log(LogLevel::kDetail, "%s(%ld): Got timeout for group <%s> - leaving", "MonitorGroup", threadId, name_.c_str());
    } else {
      monitorState_ = kMonitorLeaving;
      Log(LogLevel::kDetail, "%s(%ld): Got an unknown response for group <%s> - leaving", "MonitorGroup", threadId,
          name_.c_str());
    }
  }
}

// ---- CFileGroupByType ----

CFileGroupByType::CFileGroupByType(CFileGroupList* owner) : CFileGroup(owner) {}
CFileGroupByType::~CFileGroupByType() = default;

GroupStatus CFileGroupByType::AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                                             std::string& outPath) {
  GroupStatus result = CFileGroup::AddFileToGroup(fileName, sourceFolder, outPath);
  if (result != GroupStatus::kOk) return result;
  group().SetFileInfo(fileName, std::string());
  SignalFileAdded();
  return GroupStatus::kOk;
}

bool CFileGroupByType::MatchesFile(const std::string& extension, const std::string& fileName) {
  Log(LogLevel::kDetail, "Comparing <%s> against <%s>", extension.c_str(), extension_.c_str());
  if (!EqualsIgnoringAsciiCase(extension, extension_)) return false;
  Log(LogLevel::kDetail, "Group name matches for group <%s>", identifiedName().c_str());
  if (HoldsFileNamed(fileName)) {
    Log(LogLevel::kDetail, "File <%s> already exists in group <%s>", fileName.c_str(), identifiedName().c_str());
    return false;
  }
  return true;
}

GroupStatus CFileGroupByType::NewGroup(const std::string& fileName, const std::string& sourceFolder,
                                       std::string& outPath) {
  const std::string name = owner() != nullptr ? owner()->MakeUniqueGroupName() : std::string();
  GroupStatus result = AddToNewGroup(fileName, sourceFolder, name, name, outPath);
  if (result != GroupStatus::kOk) {
    Log(LogLevel::kDetail, "Failed to add file to new group - error %ld", static_cast<long>(result));
    return result;
  }
  Log(LogLevel::kTrace, "Writing File details to <%s>", groupFile().c_str());
  WriteSettings(document());
  group().SetGroupMethod(kGroupMethodFileType);
  group().SetNoSubScan("Yes");
  extension_ = GetExtension(fileName);
  group().SetExtension(extension_);
  group().SetFileInfo(fileName, std::string());
  Log(LogLevel::kTrace, "Writing TimeoutKey <%d> to <%s>", timeoutSeconds(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing Serial Mode Flag <%d> to <%s>", serialMode(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing File Count Trigger <%d> to <%s>", fileCountTrigger(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing File Count Value <%d> to <%s>", fileCount(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing Grouping Method <%d> to <%s>", kGroupMethodFileType, groupFile().c_str());
  SignalFileAdded();
  return GroupStatus::kOk;
}

// ---- CFileGroupFNS ----

CFileGroupFNS::CFileGroupFNS(CFileGroupList* owner) : CFileGroup(owner) {}
CFileGroupFNS::~CFileGroupFNS() = default;

GroupStatus CFileGroupFNS::AddFileToGroup(const std::string& fileName, const std::string& sourceFolder,
                                          std::string& outPath) {
  GroupStatus result = CFileGroup::AddFileToGroup(fileName, sourceFolder, outPath);
  if (result != GroupStatus::kOk) return result;
  if (SplitCommaFields(colourDetails_).size() < 3) colourDetails_.clear();
  Log(LogLevel::kDetail, "Writing Colour Details for <%s> [%s] to %s", fileName.c_str(), colourDetails_.c_str(),
      groupFile().c_str());
  group().SetFileInfo(fileName, colourDetails_);
  group().SetPageNumber(fileName, pageNumber_);
  colourDetails_.clear();
  SignalFileAdded();
  return GroupStatus::kOk;
}

bool CFileGroupFNS::MatchesFile(const std::string& fileName) {
  CFilenameAnalyser* analyser = owner() != nullptr ? owner()->analyser() : nullptr;
  if (analyser == nullptr) return false;
  const BestColour& best = analyser->best();
  const std::string groupName = WithoutCommas(analyser->groupName());
  const std::string colourName = ColourNameOf(best);
  if (best.cmykDefined) {
    char details[512];
    std::snprintf(details, sizeof details, "%s,%s,%d,%d,%d,%d,%d,%d", colourName.c_str(), groupName.c_str(),
                  best.cmyk[0], best.cmyk[1], best.cmyk[2], best.cmyk[3], best.mixable ? 1 : 0,
                  static_cast<int>(best.type));
    colourDetails_ = details;
  } else {
    colourDetails_ = colourName + "," + groupName;
  }
  Log(LogLevel::kDetail, "Colour Details <%s>", colourDetails_.c_str());
  pageNumber_ = LeadingInteger(analyser->pageNumber());

  Log(LogLevel::kDetail, "Comparing <%s> against <%s>", groupName.c_str(), identifiedName().c_str());
  if (!EqualsIgnoringAsciiCase(groupName, identifiedName())) return false;
  Log(LogLevel::kDetail, "Group name matches for group <%s>", identifiedName().c_str());
  if (HoldsFileNamed(fileName)) {
    Log(LogLevel::kDetail, "File <%s> already exists in group <%s>", fileName.c_str(), identifiedName().c_str());
    return false;
  }
  return true;
}

GroupStatus CFileGroupFNS::NewGroup(const std::string& fileName, const std::string& sourceFolder,
                                    std::string& outPath) {
  MatchesFile(fileName);  // only for the colour details and the page number
  if (colourDetails_.empty()) {
    Log(LogLevel::kDetail, "Failed to add file to new group - error %ld", 0L);
    return GroupStatus::kNoColourDetails;
  }
  const std::vector<std::string> fields = SplitCommaFields(colourDetails_);
  const std::string identifiedName = fields.empty() ? std::string("Unknown") : fields.size() > 1 ? fields[1] : "";
  if (fields.size() < 3) colourDetails_.clear();
  const std::string name =
      (owner() == nullptr || owner()->uniqueNames() == 0) ? identifiedName : owner()->MakeUniqueGroupName();

  GroupStatus result = AddToNewGroup(fileName, sourceFolder, identifiedName, name, outPath);
  if (result != GroupStatus::kOk) {
    Log(LogLevel::kDetail, "Failed to add file to new group - error %ld", static_cast<long>(result));
    return result;
  }
  Log(LogLevel::kTrace, "Writing File details to <%s>", groupFile().c_str());
  WriteSettings(document());
  group().SetGroupMethod(kGroupMethodFilenameScheme);
  group().SetFNSFileName(templateName());
  group().SetFileInfo(fileName, colourDetails_);
  group().SetExtension(GetExtension(fileName));
  group().SetPageNumber(fileName, pageNumber_);
  Log(LogLevel::kTrace, "Writing TimeoutKey <%d> to <%s>", timeoutSeconds(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing Serial Mode Flag <%d> to <%s>", serialMode(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing File Count Trigger <%d> to <%s>", fileCountTrigger(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing File Count Value <%d> to <%s>", fileCount(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing Grouping Method <%d> to <%s>", kGroupMethodFilenameScheme, groupFile().c_str());
  Log(LogLevel::kTrace, "Writing FNS template used <%s> to <%s>", templateName().c_str(), groupFile().c_str());
  Log(LogLevel::kTrace, "Writing Colour Details for <%s> [%s] to %s", fileName.c_str(), colourDetails_.c_str(),
      groupFile().c_str());
  colourDetails_.clear();
  pageNumber_ = 0;
  SignalFileAdded();
  return GroupStatus::kOk;
}

}  // namespace hf
