// Move: a group file (".fgl") travels to a destination folder together with
// the group folder its FolderPath names, and its FolderPath is rewritten to
// the folder's new place; a group file that does not own its folder
// (NoMoveCopyFolder) travels alone and, once it has, raises the shared
// folder's count.
#pragma once

#include "grouping/group_path_checks.h"

#include <string>
#include <utility>

namespace hf {

// What became of a group move.
struct GroupMoveResult {
  enum class Kind { kMoved, kPathInvalid, kRefused, kOperationFailed };

  static GroupMoveResult Moved(std::string arrivedAs = std::string()) {
    return {Kind::kMoved, PathCheck::kValid, std::move(arrivedAs)};
  }
  static GroupMoveResult PathInvalid(PathCheck why) { return {Kind::kPathInvalid, why, {}}; }
  static GroupMoveResult Refused() { return {Kind::kRefused, PathCheck::kValid, {}}; }
  static GroupMoveResult OperationFailed() { return {Kind::kOperationFailed, PathCheck::kValid, {}}; }

  bool moved() const { return kind == Kind::kMoved; }
  bool operator==(const GroupMoveResult& other) const { return kind == other.kind && path == other.path; }

  Kind kind;
  PathCheck path;         // why, for kPathInvalid
  std::string arrivedAs;  // for kMoved: the group file in the destination
};

// Moves `groupFilePath` and its group folder into `destinationFolder`.
//   Moved()                success (also when, after a copy to another
//                          drive, only the original folder could not be
//                          deleted: logged);
//   PathInvalid(check)     the group-file check or the destination folder
//                          check failed (group_path_checks.h); nothing moved;
//   Refused()              FolderPath is relative, or is a drive or share
//                          root, `hotFolder`, the destination, the group
//                          file's own folder, or a folder that contains any of
//                          them ("Refusing to move group folder <%s>: %s");
//                          or the group file path has no backslash
//                          ("Invalid GroupList name"); nothing moved;
//   OperationFailed()      the file operation failed ("PerformOp() failed -
//                          %ld"); a group folder that had already gone is
//                          moved back, so the group stays whole at its old
//                          place.
// Within one drive the folder and the group file are moved; when the drive
// letters of the group file and the destination differ they are copied and
// then deleted (the group file first: when it cannot be deleted, the copies
// are removed and the move fails, so that the group is delivered once).
// A moved group file that cannot be given its new FolderPath is moved back
// (or its copy removed): the move fails rather than hand over a broken group.
// A group never lands on another: when the group file's or the folder's name
// is taken in the destination, both travel under the first free "<name>_<n>"
// (logged), and the result's arrivedAs names the group file where it arrived.
// After the move, FolderPath names the destination joined with the group
// folder's own name.
GroupMoveResult Move(const std::string& groupFilePath, const std::string& destinationFolder,
                     const std::string& hotFolder);

}  // namespace hf
