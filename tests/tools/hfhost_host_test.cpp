// hfhost's own logic: the SRC:DEST split of --task, and a handed-over record read at the host's offsets.
#include "tests/support/win32/block_offsets.h"
#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/task_argument.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

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
  auto put = [&bytes](size_t offset, const auto& value) { std::memcpy(&bytes[offset], &value, sizeof value); };
  auto text = [&bytes](size_t offset, const std::string& value) {
    value.copy(reinterpret_cast<char*>(&bytes[offset]), value.size());
  };
  text(kFolder, "C:\\out\\");
  text(kFileName, "job.ps");
  text(kTitle, std::string(132, 'T'));  // unterminated: runs straight into the owner
  text(kOwner, std::string(132, 'O'));
  put(kFileSize, uint64_t{0x100000002ull});
  put(kJobType, uint32_t{1});
  put(kGroupMember, uint32_t{1});
  put(kColourType, uint32_t{3});
  text(kUniqueId, std::string(128, 'f'));
  text(kIntakeFailureText, "no FileSpec");
  const auto& record = *reinterpret_cast<const ChainedFileItem*>(bytes.data());
  EXPECT_EQ(ReadHandedOverFile(record).intakeFailureText, "") << "the text counts only with its flag";
  put(kItemFlags, uint32_t{4});
  const HandedOverFile file = ReadHandedOverFile(record);
  EXPECT_EQ(std::tie(file.folder, file.fileName, file.title, file.owner, file.resourceId, file.intakeFailureText),
            std::make_tuple("C:\\out\\", "job.ps", std::string(132, 'T'), std::string(132, 'O'), std::string(128, 'f'),
                            "no FileSpec"));
  EXPECT_EQ(std::tie(file.fileSize, file.jobType, file.groupMember, file.colourType),
            std::make_tuple(0x100000002ull, 1u, 1u, 3u));
}

}  // namespace
}  // namespace hf
