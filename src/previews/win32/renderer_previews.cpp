// File and job previews by the external renderer.
#include "previews/win32/renderer_previews.h"

#include "base/file_io.h"
#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/registry_access.h"
#include "formats/job_type.h"
#include "host/zu_ini_file.h"
#include "jobs/win32/job_submission_resolve.h"
#include "previews/win32/external_program.h"

#include <mutex>
#include <vector>

namespace hf {

namespace {

constexpr const char* kIniSection = "HFA";
constexpr const char* kDefaultPreviewConfig = "_ZuPng150dpi";
constexpr const char* kRendererKey = "Software\\Vorlan\\Brenmar";
constexpr const char* kRendererValue = "VEZ_Thumbnail";
constexpr const char* kPrefix = "Preview";

std::string DefaultRendererFolder() { return JoinPath(JoinPath(HostProgramFolder(), "VEZ"), "bin"); }

DWORD TimeoutMs(int defaultSecs) {
  const int secs = TheIniFile().GetInt(kIniSection, "ThumbnailTimeoutSecs", defaultSecs);
  return static_cast<DWORD>(secs > 0 ? secs : defaultSecs) * 1000;
}

// Source copies that a renderer still held when its time-out ended. They are
// removed once no renderer runs any more (after the next wait to be unique).
std::mutex leftoverLock;
std::vector<std::string> leftoverCopies;

void RemoveCopy(const std::string& copy) {
  if (::DeleteFileA(copy.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return;
  Log(LogLevel::kDetail, "Preview: '%s' is still in use; it is removed after the renderer has ended.", copy.c_str());
  std::lock_guard<std::mutex> hold(leftoverLock);
  leftoverCopies.push_back(copy);
}

void RemoveLeftoverCopies() {
  std::lock_guard<std::mutex> hold(leftoverLock);
  std::vector<std::string> still;
  for (const std::string& copy : leftoverCopies)
    if (!::DeleteFileA(copy.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) still.push_back(copy);
  leftoverCopies.swap(still);
}

// The preview's folder, made with its parents; false (logged) when it cannot be.
bool MakeTargetFolder(const std::string& target) {
  return CreateFolderOrLog(target, "Preview: Unable to access/create target folder at '%s'. Error 0x%lx.");
}

// The renderer of a file preview and its folder; false (logged) when none exists.
bool FindRenderer(std::string& renderer, std::string& rendererFolder) {
  RegistryAccess registry;
  const std::string configured =
      registry.GetRegEntry(HKEY_LOCAL_MACHINE, kRendererValue, kRendererKey, std::string(), PreferUser::kYes);
  if (!configured.empty()) {
    if (!FileExists(configured)) {
      Log(LogLevel::kError, "Preview: Preview app does not exist at '%s'.", configured.c_str());
    } else {
      Log(LogLevel::kDetail, "Preview: Preview app found at '%s'.", configured.c_str());
      renderer = configured;
      rendererFolder = ParentFolder(configured);
    }
  }
  if (rendererFolder.empty()) rendererFolder = DefaultRendererFolder();
  if (renderer.empty()) renderer = JoinPath(rendererFolder, "prevgen.exe");
  if (FileExists(renderer)) return true;
  Log(LogLevel::kError, "Preview: Preview app does not exist at '%s'.", renderer.c_str());
  return false;
}

// The file a JSON job submission names; false (logged) when there is none.
bool SubmittedFile(const std::string& sourceFolder, const std::string& submission, std::string& source) {
  std::string jobPath;
  JobType type = 0;
  const bool valid = ResolveJobSubmission(sourceFolder, submission, jobPath, type) == 1;
  // A submission that names a file which is not there is reported as such,
  // whichever way of naming it was used.
  if (!valid && (jobPath.empty() || FileExists(jobPath))) {
    Log(LogLevel::kError, "Preview: JSON file '%s' is NOT a job submission JSON file.",
        FileNameOnly(submission).c_str());
    return false;
  }
  if (!FileExists(jobPath)) {
    Log(LogLevel::kError, "Preview: File being submitted (%s) does not exist - cannot preview.", jobPath.c_str());
    return false;
  }
  source = jobPath;
  return true;
}

bool IsDriveOrNetworkPath(const std::string& path) {
  return path.rfind("\\\\", 0) == 0 || (path.size() > 1 && path[1] == ':');
}

bool CopiedForRendering(uint32_t jobType) {
  return jobType == kJobTypePostScript || jobType == kJobTypePdf || jobType == kJobTypeTiff || jobType == kJobTypeEps ||
         jobType == kJobTypeJson;
}

}  // namespace

bool MakeFilePreview(const std::string& sourceFolder, const std::string& thumbnailFolder, const std::string& filePath,
                     const std::string& resourceId, uint32_t jobType) {
  const std::string target = JoinPath(thumbnailFolder, resourceId);
  if (!MakeTargetFolder(target)) return false;
  std::string renderer;
  std::string rendererFolder;
  if (!FindRenderer(renderer, rendererFolder)) return false;
  if (!WaitUntilUnique(renderer, kPrefix)) return false;
  RemoveLeftoverCopies();

  std::string source = filePath;
  if (jobType == kJobTypeJson && !SubmittedFile(sourceFolder, filePath, source)) return false;
  if (!IsDriveOrNetworkPath(source)) source = JoinPath(sourceFolder, source);

  std::string copy;
  if (TheIniFile().GetInt(kIniSection, "CopySource", 0) == 1 && CopiedForRendering(jobType)) {
    copy = JoinPath(target, FileNameOnly(source));
    if (!::CopyFileA(source.c_str(), copy.c_str(), FALSE)) {
      const DWORD error = ::GetLastError();
      Log(LogLevel::kDetail, "Failed to copy '%s' to '%s'. Error: %ld", source.c_str(), copy.c_str(),
          static_cast<long>(error));
      return false;
    }
    source = copy;
  }

  const std::string png = JoinPath(target, resourceId) + ".png";
  std::string config = TheIniFile().GetString(kIniSection, "PreviewConfig", kDefaultPreviewConfig);
  if (config.empty()) config = kDefaultPreviewConfig;
  const std::string commandLine = FormatText("\"%s\" -c %s -p 4 -X -f \"%s\" \"%s\" -nt", renderer.c_str(),
                                             config.c_str(), png.c_str(), source.c_str());
  Log(LogLevel::kDetail, "Preview: CommandLine=[%s].", commandLine.c_str());
  DWORD error = 0;
  ScopedHandle process = StartProgram(commandLine, rendererFolder, ProgramStart::kRenderer, error);
  if (!process) {
    Log(LogLevel::kError, "Preview: Failed to launch Thumbnail app. Error 0x%lx.", static_cast<unsigned long>(error));
    if (!copy.empty()) RemoveCopy(copy);
    return false;
  }
  const DWORD waited = ::WaitForSingleObject(process.get(), TimeoutMs(kDefaultFilePreviewTimeoutSecs));
  if (waited != WAIT_OBJECT_0)
    Log(LogLevel::kError, "Failed waiting for Thumbnail generation to complete: 0x%08X", static_cast<unsigned>(waited));
  if (!copy.empty()) RemoveCopy(copy);
  return true;
}

bool MakeJobPreview(const std::string& jobFolder, const std::string& thumbnailFolder, const JdfSubJobMap& subJobs,
                    const std::string& resourceId) {
  const std::string target = JoinPath(thumbnailFolder, resourceId);
  if (!MakeTargetFolder(target)) return false;
  const std::string renderer = JoinPath(DefaultRendererFolder(), "prevgen.exe");
  if (!FileExists(renderer)) {
    Log(LogLevel::kError, "Preview: Preview app does not exist at '%s'.", renderer.c_str());
    return false;
  }
  if (!WaitUntilUnique(renderer, kPrefix)) return false;
  RemoveLeftoverCopies();

  std::string sources;
  for (const auto& [run, subJob] : subJobs) {
    (void)run;
    if (!subJob.file.empty()) sources += " \"" + FileNameOnly(subJob.file) + "\"";
  }
  const std::string png = JoinPath(target, resourceId) + ".png";
  const std::string commandLine =
      FormatText("%s -c _ZuPng150dpi -p 4 -X -f \"%s\"", ProgramArgument(renderer).c_str(), png.c_str()) + sources;
  Log(LogLevel::kDetail, "Preview: CommandLine=[ %s ].", commandLine.c_str());
  DWORD error = 0;
  ScopedHandle process = StartProgram(commandLine, jobFolder, ProgramStart::kRenderer, error);
  if (!process) {
    Log(LogLevel::kError, "Preview: Failed to launch Thumbnail app. Error 0x%lx.", static_cast<unsigned long>(error));
    return false;
  }
  if (::WaitForSingleObject(process.get(), TimeoutMs(kDefaultJobPreviewTimeoutSecs)) != WAIT_OBJECT_0)
    Log(LogLevel::kDetail, "Failed waiting for preview generation to complete.");
  return true;
}

}  // namespace hf
