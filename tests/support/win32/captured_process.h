// Runs a program to its end with its standard output and error captured, for
// end-to-end tests of the command-line tools.
#pragma once

#include "base/win32/windows_api.h"

#include <string>

namespace hf {

struct CapturedProcess {
  bool started = false;
  DWORD startError = 0;   // why CreateProcess failed
  bool finished = false;  // false when the time limit ended the wait (the process is then terminated)
  DWORD exitCode = 0;
  std::string output;     // standard output and standard error, interleaved
};

// Starts `commandLine` (program path quoted by the caller where needed) and
// waits at most `timeoutMs` for it to end.
CapturedProcess RunCaptured(const std::string& commandLine, DWORD timeoutMs);

}  // namespace hf
