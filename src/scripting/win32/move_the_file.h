// MoveTheFile: the one move used by scripting to take a file into the
// scripting folder and back into the hot folder.
#pragma once

#include <string>

namespace hf {

// Moves the file; never copies across volumes and never replaces anything at
// the target. When the target's name is taken and `arrivedAs` is given, the
// file goes to a free name in the target's folder (makeUniqueTarget, logged at
// level 1) and `arrivedAs` names where it went; without `arrivedAs` a taken
// name fails the move. Returns 1 when moved. On failure logs at level 0
//   "MoveTheFile(): MoveFileEx failed with error: <code>"
//   "MoveTheFile():  Moving file from: <from>, To: <to>"
// and returns 0.
int MoveTheFile(const std::string& from, const std::string& to, std::string* arrivedAs = nullptr);

// Puts back into the hot folder every file found in its scripting folder (a
// job left there by a host that ended while its script ran, or by a move back
// that failed), under a free name when its own is taken, each logged; the
// answer files of that run are removed. The folder itself goes only when
// nothing is left in it.
void RescueScriptingFolder(const std::string& hotFolder, const std::string& scriptingFolder);

}  // namespace hf
