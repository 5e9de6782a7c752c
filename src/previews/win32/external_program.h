// The external preview programs as processes: finding a running one, waiting
// until no other instance runs, starting one and waiting for it to end.
#pragma once

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <string>

namespace hf {

// FindProcessId's answer when no process of that name runs.
constexpr DWORD kNoProcessId = 0xFFFFFFFF;

// How long WaitUntilUnique waits for another instance before it gives up.
constexpr DWORD kUniqueWaitLimitMs = 60000;

// The ID of a running process whose executable name equals `executableName`
// (case ignored), or kNoProcessId. A failing snapshot is logged at level 2
// ("Failed to open snapshot to find process %s. Error 0x%lx.", "Failed to
// locate first instance of process %s. Error 0x%lx.", "Failed to locate
// process %s. Error 0x%lx."), except for errors 0 and 18 (no more files).
DWORD FindProcessId(const std::string& executableName);

// True when a process runs whose executable name is the file name of
// `programPath` (case ignored) and which has a module loaded from that path
// (NormalizePath form, case ignored). A snapshot failing with error 24 or 299
// is taken once more; one that still fails counts as not running.
bool IsProgramRunning(const std::string& programPath);

// Before every start of an external program: sleeps 500 ms, then, while the
// program is running, logs "<logPrefix>: waiting to be unique..." (level 2) and
// sleeps 1000 ms. True once it is not running. After `limitMs` of waiting it
// gives up: false, logged at level 0 as
// "<logPrefix>: Another instance of '<programPath>' is still running after <n> s; giving up."
bool WaitUntilUnique(const std::string& programPath, const char* logPrefix, DWORD limitMs = kUniqueWaitLimitMs);

enum class ProgramStart {
  kRenderer,  // a new console, normal priority, its window hidden
  kDetached,  // no console; standard handles requested, none given
};

// Starts `commandLine` (no separate application name, handles inherited) with
// `currentFolder` as its current folder (empty: the caller's). The process
// handle, or none with `error` the system error of the failed start.
ScopedHandle StartProgram(const std::string& commandLine, const std::string& currentFolder, ProgramStart how,
                          DWORD& error);

// The command line's first element: the path as it stands, or in double quotes
// when it holds a blank (a bare path with blanks could start another program).
std::string ProgramArgument(const std::string& programPath);

}  // namespace hf
