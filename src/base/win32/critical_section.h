// CCriticalSection: a Win32 critical section with the lock()/unlock() pair
// of the standard lock guards. Recursive: the thread that holds it may take it
// again.
#pragma once

#include "base/win32/windows_api.h"

namespace hf {

class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&section_); }
  ~CCriticalSection() { ::DeleteCriticalSection(&section_); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void lock() { ::EnterCriticalSection(&section_); }
  void unlock() { ::LeaveCriticalSection(&section_); }
  bool try_lock() { return ::TryEnterCriticalSection(&section_) != FALSE; }

 private:
  CRITICAL_SECTION section_;
};

}  // namespace hf
