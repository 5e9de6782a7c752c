// hfhost's output: a handed-over record read from its bytes, the text and
// JSON lines for files and messages, and JSON escaping.
#include "base/win32/windows_api.h"
#include "tests/support/win32/block_offsets.h"
#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/host_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace hf {

namespace {

using namespace file_record;  // the record's offsets, as the host reads them

class RecordBytes {
 public:
  RecordBytes() { bytes_.fill(0); }
  void Text(size_t offset, const std::string& text) { std::memcpy(&bytes_[offset], text.data(), text.size()); }
  void U32(size_t offset, uint32_t value) { std::memcpy(&bytes_[offset], &value, sizeof value); }
  void U64(size_t offset, uint64_t value) { std::memcpy(&bytes_[offset], &value, sizeof value); }
  const ChainedFileItem& record() const { return *reinterpret_cast<const ChainedFileItem*>(bytes_.data()); }

 private:
  alignas(8) std::array<uint8_t, kSize> bytes_;
};

TEST(HandedOverFileTest, ReadsEveryFieldAtItsOffset) {
  RecordBytes bytes;
  bytes.Text(kFolder, "C:\\out\\");
  bytes.Text(kFileName, "job.ps");
  bytes.Text(kTitle, "Brochure");
  bytes.Text(kOwner, "Anna");
  bytes.U64(kFileSize, 0x100000002ull);
  bytes.U32(kJobType, 1);
  bytes.U32(kGroupMember, 1);
  bytes.U32(kColourType, 3);
  bytes.U32(kItemFlags, 4);
  bytes.Text(kUniqueId, "5a3f");
  bytes.Text(kIntakeFailureText, "no FileSpec");
  HandedOverFile file = ReadHandedOverFile(bytes.record());
  EXPECT_EQ(file.folder, "C:\\out\\");
  EXPECT_EQ(file.fileName, "job.ps");
  EXPECT_EQ(file.title, "Brochure");
  EXPECT_EQ(file.owner, "Anna");
  EXPECT_EQ(file.fileSize, 0x100000002ull);
  EXPECT_EQ(file.jobType, 1u);
  EXPECT_EQ(file.groupMember, 1u);
  EXPECT_EQ(file.colourType, 3u);
  EXPECT_EQ(file.resourceId, "5a3f");
  EXPECT_EQ(file.intakeFailureText, "no FileSpec");
}

TEST(HandedOverFileTest, TheIntakeTextCountsOnlyWithItsFlag) {
  RecordBytes bytes;
  bytes.Text(kIntakeFailureText, "stale text");
  EXPECT_EQ(ReadHandedOverFile(bytes.record()).intakeFailureText, "");
}

TEST(HandedOverFileTest, UnterminatedFieldsAreReadWithinTheirWidth) {
  RecordBytes bytes;
  bytes.Text(kTitle, std::string(132, 'T'));  // runs straight into owner
  bytes.Text(kOwner, std::string(132, 'O'));
  bytes.Text(kUniqueId, std::string(128, 'f'));
  HandedOverFile file = ReadHandedOverFile(bytes.record());
  EXPECT_EQ(file.title, std::string(132, 'T'));
  EXPECT_EQ(file.owner, std::string(132, 'O'));
  EXPECT_EQ(file.resourceId, std::string(128, 'f'));
}

TEST(HandedOverFileTest, JobTypeNames) {
  const std::pair<uint32_t, const char*> names[] = {
      {0, "unknown"}, {1, "PostScript"}, {2, "PDF"},     {4, "TIFF"},           {8, "JPEG"},
      {0x40, "EPS"},  {0x100, "JDF"},    {0x800, "JSON"}, {0x8000000, "FileGroupList"}, {3, "other"}};
  for (const auto& [code, name] : names) EXPECT_STREQ(JobTypeName(code), name) << code;
}

HandedOverFile SampleFile() {
  HandedOverFile file;
  file.folder = "C:\\out\\";
  file.fileName = "a \"b\".ps";
  file.title = "T\tx";
  file.owner = "F";
  file.fileSize = 1234;
  file.jobType = 1;
  file.resourceId = "1f2e";
  return file;
}

TEST(HostOutputTest, FileLineAsText) {
  EXPECT_EQ(FileLine(false, 2, 7, SampleFile()),
            "task 2 file 7: C:\\out\\a \"b\".ps | PostScript (0x1) | 1234 bytes | title \"T\\x09x\" | for \"F\" | "
            "resource 1f2e");
  HandedOverFile group = SampleFile();
  group.folder = "C:\\out";  // no trailing backslash: one is put between
  group.groupMember = 1;
  group.colourType = 2;
  group.intakeFailureText = "bad\nticket";
  EXPECT_EQ(FileLine(false, 1, 0, group),
            "task 1 file 0: C:\\out\\a \"b\".ps | PostScript (0x1) | 1234 bytes | title \"T\\x09x\" | for \"F\" | "
            "resource 1f2e | group member (colour type 2) | intake failure \"bad\\nticket\"");
}

TEST(HostOutputTest, FileLineAsJson) {
  EXPECT_EQ(FileLine(true, 2, 7, SampleFile()),
            "{\"event\":\"file\",\"task\":2,\"index\":7,\"folder\":\"C:\\\\out\\\\\",\"name\":\"a \\\"b\\\".ps\","
            "\"jobType\":\"PostScript\",\"jobTypeCode\":1,\"size\":1234,\"title\":\"T\\tx\",\"for\":\"F\","
            "\"resourceId\":\"1f2e\",\"groupMember\":0,\"colourType\":0,\"intakeFailure\":\"\"}");
}

TEST(HostOutputTest, MessageLines) {
  EXPECT_EQ(MessageLine(false, 1, "GetActionStatus", -1, "GetActionStatus - Cannot MOVE a.ps, no longer present.\n"),
            "task 1 message after GetActionStatus (errorCode -1): GetActionStatus - Cannot MOVE a.ps, no longer "
            "present.");
  EXPECT_EQ(MessageLine(true, 0, "scan", 5, "5: Access is denied.\r\nFindFirstFile\n"),
            "{\"event\":\"message\",\"task\":0,\"selector\":\"scan\",\"errorCode\":5,"
            "\"text\":\"5: Access is denied.\\r\\nFindFirstFile\"}");
}

TEST(HostOutputTest, JsonStringEscapesAndConvertsToUtf8) {
  EXPECT_EQ(JsonString(""), "\"\"");
  EXPECT_EQ(JsonString("a\\b\"c"), "\"a\\\\b\\\"c\"");
  EXPECT_EQ(JsonString(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
  // A character of the system code page arrives as its UTF-8 bytes.
  std::string ansi;
  wchar_t eAcute = 0x00E9;
  char converted[8] = {};
  BOOL lossy = FALSE;
  int size = ::WideCharToMultiByte(CP_ACP, 0, &eAcute, 1, converted, sizeof converted, nullptr, &lossy);
  if (size > 0 && !lossy) {
    ansi.assign(converted, static_cast<size_t>(size));
    EXPECT_EQ(JsonString("caf" + ansi), "\"caf\xc3\xa9\"");
  }
}

TEST(HostOutputTest, OneLineDropsTheLineEndAndShowsInnerControls) {
  EXPECT_EQ(OneLine("text\r\n"), "text");
  EXPECT_EQ(WithoutLineEnd("a\nb\r\n\n"), "a\nb");
  EXPECT_EQ(OneLine("a\nb\n"), "a\\nb");
  EXPECT_EQ(OneLine(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(OneLine(""), "");
}

TEST(HostOutputTest, MemoryFiguresAreReadForThisProcess) {
  MemoryFigures memory = CurrentMemoryFigures();
  EXPECT_GT(memory.workingSetKB, 0u);
  EXPECT_GE(memory.peakWorkingSetKB, memory.workingSetKB);
}

}  // namespace

}  // namespace hf
