// Level filter, formatting and serialisation of log records; the sink does the sending.
#include "base/log.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

namespace hf {

namespace {

std::atomic<int> logLevel{0};
std::atomic<bool> logEnabled{false};
std::atomic<LogSink> logSink{nullptr};

// One record at a time: building and writing happen under this lock.
std::mutex& RecordLock() {
  static std::mutex lock;
  return lock;
}

// Set while this thread is inside Log, so that a Log made from the sink
// neither deadlocks nor corrupts the record being sent.
thread_local bool insideLog = false;

std::string FormatMessage(const char* format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  char small[512];
  int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, arguments);
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace

bool LogPasses(LogLevel level) {
  return logEnabled.load(std::memory_order_relaxed) &&
         static_cast<int>(level) <= logLevel.load(std::memory_order_relaxed);
}

void LogV(LogLevel level, const char* format, va_list arguments) {
  if (!LogPasses(level) || format == nullptr) return;
  if (insideLog) return;
  insideLog = true;
  try {
    std::string text = FormatMessage(format, arguments);
    std::lock_guard<std::mutex> hold(RecordLock());
    if (LogSink sink = logSink.load()) sink(static_cast<int>(level), text.c_str());
  } catch (...) {
    // Logging never fails its caller.
  }
  insideLog = false;
}

void Log(LogLevel level, const char* format, ...) {
  if (!LogPasses(level)) return;
  va_list arguments;
  va_start(arguments, format);
  LogV(level, format, arguments);
  va_end(arguments);
}

void SetLogSettings(int level, bool enabled) {
  logLevel.store(level, std::memory_order_relaxed);
  logEnabled.store(enabled, std::memory_order_relaxed);
}

int CurrentLogLevel() { return logLevel.load(std::memory_order_relaxed); }

bool LoggingEnabled() { return logEnabled.load(std::memory_order_relaxed); }

LogSink SetLogSink(LogSink sink) { return logSink.exchange(sink); }

}  // namespace hf
