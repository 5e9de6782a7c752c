// Move: a group file (".fgl") travels to a destination folder together with
// the group folder its FolderPath names, and its FolderPath is rewritten to
// the folder's new place; a group file that does not own its folder
// (NoMoveCopyFolder) travels alone and, once it has, raises the shared
// folder's count.
#pragma once

#include <string>

namespace hf {

// Results besides the path-check statuses (group_path_checks.h).
constexpr int kGroupMoveOperationFailed = 15;
// Status of a refused FolderPath and of a group file path without a folder.
constexpr int kGroupMoveRefused = 3;

// Moves `groupFilePath` and its group folder into `destinationFolder`.
//   0                      success (also when only a delete after a copy to
//                          another drive failed: the copy stays, logged);
//   1, 3, 4                the group-file check or the destination folder
//                          check failed (group_path_checks.h); nothing moved;
//   kGroupMoveRefused (3)  FolderPath is relative, or is a drive or share
//                          root, `hotFolder`, the destination, the group
//                          file's own folder, or a folder that contains any of
//                          them ("Refusing to move group folder <%s>: %s");
//                          or the group file path has no backslash
//                          ("Invalid GroupList name"); nothing moved;
//   kGroupMoveOperationFailed (15)  the file operation failed ("PerformOp() failed -
//                          %ld"); a group folder that had already gone is
//                          moved back, so the group stays whole at its old
//                          place.
// Within one drive the folder and the group file are moved; when the drive
// letters of the group file and the destination differ they are copied and
// then deleted (the group file first, so that a failed delete never leaves a
// second copy of the group to be handed over again).
// After the move, FolderPath names the destination joined with the group
// folder's own name.
int Move(const std::string& groupFilePath, const std::string& destinationFolder, const std::string& hotFolder);

}  // namespace hf
