// Intake of job tickets (JDF) and job submissions (JSON) as the scan calls it.
// A JSON job submission is checked (jobs/win32/job_submission_resolve): a valid
// one is handed over as it is, under its own job type (2048); one that is not
// valid is dropped by the scan. A JDF ticket becomes a job folder and a group
// file (grouping/win32/jdf_intake), which the next scan hands over; a ticket
// that is not taken is handed over as it is (job type 256) with the reason.
#pragma once

#include <string>

namespace hf {

class CHotFolder;
class CLinkedFileList;

enum class IntakeResult {
  kTaken,    // JDF taken over; JSON submission valid
  kRefused,  // JDF not taken (the failure text says why); JSON not valid
};

// Checks a JSON job submission in `folder`: kTaken when it names a job file
// that resolves (ResolveJobSubmission, with the host's AllowedJobFolders),
// else kRefused.
IntakeResult CheckJsonSubmission(const char* folder, const char* fileName);

// Takes over a JDF ticket of `folder` (TakeJdfTicket, with the host's
// AllowedJobFolders; the job preview when the folder makes thumbnails): kTaken,
// or kRefused with `failureText` saying why. `item` is not used.
IntakeResult ProcessJDFFile(CHotFolder& folder, const char* fileName, CLinkedFileList& item, std::string& resourceId,
                            std::string& failureText);

}  // namespace hf
