// File, folder and group-file checks with their log messages.
#include "grouping/group_path_checks.h"
#include "base/ascii.h"

#include "base/file_io.h"
#include "base/log.h"
#include "formats/ini_document.h"
#include "grouping/group_document.h"

namespace hf {

namespace {

const char* NameOrEmpty(const char* text) { return text != nullptr ? text : ""; }

// The extension of the last path component, dot included; empty when none.
std::string ExtensionOf(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return std::string();
  size_t separator = path.find_first_of("\\/", dot);
  return separator == std::string::npos ? path.substr(dot) : std::string();
}

}  // namespace

PathCheck CheckFilePath(const std::string& path, const char* sourceName, int sourceLine) {
  if (path.empty()) {
    Log(LogLevel::kDetail, "%s(%d): Path <%s> is invalid: empty", NameOrEmpty(sourceName), sourceLine, path.c_str());
    return PathCheck::kEmpty;
  }
  if (!FileExists(path)) {
    Log(LogLevel::kDetail, "%s(%d): Path <%s> is invalid: missing", NameOrEmpty(sourceName), sourceLine, path.c_str());
    return PathCheck::kMissing;
  }
  return PathCheck::kValid;
}

PathCheck CheckFolderPath(const std::string& path, const char* sourceName, int sourceLine) {
  if (path.empty()) {
    Log(LogLevel::kDetail, "%s(%d): Path <%s> is invalid: empty", NameOrEmpty(sourceName), sourceLine, path.c_str());
    return PathCheck::kEmpty;
  }
  if (!FolderExists(path)) {
    Log(LogLevel::kDetail, "%s(%d): Path <%s> is invalid: non-folder/missing", NameOrEmpty(sourceName), sourceLine,
        path.c_str());
    return PathCheck::kMissing;
  }
  return PathCheck::kValid;
}

PathCheck CheckGroupFile(const std::string& path, std::string& folderPath, const char* sourceName, int sourceLine) {
  folderPath.clear();
  PathCheck status = CheckFilePath(path, sourceName, sourceLine);
  if (status != PathCheck::kValid) return status;
  if (!EqualsIgnoringAsciiCase(ExtensionOf(path), ".fgl")) {
    Log(LogLevel::kDetail, "%s(%d): Path <%s> does not have group file extension", NameOrEmpty(sourceName), sourceLine,
        path.c_str());
    return PathCheck::kNotGroupFile;
  }
  CGroupDocument::ReadTextFromFile(path, kFileGroupInfoSection, "FolderPath", folderPath);
  return CheckFolderPath(folderPath, sourceName, sourceLine);
}

}  // namespace hf
