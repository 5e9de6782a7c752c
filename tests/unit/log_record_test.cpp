// The mailslot log record byte by byte: building, reading back and the
// monitor's one-line form.
#include "actions/common/log_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

LogRecordFields SampleFields() {
  LogRecordFields fields;
  fields.sequence = 0x100001;
  fields.clock = LogClock{2024, 5, 6, 7, 8, 9, 10};
  fields.processId = 0x1a2b;
  fields.threadId = 0x3c;
  fields.level = 2;
  fields.currentLogLevel = 3;
  return fields;
}

std::string Bytes(const LogRecordBuffer& buffer, size_t length) {
  return std::string(reinterpret_cast<const char*>(&buffer), length);
}

std::string TextOf(const LogRecordBuffer& buffer) { return std::string(buffer.text); }

TEST(LogRecordBuild, HeaderAndTextSitAtTheirBytes) {
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(SampleFields(), "hello", buffer);
  const std::string text = "07:08:09.010 01a2b:0003c 02/03 hello";
  ASSERT_EQ(length, 28 + text.size() + 1);
  const std::string bytes = Bytes(buffer, length);

  EXPECT_EQ(bytes.substr(0, 4), std::string("\x01\x00\x10\x00", 4));
  EXPECT_EQ(bytes.substr(4, 17), std::string("2024/05/06 07:08\0", 17));
  EXPECT_EQ(bytes[21], '\x02');
  EXPECT_EQ(bytes.substr(22, 2), std::string(2, '\0'));
  EXPECT_EQ(bytes.substr(24, 4), std::string("\x02\x00\x00\x00", 4));
  EXPECT_EQ(bytes.substr(28), text + '\0');
}

TEST(LogRecordBuild, LevelIsClampedButTheCurrentLevelIsPrintedAsItIs) {
  struct Case {
    int level;
    int current;
    uint8_t stored;
    const char* levels;
  } cases[] = {{-5, 0, 0, "00/00 "}, {0, 3, 0, "00/03 "}, {3, 3, 3, "03/03 "}, {9, 12, 3, "03/12 "},
               {INT_MIN, -1, 0, "00/-1 "}};
  for (const Case& c : cases) {
    LogRecordFields fields = SampleFields();
    fields.level = c.level;
    fields.currentLogLevel = c.current;
    fields.prefixFlags = kLogPrefixLevels;
    LogRecordBuffer buffer;
    BuildLogRecord(fields, "m", buffer);
    EXPECT_EQ(buffer.header.level, c.stored) << c.level;
    EXPECT_EQ(TextOf(buffer), std::string(c.levels) + "m") << c.level;
  }
}

TEST(LogRecordBuild, EachPrefixFlagAddsItsPrefixInOrder) {
  LogRecordFields fields = SampleFields();
  LogRecordBuffer buffer;
  fields.prefixFlags = 0;
  BuildLogRecord(fields, "msg", buffer);
  EXPECT_EQ(TextOf(buffer), "msg");
  fields.prefixFlags = kLogPrefixTime;
  BuildLogRecord(fields, "msg", buffer);
  EXPECT_EQ(TextOf(buffer), "07:08:09.010 msg");
  fields.prefixFlags = kLogPrefixIds;
  BuildLogRecord(fields, "msg", buffer);
  EXPECT_EQ(TextOf(buffer), "01a2b:0003c msg");
  fields.prefixFlags = kLogPrefixTime | kLogPrefixLevels;
  BuildLogRecord(fields, "msg", buffer);
  EXPECT_EQ(TextOf(buffer), "07:08:09.010 02/03 msg");
  fields.processId = 0x12345678;  // wider than five digits: printed whole
  fields.prefixFlags = kLogPrefixIds;
  BuildLogRecord(fields, "msg", buffer);
  EXPECT_EQ(TextOf(buffer), "12345678:0003c msg");
}

TEST(LogRecordBuild, PrefixesTogetherAreCutTo63Characters) {
  LogRecordFields fields = SampleFields();
  fields.clock = LogClock{2024, 1, 1, INT_MIN, INT_MIN, INT_MIN, INT_MIN};
  fields.processId = 0xffffffff;
  fields.threadId = 0xffffffff;
  fields.currentLogLevel = INT_MIN;
  const std::string full =
      "-2147483648:-2147483648:-2147483648.-2147483648 ffffffff:ffffffff 00/-2147483648 ";
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(fields, "MSG", buffer);
  EXPECT_EQ(TextOf(buffer), full.substr(0, 63) + "MSG");
  EXPECT_EQ(length, 28u + 63 + 3 + 1);
}

TEST(LogRecordBuild, LongMessageIsCutTo4079CharactersAndTerminated) {
  const std::string message(5000, 'x');
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(SampleFields(), message.c_str(), buffer);
  EXPECT_EQ(length, 28u + 4079 + 1);
  EXPECT_EQ(length, sizeof buffer);
  EXPECT_EQ(buffer.text[4079], '\0');
  const std::string text = TextOf(buffer);
  ASSERT_EQ(text.size(), 4079u);
  const std::string prefix = "07:08:09.010 01a2b:0003c 02/03 ";
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);
  EXPECT_EQ(text.substr(prefix.size()), std::string(4079 - prefix.size(), 'x'));
}

TEST(LogRecordBuild, MessageOfExactlyTheRoomLeftIsKeptWhole) {
  const std::string prefix = "07:08:09.010 01a2b:0003c 02/03 ";
  const std::string message(4079 - prefix.size(), 'y');
  LogRecordBuffer buffer;
  EXPECT_EQ(BuildLogRecord(SampleFields(), message.c_str(), buffer), 4108u);
  EXPECT_EQ(TextOf(buffer), prefix + message);
}

TEST(LogRecordBuild, NullMessageGivesThePrefixesOnly) {
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(SampleFields(), nullptr, buffer);
  EXPECT_EQ(TextOf(buffer), "07:08:09.010 01a2b:0003c 02/03 ");
  EXPECT_EQ(length, 28u + 31 + 1);
}

TEST(LogRecordBuild, BufferIsClearedBeforeEachRecord) {
  LogRecordBuffer buffer;
  std::memset(&buffer, 0x5a, sizeof buffer);
  const size_t length = BuildLogRecord(SampleFields(), "short", buffer);
  const std::string bytes = Bytes(buffer, sizeof buffer);
  EXPECT_EQ(bytes.find_first_not_of('\0', length), std::string::npos);
  EXPECT_EQ(bytes.substr(4, 17).back(), '\0');
}

TEST(LogRecordBuild, YearBelow1980IsMovedOnByWholeCenturies) {
  EXPECT_EQ(CorrectedLogYear(2024), 2024);
  EXPECT_EQ(CorrectedLogYear(1980), 1980);
  EXPECT_EQ(CorrectedLogYear(1979), 2079);
  EXPECT_EQ(CorrectedLogYear(80), 1980);
  EXPECT_EQ(CorrectedLogYear(79), 2079);
  EXPECT_EQ(CorrectedLogYear(5), 2005);
  EXPECT_EQ(CorrectedLogYear(0), 2000);

  LogRecordFields fields = SampleFields();
  fields.clock.year = 24;
  LogRecordBuffer buffer;
  BuildLogRecord(fields, "", buffer);
  EXPECT_STREQ(buffer.header.dateTime, "2024/05/06 07:08");
}

TEST(LogRecordBuild, DateTimeIsCutTo16Characters) {
  LogRecordFields fields = SampleFields();
  fields.clock.year = 123456;
  LogRecordBuffer buffer;
  BuildLogRecord(fields, "", buffer);
  EXPECT_EQ(std::string(buffer.header.dateTime, 17), std::string("123456/05/06 07:\0", 17));
}

TEST(LogRecordParse, ReadsBackWhatWasBuilt) {
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(SampleFields(), "round trip", buffer);
  LogRecord record;
  ASSERT_TRUE(ParseLogRecord(Bytes(buffer, length), record));
  EXPECT_EQ(record.sequence, 0x100001u);
  EXPECT_EQ(record.dateTime, "2024/05/06 07:08");
  EXPECT_EQ(record.level, 2);
  EXPECT_EQ(record.reserved, 0u);
  EXPECT_EQ(record.recordType, 2u);
  EXPECT_EQ(record.text, "07:08:09.010 01a2b:0003c 02/03 round trip");
  EXPECT_TRUE(record.textTerminated);
  EXPECT_EQ(record.raw, Bytes(buffer, length));
}

TEST(LogRecordParse, ShortMessagesAreRefusedAndLeaveTheRecordAlone) {
  LogRecord record;
  record.text = "untouched";
  EXPECT_FALSE(ParseLogRecord("", record));
  EXPECT_FALSE(ParseLogRecord(std::string(27, '\x01'), record));
  EXPECT_EQ(record.text, "untouched");
}

TEST(LogRecordParse, OddRecordsAreReadAsTheyAre) {
  std::string bytes(28, '\0');
  bytes[0] = '\xff';
  bytes[3] = '\x80';
  std::memset(&bytes[4], 'D', 17);  // no NUL in the date field
  bytes[21] = '\x09';
  bytes[22] = '\x34';
  bytes[23] = '\x12';
  bytes[24] = '\x07';
  LogRecord record;
  ASSERT_TRUE(ParseLogRecord(bytes, record));
  EXPECT_EQ(record.sequence, 0x800000ffu);
  EXPECT_EQ(record.dateTime, std::string(17, 'D'));
  EXPECT_EQ(record.level, 9);
  EXPECT_EQ(record.reserved, 0x1234u);
  EXPECT_EQ(record.recordType, 7u);
  EXPECT_EQ(record.text, "");
  EXPECT_FALSE(record.textTerminated);

  ASSERT_TRUE(ParseLogRecord(bytes + "unterminated", record));
  EXPECT_EQ(record.text, "unterminated");
  EXPECT_FALSE(record.textTerminated);

  ASSERT_TRUE(ParseLogRecord(bytes + std::string("first\0second", 12), record));
  EXPECT_EQ(record.text, "first");
  EXPECT_TRUE(record.textTerminated);
  EXPECT_EQ(record.raw.size(), 40u);
}

TEST(LogRecordLine, ShowsSequenceInHexDateLevelAndText) {
  LogRecord record;
  record.sequence = 0x100001;
  record.dateTime = "2024/05/06 07:08";
  record.level = 2;
  record.text = "07:08:09.010 01a2b:0003c 02/03 hello\n";
  EXPECT_EQ(FormatLogRecordLine(record), "100001 2024/05/06 07:08 2 07:08:09.010 01a2b:0003c 02/03 hello");
  record.sequence = 0x2a;
  record.text = "a\nb\r\n";
  EXPECT_EQ(FormatLogRecordLine(record), "00002a 2024/05/06 07:08 2 a\\nb");
}

TEST(LogRecordLine, ControlCharactersStayVisibleOnOneLine) {
  LogRecord record;
  record.dateTime = std::string("20\n4", 4);
  record.level = 0;
  record.text = std::string("t\tx\x01y\x7f\rz", 8);
  EXPECT_EQ(FormatLogRecordLine(record), "000000 20\\n4 0 t\\tx\\x01y\\x7f\\rz");
}

}  // namespace
