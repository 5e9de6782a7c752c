// CSluicegateApp: the library's one application object, built when the DLL is
// loaded and torn down when it is unloaded. It owns the module-wide state that
// the entry point and the handlers share.
#pragma once

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace hf {

class CHotFolder;

constexpr const char* kSynchEventName = "QuilletHFSynch";
constexpr const char* kThumbnailerMutexName = "\\Global\\ThumbnailerMutex";

class CSluicegateApp {
 public:
  // Library load: log settings and channel, security attributes, an empty
  // folder list, the synchronisation event (created non-signalled, then set)
  // and the thumbnailer mutex (created or opened, never taken). The newest
  // instance becomes Current().
  CSluicegateApp();
  // Library unload: closes the events and the mutex.
  ~CSluicegateApp();
  CSluicegateApp(const CSluicegateApp&) = delete;
  CSluicegateApp& operator=(const CSluicegateApp&) = delete;

  // The instance of the loaded library, null before load and after unload.
  static CSluicegateApp* Current();

  // Set when InitializeHandler returned 0; cleared by ShutdownHandler.
  std::atomic<bool> initialised{false};
  // Set while ShutdownHandler runs: every selector is refused meanwhile.
  std::atomic<bool> endActionInProgress{false};

  // Serialises InitializeHandler and ShutdownHandler against each other, so
  // that two host threads cannot both initialise.
  std::mutex& lifecycleLock() { return lifecycleLock_; }

  // Takes the next task number under the synchronisation event. Numbers start at 1.
  uint32_t TakeNextTaskId();

  HANDLE synchEvent() const { return synchEvent_.get(); }
  HANDLE thumbnailerMutex() const { return thumbnailerMutex_.get(); }
  SECURITY_ATTRIBUTES* securityAttributes() { return &securityAttributes_; }

  // The registered hot folders (filled by StartAction).
  CHotFolder* folderListHead = nullptr;
  int folderCount = 0;

 private:
  friend class SynchEventLock;

  SECURITY_ATTRIBUTES securityAttributes_{};
  ScopedHandle synchEvent_;
  ScopedHandle thumbnailerMutex_;
  // Makes waiting for and resetting the synchronisation event one step for
  // the threads of this process (see SynchEventLock).
  std::mutex synchLock_;
  std::mutex lifecycleLock_;
  uint32_t nextTaskId_ = 1;
  CSluicegateApp* previous_ = nullptr;
};

// Holds the synchronisation event for the lifetime of the object: wait for it
// (no time limit), reset it, and set it again when released. The in-process
// lock is held as well for the whole time, because the wait and the reset are
// two calls and two threads could otherwise both pass the wait before either
// resets. Acquire and release on the same thread; do not nest.
class SynchEventLock {
 public:
  explicit SynchEventLock(CSluicegateApp& app);
  ~SynchEventLock();
  SynchEventLock(const SynchEventLock&) = delete;
  SynchEventLock& operator=(const SynchEventLock&) = delete;

 private:
  CSluicegateApp& app_;
  std::unique_lock<std::mutex> hold_;
};

// DllMain's two calls. CreateTheApp returns false when the object cannot be built.
bool CreateTheApp();
void DestroyTheApp();

}  // namespace hf
