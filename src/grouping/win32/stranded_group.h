// Stranded groups: a group that was undone while some of its members could
// not go back to the hot folder keeps its folder and its group file, which
// then holds only the mark "Stranded=1" in [FileGroupInfo] (no FolderPath, so
// no host takes it for a group). The scanner admits that group file like any
// other; instead of handing it over, the hand-over tries once more to return
// the members left, and clears the group when all are back. Only the mark
// tells a stranded group from an open one whose file is still empty.
#pragma once

#include <string>
#include <vector>

namespace hf {

// Writes the mark into `groupFile` (which its group may still hold open).
// False, logged, when it cannot be written: then nothing retries the group.
bool MarkGroupStranded(const std::string& groupFile);

// The folder of the stranded group whose group file is `groupFile`: the
// group file minus its ".fgl", when that folder exists and the group file
// bears the mark. Empty when `groupFile` is not a stranded group's.
std::string StrandedGroupFolder(const std::string& groupFile);

// Returns the members still in `folder` to the group file's own folder (each
// under its name or a free one, never replacing a file). When none is left
// the folder and the group file are deleted. Returns the names left.
std::vector<std::string> ReturnStrandedGroup(const std::string& groupFile, const std::string& folder);

}  // namespace hf
