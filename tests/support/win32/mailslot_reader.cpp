// The test side of the log channel: a mailslot server that collects records.
#include "tests/support/win32/mailslot_reader.h"

#include "host/log_channel.h"

#include <chrono>
#include <cstdio>

namespace hf {

namespace {

constexpr DWORD kReadTimeoutMs = 50;         // how often the thread looks at its stop flag
constexpr size_t kReadBufferSize = 70000;    // more than any record
constexpr char kMarkerText[] = "\x01mailslot-reader-sync ";

std::chrono::steady_clock::time_point Deadline(DWORD timeoutMs) {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

}  // namespace

MailslotReader::MailslotReader() : MailslotReader(LogMailslotPath(".")) {}

MailslotReader::MailslotReader(const std::string& mailslotPath) : path_(mailslotPath) {
  Create();
  if (!ok_ && error_ == ERROR_ALREADY_EXISTS) {
    // Under Wine this process's own log channel may still hold the name.
    CloseLogChannelHandle();
    Create();
  }
  if (ok_) reader_ = std::thread([this] { ReadLoop(); });
}

MailslotReader::~MailslotReader() {
  stop_.store(true);
  if (reader_.joinable()) reader_.join();
  mailslot_.reset();
  CloseLogChannelHandle();
}

void MailslotReader::Create() {
  mailslot_.reset(::CreateMailslotA(path_.c_str(), 0, kReadTimeoutMs, nullptr));
  ok_ = mailslot_.valid();
  error_ = ok_ ? 0 : ::GetLastError();
}

void MailslotReader::ReadLoop() {
  std::string buffer(kReadBufferSize, '\0');
  while (!stop_.load()) {
    DWORD got = 0;
    if (!::ReadFile(mailslot_.get(), &buffer[0], static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      if (::GetLastError() != ERROR_SEM_TIMEOUT) ::Sleep(10);
      continue;
    }
    LogRecord record;
    std::lock_guard<std::mutex> hold(lock_);
    if (ParseLogRecord(std::string_view(buffer.data(), got), record)) {
      records_.push_back(std::move(record));
    } else {
      ++shortMessages_;
    }
    arrived_.notify_all();
  }
}

bool MailslotReader::HasText(const std::string& substring) const {
  for (const LogRecord& record : records_)
    if (record.text.find(substring) != std::string::npos) return true;
  return false;
}

bool MailslotReader::WaitForText(const std::string& substring, DWORD timeoutMs) {
  std::unique_lock<std::mutex> hold(lock_);
  return arrived_.wait_until(hold, Deadline(timeoutMs), [&] { return HasText(substring); });
}

bool MailslotReader::Sync(DWORD timeoutMs) {
  if (!ok_) return false;
  std::string marker;
  {
    std::lock_guard<std::mutex> hold(lock_);
    marker = kMarkerText + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++markerCount_);
  }
  LogRecordFields fields;
  LogRecordBuffer buffer;
  fields.prefixFlags = 0;
  const size_t length = BuildLogRecord(fields, marker.c_str(), buffer);
  if (!WriteRaw(std::string(reinterpret_cast<const char*>(&buffer), length))) return false;

  std::unique_lock<std::mutex> hold(lock_);
  auto isMarker = [&](const LogRecord& record) { return record.text == marker; };
  bool arrived = arrived_.wait_until(hold, Deadline(timeoutMs), [&] {
    for (const LogRecord& record : records_)
      if (isMarker(record)) return true;
    return false;
  });
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (isMarker(*it)) {
      records_.erase(it);
      break;
    }
  }
  return arrived;
}

std::vector<LogRecord> MailslotReader::Drain() {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<LogRecord> drained;
  drained.swap(records_);
  return drained;
}

std::vector<LogRecord> MailslotReader::Pending() const {
  std::lock_guard<std::mutex> hold(lock_);
  return records_;
}

bool MailslotReader::Contains(const std::string& substring) const {
  std::lock_guard<std::mutex> hold(lock_);
  return HasText(substring);
}

size_t MailslotReader::ShortMessages() const {
  std::lock_guard<std::mutex> hold(lock_);
  return shortMessages_;
}

bool MailslotReader::WriteRaw(const std::string& bytes) const {
  ScopedHandle client(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!client) return false;
  DWORD written = 0;
  return ::WriteFile(client.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace hf
