// hfhost's own logic: the SRC:DEST split of --task, and a handed-over record read at the host's offsets.
#include "tests/support/win32/block_offsets.h"
#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/task_argument.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace hf {
namespace {

TEST(TaskArgumentTest, SplitsAtTheFirstColonThatIsNotADriveColon) {
  const char* const cases[][3] = {
      // argument, source, destination; no source: refused
      {"C:\\in:D:\\out", "C:\\in", "D:\\out"},
      {"C:/in:D:/out", "C:/in", "D:/out"},
      {"/w/in:/w/out", "/w/in", "/w/out"},
      {"in:D:\\out", "in", "D:\\out"},
      {"C:\\in:out", "C:\\in", "out"},
      {"C:", "C:", ""},
      {"ab:\\x", "ab", "\\x"},  // a drive is one letter
      {"1:\\x", "1", "\\x"},    // and not a digit
      {":D:\\out"},
      {"C:\\in:"},
      {"C:\\a:D:\\b:E:\\c"},
      {"C::D:"},  // a drive colon is followed by '\', '/' or the end
  };
  for (const auto& c : cases) {
    TaskFolders folders;
    std::string error;
    ASSERT_EQ(SplitTaskArgument(c[0], folders, error), c[1] != nullptr) << c[0] << ": " << error;
    EXPECT_EQ(error.empty(), c[1] != nullptr) << c[0];
    if (c[1] == nullptr) continue;
    EXPECT_EQ(folders.source, c[1]) << c[0];
    EXPECT_EQ(folders.destination, c[2]) << c[0];
  }
}

TEST(HandedOverFileTest, ReadsEveryFieldAtItsOffsetWithinItsWidth) {
  using namespace file_record;
  alignas(8) std::array<uint8_t, kSize> bytes{};
  auto put = [&bytes](size_t offset, const void* value, size_t size) { std::memcpy(&bytes[offset], value, size); };
  auto text = [&put](size_t offset, const std::string& value) { put(offset, value.data(), value.size()); };
  const uint32_t jobType = 1, groupMember = 1, colourType = 3, intakeFlag = 4;
  const uint64_t size = 0x100000002ull;
  text(kFolder, "C:\\out\\");
  text(kFileName, "job.ps");
  text(kTitle, std::string(132, 'T'));  // unterminated: runs straight into the owner
  text(kOwner, std::string(132, 'O'));
  put(kFileSize, &size, 8);
  put(kJobType, &jobType, 4);
  put(kGroupMember, &groupMember, 4);
  put(kColourType, &colourType, 4);
  text(kUniqueId, std::string(128, 'f'));
  text(kIntakeFailureText, "no FileSpec");
  const auto& record = *reinterpret_cast<const ChainedFileItem*>(bytes.data());
  EXPECT_EQ(ReadHandedOverFile(record).intakeFailureText, "") << "the text counts only with its flag";
  put(kItemFlags, &intakeFlag, 4);
  HandedOverFile file = ReadHandedOverFile(record);
  EXPECT_EQ(file.folder, "C:\\out\\");
  EXPECT_EQ(file.fileName, "job.ps");
  EXPECT_EQ(file.title, std::string(132, 'T'));
  EXPECT_EQ(file.owner, std::string(132, 'O'));
  EXPECT_EQ(file.fileSize, size);
  EXPECT_EQ(file.jobType, jobType);
  EXPECT_EQ(file.groupMember, groupMember);
  EXPECT_EQ(file.colourType, colourType);
  EXPECT_EQ(file.resourceId, std::string(128, 'f'));
  EXPECT_EQ(file.intakeFailureText, "no FileSpec");
}

}  // namespace
}  // namespace hf
