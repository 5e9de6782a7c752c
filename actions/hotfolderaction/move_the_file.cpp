// The scripting move of one file.
#include "actions/hotfolderaction/move_the_file.h"

#include "common/log.h"
#include "common/win32/windows_api.h"

int MoveTheFile(const std::string& from, const std::string& to) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
  const DWORD error = ::GetLastError();
  Log(0, "MoveTheFile(): MoveFileEx failed with error: %ld", static_cast<long>(error));
  Log(0, "MoveTheFile():  Moving file from: %s, To: %s", from.c_str(), to.c_str());
  return 0;
}
