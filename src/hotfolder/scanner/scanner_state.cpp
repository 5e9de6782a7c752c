// Starting and stopping the scanner thread, and ending it safely when the
// library is unloaded without a ShutdownHandler.
#include "hotfolder/scanner/scanner_state.h"

#include "base/log.h"
#include "base/win32/file_system.h"
#include "base/win32/module_reference.h"
#include "hotfolder/scanner/scanner_thread.h"

namespace hf {

namespace {

// The library's one instance: built at load, destroyed at unload.
ScannerState theScanner;

// How long an unload waits for a running cycle to reach a safe point, and for
// an ended thread to be gone.
constexpr DWORD kUnloadCycleWaitMs = 10000;
constexpr DWORD kUnloadStepMs = 10;
constexpr DWORD kThreadGoneWaitMs = 5000;

}  // namespace

ScannerState& TheScanner() { return theScanner; }

ScannerState::~ScannerState() { AbandonAtUnload(); }

void ScannerState::OfferScanInterval(uint32_t seconds) {
  if (seconds < kMinimumScanIntervalSeconds) return;
  if (seconds > kMaximumScanIntervalSeconds) {
    Log(LogLevel::kError, "Scan interval of %lu s is too long; %lu s is used.", static_cast<unsigned long>(seconds),
        static_cast<unsigned long>(kMaximumScanIntervalSeconds));
    seconds = kMaximumScanIntervalSeconds;
  }
  scanInterval_.store(seconds);
}

bool ScannerState::EnsureWakeEvent() {
  std::lock_guard<std::mutex> hold(control_);
  if (!wakeEvent_) wakeEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, kScanWakeEventName));
  if (wakeEvent_ && !stopEvent_) stopEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  return wakeEvent_.valid() && stopEvent_.valid();
}

bool ScannerState::Start(PluginParameters* argument, SECURITY_ATTRIBUTES* attributes) {
  std::lock_guard<std::mutex> hold(control_);
  taskFlags_.store(argument != nullptr ? argument->dwFlags : 0);
  return EnsureRunningHeld(attributes);
}

bool ScannerState::EnsureRunning(SECURITY_ATTRIBUTES* attributes) {
  std::lock_guard<std::mutex> hold(control_);
  return EnsureRunningHeld(attributes);
}

bool ScannerState::EnsureRunningHeld(SECURITY_ATTRIBUTES* attributes) {
  if (running()) {
    // A thread with its stop flag set is on its way out (asked to stop, or
    // ending after a wake-up): let it end, then start a new one.
    if (!stopRequested()) return true;
    WaitUntilEnded(kEndStopStepMs);
  }
  return StartHeld(attributes);
}

void ScannerState::Stop(DWORD stepMs) {
  std::lock_guard<std::mutex> hold(control_);
  StopHeld(stepMs);
}

bool ScannerState::StartHeld(SECURITY_ATTRIBUTES* attributes) {
  // The previous thread has ended (its running flag is clear); let it go.
  if (thread_) ::WaitForSingleObject(thread_.get(), kThreadGoneWaitMs);
  thread_.reset();
  // A stop or wake-up left set would end the new thread after one cycle.
  if (stopEvent_) ::ResetEvent(stopEvent_.get());
  if (wakeEvent_) ::ResetEvent(wakeEvent_.get());
  stopFlag_.store(0);
  // Running from creation on, so that a stopper never misses a thread that
  // has not reached its first line yet.
  runningFlag_.store(1);
  phase_.store(Phase::kStarting);
  DWORD threadId = 0;
  // The thread keeps the library loaded until its last step.
  HMODULE module = TakeModuleReference();
  thread_.reset(::CreateThread(attributes, 0, ScannerThreadProc, module, 0, &threadId));
  if (thread_) return true;
  ReleaseModuleReference(module);
  // Plain stores: the thread's last error stays CreateThread's for the caller.
  runningFlag_.store(0);
  phase_.store(Phase::kNone);
  return false;
}

void ScannerState::StopHeld(DWORD stepMs) {
  if (!running()) return;
  stopFlag_.store(1);
  if (stopEvent_) ::SetEvent(stopEvent_.get());
  WaitUntilEnded(stepMs);
}

void ScannerState::WaitUntilEnded(DWORD stepMs) {
  while (running()) WaitMilliseconds(stepMs);
  // The flag is cleared in the thread's last steps; wait until it is gone.
  if (thread_) ::WaitForSingleObject(thread_.get(), kThreadGoneWaitMs);
}

bool ScannerState::ThreadBegins() {
  Phase expected = Phase::kStarting;
  return phase_.compare_exchange_strong(expected, Phase::kRunning);
}

bool ScannerState::WaitBegins() {
  if (unloading_.load()) return false;
  phase_.store(Phase::kWaiting);
  return true;
}

bool ScannerState::WaitEnds() {
  Phase expected = Phase::kWaiting;
  return phase_.compare_exchange_strong(expected, Phase::kRunning) && !unloading_.load();
}

void ScannerState::ExitBegins() { phase_.store(Phase::kExiting); }

void ScannerState::Park() {
  phase_.store(Phase::kEnding);
  for (;;) ::Sleep(INFINITE);
}

void ScannerState::AbandonAtUnload() {
  unloading_.store(true);
  // The scanner's own last step (giving back its module reference) may be
  // what unloads the library: it is then this thread, and ends by itself.
  const bool onScannerThread = thread_ && ::GetThreadId(thread_.get()) == ::GetCurrentThreadId();
  if (thread_ && !onScannerThread && ::WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) {
    // A thread that waits, starts or ends holds nothing of ours and runs no
    // more of our code once taken out of its phase; one that runs a cycle
    // reaches such a point (or parks) when the cycle is over.
    for (DWORD waited = 0; waited < kUnloadCycleWaitMs; waited += kUnloadStepMs) {
      Phase phase = phase_.load();
      if (phase != Phase::kRunning && phase_.compare_exchange_strong(phase, Phase::kEnding)) break;
      ::Sleep(kUnloadStepMs);
    }
    ::TerminateThread(thread_.get(), 0);
    ::WaitForSingleObject(thread_.get(), kThreadGoneWaitMs);
  }
  thread_.reset();
  runningFlag_.store(0);
  phase_.store(Phase::kNone);
  wakeEvent_.reset();
  stopEvent_.reset();
}

}  // namespace hf
