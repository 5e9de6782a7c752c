// Process snapshots, the wait for a unique instance and process starts of the
// external preview programs.
#include "previews/win32/external_program.h"

#include "base/ascii.h"
#include "base/log.h"
#include "base/path_utils.h"
#include "base/win32/file_system.h"

#include <tlhelp32.h>

#include <vector>

namespace hf {

namespace {

// A Toolhelp snapshot, taken once more when it fails with a bad length (and,
// when asked, with a partial copy). None on failure, `error` set.
ScopedHandle TakeSnapshot(DWORD flags, DWORD processId, bool retryPartialCopy, DWORD& error) {
  error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(flags, processId);
    if (snapshot != INVALID_HANDLE_VALUE) return ScopedHandle(snapshot);
    error = ::GetLastError();
    if (error != ERROR_BAD_LENGTH && !(retryPartialCopy && error == ERROR_PARTIAL_COPY)) break;
  }
  return ScopedHandle();
}

bool Reportable(DWORD error) { return error != 0 && error != ERROR_NO_MORE_FILES; }

bool HasModuleAt(DWORD processId, const std::string& wantedPath) {
  DWORD error = 0;
  ScopedHandle modules = TakeSnapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId, true, error);
  if (!modules) return false;
  MODULEENTRY32 module{};
  module.dwSize = sizeof module;
  for (BOOL more = ::Module32First(modules.get(), &module); more; more = ::Module32Next(modules.get(), &module))
    if (EqualsIgnoringAsciiCase(NormalizePath(module.szExePath), wantedPath)) return true;
  return false;
}

}  // namespace

DWORD FindProcessId(const std::string& executableName) {
  DWORD error = 0;
  ScopedHandle processes = TakeSnapshot(TH32CS_SNAPPROCESS, 0, false, error);
  if (!processes) {
    if (Reportable(error))
      Log(LogLevel::kDetail, "Failed to open snapshot to find process %s. Error 0x%lx.", executableName.c_str(),
          static_cast<unsigned long>(error));
    return kNoProcessId;
  }
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  if (!::Process32First(processes.get(), &entry)) {
    error = ::GetLastError();
    if (Reportable(error))
      Log(LogLevel::kDetail, "Failed to locate first instance of process %s. Error 0x%lx.", executableName.c_str(),
          static_cast<unsigned long>(error));
    return kNoProcessId;
  }
  do {
    if (EqualsIgnoringAsciiCase(FileNameOnly(entry.szExeFile), executableName)) return entry.th32ProcessID;
  } while (::Process32Next(processes.get(), &entry));
  error = ::GetLastError();
  if (Reportable(error))
    Log(LogLevel::kDetail, "Failed to locate process %s. Error 0x%lx.", executableName.c_str(),
        static_cast<unsigned long>(error));
  return kNoProcessId;
}

bool IsProgramRunning(const std::string& programPath) {
  const std::string name = FileNameOnly(programPath);
  const std::string wanted = NormalizePath(programPath);
  DWORD error = 0;
  ScopedHandle processes = TakeSnapshot(TH32CS_SNAPPROCESS, 0, true, error);
  if (!processes) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(processes.get(), &entry); more; more = ::Process32Next(processes.get(), &entry))
    if (EqualsIgnoringAsciiCase(FileNameOnly(entry.szExeFile), name) && HasModuleAt(entry.th32ProcessID, wanted))
      return true;
  return false;
}

bool WaitUntilUnique(const std::string& programPath, const char* logPrefix, DWORD limitMs) {
  const DWORD started = ::GetTickCount();
  WaitMilliseconds(500);
  while (IsProgramRunning(programPath)) {
    if (::GetTickCount() - started >= limitMs) {
      Log(LogLevel::kError, "%s: Another instance of '%s' is still running after %lu s; giving up.", logPrefix,
          programPath.c_str(), static_cast<unsigned long>(limitMs / 1000));
      return false;
    }
    Log(LogLevel::kDetail, "%s: waiting to be unique...", logPrefix);
    WaitMilliseconds(1000);
  }
  return true;
}

ScopedHandle StartProgram(const std::string& commandLine, const std::string& currentFolder, ProgramStart how,
                          DWORD& error) {
  error = 0;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  DWORD flags = 0;
  if (how == ProgramStart::kRenderer) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    flags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
  } else {
    startup.dwFlags = STARTF_USESTDHANDLES;  // hStdInput, hStdOutput, hStdError stay null
    flags = DETACHED_PROCESS;
  }
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
    error = ::GetLastError();
    return ScopedHandle();
  }
  ScopedHandle thread(started.hThread);
  return ScopedHandle(started.hProcess);
}

std::string ProgramArgument(const std::string& programPath) {
  if (programPath.find(' ') == std::string::npos) return programPath;
  return "\"" + programPath + "\"";
}

}  // namespace hf
