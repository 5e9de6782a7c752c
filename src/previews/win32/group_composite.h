// The composite preview of a closed TIFF group: a copy of its group file is
// handed to the thumbnail application <host program folder>\ZoRidaziviv.exe,
// which builds the composite in the background:
//   <app> gencomp "<thumbnail folder>\<resource ID>\<group file name>"
// (the app's path quoted only when it holds a blank), started detached and
// not waited for.
#pragma once

#include <string>

namespace hf {

// True when the application was started, and for a group whose files are not
// TIFF ("Composite: Currently we only composite TIFF files.", nothing to do).
// False, logged, otherwise: no application, another instance still running
// after 60 s, a JDF group (no composite, not logged), an unreadable group file,
// no ResourceID, the target folder, the copy or the start (the copy is then
// removed).
bool MakeGroupComposite(const std::string& thumbnailFolder, const std::string& groupFilePath);

}  // namespace hf
