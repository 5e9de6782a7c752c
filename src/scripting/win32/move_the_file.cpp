// The scripting move of one file.
#include "scripting/win32/move_the_file.h"

#include "base/log.h"
#include "base/win32/windows_api.h"

namespace hf {

int MoveTheFile(const std::string& from, const std::string& to) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
  const DWORD error = ::GetLastError();
  Log(LogLevel::kError, "MoveTheFile(): MoveFileEx failed with error: %ld", static_cast<long>(error));
  Log(LogLevel::kError, "MoveTheFile():  Moving file from: %s, To: %s", from.c_str(), to.c_str());
  return 0;
}

}  // namespace hf
