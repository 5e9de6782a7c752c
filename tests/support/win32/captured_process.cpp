// A child process with its output read through a pipe.
#include "tests/support/win32/captured_process.h"

#include "base/win32/scoped_handle.h"

#include <thread>
#include <vector>

namespace hf {

CapturedProcess RunCaptured(const std::string& commandLine, DWORD timeoutMs) {
  CapturedProcess result;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
    result.startError = ::GetLastError();
    return result;
  }
  ScopedHandle reader(readEnd);
  ScopedHandle writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  if (!::CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
    result.startError = ::GetLastError();
    return result;
  }
  result.started = true;
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
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

}  // namespace hf
