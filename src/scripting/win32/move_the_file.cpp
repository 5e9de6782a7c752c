// The scripting move of one file.
#include "scripting/win32/move_the_file.h"

#include "base/ascii.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "jobs/unique_target.h"

#include <vector>

namespace hf {

namespace {

bool NameTaken(DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; }

DWORD MoveWithoutReplacing(const std::string& from, const std::string& to) {
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

int MoveTheFile(const std::string& from, const std::string& to, std::string* arrivedAs) {
  DWORD error = MoveWithoutReplacing(from, to);
  std::string target = to;
  // A name taken meanwhile gets another free one, a few times at most.
  for (int attempt = 0; attempt < 3 && arrivedAs != nullptr && NameTaken(error); ++attempt) {
    char unique[kMaxPathBytes] = {};
    const std::string folder = ParentFolder(to) + "\\";
    if (!makeUniqueTarget(folder.c_str(), FileNameOnly(to).c_str(), 0, 0, unique, sizeof unique)) break;
    target = unique;
    Log(LogLevel::kProgress, "MoveTheFile(): <%s> is taken: the file arrives as <%s>.", to.c_str(), target.c_str());
    error = MoveWithoutReplacing(from, target);
  }
  if (error == ERROR_SUCCESS) {
    if (arrivedAs != nullptr) *arrivedAs = target;
    return 1;
  }
  Log(LogLevel::kError, "MoveTheFile(): MoveFileEx failed with error: %ld", static_cast<long>(error));
  Log(LogLevel::kError, "MoveTheFile():  Moving file from: %s, To: %s", from.c_str(), target.c_str());
  return 0;
}

void RescueScriptingFolder(const std::string& hotFolder, const std::string& scriptingFolder) {
  for (const std::string& name : FilesIn(scriptingFolder)) {
    const std::string path = JoinPath(scriptingFolder, name);
    if (EqualsIgnoringAsciiCase(name, "newname.txt") || EqualsIgnoringAsciiCase(name, "results.txt")) {
      ::DeleteFileA(path.c_str());  // the answers of a run that did not finish
      continue;
    }
    std::string arrived;
    if (MoveTheFile(path, JoinPath(hotFolder, name), &arrived) != 0)
      Log(LogLevel::kError, "Scripting folder: <%s> was left there and is put back into the hot folder as <%s>.",
          name.c_str(), FileNameOnly(arrived).c_str());
  }
  ::RemoveDirectoryA(scriptingFolder.c_str());  // fails, as it should, while anything is left in it
}

}  // namespace hf
