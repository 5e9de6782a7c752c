// ResolveJobSubmission: finds the job file that a JSON job submission names,
// checks it and reports its job type. The scan uses it as the validity check of
// every arriving JSON file.
#pragma once

#include "formats/job_type.h"

#include <string>

namespace hf {

// Reads `fileName` in `hotFolder` (formats/job_submission) and resolves the job
// file it names. Returns 1 when valid, 0 when not; `jobPath` is the resolved
// path (possibly set when not valid), `type` is written only when valid.
//   - mode 1: the first element of JobFilePaths; the file need not exist;
//   - mode 2: the first file (folders are passed over) matching the pattern
//     "<JobPath>\<FileNameBase>_*.<FileTypeSuffix>" (no order is imposed);
//   - other modes: JobFilePath; the file must exist.
// Not valid also: no path, a path longer than 259 characters (logged at level
// 0), or a path outside every folder of `allowedFolders` (a ";"-separated list;
// compared after "." and ".." are resolved, without regard to case; logged at
// level 0; an empty list allows every folder).
// The type is that of the file's first bytes (RecogniseJobType) when it can be
// read and is recognised, else that of its extension (JobTypeFromExtension).
int ResolveJobSubmission(const std::string& hotFolder, const std::string& fileName, std::string& jobPath, JobType& type,
                         const std::string& allowedFolders);

// As above, with the folders of the host's INI file, section "HFA", key
// "AllowedJobFolders" (absent or empty: every folder).
int ResolveJobSubmission(const std::string& hotFolder, const std::string& fileName, std::string& jobPath,
                         JobType& type);

// The folder rule of AllowedJobFolders, shared by job submissions and the
// files that JDF tickets reference. True when `allowedFolders` (a ";"-separated
// list) is empty, or `path` is one of its folders or lies below one, compared
// after "." and ".." are resolved, without regard to case. A folder of the list
// that is not absolute allows nothing (logged at level 0).
bool IsInAllowedJobFolders(const std::string& path, const std::string& allowedFolders);

// The value of AllowedJobFolders in section "HFA" of the host's INI file
// (absent: empty). False, with `folders` empty, when the value is longer than
// ZuIniFile::kLongValueLimit - 1 characters: then no folder is allowed.
bool ReadAllowedJobFolders(std::string& folders);

}  // namespace hf
