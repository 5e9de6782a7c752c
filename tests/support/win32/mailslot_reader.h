// MailslotReader: creates the machine's log mailslot and reads every record on a background
// thread (under Wine a write blocks once a few hundred records wait unread). Under Wine the
// mailslot lives while a writer holds a handle: the destructor closes this process's log channel.
#pragma once

#include "base/win32/scoped_handle.h"
#include "formats/log_record.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hf {

class MailslotReader {
 public:
  MailslotReader();
  ~MailslotReader();
  MailslotReader(const MailslotReader&) = delete;
  MailslotReader& operator=(const MailslotReader&) = delete;

  // True when the mailslot was created; otherwise error() is the system error.
  bool ok() const { return mailslot_.valid(); }
  DWORD error() const { return error_; }
  const std::string& path() const { return path_; }

  // Waits until a record not yet drained contains `substring`; false after `timeoutMs`.
  bool WaitForText(const std::string& substring, DWORD timeoutMs) { return WaitFor(substring, timeoutMs, false); }
  // Writes a marker record and waits for it (then removes it): every record written before
  // by one process has arrived when it returns true, since the mailslot keeps their order.
  bool Sync(DWORD timeoutMs = 10000);
  // Every record received and not yet drained, oldest first; forgets them.
  std::vector<LogRecord> Drain();

 private:
  void Create();
  // Waits until a pending record's text contains `substring`, then removes it when `take`.
  bool WaitFor(const std::string& substring, DWORD timeoutMs, bool take);

  std::string path_;
  DWORD error_ = 0;
  ScopedHandle mailslot_;
  std::atomic<bool> stop_{false};
  std::thread reader_;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<LogRecord> records_;
  unsigned markerCount_ = 0;
};

}  // namespace hf
