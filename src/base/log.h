// The plug-in's one diagnostic call, Log(level, format, ...), and its settings.
// A message passes when logging is enabled and its level is at most the current
// log level; it is then formatted and handed to the installed sink (the mailslot
// sender on Windows, a capture in tests). Levels: 0 errors and warnings,
// 1 progress, 2 detail, 3 trace.
#pragma once

#include "base/format.h"  // HF_PRINTF_FORMAT

#include <cstdarg>

namespace hf {

// The level of a message; a message passes when its level is at most the
// current log level (the numbers are those of the registry setting and the
// log record).
enum class LogLevel : int {
  kError = 0,     // errors and warnings
  kProgress = 1,  // progress
  kDetail = 2,    // detail
  kTrace = 3,     // trace
};

// Receives one formatted message (not yet clamped or cut) at its level number.
using LogSink = void (*)(int level, const char* text);

// Formats and sends one message when it passes the filter. Never fails its
// caller. A Log made on a thread that is already inside Log (from the sink)
// formats nothing and sends nothing. Records of concurrent threads are sent
// one at a time, whole.
void Log(LogLevel level, const char* format, ...) HF_PRINTF_FORMAT(2, 3);
void LogV(LogLevel level, const char* format, va_list arguments);

// True when a message of this level would be sent: one comparison.
bool LogPasses(LogLevel level);

// Settings, as refreshed from the registry at every host call.
void SetLogSettings(int level, bool enabled);
int CurrentLogLevel();
bool LoggingEnabled();

// Installs the sink that receives passed messages; null sends nowhere.
// Returns the previous sink.
LogSink SetLogSink(LogSink sink);

}  // namespace hf
