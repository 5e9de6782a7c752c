// Helpers of the end-to-end tests that run hfhost as a separate process: its
// command line pieces, one run with its --json lines parsed, and text lines.
#pragma once

#include "tests/support/win32/captured_process.h"
#include "tests/support/win32/host_events.h"

#include <map>
#include <string>
#include <vector>

namespace hf {

namespace host_run {

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A folder without its trailing backslash ("C:\x\" would end a quoted
// argument); a drive root keeps it.
inline std::string WithoutBackslash(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

struct HostRun {
  CapturedProcess process;
  HostOutputLines lines;

  std::map<std::string, HostEvent> FilesByName() const {
    std::map<std::string, HostEvent> files;
    for (const HostEvent& file : lines.Of("file")) files[file.Text("name")] = file;
    return files;
  }
};

inline HostRun RunHost(const std::string& commandLine, DWORD limitMs) {
  HostRun run;
  run.process = RunCaptured(commandLine, limitMs);
  run.lines = ParseHostOutput(run.process.output);
  return run;
}

// The lines of a text, without their line ends (LF or CR LF).
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace host_run

}  // namespace hf
