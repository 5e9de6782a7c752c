// The check made on names that a script hands back (NEWNAME, ResourceID):
// only a plain file name may be joined to a folder, so that a script's answer
// can never reach outside the folder it is meant for.
#pragma once

#include "base/ascii.h"  // WithoutTrailingBlanks

#include <string>
#include <string_view>

namespace hf {

// The longest name one path component may have.
constexpr size_t kMaxFileNameLength = 255;

// True for a name that stays inside any folder it is joined to:
//   - not empty and at most 255 characters;
//   - no "\", "/" or ":" (no folder, drive or stream part);
//   - not "." or "..";
//   - no control character (below 0x20) and none of < > " | ? *;
//   - not ending with a blank or a dot (the file system would drop them, so the
//     name would not be the name of the file).
//   IsPlainFileName("job 1.ps") == true;   IsPlainFileName("..\\x.ps") == false
//   IsPlainFileName("C:x.ps") == false;    IsPlainFileName("x.ps.") == false
bool IsPlainFileName(std::string_view name);

}  // namespace hf
