// Console control handling of the stand-in host.
#include "tools/hfhost/stop_request.h"

#include "base/win32/scoped_handle.h"

namespace hf {

namespace {

constexpr DWORD kCloseGraceMs = 4000;  // Windows ends the process about 5 s after a close event

ScopedHandle& StopEvent() {
  static ScopedHandle event;
  return event;
}

ScopedHandle& FinishedEvent() {
  static ScopedHandle event;
  return event;
}

BOOL WINAPI OnConsoleControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: ::SetEvent(StopEvent().get()); return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The process ends when this returns: give the main thread time to end the tasks.
      ::SetEvent(StopEvent().get());
      ::WaitForSingleObject(FinishedEvent().get(), kCloseGraceMs);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

bool InstallStopRequest() {
  StopEvent().reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  FinishedEvent().reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!StopEvent() || !FinishedEvent()) return false;
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  return true;
}

bool WaitForStopRequest(DWORD timeoutMs) {
  return ::WaitForSingleObject(StopEvent().get(), timeoutMs) == WAIT_OBJECT_0;
}

void StopRequestFinished() {
  ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  if (FinishedEvent()) ::SetEvent(FinishedEvent().get());
}

}  // namespace hf
