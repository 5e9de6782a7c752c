// Intake of job tickets (JDF) and job submissions (JSON) as the scan calls it.
// This build has neither: such files are handed over as they are, under their
// own job type (JDF 256, JSON 2048).
#pragma once

#include <string>

namespace hf {

class CHotFolder;
class CLinkedFileList;

enum class IntakeResult {
  kNotAvailable,  // no intake in this build: hand the file over as it is
  kTaken,         // JDF taken over; JSON submission valid
  kRefused,       // JDF not taken (the failure text says why); JSON not valid
};

// Checks a JSON job submission in `folder`.
IntakeResult CheckJsonSubmission(const char* folder, const char* fileName);

// Takes over a JDF ticket: its files move into a job folder. On kRefused
// `failureText` holds the reason.
IntakeResult ProcessJDFFile(CHotFolder& folder, const char* fileName, CLinkedFileList& item, std::string& resourceId,
                            std::string& failureText);

}  // namespace hf
