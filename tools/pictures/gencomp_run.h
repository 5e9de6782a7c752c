// gencomp: the composite the thumbnail application (ZoRidaziviv.exe) makes for
// a closed TIFF group, started by the plug-in as
//
//   ZoRidaziviv.exe gencomp "GROUP.fgl"
//
// with a copy of the group file in the job's thumbnail folder. It reads the
// group file, takes each member listed under FileInfo (its RealFileName when
// set) from the group's FolderPath or, when it is not there (the group has been
// handed over and moved meanwhile), from the copies the plug-in leaves beside
// the group file ("<page>\<name>", then "<name>"), reads it reduced into a 600 x 600 box and
// combines all of them as printed (composite.h; each member's ink by
// ResolveMemberInk, with the catalogue Config\FilenameSetups\Colours.ini below
// the program's folder). Members of another size are scaled to the largest.
// The picture is written beside the group file as "<ResourceID>.png".
// Members that cannot be read are left out (and reported); with none left, no
// picture is written.
// Exit status 0 when the picture was written, 1 when not, 2 on a bad command
// line. Every problem is one line "gencomp: ..." on the error stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace hf {

constexpr uint32_t kCompositeBoxSide = 600;

// `arguments` after the program name; `programFolder` holds Config\.
int RunGencomp(const std::vector<std::string>& arguments, const std::string& programFolder, std::ostream& errors);

}  // namespace hf
