// Formatting and printing of hfhost's event lines.
#include "tools/hfhost/host_output.h"

#include "base/win32/windows_api.h"

#include <psapi.h>

#include <cinttypes>
#include <cstdio>
#include <vector>

namespace hf {

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%" PRIx32, value);
  return text;
}

// Builds one JSON object member by member.
class JsonObject {
 public:
  JsonObject& Text(const char* key, const std::string& value) { return Raw(key, JsonString(value)); }
  JsonObject& Number(const char* key, uint64_t value) { return Raw(key, std::to_string(value)); }
  JsonObject& Signed(const char* key, int64_t value) { return Raw(key, std::to_string(value)); }
  std::string Done() const { return body_ + "}"; }

 private:
  JsonObject& Raw(const char* key, const std::string& value) {
    body_ += body_.size() > 1 ? "," : "";
    body_ += "\"" + std::string(key) + "\":" + value;
    return *this;
  }
  std::string body_ = "{";
};

}  // namespace

std::string Utf8FromAnsi(const std::string& text) {
  if (text.empty()) return text;
  int wideSize = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideSize <= 0) return text;
  std::vector<wchar_t> wide(static_cast<size_t>(wideSize));
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideSize);
  int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return text;
  std::string utf8(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, &utf8[0], size, nullptr, nullptr);
  return utf8;
}

MemoryFigures CurrentMemoryFigures() {
  MemoryFigures figures;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) {
    figures.workingSetKB = counters.WorkingSetSize / 1024;
    figures.peakWorkingSetKB = counters.PeakWorkingSetSize / 1024;
  }
  return figures;
}

std::string JsonString(const std::string& ansiText) {
  std::string quoted = "\"";
  for (unsigned char c : Utf8FromAnsi(ansiText)) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          quoted += escape;
        } else {
          quoted += static_cast<char>(c);
        }
    }
  }
  return quoted + "\"";
}

std::string WithoutLineEnd(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  return text.substr(0, end);
}

std::string OneLine(const std::string& text) {
  const std::string trimmed = WithoutLineEnd(text);
  std::string line;
  for (size_t i = 0; i < trimmed.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(trimmed[i]);
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      line += escape;
    } else {
      line += static_cast<char>(c);
    }
  }
  return line;
}

std::string FileLine(bool json, int task, uint64_t index, const HandedOverFile& file) {
  if (json) {
    return JsonObject()
        .Text("event", "file")
        .Signed("task", task)
        .Number("index", index)
        .Text("folder", file.folder)
        .Text("name", file.fileName)
        .Text("jobType", JobTypeName(file.jobType))
        .Number("jobTypeCode", file.jobType)
        .Number("size", file.fileSize)
        .Text("title", file.title)
        .Text("for", file.owner)
        .Text("resourceId", file.resourceId)
        .Number("groupMember", file.groupMember)
        .Number("colourType", file.colourType)
        .Text("intakeFailure", file.intakeFailureText)
        .Done();
  }
  std::string path = file.folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += file.fileName;
  std::string line = "task " + std::to_string(task) + " file " + std::to_string(index) + ": " + path + " | " +
                     JobTypeName(file.jobType) + " (" + Hex(file.jobType) + ") | " + std::to_string(file.fileSize) +
                     " bytes | title \"" + OneLine(file.title) + "\" | for \"" + OneLine(file.owner) +
                     "\" | resource " + (file.resourceId.empty() ? "-" : file.resourceId);
  if (file.groupMember != 0) line += " | group member (colour type " + std::to_string(file.colourType) + ")";
  if (!file.intakeFailureText.empty()) line += " | intake failure \"" + OneLine(file.intakeFailureText) + "\"";
  return line;
}

std::string MessageLine(bool json, int task, const char* selectorName, int32_t errorCode, const std::string& text) {
  if (json) {
    return JsonObject()
        .Text("event", "message")
        .Signed("task", task)
        .Text("selector", selectorName)
        .Signed("errorCode", errorCode)
        .Text("text", WithoutLineEnd(text))
        .Done();
  }
  return "task " + std::to_string(task) + " message after " + selectorName + " (errorCode " +
         std::to_string(errorCode) + "): " + OneLine(text);
}

void HostOutput::TaskStarted(int task, uint32_t taskId, const std::string& source, const std::string& destination) {
  if (json_) {
    Line(JsonObject()
             .Text("event", "task")
             .Signed("task", task)
             .Number("taskId", taskId)
             .Text("source", source)
             .Text("destination", destination)
             .Done());
    return;
  }
  Line("task " + std::to_string(task) + " (task number " + std::to_string(taskId) + "): watching " + source +
       (destination.empty() ? std::string(", no destination") : " -> " + destination));
}

void HostOutput::Ready(size_t taskCount, const MemoryFigures& memory) {
  if (json_) {
    Line(JsonObject()
             .Text("event", "ready")
             .Number("tasks", taskCount)
             .Number("workingSetKB", memory.workingSetKB)
             .Number("peakWorkingSetKB", memory.peakWorkingSetKB)
             .Done());
    return;
  }
  Line("watching " + std::to_string(taskCount) + (taskCount == 1 ? " hot folder" : " hot folders") +
       "; press Ctrl+C to stop (working set " + std::to_string(memory.workingSetKB) + " KiB, peak " +
       std::to_string(memory.peakWorkingSetKB) + " KiB)");
}

void HostOutput::File(int task, uint64_t index, const HandedOverFile& file) {
  Line(FileLine(json_, task, index, file));
}

void HostOutput::Message(int task, const char* selectorName, int32_t errorCode, const std::string& text) {
  Line(MessageLine(json_, task, selectorName, errorCode, text));
}

void HostOutput::Stopped(const char* reason, uint64_t files, const MemoryFigures& memory) {
  if (json_) {
    Line(JsonObject()
             .Text("event", "stop")
             .Text("reason", reason)
             .Number("files", files)
             .Number("workingSetKB", memory.workingSetKB)
             .Number("peakWorkingSetKB", memory.peakWorkingSetKB)
             .Done());
    return;
  }
  Line("stopped (" + std::string(reason) + ") after " + std::to_string(files) + (files == 1 ? " file" : " files") +
       " (working set " + std::to_string(memory.workingSetKB) + " KiB, peak " +
       std::to_string(memory.peakWorkingSetKB) + " KiB)");
}

void HostOutput::Error(const std::string& text) {
  std::fprintf(stderr, "hfhost: %s\n", text.c_str());
  std::fflush(stderr);
}

void HostOutput::Line(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace hf
