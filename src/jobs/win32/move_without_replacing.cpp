// Moves that never replace a job.
#include "jobs/win32/move_without_replacing.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "jobs/unique_target.h"

namespace hf {

namespace {

bool NameTaken(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

DWORD MoveOnce(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), 0) ? ERROR_SUCCESS : ::GetLastError();
}

// The plain files of a folder (no folders), by name.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle listing(::FindFirstFileA(JoinPath(folder, "*").c_str(), &entry));
  if (!listing) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (::FindNextFileA(listing.get(), &entry));
  return names;
}

}  // namespace

unsigned long MoveWithoutReplacing(const std::string& from, const std::string& to, std::string* arrivedAs,
                                   std::string* failedTarget) {
  DWORD error = MoveOnce(from, to);
  std::string target = to;
  // A name taken meanwhile gets another free one, a few times at most.
  for (int attempt = 0; attempt < 3 && arrivedAs != nullptr && NameTaken(error); ++attempt) {
    char unique[kMaxPathBytes] = {};
    const std::string folder = ParentFolder(to) + "\\";
    if (!makeUniqueTarget(folder.c_str(), FileNameOnly(to).c_str(), 0, 0, unique, sizeof unique)) break;
    target = unique;
    Log(LogLevel::kProgress, "MoveTheFile(): <%s> is taken: the file arrives as <%s>.", to.c_str(), target.c_str());
    error = MoveOnce(from, target);
  }
  if (error == ERROR_SUCCESS && arrivedAs != nullptr) *arrivedAs = target;
  if (error != ERROR_SUCCESS && failedTarget != nullptr) *failedTarget = target;
  return error;
}

std::vector<std::string> ReturnFilesToHotFolder(const std::string& folder, const std::string& hotFolder,
                                                const char* what) {
  std::vector<std::string> left;
  for (const std::string& name : FilesIn(folder)) {
    std::string arrived;
    const DWORD error = MoveWithoutReplacing(JoinPath(folder, name), JoinPath(hotFolder, name), &arrived);
    if (error == ERROR_SUCCESS) {
      Log(LogLevel::kError, "%s: <%s> was left there and is put back into the hot folder as <%s>.", what, name.c_str(),
          FileNameOnly(arrived).c_str());
    } else {
      Log(LogLevel::kError, "%s: <%s> cannot go back into the hot folder (error %lu) and stays in <%s>.", what,
          name.c_str(), static_cast<unsigned long>(error), folder.c_str());
      left.push_back(name);
    }
  }
  ::RemoveDirectoryA(folder.c_str());  // fails, as it should, while anything is left in it
  return left;
}

}  // namespace hf
