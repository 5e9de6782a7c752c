// Resolving a job submission against the file system.
#include "jobs/win32/job_submission_resolve.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "formats/job_submission.h"
#include "host/zu_ini_file.h"

#include <vector>

namespace hf {

namespace {

// The first file (not folder) that matches the pattern, joined to the
// pattern's folder; empty when there is none.
std::string FirstMatch(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  ScopedFindHandle listing(::FindFirstFileA(pattern.c_str(), &found));
  if (!listing) return std::string();
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      return JoinPath(ParentFolder(pattern), found.cFileName);
  } while (::FindNextFileA(listing.get(), &found));
  return std::string();
}

// The job type of the file's first bytes when it can be read and they are
// recognised, else that of its extension.
JobType TypeOfJobFile(const std::string& path) {
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) {
    char head[kJobTypeHeadBytes + 1] = {};
    DWORD got = 0;
    if (::ReadFile(file.get(), head, static_cast<DWORD>(kJobTypeHeadBytes), &got, nullptr) && got > 0) {
      const JobType type = RecogniseJobType(head, got);
      if (type != kJobTypeUnknown) return type;
    }
  }
  return JobTypeFromExtension(GetExtension(path));
}

}  // namespace

bool IsInAllowedJobFolders(const std::string& path, const std::string& allowedFolders) {
  const std::vector<std::string> allowed = SplitFolderList(allowedFolders);
  if (allowed.empty()) return true;
  for (const std::string& folder : allowed) {
    if (!IsAbsoluteSubmissionPath(folder)) {
      Log(LogLevel::kError, "AllowedJobFolders: \"%s\" is not an absolute folder and allows nothing.", folder.c_str());
      continue;
    }
    if (IsSameOrInside(path, folder)) return true;
  }
  return false;
}

bool ReadAllowedJobFolders(std::string& folders) {
  bool complete = true;
  folders = TheIniFile().GetLongString("HFA", "AllowedJobFolders", complete);
  if (!complete) folders.clear();
  return complete;
}

int ResolveJobSubmission(const std::string& hotFolder, const std::string& fileName, std::string& jobPath, JobType& type,
                         const std::string& allowedFolders) {
  jobPath.clear();
  JsonTree root;
  if (ReadJobSubmission(hotFolder, fileName, root) == 0 || !root) return 0;
  const JobSubmissionTarget target = SubmissionTarget(root.get(), hotFolder);
  root.reset();

  jobPath = target.mode == 2 ? FirstMatch(target.path) : target.path;
  if (jobPath.empty()) {
    Log(LogLevel::kDetail, "JSON file \"%s\" names no job file (mode %d).", fileName.c_str(), target.mode);
    return 0;
  }
  if (jobPath.size() >= kMaxPathBytes) {
    Log(LogLevel::kError, "JSON file \"%s\" names a job file path longer than %d characters.", fileName.c_str(),
        static_cast<int>(kMaxPathBytes - 1));
    return 0;
  }
  if (!IsInAllowedJobFolders(jobPath, allowedFolders)) {
    Log(LogLevel::kError, "JSON file \"%s\" names job file \"%s\", which is outside the AllowedJobFolders.",
        fileName.c_str(), jobPath.c_str());
    return 0;
  }
  if (target.mode != 1 && target.mode != 2 && !FileExists(jobPath)) {
    Log(LogLevel::kDetail, "JSON file \"%s\" names job file \"%s\", which does not exist.", fileName.c_str(),
        jobPath.c_str());
    return 0;
  }
  type = TypeOfJobFile(jobPath);
  return 1;
}

int ResolveJobSubmission(const std::string& hotFolder, const std::string& fileName, std::string& jobPath,
                         JobType& type) {
  std::string allowed;
  if (!ReadAllowedJobFolders(allowed)) {
    Log(LogLevel::kError, "AllowedJobFolders is longer than %d characters: no job submission is valid.",
        static_cast<int>(ZuIniFile::kLongValueLimit - 1));
    jobPath.clear();
    return 0;
  }
  return ResolveJobSubmission(hotFolder, fileName, jobPath, type, allowed);
}

}  // namespace hf
