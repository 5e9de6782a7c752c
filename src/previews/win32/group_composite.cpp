// Group composites by the thumbnail application.
#include "previews/win32/group_composite.h"

#include "base/ascii.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"
#include "previews/win32/external_program.h"

namespace hf {

bool MakeGroupComposite(const std::string& thumbnailFolder, const std::string& groupFilePath) {
  const std::string app = JoinPath(HostProgramFolder(), "ZoRidaziviv.exe");
  if (!FileExists(app)) {
    Log(LogLevel::kError, "Composite: Thumbnail app does not exist at '%s'.", app.c_str());
    return false;
  }
  if (!WaitUntilUnique(app, "Composite")) return false;

  CIniDocument document;
  if (!document.Load(groupFilePath)) {
    Log(LogLevel::kError, "Composite: Group file '%s' cannot be read.", groupFilePath.c_str());
    return false;
  }
  const CGroupDocumentReader group(document);
  std::string value;
  group.GetJDFFile(value);
  if (!value.empty()) return false;  // JDF groups get no composite
  group.GetExtension(value);
  if (!EqualsIgnoringAsciiCase(value, ".tif") && !EqualsIgnoringAsciiCase(value, ".tiff")) {
    Log(LogLevel::kDetail, "Composite: Currently we only composite TIFF files.");
    return true;
  }
  std::string resourceId;
  group.GetResourceID(resourceId);
  if (resourceId.empty()) {
    Log(LogLevel::kError, "Composite: Group file '%s' does NOT have a ResourceID.", groupFilePath.c_str());
    return false;
  }

  const std::string target = JoinPath(thumbnailFolder, resourceId);
  if (!CreateFolderOrLog(target, "Composite: Unable to access/create Thumbnail target folder at '%s'. Error 0x%lx."))
    return false;
  const std::string copy = JoinPath(target, FileNameOnly(groupFilePath));
  Log(LogLevel::kDetail, "Composite: Copying '%s' to '%s'.", groupFilePath.c_str(), copy.c_str());
  if (!::CopyFileA(groupFilePath.c_str(), copy.c_str(), FALSE)) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kError, "Composite: Unable to copy Group file to target folder. Error 0x%lx.",
        static_cast<unsigned long>(error));
    return false;
  }

  const std::string commandLine = FormatText("%s gencomp \"%s\"", ProgramArgument(app).c_str(), copy.c_str());
  Log(LogLevel::kDetail, "Composite: CommandLine arguments are: %s'.", commandLine.c_str());
  DWORD error = 0;
  if (!StartProgram(commandLine, std::string(), ProgramStart::kDetached, error)) {
    Log(LogLevel::kError, "Composite: Failed to launch Thumbnail app. Error 0x%lx", static_cast<unsigned long>(error));
    ::DeleteFileA(copy.c_str());
    return false;
  }
  Log(LogLevel::kDetail, "Composite: Generating composite in background.");
  return true;
}

}  // namespace hf
