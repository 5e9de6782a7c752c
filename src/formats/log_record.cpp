// Building and reading mailslot log records byte by byte.
#include "formats/log_record.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace hf {

namespace {

void StoreLittleEndian32(uint32_t value, void* target) {
  unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  std::memcpy(target, bytes, sizeof bytes);
}

uint32_t LoadLittleEndian32(std::string_view bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  return value;
}

std::string Prefixes(const LogRecordFields& fields, int clampedLevel) {
  std::string prefix;
  char piece[64];
  const LogClock& clock = fields.clock;
  if (fields.prefixFlags & kLogPrefixTime) {
    std::snprintf(piece, sizeof piece, "%02d:%02d:%02d.%03d ", clock.hour, clock.minute, clock.second,
                  clock.millisecond);
    prefix += piece;
  }
  if (fields.prefixFlags & kLogPrefixIds) {
    std::snprintf(piece, sizeof piece, "%05x:%05x ", static_cast<unsigned>(fields.processId),
                  static_cast<unsigned>(fields.threadId));
    prefix += piece;
  }
  if (fields.prefixFlags & kLogPrefixLevels) {
    std::snprintf(piece, sizeof piece, "%02d/%02d ", clampedLevel, fields.currentLogLevel);
    prefix += piece;
  }
  if (prefix.size() > kLogRecordPrefixLimit) prefix.resize(kLogRecordPrefixLimit);
  return prefix;
}

void PutDateTime(const LogClock& clock, char (&field)[17]) {
  char text[96];
  int length =
      std::snprintf(text, sizeof text, "%04ld/%02ld/%02ld %02d:%02d", static_cast<long>(CorrectedLogYear(clock.year)),
                    static_cast<long>(clock.month), static_cast<long>(clock.day), clock.hour, clock.minute);
  if (length < 0) length = 0;
  size_t keep = static_cast<size_t>(length) < sizeof field - 1 ? static_cast<size_t>(length) : sizeof field - 1;
  std::memcpy(field, text, keep);
  field[keep] = '\0';
}

// Control characters become visible escapes so that a record stays one line.
void AppendVisible(std::string_view text, std::string& line) {
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      line += escaped;
    } else {
      line += c;
    }
  }
}

}  // namespace

int CorrectedLogYear(int year) {
  if (year < 1980) year += (1979 - year) / 100 * 100 + 100;
  return year;
}

int ClampLogLevel(int level) { return level < 0 ? 0 : (level > 3 ? 3 : level); }

size_t BuildLogRecord(const LogRecordFields& fields, const char* message, LogRecordBuffer& buffer) {
  std::memset(&buffer, 0, sizeof buffer);
  const int level = ClampLogLevel(fields.level);

  const std::string prefix = Prefixes(fields, level);
  size_t length = prefix.size();
  std::memcpy(buffer.text, prefix.data(), length);
  if (message != nullptr) {
    const size_t room = kLogRecordTextSize - 1 - length;
    const size_t messageLength = strnlen(message, room);
    std::memcpy(buffer.text + length, message, messageLength);
    length += messageLength;
  }
  buffer.text[length] = '\0';

  StoreLittleEndian32(fields.sequence, &buffer.header.sequence);
  PutDateTime(fields.clock, buffer.header.dateTime);
  buffer.header.level = static_cast<uint8_t>(level);
  StoreLittleEndian32(kLogRecordType, &buffer.header.recordType);
  return sizeof(LogRecordHeader) + length + 1;
}

bool ParseLogRecord(std::string_view bytes, LogRecord& record) {
  if (bytes.size() < sizeof(LogRecordHeader)) return false;
  LogRecord parsed;
  parsed.raw.assign(bytes.data(), bytes.size());
  parsed.sequence = LoadLittleEndian32(bytes, offsetof(LogRecordHeader, sequence));
  std::string_view date = bytes.substr(offsetof(LogRecordHeader, dateTime), sizeof(LogRecordHeader::dateTime));
  parsed.dateTime.assign(date.substr(0, date.find('\0')));
  parsed.level = static_cast<unsigned char>(bytes[offsetof(LogRecordHeader, level)]);
  parsed.reserved =
      static_cast<uint16_t>(static_cast<unsigned char>(bytes[22]) | static_cast<unsigned char>(bytes[23]) << 8);
  parsed.recordType = LoadLittleEndian32(bytes, offsetof(LogRecordHeader, recordType));
  std::string_view text = bytes.substr(sizeof(LogRecordHeader));
  size_t end = text.find('\0');
  parsed.textTerminated = end != std::string_view::npos;
  parsed.text.assign(text.substr(0, end));
  record = std::move(parsed);
  return true;
}

std::string FormatLogRecordLine(const LogRecord& record) {
  char number[32];
  std::snprintf(number, sizeof number, "%06x ", static_cast<unsigned>(record.sequence));
  std::string line = number;
  AppendVisible(record.dateTime, line);
  std::snprintf(number, sizeof number, " %d ", record.level);
  line += number;
  std::string_view text = record.text;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  AppendVisible(text, line);
  return line;
}

}  // namespace hf
