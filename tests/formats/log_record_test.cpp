// The mailslot log record byte by byte: building, reading back and the
// monitor's one-line form.
#include "formats/log_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <tuple>

namespace hf {

namespace {

LogRecordFields SampleFields(int prefixFlags = kLogPrefixTime | kLogPrefixIds | kLogPrefixLevels) {
  LogRecordFields fields;
  fields.sequence = 0x100001;
  fields.clock = LogClock{2024, 5, 6, 7, 8, 9, 10};
  fields.processId = 0x1a2b;
  fields.threadId = 0x3c;
  fields.level = 2;
  fields.currentLogLevel = 3;
  fields.prefixFlags = prefixFlags;
  return fields;
}

std::string Bytes(const LogRecordBuffer& buffer, size_t length) {
  return std::string(reinterpret_cast<const char*>(&buffer), length);
}

// The text of a record built from `fields`.
std::string TextOf(const LogRecordFields& fields, const char* message) {
  LogRecordBuffer buffer;
  BuildLogRecord(fields, message, buffer);
  return buffer.text;
}

}  // namespace

TEST(LogRecordBuild, HeaderAndTextSitAtTheirBytesInAClearedBufferAndReadBack) {
  LogRecordBuffer buffer;
  std::memset(&buffer, 0x5a, sizeof buffer);
  const size_t length = BuildLogRecord(SampleFields(), "hello", buffer);
  // Sequence (LE32), date and time (16 characters and a NUL), level, two
  // reserved bytes, record type 2 (LE32), then the text and its NUL.
  const std::string header("\x01\x00\x10\x00" "2024/05/06 07:08\0" "\x02" "\0\0" "\x02\x00\x00\x00", 28);
  const std::string text = "07:08:09.010 01a2b:0003c 02/03 hello";
  EXPECT_EQ(Bytes(buffer, sizeof buffer), header + text + std::string(sizeof buffer - length + 1, '\0'));
  EXPECT_EQ(length, 28u + 36 + 1);
  LogRecord record;
  ASSERT_TRUE(ParseLogRecord(Bytes(buffer, length), record));
  EXPECT_EQ(std::make_tuple(record.sequence, record.dateTime, record.level, record.reserved, record.recordType,
                            record.text, record.textTerminated, record.raw),
            std::make_tuple(0x100001u, std::string("2024/05/06 07:08"), 2, 0u, 2u, text, true, Bytes(buffer, length)));
}

TEST(LogRecordBuild, EachPrefixFlagAddsItsPrefixInOrderAndTheLevelIsClamped) {
  EXPECT_EQ(TextOf(SampleFields(0), "msg"), "msg");
  EXPECT_EQ(TextOf(SampleFields(kLogPrefixTime), "msg"), "07:08:09.010 msg");
  EXPECT_EQ(TextOf(SampleFields(kLogPrefixTime | kLogPrefixLevels), "msg"), "07:08:09.010 02/03 msg");
  LogRecordFields fields = SampleFields(kLogPrefixIds);
  fields.processId = 0x12345678;  // wider than five digits: printed whole
  EXPECT_EQ(TextOf(fields, "msg"), "12345678:0003c msg");

  // The stored and printed level is clamped to 0..3, the current level printed as it is.
  const std::tuple<int, int, uint8_t, const char*> cases[] = {
      {-5, 0, 0, "00/00 m"}, {3, 3, 3, "03/03 m"}, {9, 12, 3, "03/12 m"}, {INT_MIN, -1, 0, "00/-1 m"}};
  for (const auto& [level, current, stored, text] : cases) {
    fields = SampleFields(kLogPrefixLevels);
    fields.level = level;
    fields.currentLogLevel = current;
    LogRecordBuffer buffer;
    BuildLogRecord(fields, "m", buffer);
    EXPECT_EQ(buffer.header.level, stored) << level;
    EXPECT_STREQ(buffer.text, text) << level;
  }
}

TEST(LogRecordBuild, PrefixesAreCutTo63CharactersAndTheTextTo4079) {
  LogRecordFields fields = SampleFields();
  fields.clock = LogClock{2024, 1, 1, INT_MIN, INT_MIN, INT_MIN, INT_MIN};
  fields.processId = fields.threadId = 0xffffffff;
  fields.currentLogLevel = INT_MIN;
  const std::string full = "-2147483648:-2147483648:-2147483648.-2147483648 ffffffff:ffffffff 00/-2147483648 ";
  EXPECT_EQ(TextOf(fields, "MSG"), full.substr(0, 63) + "MSG");

  const std::string prefix = "07:08:09.010 01a2b:0003c 02/03 ";
  LogRecordBuffer buffer;
  EXPECT_EQ(BuildLogRecord(SampleFields(), std::string(5000, 'x').c_str(), buffer), sizeof buffer);
  EXPECT_EQ(std::string(buffer.text, 4080), prefix + std::string(4079 - prefix.size(), 'x') + '\0');
  const std::string exact(4079 - prefix.size(), 'y');  // exactly the room left: kept whole
  EXPECT_EQ(BuildLogRecord(SampleFields(), exact.c_str(), buffer), 4108u);
  EXPECT_EQ(BuildLogRecord(SampleFields(), nullptr, buffer), 28u + 31 + 1);  // no message: the prefixes only
  EXPECT_EQ(buffer.text, prefix);
}

TEST(LogRecordBuild, YearBelow1980IsMovedOnByWholeCenturiesAndTheDateCutTo16Characters) {
  const std::pair<int, int> years[] = {{2024, 2024}, {1980, 1980}, {1979, 2079}, {80, 1980}, {79, 2079}, {0, 2000}};
  for (const auto& [year, corrected] : years) EXPECT_EQ(CorrectedLogYear(year), corrected) << year;
  LogRecordFields fields = SampleFields();
  fields.clock.year = 24;
  LogRecordBuffer buffer;
  BuildLogRecord(fields, "", buffer);
  EXPECT_STREQ(buffer.header.dateTime, "2024/05/06 07:08");
  fields.clock.year = 123456;
  BuildLogRecord(fields, "", buffer);
  EXPECT_EQ(std::string(buffer.header.dateTime, 17), std::string("123456/05/06 07:\0", 17));
}

TEST(LogRecordParse, ShortMessagesAreRefusedOddRecordsReadAsTheyAre) {
  LogRecord record;
  record.text = "untouched";
  EXPECT_FALSE(ParseLogRecord(std::string(27, '\x01'), record));
  EXPECT_EQ(record.text, "untouched");
  // No NUL in the date field, and a level, reserved word and record type of our own.
  const std::string bytes =
      std::string("\xff\0\0\x80", 4) + std::string(17, 'D') + std::string("\x09\x34\x12\x07\0\0\0", 7);
  ASSERT_TRUE(ParseLogRecord(bytes + "unterminated", record));
  EXPECT_EQ(std::make_tuple(record.sequence, record.dateTime, record.level, record.reserved, record.recordType,
                            record.text, record.textTerminated),
            std::make_tuple(0x800000ffu, std::string(17, 'D'), 9, 0x1234u, 7u, "unterminated", false));
  ASSERT_TRUE(ParseLogRecord(bytes + std::string("first\0second", 12), record));
  EXPECT_EQ(std::make_tuple(record.text, record.textTerminated, record.raw.size()),
            std::make_tuple("first", true, size_t{40}));
}

TEST(LogRecordLine, ShowsSequenceInHexDateLevelAndTextOnOneLine) {
  LogRecord record;
  record.sequence = 0x100001;
  record.dateTime = "2024/05/06 07:08";
  record.level = 2;
  record.text = "07:08:09.010 01a2b:0003c 02/03 hello\n";
  EXPECT_EQ(FormatLogRecordLine(record), "100001 2024/05/06 07:08 2 07:08:09.010 01a2b:0003c 02/03 hello");
  record.sequence = 0x2a;
  record.text = "a\nb\r\n";
  EXPECT_EQ(FormatLogRecordLine(record), "00002a 2024/05/06 07:08 2 a\\nb");
  // Other control characters stay visible, so a record stays on one line.
  record = LogRecord();
  record.dateTime = std::string("20\n4", 4);
  record.text = std::string("t\tx\x01y\x7f\rz", 8);
  EXPECT_EQ(FormatLogRecordLine(record), "000000 20\\n4 0 t\\tx\\x01y\\x7f\\rz");
}

}  // namespace hf
