// Job intake call points: JSON job submissions are checked; JDF tickets have no
// intake in this build.
#include "hotfolder/services/job_intake_service.h"

#include "jobs/win32/job_submission_resolve.h"

namespace hf {

IntakeResult CheckJsonSubmission(const char* folder, const char* fileName) {
  std::string jobPath;
  JobType type = kJobTypeUnknown;
  const int valid =
      ResolveJobSubmission(folder != nullptr ? folder : "", fileName != nullptr ? fileName : "", jobPath, type);
  return valid == 1 ? IntakeResult::kTaken : IntakeResult::kRefused;
}

IntakeResult ProcessJDFFile(CHotFolder&, const char*, CLinkedFileList&, std::string&, std::string&) {
  return IntakeResult::kNotAvailable;
}

}  // namespace hf
