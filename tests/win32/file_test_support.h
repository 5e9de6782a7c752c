// Helpers of the file-handling tests: a capture of log lines (through the log
// sink, with their levels) and a fresh folder under the temporary folder.
#pragma once

#include "common/log.h"
#include "common/win32/file_system.h"
#include "common/win32/windows_api.h"

#include <string>
#include <utility>
#include <vector>

using LogLine = std::pair<int, std::string>;

// Captures every message up to level 3 while it exists.
class LogCapture {
 public:
  LogCapture() {
    current = this;
    previous_ = SetLogSink(&LogCapture::Sink);
    SetLogSettings(3, true);
  }
  ~LogCapture() {
    SetLogSettings(0, false);
    SetLogSink(previous_);
    current = nullptr;
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  bool Has(int level, const std::string& text) const {
    for (const LogLine& line : lines)
      if (line.first == level && line.second == text) return true;
    return false;
  }

  std::vector<LogLine> lines;

 private:
  static void Sink(int level, const char* text) { current->lines.emplace_back(level, text); }
  static inline LogCapture* current = nullptr;
  LogSink previous_ = nullptr;
};

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
