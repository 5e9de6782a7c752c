// The scanner thread's loop around the scan cycle.
#include "hotfolder/scanner/scanner_thread.h"

#include "base/log.h"
#include "base/win32/file_system.h"
#include "base/win32/module_reference.h"
#include "host/message_handover.h"
#include "hotfolder/scanner/scanner_state.h"
#include "hotfolder/scanner/timer_action.h"

#include <exception>

namespace hf {

namespace {

// The pause between the stop flag and the running flag as the thread leaves.
constexpr DWORD kExitPauseMs = 200;

// Frees what the cycle left in the scanner's own block outside any folder's
// walk (the folders' reports were queued for their hosts; this is only in the
// log), so that the next cycle starts with a clean block.
void ClearReports(PluginParameters& block) { TakeBlockReport(block); }

// One scan cycle, on a block of the scanner's own: the host's blocks may be
// freed by the host at any time after its call returns. Nothing may end the
// thread that watches every folder: an exception leaves this cycle (its locks
// are released on the way out), is logged, and the next cycle comes as usual.
void RunOneCycle(PluginParameters& block, uint32_t taskFlags) {
  block.dwFlags = taskFlags;
  try {
    timerAction(&block);
  } catch (const std::exception& error) {
    Log(LogLevel::kError, "! The scan cycle ended early: %s. Scanning goes on.", error.what());
  } catch (...) {
    Log(LogLevel::kError, "! The scan cycle ended early on an unknown exception. Scanning goes on.");
  }
  ClearReports(block);
}

}  // namespace

DWORD WINAPI ScannerThreadProc(LPVOID moduleReference) {
  ScannerState& scanner = TheScanner();
  if (!scanner.ThreadBegins()) scanner.Park();
  PluginParameters block;
  InitialiseDefaultParameters(block);
  const unsigned threadId = static_cast<unsigned>(::GetCurrentThreadId());
  Log(LogLevel::kTrace, "Scan thread #0x%X started, interval = %d seconds.", threadId,
      static_cast<int>(scanner.scanInterval()));

  for (;;) {
    // The interval is read before every wait: a StartAction that changes it
    // takes effect at the next wait.
    const DWORD intervalMs = scanner.scanInterval() * 1000;
    if (!scanner.WaitBegins()) scanner.Park();
    const HANDLE events[] = {scanner.stopEvent(), scanner.wakeEvent()};
    const DWORD waited = ::WaitForMultipleObjects(2, events, FALSE, intervalMs);
    if (!scanner.WaitEnds()) scanner.Park();
    if (scanner.stopRequested()) {
      Log(LogLevel::kDetail, "got stop request");
      break;
    }
    RunOneCycle(block, scanner.taskFlags());
    // A wake-up without a stop request gives this one cycle and ends the thread.
    if (waited != WAIT_TIMEOUT) break;
  }

  Log(LogLevel::kDetail, "Event completed. Exiting scan thread #0x%X.", threadId);
  scanner.ExitBegins();
  scanner.SetStopFlag();
  WaitMilliseconds(kExitPauseMs);
  scanner.ClearRunning();
  ExitThreadReleasingModule(static_cast<HMODULE>(moduleReference), 0);
}

}  // namespace hf
