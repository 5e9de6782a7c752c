// The mailslot log record: its byte layout, how one record is built from a
// message, and how a received record is read back (the monitor and tests).

// Layout (little-endian, one mailslot write per record):
//   byte  0  4  sequence number
//   byte  4 17  local date and time "YYYY/MM/DD hh:mm", NUL-terminated
//   byte 21  1  level, clamped to 0..3
//   byte 22  2  zero
//   byte 24  4  record type, always 2
//   byte 28 ..  text: prefixes + message, at most 4079 characters and a NUL
// Only 28 + text length + 1 bytes are written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hf {

struct LogRecordHeader {
  uint32_t sequence;
  char dateTime[17];
  uint8_t level;
  uint8_t reserved[2];
  uint32_t recordType;
};
static_assert(sizeof(LogRecordHeader) == 28, "log record header is 28 bytes");
static_assert(offsetof(LogRecordHeader, sequence) == 0, "sequence at byte 0");
static_assert(offsetof(LogRecordHeader, dateTime) == 4, "date-time at byte 4");
static_assert(offsetof(LogRecordHeader, level) == 21, "level at byte 21");
static_assert(offsetof(LogRecordHeader, reserved) == 22, "two zero bytes at byte 22");
static_assert(offsetof(LogRecordHeader, recordType) == 24, "record type at byte 24");

constexpr size_t kLogRecordTextSize = 4080;   // text field, NUL included
constexpr size_t kLogRecordPrefixLimit = 63;  // all prefixes together
constexpr uint32_t kLogRecordType = 2;
constexpr uint32_t kLogSequenceStart = 0x100000;  // the first record carries 0x100001

// Prefix flags: which prefixes precede the message (all three are used).
constexpr unsigned kLogPrefixTime = 1;    // "hh:mm:ss.mmm "
constexpr unsigned kLogPrefixIds = 2;     // "ppppp:ttttt " (process, thread; hex)
constexpr unsigned kLogPrefixLevels = 4;  // "LL/CC " (record level, current log level)
constexpr unsigned kLogPrefixAll = 7;

// The record buffer: header and the whole text field.
struct LogRecordBuffer {
  LogRecordHeader header;
  char text[kLogRecordTextSize];
};
static_assert(sizeof(LogRecordBuffer) == 4108, "log record buffer is 4108 bytes");
static_assert(offsetof(LogRecordBuffer, text) == 28, "text at byte 28");

// Local time as the clock gives it.
struct LogClock {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Everything a record carries besides the message.
struct LogRecordFields {
  uint32_t sequence = 0;
  LogClock clock;
  uint32_t processId = 0;
  uint32_t threadId = 0;
  int level = 0;            // any integer; stored clamped to 0..3
  int currentLogLevel = 0;  // printed in the level prefix as it is
  unsigned prefixFlags = kLogPrefixAll;
};

// A clock that reports a year below 1980 is moved on by whole centuries.
int CorrectedLogYear(int year);

int ClampLogLevel(int level);

// Fills `buffer` (cleared first) and returns the number of bytes to write:
// 28 + text length + 1. A null message counts as empty.
size_t BuildLogRecord(const LogRecordFields& fields, const char* message, LogRecordBuffer& buffer);

// A record as received.
struct LogRecord {
  uint32_t sequence = 0;
  std::string dateTime;   // up to the first NUL of the 17-byte field
  int level = 0;          // the level byte
  uint16_t reserved = 0;  // bytes 22-23 (zero in a well-formed record)
  uint32_t recordType = 0;
  std::string text;             // from byte 28 up to the first NUL (or the end)
  bool textTerminated = false;  // a NUL ended the text
  std::string raw;              // every byte received
};

// Reads one received record. False (and `record` untouched) when there are
// fewer than 28 bytes; any longer byte string is accepted as it is.
bool ParseLogRecord(std::string_view bytes, LogRecord& record);

// One line for the monitor: "<sequence in hex> <date-time> <level> <text>".
// Line breaks and other control characters in the text are shown as \n, \r,
// \t or \xHH; line breaks at the end of the text are dropped.
std::string FormatLogRecordLine(const LogRecord& record);

}  // namespace hf
