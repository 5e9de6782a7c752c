// Programs run to their end with their output captured, and hfhost's --json lines read as events.
#pragma once

#include "base/win32/windows_api.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hf {

struct CapturedProcess {
  bool started = false;
  DWORD startError = 0;   // why CreateProcess failed
  bool finished = false;  // false when the time limit ended the wait (the process is then terminated)
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error, interleaved
};

// Runs `commandLine` (the program quoted by the caller) for at most `timeoutMs`.
CapturedProcess RunCaptured(const std::string& commandLine, DWORD timeoutMs);

struct HostEvent {
  std::map<std::string, std::string> texts;        // string members, UTF-8
  std::map<std::string, int64_t> numbers;          // number members
  std::string Text(const std::string& key) const;  // "" when missing
  int64_t Number(const std::string& key) const;    // -1 when missing
};

struct HostRun {
  CapturedProcess process;
  std::vector<HostEvent> events;        // the lines that are flat JSON objects
  std::vector<std::string> otherLines;  // lines that do not start with '{'
  std::vector<std::string> badJson;     // lines that start with '{' but are no flat JSON object

  std::vector<HostEvent> Of(const std::string& kind) const;  // events with "event" = kind, in order
  std::map<std::string, HostEvent> FilesByName() const;      // the "file" events by "name"
  std::vector<std::string> FileNames() const;                // the names of the "file" events, sorted
};

HostRun ReadHostRun(CapturedProcess process);
inline HostRun RunHost(const std::string& commandLine, DWORD limitMs) {
  return ReadHostRun(RunCaptured(commandLine, limitMs));
}

// A run that ended by itself with exit code 0, valid JSON, no message from the plug-in and one
// "stop" event with `reason` that counts every file.
void ExpectCleanRun(const HostRun& run, const std::string& reason);

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
// A folder without its trailing backslash ("C:\x\" would end a quoted argument); a drive root keeps it.
std::string WithoutBackslash(std::string folder);
// The lines of a text, without their line ends (LF or CR LF).
std::vector<std::string> Lines(const std::string& text);

}  // namespace hf
