// Preview pictures as the hot folders call them: the preview of one file made
// during the scan, the preview of a JDF job made by its intake, and the
// composite of a group made before it is handed over. This build makes no
// previews: the call points do nothing.
#pragma once

#include "formats/jdf_ticket.h"

#include <cstdint>
#include <string>

namespace hf {

class CHotFolder;

// The scan's preview of a PostScript, PDF, EPS or valid JSON file of `folder`
// (`filePath` is the file name in the folder, or a full path). Returns the
// previewed flag: 0 in this build.
int MakeFilePreview(CHotFolder& folder, const std::string& filePath, const std::string& resourceId, uint32_t jobType);

// The preview of a JDF job whose files (`subJobs`, in run order) lie in
// `jobFolder`. Returns whether the renderer was started: false in this build.
bool MakeJobPreview(const std::string& jobFolder, const std::string& thumbnailFolder, const JdfSubJobMap& subJobs,
                    const std::string& resourceId);

// The composite preview of a group before its group file is handed over.
// Nothing is made in this build.
void MakeGroupComposite(CHotFolder& folder, const char* groupListPath);

}  // namespace hf
