// TakeJdfTicket: turns a JDF job ticket in a hot folder into a file group: a
// job folder beside the ticket holding copies of the referenced files and the
// ticket itself, and a group file (".fgl") listing them with their page ranges
// and copy counts. The group file then reaches the host like any other.
#pragma once

#include "formats/jdf_ticket.h"

#include <functional>
#include <optional>
#include <string>

namespace hf {

struct JdfIntakeRequest {
  std::string folder;      // the hot folder
  std::string ticketName;  // the ticket's name in it
  std::string resourceId;  // the identifier the scan gave the ticket
  // AllowedJobFolders: a referenced file must lie in one of them (an empty
  // list allows every folder; no value at all allows none).
  std::optional<std::string> allowedFolders = std::string();
};

// Makes the job's preview: the job folder and the sub-jobs, each file the path
// of its copy in the job folder. Empty when the folder makes no thumbnails.
using JdfJobPreview = std::function<void(const std::string& jobFolder, const JdfSubJobMap& subJobs)>;

// Returns 1 when the ticket was taken, 0 when not; then `failureText` says why
// and the ticket is where it was. In order:
//   1. The ticket is read (ReadJdfTicket). Not readable or not XML:
//      "File '<name>' is not a valid JDF file." (0), "Not a valid JDF file."
//   2. The job folder is the ticket's path without its extension; when that
//      name, or the group file's, is taken, "_1", "_2", ... up to "_99" is
//      appended (logged at 1), so two jobs never share a folder. Not made:
//      "Failed to create folder '<folder>'. Error: <n>." (0),
//      "Failed to create job folder to hold JDF-referenced files."
//   3. "File folder path: '<folder>'." (2)
//   4. Each sub-job, in ascending run number: its file (JdfReferencedPath) is
//      copied into the job folder. A file outside AllowedJobFolders is not
//      copied ("JDF file '<ticket>' references '<path>', which is outside the
//      AllowedJobFolders." (0)); nor is a folder (error 5, as the system's
//      copy gives), nor the ticket itself (it arrives by step 6), nor a file
//      an earlier sub-job copied (the entries share the copy). A different
//      file with a name already used in the job is copied as "<run>_<name>"
//      (logged at 1). A failure: "Failed to copy file, at path '<path>' into
//      FGL folder. Error: <n>" (0), "Failed to copy JDF-referenced file
//      '<name>' into job folder." Each sub-job gives FileInfo "<run>_<name>"
//      (its file's own name) and that key's "_Settings" section with
//      JDFPageRange, CopyCount (as written) and RealFileName (the copy's
//      name): "Storing sub-job information: F='<name>', PR='..', CC='..'." (2)
//   5. With a preview: it runs, then "Time to generate previews = <n>ms" (2).
//   6. The ticket moves into the job folder. Failure: "Failed to move JDF file
//      into FGL folder. Error: <n>" (0), "Failed to copy JDF file '<name>'
//      into job folder."
//   7. FileGroupInfo gets JDFJobID (the performance counter's low 31 bits),
//      JDFCustom1, JDFCustom2, JDFFile (the ticket's name), Extension ".pdf"
//      and ResourceID; "Storing file information: JID='..', CUSTOM1='..',
//      CUSTOM2='..', RESID='..'." (2); the group file (the job folder's path
//      and ".fgl") is written in one step. Failure: "Failed to save group file
//      '<path>'. Error: <n>" (0), "Failed to write the group file of JDF file
//      '<name>'.", and the ticket moves back.
// After a failure in steps 4 to 7 the job folder is deleted with everything in it.
int TakeJdfTicket(const JdfIntakeRequest& request, const JdfJobPreview& preview, std::string& failureText);

}  // namespace hf
