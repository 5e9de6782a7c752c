// hfhost's own logic: a handed-over record read at the host's offsets, and where the thumbnail
// page finds a group's composite (its command line is run end to end).
#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/scratch_folder.h"
#include "tools/hfhost/handed_over_file.h"
#include "tools/hfhost/thumbnail_host.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>

namespace hf {
namespace {

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

// A group record carries an ID of its own; the composite is under the group file's ResourceID.
TEST(ThumbnailIndexFileTest, FindsAGroupsCompositeUnderTheGroupFilesResourceId) {
  ScratchFolder scratch("thumbnail_index");
  ASSERT_TRUE(scratch.ok());
  const std::string thumbnails = scratch.MakeSubfolder("Thumbnails");
  ASSERT_TRUE(WriteBytes(scratch.path() + "g.fgl", "[FileGroupInfo]\r\nResourceID=5a5a\r\n"));
  ASSERT_TRUE(WriteBytes(scratch.MakeSubfolder("Thumbnails\\5a5a") + "comp.png", "png"));
  HandedOverFile group;
  group.folder = scratch.path();
  group.fileName = "g.fgl";
  group.jobType = 0x8000000;
  group.resourceId = "77aa";
  ThumbnailIndexFile index(thumbnails);
  index.Add(group);
  ASSERT_EQ(index.Update(), 0);
  const std::string page = BytesOf(thumbnails + "index.html");
  EXPECT_NE(page.find("<img src=\"5a5a/comp.png\""), std::string::npos) << page;
  EXPECT_NE(page.find("<td>77aa</td>"), std::string::npos) << page;
}

}  // namespace
}  // namespace hf
