// The JDF intake on the file system: job folder, copies, ticket move, group file.
#include "grouping/win32/jdf_intake.h"

#include "base/ascii.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "grouping/group_document.h"
#include "jobs/win32/job_submission_resolve.h"

#include <map>
#include <set>

namespace hf {

namespace {

constexpr int kJobFolderNameTries = 100;  // the name itself, then "_1" to "_99"
constexpr int kCopyNameTries = 8;

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool PathIsTaken(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Makes a new folder `stem` (or "<stem>_<n>") whose group file name is free
// too. Returns 0 or a system error; `folder` is the folder tried last.
int CreateJobFolder(const std::string& stem, std::string& folder) {
  for (int n = 0; n < kJobFolderNameTries; ++n) {
    folder = n == 0 ? stem : FormatText("%s_%d", stem.c_str(), n);
    if (PathIsTaken(folder) || PathIsTaken(folder + ".fgl")) continue;
    if (::CreateDirectoryA(folder.c_str(), nullptr)) {
      if (n > 0)
        Log(LogLevel::kProgress, "JDF job folder '%s' is taken: the job goes into '%s'.", stem.c_str(), folder.c_str());
      return 0;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_PATH_NOT_FOUND) return static_cast<int>(error);
    return CreateFolder(folder, true);
  }
  folder = stem;
  return ERROR_ALREADY_EXISTS;
}

// One intake: the job folder and what has gone into it, undone on failure.
class JdfIntake {
 public:
  JdfIntake(const JdfIntakeRequest& request, std::string& failureText)
      : request_(request),
        failureText_(failureText),
        ticketPath_(JoinPath(request.folder, request.ticketName)),
        group_(document_) {}
  ~JdfIntake() {
    if (!jobFolder_.empty() && !kept_) DeleteFolder(jobFolder_);
  }
  JdfIntake(const JdfIntake&) = delete;
  JdfIntake& operator=(const JdfIntake&) = delete;

  int Run(const JdfJobPreview& preview);

 private:
  bool ReadTicket();
  bool PlaceSubJob(int32_t run, const JdfSubJob& subJob, std::string& name);
  int CopyReferencedFile(int32_t run, const std::string& source, std::string& name);
  int Fail(const std::string& text) {
    failureText_ = text;
    return 0;
  }

  const JdfIntakeRequest& request_;
  std::string& failureText_;
  const std::string ticketPath_;
  JdfTicket ticket_;
  std::string jobFolder_;
  bool kept_ = false;
  CIniDocument document_;
  CGroupDocument group_;
  std::map<std::string, std::string> copies_;  // comparable source path -> name in the job folder
  std::set<std::string> namesUsed_;            // upper case
};

bool JdfIntake::ReadTicket() {
  std::string bytes, error;
  if (request_.ticketName.empty()) {
    error = "Target filename is empty";
  } else if (const int readError = ReadWholeFile(ticketPath_, bytes); readError != 0) {
    error = SystemErrorText(readError);
  } else if (ReadJdfTicket(bytes, IsAnsiLeadByte, ticket_, error)) {
    return true;
  }
  Log(LogLevel::kDetail, "JDF file '%s': %s", request_.ticketName.c_str(), error.c_str());
  Log(LogLevel::kError, "File '%s' is not a valid JDF file.", request_.ticketName.c_str());
  return false;
}

// Copies `source` into the job folder under its name, or "<run>_<name>" when
// another file of the job has that name. Returns 0 or a system error.
int JdfIntake::CopyReferencedFile(int32_t run, const std::string& source, std::string& name) {
  if (FolderExists(source)) return ERROR_ACCESS_DENIED;  // what the system's copy says of a folder
  const std::string own = FileNameOnly(source);
  name = own;
  for (int tries = 0; namesUsed_.count(AsciiUppered(name)) != 0; ++tries) {
    if (tries == kCopyNameTries) return ERROR_ALREADY_EXISTS;
    name = FormatText("%d_%s", static_cast<int>(run), name.c_str());
  }
  if (name != own)
    Log(LogLevel::kProgress, "JDF-referenced file '%s' has the name of another file of the job: copied as '%s'.",
        source.c_str(), name.c_str());
  if (!::CopyFileA(source.c_str(), JoinPath(jobFolder_, name).c_str(), FALSE))
    return static_cast<int>(::GetLastError());
  namesUsed_.insert(AsciiUppered(name));
  return 0;
}

bool JdfIntake::PlaceSubJob(int32_t run, const JdfSubJob& subJob, std::string& name) {
  const std::string source = JdfReferencedPath(request_.folder, subJob.file);
  name = FileNameOnly(subJob.file);
  if (!request_.allowedFolders || (!source.empty() && !IsInAllowedJobFolders(source, *request_.allowedFolders))) {
    Log(LogLevel::kError, "JDF file '%s' references '%s', which is outside the AllowedJobFolders.",
        request_.ticketName.c_str(), source.c_str());
    Fail(FormatText("Failed to copy JDF-referenced file '%s' into job folder.", name.c_str()));
    return false;
  }
  const std::string comparable = source.empty() ? std::string() : ComparablePath(source);
  int error = 0;
  if (source.empty()) {
    error = ERROR_FILE_NOT_FOUND;
  } else if (comparable == ComparablePath(ticketPath_)) {
    name = request_.ticketName;  // the ticket moves in at the end
    Log(LogLevel::kDetail, "JDF file '%s' references itself.", request_.ticketName.c_str());
  } else if (auto copy = copies_.find(comparable); copy != copies_.end()) {
    name = copy->second;
  } else if ((error = CopyReferencedFile(run, source, name)) == 0) {
    copies_.emplace(comparable, name);
  }
  if (error != 0) {
    Log(LogLevel::kError, "Failed to copy file, at path '%s' into FGL folder. Error: %ld", source.c_str(),
        static_cast<long>(error));
    Fail(FormatText("Failed to copy JDF-referenced file '%s' into job folder.", FileNameOnly(subJob.file).c_str()));
    return false;
  }
  return true;
}

int JdfIntake::Run(const JdfJobPreview& preview) {
  if (!ReadTicket()) return Fail("Not a valid JDF file.");

  if (const int error = CreateJobFolder(RemoveExtension(ticketPath_), jobFolder_); error != 0) {
    Log(LogLevel::kError, "Failed to create folder '%s'. Error: %ld.", jobFolder_.c_str(), static_cast<long>(error));
    jobFolder_.clear();  // not ours: never deleted
    return Fail("Failed to create job folder to hold JDF-referenced files.");
  }
  group_.SetFolderPath(jobFolder_);
  Log(LogLevel::kDetail, "File folder path: '%s'.", jobFolder_.c_str());

  namesUsed_.insert(AsciiUppered(request_.ticketName));
  JdfSubJobMap placed;  // the sub-jobs with the paths of their copies, for the preview
  for (const auto& [run, subJob] : ticket_.subJobs) {
    std::string name;
    if (!PlaceSubJob(run, subJob, name)) return 0;
    const std::string key = FormatText("%d_%s", static_cast<int>(run), FileNameOnly(subJob.file).c_str());
    group_.SetFileInfo(key, std::string());
    group_.SetJDFPageRange(key, subJob.pageRange);
    group_.SetText(FileSettingsSection(key), "CopyCount", subJob.copyCount);
    group_.SetRealFileName(key, name);
    Log(LogLevel::kDetail, "Storing sub-job information: F='%s', PR='%s', CC='%s'.", name.c_str(),
        subJob.pageRange.c_str(), subJob.copyCount.c_str());
    placed[run] = JdfSubJob{JoinPath(jobFolder_, name), subJob.pageRange, subJob.copyCount};
  }

  if (preview) {
    const DWORD started = ::GetTickCount();
    preview(jobFolder_, placed);
    Log(LogLevel::kDetail, "Time to generate previews = %ldms", static_cast<long>(::GetTickCount() - started));
  }

  const std::string movedTicket = JoinPath(jobFolder_, request_.ticketName);
  if (!::MoveFileA(ticketPath_.c_str(), movedTicket.c_str())) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kError, "Failed to move JDF file into FGL folder. Error: %ld", static_cast<long>(error));
    return Fail(FormatText("Failed to copy JDF file '%s' into job folder.", request_.ticketName.c_str()));
  }

  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  const long jobId = static_cast<long>(static_cast<uint32_t>(counter.QuadPart) & 0x7FFFFFFFu);
  const std::string jobIdText = FormatText("%ld", jobId);
  group_.SetText(kFileGroupInfoSection, "JDFJobID", jobIdText);
  group_.SetJDFCustom1(ticket_.custom1);
  group_.SetJDFCustom2(ticket_.custom2);
  group_.SetJDFFile(request_.ticketName);
  group_.SetExtension(".pdf");
  group_.SetResourceID(request_.resourceId);
  document_.SetSeparatorFlag(true);
  Log(LogLevel::kDetail, "Storing file information: JID='%s', CUSTOM1='%s', CUSTOM2='%s', RESID='%s'.",
      jobIdText.c_str(), ticket_.custom1.c_str(), ticket_.custom2.c_str(), request_.resourceId.c_str());
  const std::string groupPath = jobFolder_ + ".fgl";
  if (const int error = ReplaceFileContents(groupPath, document_.SaveToBuffer()); error != 0) {
    Log(LogLevel::kError, "Failed to save group file '%s'. Error: %ld", groupPath.c_str(), static_cast<long>(error));
    if (!::MoveFileA(movedTicket.c_str(), ticketPath_.c_str())) {
      const DWORD moveError = ::GetLastError();
      Log(LogLevel::kError, "JDF file '%s' could not be moved back: it stays in '%s'. Error: %ld",
          request_.ticketName.c_str(), jobFolder_.c_str(), static_cast<long>(moveError));
      kept_ = true;  // the ticket must not go with the folder
    }
    return Fail(FormatText("Failed to write the group file of JDF file '%s'.", request_.ticketName.c_str()));
  }
  kept_ = true;
  return 1;
}

}  // namespace

int TakeJdfTicket(const JdfIntakeRequest& request, const JdfJobPreview& preview, std::string& failureText) {
  failureText.clear();
  JdfIntake intake(request, failureText);
  return intake.Run(preview);
}

}  // namespace hf
