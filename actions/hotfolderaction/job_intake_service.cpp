// Job intake call points for a build without JDF and JSON intake.
#include "actions/hotfolderaction/job_intake_service.h"

IntakeResult CheckJsonSubmission(const char*, const char*) { return IntakeResult::kNotAvailable; }

IntakeResult ProcessJDFFile(CHotFolder&, const char*, CLinkedFileList&, std::string&, std::string&) {
  return IntakeResult::kNotAvailable;
}
