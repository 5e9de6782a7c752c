// The application object: module-wide objects created at library load and
// closed at unload, and the synchronisation event used as a lock.
#include "hotfolder/sluicegate_app.h"

#include "host/log_channel.h"

#include <memory>
#include <new>

namespace hf {

namespace {

std::atomic<CSluicegateApp*> currentApp{nullptr};
// The instance DllMain created. A plain pointer on purpose: at process exit the
// object is left to the system, and no static destructor may run it down
// after the process's other threads were ended.
CSluicegateApp* libraryApp = nullptr;

}  // namespace

CSluicegateApp::CSluicegateApp() {
  InitialiseLogChannel();

  securityAttributes_.nLength = sizeof(SECURITY_ATTRIBUTES);
  securityAttributes_.lpSecurityDescriptor = nullptr;
  securityAttributes_.bInheritHandle = TRUE;
  folderListHead = nullptr;
  folderCount = 0;

  synchEvent_.reset(::CreateEventA(&securityAttributes_, TRUE, FALSE, kSynchEventName));
  if (synchEvent_) ::SetEvent(synchEvent_.get());

  // Shared by name with the thumbnailer program; never waited on here. When
  // it cannot be created nothing is reported.
  thumbnailerMutex_.reset(::CreateMutexA(nullptr, FALSE, kThumbnailerMutexName));

  previous_ = currentApp.exchange(this);
}

CSluicegateApp::~CSluicegateApp() {
  CSluicegateApp* self = this;
  currentApp.compare_exchange_strong(self, previous_);
  // The scan wake-up event joins these when the scanner exists; the handles
  // close with their owners.
}

CSluicegateApp* CSluicegateApp::Current() { return currentApp.load(); }

uint32_t CSluicegateApp::TakeNextTaskId() {
  SynchEventLock hold(*this);
  return nextTaskId_++;
}

SynchEventLock::SynchEventLock(CSluicegateApp& app) : app_(app), hold_(app.synchLock_) {
  if (HANDLE event = app_.synchEvent()) {
    ::WaitForSingleObject(event, INFINITE);
    ::ResetEvent(event);
  }
}

SynchEventLock::~SynchEventLock() {
  if (HANDLE event = app_.synchEvent()) ::SetEvent(event);
}

bool CreateTheApp() {
  if (libraryApp == nullptr) libraryApp = new (std::nothrow) CSluicegateApp();
  return libraryApp != nullptr;
}

void DestroyTheApp() {
  std::unique_ptr<CSluicegateApp> gone(libraryApp);
  libraryApp = nullptr;
}

}  // namespace hf
