// Previews rendered by the external renderer prevgen.exe into a hot folder's
// thumbnail folder: one PNG per arrived file and one per JDF job, written as
// <thumbnail folder>\<resource ID>\<resource ID>.png.
//
// Settings (section "HFA" of the host's INI file, read at each call):
//   CopySource            1: render from a copy of the source placed beside the PNG
//                         (PostScript, PDF, TIFF, EPS and JSON submissions); default 0
//   PreviewConfig         the renderer's configuration name; default "_ZuPng150dpi"
//   ThumbnailTimeoutSecs  how long the renderer is waited for: default 10 for a
//                         file, 3 for a job; 0 or less gives the default
// The renderer of a file preview is the registry value "VEZ_Thumbnail" under
// "Software\Vorlan\Brenmar" (the user's value preferred, registry_access.h)
// when it names an existing file, else <host program folder>\VEZ\bin\prevgen.exe;
// a job preview always uses the latter.
//
// Command lines (the renderer's path in quotes as shown; a job preview's and a
// composite's renderer is quoted only when it holds a blank):
//   file: "<renderer>" -c <config> -p 4 -X -f "<png>" "<source>" -nt
//         started in the renderer's folder
//   job:  <renderer> -c _ZuPng150dpi -p 4 -X -f "<png>" "<file 1>" "<file 2>" ...
//         (file names only, in run order) started in the job folder
// A renderer still running when its time-out ends is left running (its PNG
// may appear later); the call returns then.
#pragma once

#include "formats/jdf_ticket.h"

#include <cstdint>
#include <string>

namespace hf {

constexpr int kDefaultFilePreviewTimeoutSecs = 10;
constexpr int kDefaultJobPreviewTimeoutSecs = 3;

// The preview of one file. `filePath` is a path relative to `sourceFolder` (a
// bare name) or a drive ("X:...") or network ("\\...") path, used as it is. For
// a JSON job submission (type 2048) the file it submits is rendered. True when
// the renderer was started, whether or not it finished in time; false, logged,
// when it could not be: target folder, renderer, another renderer still running
// after 60 s, submission, copy or start. A copy made for CopySource is removed
// afterwards; one the renderer still holds when its time-out ends is removed by
// a later preview, once no renderer runs.
bool MakeFilePreview(const std::string& sourceFolder, const std::string& thumbnailFolder, const std::string& filePath,
                     const std::string& resourceId, uint32_t jobType);

// The preview of a JDF job whose files (`subJobs`, in run order) lie in
// `jobFolder`. True when the renderer was started.
bool MakeJobPreview(const std::string& jobFolder, const std::string& thumbnailFolder, const JdfSubJobMap& subJobs,
                    const std::string& resourceId);

}  // namespace hf
