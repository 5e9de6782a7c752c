// The test side of the log channel: a mailslot server that collects records.
#include "tests/support/win32/mailslot_reader.h"

#include "host/log_channel.h"

#include <algorithm>
#include <chrono>

namespace hf {

namespace {

constexpr DWORD kReadTimeoutMs = 50;  // how often the thread looks at its stop flag

}  // namespace

MailslotReader::MailslotReader() : path_(LogMailslotPath(".")) {
  Create();
  if (!ok() && error_ == ERROR_ALREADY_EXISTS) {
    CloseLogChannelHandle();  // under Wine this process's own log channel may still hold the name
    Create();
  }
  if (!ok()) return;
  reader_ = std::thread([this] {
    std::string buffer(70000, '\0');  // more than any record
    while (!stop_.load()) {
      DWORD got = 0;
      if (!::ReadFile(mailslot_.get(), &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) {
        if (::GetLastError() != ERROR_SEM_TIMEOUT) ::Sleep(10);
        continue;
      }
      LogRecord record;
      if (!ParseLogRecord(std::string_view(buffer.data(), got), record)) continue;  // shorter than a header
      std::lock_guard<std::mutex> hold(lock_);
      records_.push_back(std::move(record));
      arrived_.notify_all();
    }
  });
}

MailslotReader::~MailslotReader() {
  stop_.store(true);
  if (reader_.joinable()) reader_.join();
  mailslot_.reset();
  CloseLogChannelHandle();
}

void MailslotReader::Create() {
  mailslot_.reset(::CreateMailslotA(path_.c_str(), 0, kReadTimeoutMs, nullptr));
  error_ = ok() ? 0 : ::GetLastError();
}

bool MailslotReader::WaitFor(const std::string& substring, DWORD timeoutMs, bool take) {
  std::unique_lock<std::mutex> hold(lock_);
  auto found = records_.end();
  const bool arrived = arrived_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
    found = std::find_if(records_.begin(), records_.end(),
                         [&](const LogRecord& r) { return r.text.find(substring) != std::string::npos; });
    return found != records_.end();
  });
  if (arrived && take) records_.erase(found);
  return arrived;
}

bool MailslotReader::Sync(DWORD timeoutMs) {
  if (!ok()) return false;
  std::string marker;
  {
    std::lock_guard<std::mutex> hold(lock_);
    marker =
        "\x01mailslot-reader-sync " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++markerCount_);
  }
  LogRecordFields fields;
  fields.prefixFlags = 0;
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(fields, marker.c_str(), buffer);
  ScopedHandle client(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!client || !::WriteFile(client.get(), &buffer, static_cast<DWORD>(length), &written, nullptr)) return false;
  return WaitFor(marker, timeoutMs, true);
}

std::vector<LogRecord> MailslotReader::Drain() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<LogRecord> drained;
  drained.swap(records_);
  return drained;
}

}  // namespace hf
