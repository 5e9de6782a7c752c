// MoveTheFile: the one move used by scripting to take a file into the
// scripting folder and back into the hot folder.
#pragma once

#include <string>

namespace hf {

// Moves the file, replacing an existing target; never copies across volumes.
// Returns 1 when moved. On failure logs at level 0
//   "MoveTheFile(): MoveFileEx failed with error: <code>"
//   "MoveTheFile():  Moving file from: <from>, To: <to>"
// and returns 0.
int MoveTheFile(const std::string& from, const std::string& to);

}  // namespace hf
