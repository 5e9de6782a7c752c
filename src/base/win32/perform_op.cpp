// The silent file operation on path lists: walks of files and folders with
// MoveFileEx, CopyFile, DeleteFile and RemoveDirectory.
#include "base/win32/perform_op.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <cstring>

namespace hf {

namespace {

bool HasWildcard(const std::string& path) { return FileNameOnly(path).find_first_of("*?") != std::string::npos; }

bool SamePath(const std::string& first, const std::string& second) {
  return ComparablePath(first) == ComparablePath(second);
}

int LastErrorOr(DWORD fallback) {
  DWORD error = ::GetLastError();
  return static_cast<int>(error != 0 ? error : fallback);
}

// The names in a folder (files and folders, hidden ones too), "." and ".."
// left out. 0 or the listing's error.
int ListFolder(const std::string& pattern, std::vector<WIN32_FIND_DATAA>& entries) {
  entries.clear();
  WIN32_FIND_DATAA found;
  ScopedFindHandle find(::FindFirstFileA(pattern.c_str(), &found));
  if (!find) {
    DWORD error = ::GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) ? 0 : static_cast<int>(error);
  }
  do {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
    entries.push_back(found);
  } while (::FindNextFileA(find.get(), &found));
  return 0;
}

int DeletePath(const std::string& path);

int DeleteFolderTree(const std::string& folder) {
  std::vector<WIN32_FIND_DATAA> entries;
  int result = ListFolder(JoinPath(folder, "*"), entries);
  if (result != 0) return result;
  for (const WIN32_FIND_DATAA& entry : entries) {
    const std::string child = JoinPath(folder, entry.cFileName);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      // A folder link: remove the link itself, never what it points to.
      if (!::RemoveDirectoryA(child.c_str())) return LastErrorOr(ERROR_GEN_FAILURE);
      continue;
    }
    result = DeletePath(child);
    if (result != 0) return result;
  }
  if (!::RemoveDirectoryA(folder.c_str())) return LastErrorOr(ERROR_GEN_FAILURE);
  return 0;
}

int DeletePath(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorOr(ERROR_FILE_NOT_FOUND);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      return ::RemoveDirectoryA(path.c_str()) ? 0 : LastErrorOr(ERROR_GEN_FAILURE);
    return DeleteFolderTree(path);
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
    ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return ::DeleteFileA(path.c_str()) ? 0 : LastErrorOr(ERROR_GEN_FAILURE);
}

int CopyPath(const std::string& source, const std::string& target) {
  const DWORD attributes = ::GetFileAttributesA(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorOr(ERROR_FILE_NOT_FOUND);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE) ? 0 : LastErrorOr(ERROR_GEN_FAILURE);

  const DWORD targetAttributes = ::GetFileAttributesA(target.c_str());
  if (targetAttributes == INVALID_FILE_ATTRIBUTES) {
    if (!::CreateDirectoryA(target.c_str(), nullptr)) return LastErrorOr(ERROR_GEN_FAILURE);
  } else if ((targetAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return ERROR_ALREADY_EXISTS;  // a file where the folder should go
  }
  std::vector<WIN32_FIND_DATAA> entries;
  int result = ListFolder(JoinPath(source, "*"), entries);
  if (result != 0) return result;
  for (const WIN32_FIND_DATAA& entry : entries) {
    result = CopyPath(JoinPath(source, entry.cFileName), JoinPath(target, entry.cFileName));
    if (result != 0) return result;
  }
  return 0;
}

int MovePath(const std::string& source, const std::string& target) {
  const DWORD attributes = ::GetFileAttributesA(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorOr(ERROR_FILE_NOT_FOUND);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
               ? 0
               : LastErrorOr(ERROR_GEN_FAILURE);
  }

  const DWORD targetAttributes = ::GetFileAttributesA(target.c_str());
  if (targetAttributes == INVALID_FILE_ATTRIBUTES) {
    if (::MoveFileExA(source.c_str(), target.c_str(), 0)) return 0;
    // Another volume (a folder cannot be renamed across volumes): copy, then
    // delete what was copied.
    int result = CopyPath(source, target);
    return result != 0 ? result : DeletePath(source);
  }
  if ((targetAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ERROR_ALREADY_EXISTS;

  // A folder of that name is there already: merge into it.
  std::vector<WIN32_FIND_DATAA> entries;
  int result = ListFolder(JoinPath(source, "*"), entries);
  if (result != 0) return result;
  for (const WIN32_FIND_DATAA& entry : entries) {
    result = MovePath(JoinPath(source, entry.cFileName), JoinPath(target, entry.cFileName));
    if (result != 0) return result;
  }
  return ::RemoveDirectoryA(source.c_str()) ? 0 : LastErrorOr(ERROR_GEN_FAILURE);
}

// One source and its target (empty for delete).
struct OperationStep {
  std::string source;
  std::string target;
};

// Expands a source with wildcards into the entries it matches, each paired
// with the same name in `targetFolder`.
int ExpandSource(const std::string& source, const std::string& targetFolder, std::vector<OperationStep>& steps) {
  if (!HasWildcard(source)) {
    const std::string name = FileNameOnly(WithoutTrailingSeparators(source));
    steps.push_back({source, targetFolder.empty() ? std::string() : JoinPath(targetFolder, name)});
    return 0;
  }
  std::vector<WIN32_FIND_DATAA> entries;
  int result = ListFolder(source, entries);
  if (result != 0) return result;
  const std::string folder = ParentFolder(source);
  for (const WIN32_FIND_DATAA& entry : entries) {
    steps.push_back({JoinPath(folder, entry.cFileName),
                     targetFolder.empty() ? std::string() : JoinPath(targetFolder, entry.cFileName)});
  }
  return 0;
}

// Builds the steps of a move, copy or delete. 0 or an error code.
int PlanSteps(const std::vector<std::string>& sources, const std::vector<std::string>& targets, int operation,
              int multipleDestinations, std::vector<OperationStep>& steps) {
  if (operation == kFileOpDelete) {
    for (const std::string& source : sources) {
      int result = ExpandSource(source, std::string(), steps);
      if (result != 0) return result;
    }
    return 0;
  }
  if (multipleDestinations == 1) {
    if (targets.size() != sources.size()) return ERROR_INVALID_PARAMETER;
    for (size_t i = 0; i < sources.size(); ++i) {
      if (HasWildcard(sources[i])) return ERROR_INVALID_PARAMETER;
      steps.push_back({sources[i], targets[i]});
    }
    return 0;
  }
  if (targets.size() != 1) return ERROR_INVALID_PARAMETER;
  const std::string folder = WithoutTrailingSeparators(targets[0]);
  for (const std::string& source : sources) {
    int result = ExpandSource(source, folder, steps);
    if (result != 0) return result;
  }
  return 0;
}

const char* OperationName(int operation) {
  switch (operation) {
    case kFileOpMove: return "move";
    case kFileOpCopy: return "copy";
    case kFileOpDelete: return "delete";
    case kFileOpRename: return "rename";
    default: return "unknown";
  }
}

}  // namespace

bool CPathList::Add(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  // The list with this path: its bytes, its NUL, and the list's final NUL.
  if (text_.size() + path.size() + 2 > kPathListMaxBytes) return false;
  text_.append(path);
  text_.push_back('\0');
  return true;
}

bool SplitPathList(const char* list, std::vector<std::string>& paths) {
  paths.clear();
  if (list == nullptr) return false;
  size_t at = 0;
  while (at < kPathListMaxBytes) {
    if (list[at] == '\0') return true;  // the list's final NUL
    size_t end = at;
    while (end < kPathListMaxBytes && list[end] != '\0') ++end;
    if (end + 1 >= kPathListMaxBytes) break;  // no room left for the final NUL
    paths.emplace_back(list + at, end - at);
    at = end + 1;
  }
  paths.clear();
  return false;
}

int PerformOp(const char* from, const char* to, int operation, int multipleDestinations) {
  std::vector<std::string> sources;
  if (!SplitPathList(from, sources)) return ERROR_INVALID_PARAMETER;
  std::vector<std::string> targets;
  if (operation != kFileOpDelete && !SplitPathList(to, targets)) return ERROR_INVALID_PARAMETER;

  if (operation == kFileOpRename) {
    if (sources.size() != 1 || targets.size() != 1) return ERROR_INVALID_PARAMETER;
    return ::MoveFileExA(sources[0].c_str(), targets[0].c_str(), 0) ? 0 : LastErrorOr(ERROR_GEN_FAILURE);
  }
  if (operation != kFileOpMove && operation != kFileOpCopy && operation != kFileOpDelete)
    return ERROR_INVALID_PARAMETER;

  std::vector<OperationStep> steps;
  int result = PlanSteps(sources, targets, operation, multipleDestinations, steps);
  if (result != 0) {
    Log(LogLevel::kTrace, "PerformOp(%s): the sources could not be listed - %d", OperationName(operation), result);
    return result;
  }
  // A folder that would go into itself fails the whole operation up front.
  if (operation != kFileOpDelete) {
    for (const OperationStep& step : steps) {
      if (!SamePath(step.target, step.source) && IsSameOrInside(step.target, step.source))
        return ERROR_INVALID_PARAMETER;
    }
    if (multipleDestinations != 1) {
      result = CreateFolder(WithoutTrailingSeparators(targets[0]), true);
      if (result != 0) return result;
    }
  }

  for (const OperationStep& step : steps) {
    if (operation != kFileOpDelete && SamePath(step.source, step.target)) continue;
    switch (operation) {
      case kFileOpMove: result = MovePath(step.source, step.target); break;
      case kFileOpCopy: result = CopyPath(step.source, step.target); break;
      default: result = DeletePath(step.source); break;
    }
    if (result != 0) {
      Log(LogLevel::kTrace, "PerformOp(%s) <%s> -> <%s> failed - %d", OperationName(operation), step.source.c_str(),
          step.target.c_str(), result);
      return result;
    }
  }
  return 0;
}

}  // namespace hf
