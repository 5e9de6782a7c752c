// Moves of jobs that never replace a file: one file to a free name when its
// own is taken, and the files of a work folder back into their hot folder.
#pragma once

#include <string>
#include <vector>

namespace hf {

// Moves the file (never copied across volumes, never onto anything at the
// target). When the target's name is taken and `arrivedAs` is given, the file
// goes to a free name in the target's folder (makeUniqueTarget, logged at
// level 1) and `arrivedAs` names where it went; without `arrivedAs` a taken
// name fails the move. Returns 0 when moved, else the system error, with
// `failedTarget` (when given) the last target tried.
unsigned long MoveWithoutReplacing(const std::string& from, const std::string& to, std::string* arrivedAs,
                                   std::string* failedTarget = nullptr);

// Puts every plain file of `folder` back into `hotFolder`, each under its own
// name or a free one (logged with `what` naming the folder's use), then
// removes the folder when nothing is left in it. Returns the names of the
// files that could not go back (they stay in the folder).
std::vector<std::string> ReturnFilesToHotFolder(const std::string& folder, const std::string& hotFolder,
                                                const char* what);

}  // namespace hf
