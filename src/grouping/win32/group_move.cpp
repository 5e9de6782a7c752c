// The move of a group file with its group folder.
#include "grouping/win32/group_move.h"
#include "base/ascii.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/perform_op.h"
#include "base/win32/windows_api.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"
#include "grouping/group_path_checks.h"
#include "grouping/win32/group_ref_count.h"

#include <initializer_list>

namespace hf {

namespace {

constexpr const char kSourceName[] = "group_move.cpp";

// "X:\..." or "\\server\share...": a path that does not depend on the
// current drive or folder.
bool IsAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsPathSeparator(path[2])) return true;
  return path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) && !IsPathSeparator(path[2]);
}

// Absolute, without "." and "..", without a trailing separator (a drive root
// keeps its backslash), upper case: the form in which folders are compared.

// Why a group's FolderPath must not be touched, or null when it may be.
const char* RefusalReason(const std::string& folderPath, const std::string& groupFilePath,
                          const std::string& destination, const std::string& hotFolder) {
  if (!IsAbsolutePath(folderPath)) return "not an absolute path";
  const std::string full = ComparablePath(folderPath);
  if (IsDriveOrShareRoot(full) || IsDriveOrShareRoot(folderPath)) return "a drive or share root";
  if (IsSameOrInside(hotFolder, folderPath)) return "the hot folder or a folder above it";
  if (IsSameOrInside(destination, folderPath)) return "the destination or a folder above it";
  if (IsSameOrInside(ParentFolder(groupFilePath), folderPath)) return "the group file's folder or one above it";
  return nullptr;
}

bool SameDrive(const std::string& first, const std::string& second) {
  if (first.empty() || second.empty()) return first.empty() && second.empty();
  return AsciiToUpper(first[0]) == AsciiToUpper(second[0]);
}

// After a failed move: a group folder that reached the destination while its
// source is gone goes back, so that the group is whole where it was.
void MoveFolderBack(const std::string& folder, const std::string& movedFolder) {
  if (FolderExists(folder) || !FolderExists(movedFolder)) return;
  CPathList from;
  CPathList to;
  if (!from.Add(movedFolder) || !to.Add(ParentFolder(folder))) return;
  int result = PerformOp(from.data(), to.data(), kFileOpMove, 0);
  if (result != 0)
    Log(LogLevel::kError, "Group folder <%s> could not be moved back to <%s> - %d", movedFolder.c_str(), folder.c_str(),
        result);
}

// Points a group file's FolderPath at its folder's new place; false (logged)
// when the file cannot be read or written.
bool SetFolderPath(const std::string& groupFile, const std::string& folder) {
  CIniDocument document;
  if (!document.Load(groupFile)) {
    Log(LogLevel::kError, "Moved group file <%s> could not be read to set its FolderPath", groupFile.c_str());
    return false;
  }
  CGroupDocument(document).SetFolderPath(folder);
  if (document.Save()) return true;
  Log(LogLevel::kError, "Moved group file <%s> could not be written", groupFile.c_str());
  return false;
}

// Deletes the paths with the silent file operation; its result (0: deleted).
int DeletePaths(std::initializer_list<std::string> paths) {
  CPathList list;
  for (const std::string& path : paths) list.Add(path);
  return PerformOp(list.data(), nullptr, kFileOpDelete, 0);
}

// After a copy to another drive: the originals go, the group file first, so
// that a failed delete never leaves a second group to be handed over. False
// when the group file stays.
bool DeleteOriginals(const std::string& groupFile, const std::string& folder, bool folderTravels) {
  if (const int result = DeletePaths({groupFile})) {
    Log(LogLevel::kError, "Group file <%s> could not be deleted after its copy - %d", groupFile.c_str(), result);
    return false;
  }
  if (folderTravels)
    if (const int result = DeletePaths({folder}))
      Log(LogLevel::kError, "Group folder <%s> could not be deleted after its copy - %d", folder.c_str(), result);
  return true;
}

// A move that fails after its copy leaves nothing in the destination.
void RemoveCopies(const std::string& groupFile, const std::string& folder, bool folderTravels) {
  const int result = folderTravels ? DeletePaths({groupFile, folder}) : DeletePaths({groupFile});
  if (result != 0)
    Log(LogLevel::kError, "The copy of group <%s> could not be removed from the destination - %d", groupFile.c_str(),
        result);
}

}  // namespace

namespace {

// True when something (a file or a folder) has this path.
bool Taken(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A group never lands on another one: when the group file's name (or its
// folder's, when the folder travels) is taken in the destination, both are
// renamed where they are to the first free "<name>_<n>" (free in the
// destination and beside them), and FolderPath follows, before anything
// moves. False, with everything as it was, when that cannot be done.
bool TakeFreeNames(std::string& groupFilePath, std::string& folder, bool folderTravels,
                   const std::string& destination) {
  const std::string fileName = FileNameOnly(groupFilePath);
  const std::string folderName = FileNameOnly(folder);
  if (!Taken(JoinPath(destination, fileName)) && !(folderTravels && Taken(JoinPath(destination, folderName))))
    return true;
  const std::string base = RemoveExtension(fileName);
  const std::string extension = GetExtension(fileName);
  for (int n = 1; n < 1000; ++n) {
    const std::string suffix = "_" + std::to_string(n);
    const std::string newFile = JoinPath(ParentFolder(groupFilePath), base + suffix + extension);
    const std::string newFolder = folderTravels ? JoinPath(ParentFolder(folder), folderName + suffix) : folder;
    if (Taken(JoinPath(destination, FileNameOnly(newFile))) || Taken(newFile)) continue;
    if (folderTravels && (Taken(JoinPath(destination, FileNameOnly(newFolder))) || Taken(newFolder))) continue;
    if (folderTravels && !::MoveFileExA(folder.c_str(), newFolder.c_str(), 0)) return false;
    const bool rewritten = !folderTravels || SetFolderPath(groupFilePath, newFolder);
    if (!rewritten || !::MoveFileExA(groupFilePath.c_str(), newFile.c_str(), 0)) {
      if (folderTravels) {
        ::MoveFileExA(newFolder.c_str(), folder.c_str(), 0);
        if (rewritten) SetFolderPath(groupFilePath, folder);
      }
      return false;
    }
    Log(LogLevel::kProgress, "Group <%s> is taken in <%s>: it travels as <%s>", fileName.c_str(), destination.c_str(),
        FileNameOnly(newFile).c_str());
    groupFilePath = newFile;
    folder = newFolder;
    return true;
  }
  return false;
}

}  // namespace

GroupMoveResult Move(const std::string& originalGroupFilePath, const std::string& destinationFolder,
                     const std::string& hotFolder) {
  std::string groupFilePath = originalGroupFilePath;
  Log(LogLevel::kTrace, "MoveCopy()");
  std::string folderPath;
  PathCheck status = CheckGroupFile(groupFilePath, folderPath, kSourceName, __LINE__);
  if (status != PathCheck::kValid) return GroupMoveResult::PathInvalid(status);

  const std::string destination = NormalizePath(destinationFolder);
  status = CheckFolderPath(destination, kSourceName, __LINE__);
  if (status != PathCheck::kValid) return GroupMoveResult::PathInvalid(status);

  if (const char* reason = RefusalReason(folderPath, groupFilePath, destination, hotFolder)) {
    Log(LogLevel::kDetail, "Refusing to move group folder <%s>: %s", folderPath.c_str(), reason);
    return GroupMoveResult::Refused();
  }
  if (groupFilePath.find('\\') == std::string::npos) {
    Log(LogLevel::kDetail, "Invalid GroupList name");
    return GroupMoveResult::Refused();
  }

  std::string noMoveCopyFolder;
  CGroupDocument::ReadTextFromFile(groupFilePath, kSettingsInfoSection, "NoMoveCopyFolder", noMoveCopyFolder);
  const bool folderTravels = noMoveCopyFolder.empty();
  std::string folder = WithoutTrailingSeparators(folderPath);
  if (!TakeFreeNames(groupFilePath, folder, folderTravels, destination)) {
    Log(LogLevel::kDetail, "No free name for group <%s> in <%s>", groupFilePath.c_str(), destination.c_str());
    return GroupMoveResult::OperationFailed();
  }

  CPathList sources;
  if (folderTravels) sources.Add(folder);
  CPathList target;
  if (!sources.Add(groupFilePath) || !target.Add(destination)) {
    Log(LogLevel::kDetail, "PerformOp() failed - %ld", static_cast<long>(ERROR_FILENAME_EXCED_RANGE));
    return GroupMoveResult::OperationFailed();
  }

  const std::string movedFolder = JoinPath(destination, FileNameOnly(folder));
  const std::string newGroupFile = JoinPath(destination, FileNameOnly(groupFilePath));
  const bool mergedIntoExisting = FolderExists(movedFolder);
  const bool acrossDrives = !SameDrive(destination, groupFilePath);
  int result = PerformOp(sources.data(), target.data(), acrossDrives ? kFileOpCopy : kFileOpMove, 0);
  if (result != 0) {
    Log(LogLevel::kDetail, "PerformOp() failed - %ld", static_cast<long>(result));
    if (folderTravels && !acrossDrives && !mergedIntoExisting) MoveFolderBack(folder, movedFolder);
    return GroupMoveResult::OperationFailed();
  }
  // A group whose file does not name its folder where it now is would reach
  // the host broken: the move is undone and fails.
  if (folderTravels && !SetFolderPath(newGroupFile, movedFolder)) {
    if (acrossDrives) {
      RemoveCopies(newGroupFile, movedFolder, folderTravels);
    } else if (!::MoveFileExA(newGroupFile.c_str(), groupFilePath.c_str(), 0)) {
      Log(LogLevel::kError, "Group file <%s> could not be moved back to <%s> - %lu", newGroupFile.c_str(),
          groupFilePath.c_str(), static_cast<unsigned long>(::GetLastError()));
    } else {
      MoveFolderBack(folder, movedFolder);
    }
    return GroupMoveResult::OperationFailed();
  }
  if (acrossDrives && !DeleteOriginals(groupFilePath, folder, folderTravels)) {
    // The original group file is still there and would be handed over again:
    // the copies go, and the group is moved as a whole at a later try.
    RemoveCopies(newGroupFile, movedFolder, folderTravels);
    return GroupMoveResult::OperationFailed();
  }
  if (!folderTravels) {
    // Counted once the group file has travelled: a move that failed (and is
    // tried again with the next hand-over) adds no reference.
    CGroupRefCount refCount(folder);
    refCount.AddRef();
  }
  return GroupMoveResult::Moved(newGroupFile);  // without its folder, FolderPath still names the shared one
}

}  // namespace hf
