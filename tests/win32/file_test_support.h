// Helpers of the file-handling tests: a capture of log lines (through the log
// sink, with their levels) and a fresh folder under the temporary folder.
#pragma once

#include "common/win32/file_system.h"
#include "common/win32/windows_api.h"
#include "tests/support/log_capture.h"

#include <string>

// Makes "<temp>\<prefix>_<process>_<n>\" and removes it with everything in it.
class TempFolder {
 public:
  explicit TempFolder(const char* prefix) {
    char temp[MAX_PATH];
    DWORD length = ::GetTempPathA(MAX_PATH, temp);
    static int made = 0;
    path_ = std::string(temp, length) + prefix + "_" + std::to_string(::GetCurrentProcessId()) + "_" +
            std::to_string(++made) + "\\";
    ok_ = length > 0 && CreateFolder(path_, true) == 0;
  }
  ~TempFolder() { DeleteFolder(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return ok_; }
  // The folder with its trailing backslash.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool ok_ = false;
};
