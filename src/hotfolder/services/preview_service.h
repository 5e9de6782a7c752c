// Preview pictures as the hot folders call them: the preview of one file made
// during the scan, and the composite of a group made before it is handed over.
// This build makes no previews: both call points do nothing.
#pragma once

#include <cstdint>
#include <string>

namespace hf {

class CHotFolder;

// The scan's preview of a PostScript, PDF, EPS or valid JSON file of `folder`
// (`filePath` is the file name in the folder, or a full path). Returns the
// previewed flag: 0 in this build.
int MakeFilePreview(CHotFolder& folder, const std::string& filePath, const std::string& resourceId, uint32_t jobType);

// The composite preview of a group before its group file is handed over.
// Nothing is made in this build.
void MakeGroupComposite(CHotFolder& folder, const char* groupListPath);

}  // namespace hf
