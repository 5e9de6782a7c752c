// Preview pictures as the hot folders call them (previews/win32 makes them):
// the preview of one file made during the scan, the thumbnail of a TIFF
// separation, and the composite of a group made before it is handed over. The
// preview of a JDF job is made by the JDF intake (job_intake_service).
#pragma once

#include <cstdint>
#include <string>

namespace hf {

class CHotFolder;

// The scan's preview of a PostScript, PDF, EPS or valid JSON file of `folder`
// (`filePath` is the file name in the folder, or a full path), into the
// folder's thumbnail folder. Returns the previewed flag: 1 when the renderer
// was started.
int MakeFilePreview(CHotFolder& folder, const std::string& filePath, const std::string& resourceId, uint32_t jobType);

// Where a TIFF taken into a group lies, read while its group was still open.
struct GroupMember {
  std::string groupFolder;
  int pageNumber = 0;  // the file's PageNumber in the group file (missing: 0)
};

// The thumbnail stage of a TIFF in a folder with grouping: the folder
// <thumbnail folder>\<resource ID>\<page> is made (page 1 for a file not taken
// into a group, `member` null), logging at level 0 "HFA: Unable to
// access/create Thumbnail target folder at '%s'. Error 0x%lx." when it cannot
// be. A grouped file is then decimated from its group folder into it ("HFA
// (1): Decimating '%s' to '%s'.", level 2; failure at level 0 "HFA: (1) Unable
// to copy high-res file '%s' to thumbnails folder '%s'. Error 0x%lx.").
// Returns the previewed flag: 1 when the decimated copy was made. (Until the
// decimation is merged into this build, no copy is made: logged at level 2.)
int MakeTiffThumbnail(CHotFolder& folder, const std::string& fileName, const std::string& resourceId,
                      const GroupMember* member);

// The composite preview of a group before its group file (`groupListPath`) is
// handed over; a composite that cannot be made is logged and the group is
// handed over all the same.
void MakeGroupComposite(CHotFolder& folder, const char* groupListPath);

}  // namespace hf
