// Intake of job tickets (JDF) and job submissions (JSON) as the scan calls it.
// A JSON job submission is checked (jobs/win32/job_submission_resolve): a valid
// one is handed over as it is, under its own job type (2048); one that is not
// valid is dropped by the scan. JDF tickets have no intake in this build: they
// are handed over as they are (job type 256).
#pragma once

#include <string>

namespace hf {

class CHotFolder;
class CLinkedFileList;

enum class IntakeResult {
  kNotAvailable,  // no intake in this build (JDF): hand the file over as it is
  kTaken,         // JDF taken over; JSON submission valid
  kRefused,       // JDF not taken (the failure text says why); JSON not valid
};

// Checks a JSON job submission in `folder`: kTaken when it names a job file
// that resolves (ResolveJobSubmission, with the host's AllowedJobFolders),
// else kRefused.
IntakeResult CheckJsonSubmission(const char* folder, const char* fileName);

// Takes over a JDF ticket: its files move into a job folder. On kRefused
// `failureText` holds the reason.
IntakeResult ProcessJDFFile(CHotFolder& folder, const char* fileName, CLinkedFileList& item, std::string& resourceId,
                            std::string& failureText);

}  // namespace hf
