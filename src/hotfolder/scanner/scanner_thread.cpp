// The scanner thread's loop around the scan cycle.
#include "hotfolder/scanner/scanner_thread.h"

#include "base/log.h"
#include "base/win32/file_system.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/scanner/timer_action.h"

#include <exception>

namespace hf {

namespace {

// The pause between the stop flag and the running flag as the thread leaves.
constexpr DWORD kExitPauseMs = 200;

// One scan cycle. Nothing may end the thread that watches every folder: an
// exception leaves this cycle (its locks are released on the way out), is
// logged, and the next cycle comes as usual.
void RunOneCycle(PluginParameters* params) {
  try {
    timerAction(params);
  } catch (const std::exception& error) {
    Log(LogLevel::kError, "! The scan cycle ended early: %s. Scanning goes on.", error.what());
  } catch (...) {
    Log(LogLevel::kError, "! The scan cycle ended early on an unknown exception. Scanning goes on.");
  }
}

}  // namespace

DWORD WINAPI ScannerThreadProc(LPVOID) {
  ScannerState& scanner = TheScanner();
  if (!scanner.ThreadBegins()) scanner.Park();
  const unsigned threadId = static_cast<unsigned>(::GetCurrentThreadId());
  Log(LogLevel::kTrace, "Scan thread #0x%X started, interval = %d seconds.", threadId,
      static_cast<int>(scanner.scanInterval()));

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
    RunOneCycle(scanner.argument());
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
