// Child processes with their output read through a pipe, and hfhost's events.
#include "tests/support/win32/host_run.h"

#include "base/win32/scoped_handle.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

namespace hf {

CapturedProcess RunCaptured(const std::string& commandLine, DWORD timeoutMs) {
  CapturedProcess result;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  STARTUPINFOA startup{};
  PROCESS_INFORMATION process{};
  std::string mutableLine = commandLine;
  const bool piped = ::CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
  ScopedHandle reader(readEnd), writer(writeEnd);
  if (piped) ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = startup.hStdError = writeEnd;
  result.started = piped && ::CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                             &startup, &process);
  if (!result.started) {
    result.startError = ::GetLastError();
    return result;
  }
  ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  writer.reset();  // the child holds the only write end now
  // Read while the child runs, so that a full pipe cannot stall it.
  std::thread drain([&result, readEnd] {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
  });
  result.finished = ::WaitForSingleObject(processHandle.get(), timeoutMs) == WAIT_OBJECT_0;
  if (!result.finished) ::TerminateProcess(processHandle.get(), 1);
  ::WaitForSingleObject(processHandle.get(), INFINITE);
  drain.join();
  ::GetExitCodeProcess(processHandle.get(), &result.exitCode);
  return result;
}

std::string HostEvent::Text(const std::string& key) const {
  auto found = texts.find(key);
  return found == texts.end() ? std::string() : found->second;
}

int64_t HostEvent::Number(const std::string& key) const {
  auto found = numbers.find(key);
  return found == numbers.end() ? -1 : found->second;
}

std::vector<HostEvent> HostRun::Of(const std::string& kind) const {
  std::vector<HostEvent> matching;
  for (const HostEvent& event : events)
    if (event.Text("event") == kind) matching.push_back(event);
  return matching;
}

std::map<std::string, HostEvent> HostRun::FilesByName() const {
  std::map<std::string, HostEvent> files;
  for (const HostEvent& file : Of("file")) files[file.Text("name")] = file;
  return files;
}

std::vector<std::string> HostRun::FileNames() const {
  std::vector<std::string> names;
  for (const HostEvent& file : Of("file")) names.push_back(file.Text("name"));
  std::sort(names.begin(), names.end());
  return names;
}

HostRun ReadHostRun(CapturedProcess process) {
  HostRun run{std::move(process), {}, {}, {}};
  for (const std::string& line : Lines(run.process.output)) {
    if (line.empty()) continue;
    if (line[0] != '{') {
      run.otherLines.push_back(line);
      continue;
    }
    cJSON* json = cJSON_ParseWithOpts(line.c_str(), nullptr, 1);
    HostEvent event;
    bool flat = cJSON_IsObject(json);
    for (const cJSON* member = flat ? json->child : nullptr; member != nullptr; member = member->next) {
      if (cJSON_IsString(member))
        event.texts[member->string] = member->valuestring;
      else if (cJSON_IsNumber(member))
        event.numbers[member->string] = static_cast<int64_t>(member->valuedouble);
      else
        flat = false;
    }
    cJSON_Delete(json);
    if (flat)
      run.events.push_back(event);
    else
      run.badJson.push_back(line);
  }
  return run;
}

void ExpectCleanRun(const HostRun& run, const std::string& reason) {
  ASSERT_TRUE(run.process.started) << run.process.startError;
  ASSERT_TRUE(run.process.finished) << run.process.output;
  EXPECT_EQ(run.process.exitCode, 0u) << run.process.output;
  EXPECT_TRUE(run.badJson.empty()) << run.process.output;
  EXPECT_TRUE(run.Of("message").empty()) << run.process.output;
  std::vector<HostEvent> stops = run.Of("stop");
  ASSERT_EQ(stops.size(), 1u) << run.process.output;
  EXPECT_EQ(stops[0].Text("reason"), reason) << run.process.output;
  EXPECT_EQ(stops[0].Number("files"), static_cast<int64_t>(run.Of("file").size()));
}

std::string WithoutBackslash(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line); lines.push_back(line))
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

}  // namespace hf
