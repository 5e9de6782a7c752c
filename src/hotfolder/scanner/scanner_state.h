// The scanner's module-wide state: the scan interval, the stop and running
// flags, the scan wake-up event, the block the scanner works with, and the one
// scanner thread, started and stopped by the host's threads.
//
// Locking: Start, Stop and EnsureRunning are serialised by a lock of their
// own that the scanner thread never takes. Never call them while holding the
// synchronisation event: a stopper waits for the scanner, and the scanner may
// be waiting for the event.
#pragma once

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"
#include "host/plugin_parameters.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace hf {

constexpr const char* kScanWakeEventName = "QuilletHotFolder";
// The scan interval starts at this value, and a task's scanTimeout replaces it
// only when it is at least this long.
constexpr uint32_t kMinimumScanIntervalSeconds = 5;
// The longest interval whose milliseconds still fit a wait (about 49 days).
constexpr uint32_t kMaximumScanIntervalSeconds = 0xFFFFFFFEu / 1000u;
// Poll steps of the stoppers.
constexpr DWORD kShutdownStopStepMs = 100;
constexpr DWORD kCancelStopStepMs = 100;
constexpr DWORD kEndStopStepMs = 50;

class ScannerState {
 public:
  ScannerState() = default;
  // Library unload: a scanner thread still alive is ended without running any
  // more of its code (see AbandonAtUnload), then the handles are closed.
  ~ScannerState();
  ScannerState(const ScannerState&) = delete;
  ScannerState& operator=(const ScannerState&) = delete;

  // Seconds between scan cycles; one value for all folders.
  uint32_t scanInterval() const { return scanInterval_.load(); }
  // A task's scanTimeout: taken when it is 5 or more, otherwise ignored.
  void OfferScanInterval(uint32_t seconds);

  bool stopRequested() const { return stopFlag_.load() != 0; }
  bool running() const { return runningFlag_.load() != 0; }

  // The task option word of the block the scanner was last started with (its
  // ScriptBit lets scripts run). Only the word is kept: the host may free its
  // block once the call that handed it over has returned.
  uint32_t taskFlags() const { return taskFlags_.load(); }

  // Creates the wake-up event (named, session-wide: a wake-up from outside
  // gives one cycle and ends the thread) and this process's own stop event
  // (both manual reset, not signalled) when they do not exist yet. False,
  // with the system error left for ReportSystemError, when one cannot be
  // created.
  bool EnsureWakeEvent();

  // Takes the option word of `argument` and starts the scanner thread when
  // none runs (or the one that runs is ending): both events are reset and the
  // stop flag cleared first.
  // False, with the system error left for ReportSystemError, when the thread
  // cannot be created.
  bool Start(PluginParameters* argument, SECURITY_ATTRIBUTES* attributes);

  // Starts the scanner with its current block when it does not run (a folder
  // has to be watched). True when it runs afterwards.
  bool EnsureRunning(SECURITY_ATTRIBUTES* attributes);

  // When the scanner runs: sets the stop flag, sets this process's stop event
  // (never the shared wake-up event, which would end the scanners of other
  // processes) and polls the running flag every `stepMs` until the scanner has ended. No time
  // limit: the scanner never waits for anything a stopper holds.
  void Stop(DWORD stepMs);

  // Library unload without ShutdownHandler: the thread is ended while it waits
  // (never while it holds a lock of its own), so that no code of the unloaded
  // library runs afterwards. Waits at most a few seconds for a running cycle.
  void AbandonAtUnload();

  // --- Used by the scanner thread only ---
  // Where the thread is, so that an unload knows when it may end it.
  enum class Phase : int { kNone, kStarting, kRunning, kWaiting, kExiting, kEnding };
  // The thread starts its work. False: the library is being unloaded; Park().
  bool ThreadBegins();
  // The thread is about to wait for the wake-up event; false: Park().
  bool WaitBegins();
  // The wait has ended; false: the library is being unloaded, Park().
  bool WaitEnds();
  // The thread has logged its end and runs its last steps.
  void ExitBegins();
  // Ends the stop flag's life cycle as the thread leaves: stop flag 1, then
  // (after the caller's pause) the running flag 0.
  void SetStopFlag() { stopFlag_.store(1); }
  void ClearRunning() { runningFlag_.store(0); }
  HANDLE wakeEvent() const { return wakeEvent_.get(); }
  HANDLE stopEvent() const { return stopEvent_.get(); }
  // Blocks the thread for good; AbandonAtUnload ends it.
  [[noreturn]] void Park();

 private:
  bool EnsureRunningHeld(SECURITY_ATTRIBUTES* attributes);
  bool StartHeld(SECURITY_ATTRIBUTES* attributes);
  void StopHeld(DWORD stepMs);
  void WaitUntilEnded(DWORD stepMs);

  std::mutex control_;
  std::atomic<uint32_t> scanInterval_{kMinimumScanIntervalSeconds};
  std::atomic<uint32_t> stopFlag_{0};
  std::atomic<uint32_t> runningFlag_{0};
  std::atomic<uint32_t> taskFlags_{0};
  std::atomic<Phase> phase_{Phase::kNone};
  std::atomic<bool> unloading_{false};
  ScopedHandle wakeEvent_;
  ScopedHandle stopEvent_;
  ScopedHandle thread_;
};

// The library's scanner.
ScannerState& TheScanner();

}  // namespace hf
