// MailslotReader: creates the machine's log mailslot ("\\.\mailslot\<computer
// name>"), reads every record on a background thread and lets a test wait,
// with a time limit, for the records it expects.
//
// To show that something was NOT sent, make the writer send it first and then
// call Sync(): the mailslot keeps the order of one process's writes, so every
// record written before Sync() began has arrived when it returns true.
//
// Under Wine a mailslot write blocks once a few hundred records wait unread;
// the background thread keeps reading so that a logging plug-in never stalls.
// Under Wine a mailslot also stays in being while any writer holds a handle to
// it: the destructor closes this process's log channel handle so that the next
// reader can create the mailslot again (a writer in another process lets go
// when it ends).
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

  // Waits until a received, not yet drained record's text contains
  // `substring`; false after `timeoutMs`.
  bool WaitForText(const std::string& substring, DWORD timeoutMs);
  // Writes a marker record into the mailslot and waits for it; the marker is
  // then removed. True when it arrived within `timeoutMs`.
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
