// The mailslot log record byte by byte: building, reading back and the
// monitor's one-line form.
#include "formats/log_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace hf {

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
  // Sequence (LE32), date and time (16 characters and a NUL), level, two
  // reserved bytes, record type 2 (LE32), then the text and its NUL.
  const std::string header("\x01\x00\x10\x00" "2024/05/06 07:08\0" "\x02" "\0\0" "\x02\x00\x00\x00", 28);
  EXPECT_EQ(Bytes(buffer, length), header + text + '\0');
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
  const std::pair<int, const char*> cases[] = {{0, "msg"},
                                               {kLogPrefixTime, "07:08:09.010 msg"},
                                               {kLogPrefixIds, "01a2b:0003c msg"},
                                               {kLogPrefixTime | kLogPrefixLevels, "07:08:09.010 02/03 msg"}};
  LogRecordFields fields = SampleFields();
  LogRecordBuffer buffer;
  for (const auto& [flags, text] : cases) {
    fields.prefixFlags = flags;
    BuildLogRecord(fields, "msg", buffer);
    EXPECT_EQ(TextOf(buffer), text) << flags;
  }
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

TEST(LogRecordBuild, MessageIsCutTo4079CharactersWithItsPrefixesAndTerminated) {
  const std::string prefix = "07:08:09.010 01a2b:0003c 02/03 ";
  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(SampleFields(), std::string(5000, 'x').c_str(), buffer);
  EXPECT_EQ(length, 28u + 4079 + 1);
  EXPECT_EQ(length, sizeof buffer);
  EXPECT_EQ(buffer.text[4079], '\0');
  EXPECT_EQ(TextOf(buffer), prefix + std::string(4079 - prefix.size(), 'x'));

  const std::string exact(4079 - prefix.size(), 'y');  // exactly the room left: kept whole
  EXPECT_EQ(BuildLogRecord(SampleFields(), exact.c_str(), buffer), 4108u);
  EXPECT_EQ(TextOf(buffer), prefix + exact);

  EXPECT_EQ(BuildLogRecord(SampleFields(), nullptr, buffer), 28u + 31 + 1);  // no message: the prefixes only
  EXPECT_EQ(TextOf(buffer), prefix);
}

TEST(LogRecordBuild, BufferIsClearedBeforeEachRecord) {
  LogRecordBuffer buffer;
  std::memset(&buffer, 0x5a, sizeof buffer);
  const size_t length = BuildLogRecord(SampleFields(), "short", buffer);
  const std::string bytes = Bytes(buffer, sizeof buffer);
  EXPECT_EQ(bytes.find_first_not_of('\0', length), std::string::npos);
  EXPECT_EQ(bytes.substr(4, 17).back(), '\0');
}

TEST(LogRecordBuild, YearBelow1980IsMovedOnByWholeCenturiesAndTheDateCutTo16Characters) {
  const std::pair<int, int> years[] = {{2024, 2024}, {1980, 1980}, {1979, 2079}, {80, 1980},
                                       {79, 2079},   {5, 2005},    {0, 2000}};
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
  // No NUL in the date field, and a level, reserved word and record type of our own.
  const std::string bytes =
      std::string("\xff\0\0\x80", 4) + std::string(17, 'D') + std::string("\x09\x34\x12\x07\0\0\0", 7);
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

}  // namespace

}  // namespace hf
