// What hfhost prints: one line per event (a task started, a file handed over,
// a message from the plug-in, the stop), as text or as one JSON object per
// line. Every line is flushed at once, so a pipe reader sees it immediately.
#pragma once

#include "tools/hfhost/handed_over_file.h"

#include <cstdint>
#include <string>

namespace hf {

// The process's memory use, in KiB.
struct MemoryFigures {
  uint64_t workingSetKB = 0;
  uint64_t peakWorkingSetKB = 0;
};

// Memory figures of this process (zero when they cannot be read).
MemoryFigures CurrentMemoryFigures();

// A text in the system code page converted to UTF-8 (as it is when it cannot be converted).
std::string Utf8FromAnsi(const std::string& ansiText);

// A JSON string literal (quotes included) of a text in the system code page:
// converted to UTF-8, with '"', '\' and control characters escaped.
std::string JsonString(const std::string& ansiText);

// The text without the CR and LF characters at its end.
std::string WithoutLineEnd(const std::string& text);

// Message text as one line: CR and LF at the end are dropped, other control
// characters inside are shown as "\n", "\r" or "\xNN".
std::string OneLine(const std::string& text);

// The line for one handed-over file (`task` counts from 1 in command-line
// order, `index` from 0 over all files of the run), without a line end:
//   text: "task 1 file 0: C:\out\a.ps | PostScript (0x1) | 1234 bytes | title \"T\" | for \"F\"
//          | resource 1f2e | group member | intake failure \"...\"" (the last two only when set)
//   JSON: {"event":"file","task":1,"index":0,"folder":"C:\\out\\","name":"a.ps",
//          "jobType":"PostScript","jobTypeCode":1,"size":1234,"title":"T","for":"F",
//          "resourceId":"1f2e","groupMember":0,"colourType":0,"intakeFailure":""}
std::string FileLine(bool json, int task, uint64_t index, const HandedOverFile& file);

// The line for a message the plug-in placed in a block (task 0 is the handler
// block given to InitializeHandler):
//   text: "task 1 message after StartAction (errorCode -1): <text>"
//   JSON: {"event":"message","task":1,"selector":"StartAction","errorCode":-1,"text":"..."}
//   (text: WithoutLineEnd in JSON, OneLine as text)
std::string MessageLine(bool json, int task, const char* selectorName, int32_t errorCode, const std::string& text);

class HostOutput {
 public:
  explicit HostOutput(bool json) : json_(json) {}

  bool json() const { return json_; }

  void TaskStarted(int task, uint32_t taskId, const std::string& source, const std::string& destination);
  void Ready(size_t taskCount, const MemoryFigures& memory);
  void File(int task, uint64_t index, const HandedOverFile& file);
  void Message(int task, const char* selectorName, int32_t errorCode, const std::string& text);
  void Stopped(const char* reason, uint64_t files, const MemoryFigures& memory);

  // A failure of the host itself: "hfhost: <text>" on standard error.
  void Error(const std::string& text);

 private:
  void Line(const std::string& line);

  bool json_;
};

}  // namespace hf
