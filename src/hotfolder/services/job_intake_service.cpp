// Job intake call points for a build without JDF and JSON intake.
#include "hotfolder/services/job_intake_service.h"

namespace hf {

IntakeResult CheckJsonSubmission(const char*, const char*) { return IntakeResult::kNotAvailable; }

IntakeResult ProcessJDFFile(CHotFolder&, const char*, CLinkedFileList&, std::string&, std::string&) {
  return IntakeResult::kNotAvailable;
}

}  // namespace hf
