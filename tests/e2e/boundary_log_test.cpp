// The log lines of the plug-in boundary as a debug monitor receives them:
// through the real DLL, read from the machine's mailslot.
#include "tests/e2e/hot_folder_session.h"

#include "tests/support/win32/global_blocks.h"

namespace hf {

namespace hot_folder_e2e {
namespace {

constexpr uint32_t kGetTargets = 16;

const std::string kNotAcknowledged = "==WARNING!== The last message/data has not yet been acknowledged!";

bool HasAnyLevel(const LogMessages& messages, const std::string& text) {
  for (const auto& message : messages)
    if (message.second == text) return true;
  return false;
}

using BoundaryLogTest = HotFolderTest;

TEST_F(BoundaryLogTest, WrongBlocksAreLoggedAsErrors) {
  logSettings.Set(0);
  RawBlock version = RawBlock::Default();
  version.SetU32(block::kVersion, 4);
  EXPECT_EQ(dll.Call(kClearError, version), -2);
  RawBlock size = RawBlock::Default();
  size.SetU32(block::kStructSize, 1024);
  EXPECT_EQ(dll.Call(kClearError, size), -2);
  auto messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "=== ERROR === Hot Folder version mismatch, expected 5."));
  EXPECT_TRUE(HasMessage(messages, 0,
                         "=== ERROR === HF: Hot Folder size mismatch, expected " + std::to_string(block::kSize) + "."));
}

TEST_F(BoundaryLogTest, RejectionsAreLoggedWithTheirSourceLine) {
  logSettings.Set(0);
  RawBlock early = RawBlock::Default();
  EXPECT_EQ(dll.Call(kGetCaps, early), -1);
  RawBlock wide = RawBlock::Default();
  wide.SetU32(block::kCharSize, 2);
  EXPECT_EQ(dll.Call(kInitializeHandler, wide), -1);

  const std::string rejected = "! Selector rejected - InitializeHandler has not yet been called successfully!\n (line ";
  const std::string mismatch =
      "! Character size mismatch! Mixing wide/narrow charset modules is not permitted\n (line ";
  const std::string ending = " of file entry_point.cpp).\n";
  int found = 0;
  for (const auto& message : ReceivedMessages()) {
    const std::string& text = message.second;
    bool endsRight = text.size() > ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
    if ((text.rfind(rejected, 0) == 0 || text.rfind(mismatch, 0) == 0) && endsRight && message.first == 0) ++found;
  }
  EXPECT_EQ(found, 2);
}

TEST_F(BoundaryLogTest, UnsupportedSelectorsAreLoggedAtLevelOne) {
  ASSERT_EQ(Initialise(), 0);
  logSettings.Set(1);
  RawBlock raw = RawBlock::Default();
  EXPECT_EQ(dll.Call(9, raw), -1);
  EXPECT_EQ(dll.Call(0xFFFFFFFFu, raw), -1);
  auto messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 1, "Selector #9 is not supported!"));
  EXPECT_TRUE(HasMessage(messages, 1, "Selector #-1 is not supported!"));

  logSettings.Set(0);
  EXPECT_EQ(dll.Call(23, raw), -1);
  EXPECT_FALSE(HasAnyLevel(ReceivedMessages(), "Selector #23 is not supported!")) << "level 1 is not sent at level 0";
}

TEST_F(BoundaryLogTest, GetTargetsIsLoggedAsAnError) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock raw = RawBlock::Default();
  EXPECT_EQ(dll.Call(kGetTargets, raw), 0);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, "! HOTFOLDER plugin should not be asked to discover its targets!"));
}

TEST_F(BoundaryLogTest, InitialisationIsAnnouncedAndShutdownTraced) {
  ASSERT_EQ(Initialise(), 0);
  ASSERT_EQ(Shutdown(), 0);
  std::string revision = std::to_string(HF_VERSION_MAJOR) + "." + std::to_string(HF_VERSION_MINOR) + "." +
                         std::to_string(HF_VERSION_PATCH);
  auto messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "Hot Folder revision " + revision + "  Hot Folder action plug-in, interface version 5."));
  EXPECT_TRUE(HasMessage(messages, 3, "ShutdownHandler called."));
}

TEST_F(BoundaryLogTest, AnUntakenMessageIsWarnedAboutAtEachCall) {
  RawBlock raw = RawBlock::Default();
  ASSERT_EQ(dll.Call(kClearError, raw), -1);  // leaves the rejection message
  ASSERT_EQ(dll.Call(kInitializeHandler, raw), 0);
  ReceivedMessages();
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_TRUE(HasMessage(ReceivedMessages(), 0, kNotAcknowledged));
  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_FALSE(HasAnyLevel(ReceivedMessages(), kNotAcknowledged));
}

TEST_F(BoundaryLogTest, UnmarkedFileRecordsAreWarnedAboutByIndex) {
  ASSERT_EQ(Initialise(), 0);
  logSettings.Set(2);
  std::vector<void*> records = NewFileRecordChain({"a.ps", "b.pdf", "c.tif"}, 0);
  ASSERT_EQ(records.size(), 3u);
  uint32_t marked = 1;
  std::memcpy(static_cast<char*>(records[1]) + file_record::kSafeToDelete, &marked, sizeof marked);
  RawBlock raw = RawBlock::Default();
  raw.SetPointer(block::kFileList, records.front());
  EXPECT_EQ(dll.Call(kClearError, raw), 0);
  auto messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 2, "Filelist item 0 (a.ps) has not been marked as safe to delete!"));
  EXPECT_FALSE(HasAnyLevel(messages, "Filelist item 1 (b.pdf) has not been marked as safe to delete!"));
  EXPECT_TRUE(HasMessage(messages, 2, "Filelist item 2 (c.tif) has not been marked as safe to delete!"));
}

TEST_F(BoundaryLogTest, InvalidPointersAreTracedWithTheirSource) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock raw = RawBlock::Default();
  raw.SetPointer(block::kMessageText, reinterpret_cast<void*>(~uintptr_t{0}));
  raw.SetU32(block::kMessageOwned, 1);
  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kClearError, raw), 0);
  bool found = false;
  for (const auto& message : ReceivedMessages())
    found = found || (message.first == 3 && message.second.rfind("Invalid pointer (0x", 0) == 0 &&
                      message.second.find(" of file message_handover.cpp") != std::string::npos);
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace hot_folder_e2e

}  // namespace hf
