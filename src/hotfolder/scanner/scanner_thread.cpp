// The scanner thread's loop around the scan cycle.
#include "hotfolder/scanner/scanner_thread.h"

#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/scanner/timer_action.h"
#include "base/log.h"
#include "base/win32/file_system.h"

namespace hf {

namespace {

// The pause between the stop flag and the running flag as the thread leaves.
constexpr DWORD kExitPauseMs = 200;

}  // namespace

DWORD WINAPI ScannerThreadProc(LPVOID) {
  ScannerState& scanner = TheScanner();
  if (!scanner.ThreadBegins()) scanner.Park();
  const unsigned threadId = static_cast<unsigned>(::GetCurrentThreadId());
  Log(LogLevel::kTrace, "Scan thread #0x%X started, interval = %d seconds.", threadId, static_cast<int>(scanner.scanInterval()));

  for (;;) {
    // The interval is read before every wait: a StartAction that changes it
    // takes effect at the next wait.
    const DWORD intervalMs = scanner.scanInterval() * 1000;
    if (!scanner.WaitBegins()) scanner.Park();
    const DWORD waited = ::WaitForSingleObject(scanner.wakeEvent(), intervalMs);
    if (!scanner.WaitEnds()) scanner.Park();
    if (scanner.stopRequested()) {
      Log(LogLevel::kDetail, "got stop request");
      break;
    }
    timerAction(scanner.argument());
    // A wake-up without a stop request gives this one cycle and ends the thread.
    if (waited != WAIT_TIMEOUT) break;
  }

  Log(LogLevel::kDetail, "Event completed. Exiting scan thread #0x%X.", threadId);
  scanner.ExitBegins();
  scanner.SetStopFlag();
  WaitMilliseconds(kExitPauseMs);
  scanner.ClearRunning();
  return 0;
}

}  // namespace hf
