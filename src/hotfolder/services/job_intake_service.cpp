// Job intake call points: JSON job submissions are checked; JDF tickets are
// taken into job folders.
#include "hotfolder/services/job_intake_service.h"

#include "base/log.h"
#include "grouping/win32/jdf_intake.h"
#include "host/zu_ini_file.h"
#include "hotfolder/hot_folder.h"
#include "jobs/win32/job_submission_resolve.h"
#include "previews/win32/renderer_previews.h"

namespace hf {

IntakeResult CheckJsonSubmission(const char* folder, const char* fileName) {
  std::string jobPath;
  JobType type = kJobTypeUnknown;
  const int valid =
      ResolveJobSubmission(folder != nullptr ? folder : "", fileName != nullptr ? fileName : "", jobPath, type);
  return valid == 1 ? IntakeResult::kTaken : IntakeResult::kRefused;
}

IntakeResult ProcessJDFFile(CHotFolder& folder, const char* fileName, CLinkedFileList&, std::string& resourceId,
                            std::string& failureText) {
  JdfIntakeRequest request;
  request.folder = folder.path;
  request.ticketName = fileName != nullptr ? fileName : "";
  request.resourceId = resourceId;
  std::string allowed;
  if (ReadAllowedJobFolders(allowed)) {
    request.allowedFolders = allowed;
  } else {
    Log(LogLevel::kError, "AllowedJobFolders is longer than %d characters: no JDF-referenced file is taken.",
        static_cast<int>(ZuIniFile::kLongValueLimit - 1));
    request.allowedFolders.reset();
  }
  JdfJobPreview preview;
  if (folder.thumbnailsEnabled == 1) {
    preview = [&folder, &resourceId](const std::string& jobFolder, const JdfSubJobMap& subJobs) {
      MakeJobPreview(jobFolder, folder.thumbnailFolder, subJobs, resourceId);
    };
  }
  return TakeJdfTicket(request, preview, failureText) == 1 ? IntakeResult::kTaken : IntakeResult::kRefused;
}

}  // namespace hf
