// The scripting move of one file.
#include "scripting/win32/move_the_file.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/windows_api.h"
#include "jobs/win32/move_without_replacing.h"

namespace hf {

int MoveTheFile(const std::string& from, const std::string& to, std::string* arrivedAs) {
  std::string target = to;
  const unsigned long error = MoveWithoutReplacing(from, to, arrivedAs, &target);
  if (error == 0) return 1;
  Log(LogLevel::kError, "MoveTheFile(): MoveFileEx failed with error: %ld", static_cast<long>(error));
  Log(LogLevel::kError, "MoveTheFile():  Moving file from: %s, To: %s", from.c_str(), target.c_str());
  return 0;
}

void RescueScriptingFolder(const std::string& hotFolder, const std::string& scriptingFolder) {
  // The answers of a run that did not finish go; the jobs go back.
  for (const char* answer : {"newname.txt", "results.txt"}) ::DeleteFileA(JoinPath(scriptingFolder, answer).c_str());
  ReturnFilesToHotFolder(scriptingFolder, hotFolder, "Scripting folder");
}

}  // namespace hf
