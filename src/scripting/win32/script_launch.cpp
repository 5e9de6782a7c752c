// The script process: start, bounded wait, and the stop of its process tree.
#include "scripting/win32/script_launch.h"

#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "host/zu_ini_file.h"
#include "scripting/script_command_line.h"

#include <cstdint>
#include <vector>

namespace hf {

namespace {

// How long the stop of a script that ran out of time may take.
constexpr DWORD kStopWaitMs = 5000;
constexpr DWORD kStopPollMs = 20;
// The exit code given to a script that is stopped.
constexpr UINT kStoppedExitCode = ERROR_TIMEOUT;

std::string CommandInterpreter() {
  char buffer[MAX_PATH];
  DWORD length = ::GetEnvironmentVariableA("ComSpec", buffer, sizeof buffer);
  if (length > 0 && length < sizeof buffer) return std::string(buffer, length);
  length = ::GetSystemDirectoryA(buffer, sizeof buffer);
  if (length > 0 && length < sizeof buffer) return JoinPath(std::string(buffer, length), "cmd.exe");
  return "cmd.exe";
}

// The command line of the process to create for the script's command line.
std::string ProcessCommandLine(const std::string& displayName, const std::string& commandLine) {
  if (!IsBatchFile(CommandLineProgram(commandLine))) return commandLine;
  std::string line = InterpreterCommandLine(CommandInterpreter(), commandLine);
  Log(LogLevel::kDetail, "SP: %s is a batch file; it runs as: %s", displayName.c_str(), line.c_str());
  return line;
}

DWORD TimeoutMilliseconds(unsigned seconds) {
  if (seconds == 0) return INFINITE;
  const uint64_t milliseconds = static_cast<uint64_t>(seconds) * 1000u;
  return milliseconds >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(milliseconds);
}

// A job holding the suspended script process, so that everything it starts
// can be ended with it. None when jobs are not available here (a host that
// runs in a job that does not allow nesting): then only the script's own
// process can be stopped.
ScopedHandle PutIntoJob(HANDLE process, const std::string& displayName) {
  ScopedHandle job(::CreateJobObjectA(nullptr, nullptr));
  if (!job) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kDetail, "SP: %s runs without a job object: error 0x%lx", displayName.c_str(),
        static_cast<unsigned long>(error));
    return job;
  }
  if (!::AssignProcessToJobObject(job.get(), process)) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kDetail, "SP: %s runs without a job object: error 0x%lx", displayName.c_str(),
        static_cast<unsigned long>(error));
    job.reset();
  }
  return job;
}

bool JobHasProcesses(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION information{};
  if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &information, sizeof information, nullptr))
    return false;  // nothing more to wait for that can be seen
  return information.ActiveProcesses != 0;
}

// Ends the script with everything it started and waits, within a limit, until
// all of it is gone, so that nothing still holds the scripted file open.
void StopScript(HANDLE process, HANDLE job, const std::string& displayName) {
  const BOOL ended =
      job != nullptr ? ::TerminateJobObject(job, kStoppedExitCode) : ::TerminateProcess(process, kStoppedExitCode);
  if (!ended) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kError, "SP: Error: Couldn't stop %s: error 0x%lx", displayName.c_str(),
        static_cast<unsigned long>(error));
  }
  const DWORD start = ::GetTickCount();
  bool gone = ::WaitForSingleObject(process, kStopWaitMs) == WAIT_OBJECT_0;
  while (gone && job != nullptr && JobHasProcesses(job)) {
    if (::GetTickCount() - start >= kStopWaitMs) {
      gone = false;
      break;
    }
    WaitMilliseconds(kStopPollMs);
  }
  if (gone)
    Log(LogLevel::kDetail, "SP: %s was stopped.", displayName.c_str());
  else
    Log(LogLevel::kError, "SP: Error: %s did not end after it was stopped.", displayName.c_str());
}

}  // namespace

ScriptLaunchSettings ReadScriptLaunchSettings() {
  ScriptLaunchSettings settings;
  settings.minimised = TheIniFile().GetInt("HFA", "HideScriptWindow", 0) == 1;
  const int timeout = TheIniFile().GetInt("HFA", "ScriptTimeoutSecs", kDefaultScriptTimeoutSecs);
  settings.timeoutSeconds = static_cast<unsigned>(timeout >= 0 ? timeout : kDefaultScriptTimeoutSecs);
  return settings;
}

ScriptRunResult RunScript(const std::string& displayName, const std::string& commandLine,
                          const std::string& workingFolder, const ScriptLaunchSettings& settings) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (settings.minimised) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
  }
  Log(LogLevel::kProgress, "CommandLine: %s", commandLine.c_str());
  const std::string processLine = ProcessCommandLine(displayName, commandLine);
  std::vector<char> writable(processLine.begin(), processLine.end());
  writable.push_back('\0');

  // Suspended until it is in its job, so that nothing it starts escapes.
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kError, "SP: Error: Couldn't start %s: error 0x%lx", displayName.c_str(),
        static_cast<unsigned long>(error));
    return ScriptRunResult::kNotStarted;
  }
  ScopedHandle process(started.hProcess);
  ScopedHandle thread(started.hThread);
  ScopedHandle job = PutIntoJob(process.get(), displayName);
  if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    const DWORD error = ::GetLastError();
    ::TerminateProcess(process.get(), kStoppedExitCode);
    Log(LogLevel::kError, "SP: Error: Couldn't start %s: error 0x%lx", displayName.c_str(),
        static_cast<unsigned long>(error));
    return ScriptRunResult::kNotStarted;
  }
  thread.reset();

  Log(LogLevel::kDetail, "SP: Launched %s - waiting for it to complete.", displayName.c_str());
  const DWORD waited = ::WaitForSingleObject(process.get(), TimeoutMilliseconds(settings.timeoutSeconds));
  if (waited == WAIT_OBJECT_0) return ScriptRunResult::kEnded;
  if (waited == WAIT_TIMEOUT) {
    Log(LogLevel::kError, "SP: Error: %s did not complete within %u seconds - stopping it.", displayName.c_str(),
        settings.timeoutSeconds);
  } else {
    const DWORD error = ::GetLastError();
    Log(LogLevel::kError, "SP: Error: Couldn't wait for %s: error 0x%lx - stopping it.", displayName.c_str(),
        static_cast<unsigned long>(error));
  }
  StopScript(process.get(), job.get(), displayName);
  return ScriptRunResult::kStopped;
}

int LaunchScript(const std::string& displayName, const std::string& commandLine, const std::string& workingFolder) {
  return RunScript(displayName, commandLine, workingFolder, ReadScriptLaunchSettings()) == ScriptRunResult::kEnded ? 1
                                                                                                                   : 0;
}

}  // namespace hf
