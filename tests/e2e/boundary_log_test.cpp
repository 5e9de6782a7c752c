// The log lines of the plug-in boundary as a debug monitor receives them:
// through the real DLL, read from the machine's mailslot.
#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/plugin_dll.h"
#include "tests/support/win32/raw_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kInitializeHandler = 0;
constexpr uint32_t kShutdownHandler = 1;
constexpr uint32_t kClearError = 6;
constexpr uint32_t kGetCaps = 11;
constexpr uint32_t kGetTargets = 16;

const std::string kNotAcknowledged = "==WARNING!== The last message/data has not yet been acknowledged!";

// One mailslot for the whole program: every load of the DLL keeps its handle
// to it, so it cannot be made afresh for each test.
MailslotReader* reader = nullptr;

class ReaderEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { reader = new MailslotReader(); }
  void TearDown() override {
    delete reader;
    reader = nullptr;
  }
};
const ::testing::Environment* const readerEnvironment = ::testing::AddGlobalTestEnvironment(new ReaderEnvironment);

// The text of a record without its time, id and level prefixes.
std::string MessageOf(const LogRecord& record) {
  size_t position = 0;
  for (int spaces = 0; spaces < 3 && position != std::string::npos; ++spaces) {
    position = record.text.find(' ', position);
    if (position != std::string::npos) ++position;
  }
  return position == std::string::npos ? std::string() : record.text.substr(position);
}

class BoundaryLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(reader->ok()) << reader->error();
    ASSERT_TRUE(dll.loaded()) << dll.loadError();
    reader->Drain();
  }

  void Initialise() {
    RawBlock raw = RawBlock::Default();
    ASSERT_EQ(dll.Call(kInitializeHandler, raw), 0);
  }

  // Every record sent so far, with their levels and messages.
  std::vector<std::pair<int, std::string>> Received() {
    EXPECT_TRUE(reader->Sync());
    std::vector<std::pair<int, std::string>> messages;
    for (const LogRecord& record : reader->Drain()) messages.emplace_back(record.level, MessageOf(record));
    return messages;
  }

  static bool Has(const std::vector<std::pair<int, std::string>>& messages, int level, const std::string& text) {
    for (const auto& message : messages)
      if (message.first == level && message.second == text) return true;
    return false;
  }
  static bool HasAnyLevel(const std::vector<std::pair<int, std::string>>& messages, const std::string& text) {
    for (const auto& message : messages)
      if (message.second == text) return true;
    return false;
  }

  LogSettingsScope logSettings{3};
  PluginDll dll{HF_DLL_PATH};
};

TEST_F(BoundaryLogTest, WrongBlocksAreLoggedAsErrors) {
  logSettings.Set(0);
  RawBlock version = RawBlock::Default();
  version.SetU32(block::kVersion, 4);
  EXPECT_EQ(dll.Call(kClearError, version), -2);
  RawBlock size = RawBlock::Default();
  size.SetU32(block::kStructSize, 1024);
  EXPECT_EQ(dll.Call(kClearError, size), -2);
  auto messages = Received();
  EXPECT_TRUE(Has(messages, 0, "=== ERROR === Hot Folder version mismatch, expected 5."));
  EXPECT_TRUE(Has(messages, 0, "=== ERROR === HF: Hot Folder size mismatch, expected 1280."));
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
  for (const auto& message : Received()) {
    const std::string& text = message.second;
    bool endsRight = text.size() > ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
    if ((text.rfind(rejected, 0) == 0 || text.rfind(mismatch, 0) == 0) && endsRight && message.first == 0) ++found;
  }
  EXPECT_EQ(found, 2);
}

TEST_F(BoundaryLogTest, UnsupportedSelectorsAreLoggedAtLevelOne) {
  Initialise();
  logSettings.Set(1);
  RawBlock raw = RawBlock::Default();
  EXPECT_EQ(dll.Call(9, raw), -1);
  EXPECT_EQ(dll.Call(0xFFFFFFFFu, raw), -1);
  auto messages = Received();
  EXPECT_TRUE(Has(messages, 1, "Selector #9 is not supported!"));
  EXPECT_TRUE(Has(messages, 1, "Selector #-1 is not supported!"));

  logSettings.Set(0);
  EXPECT_EQ(dll.Call(23, raw), -1);
  EXPECT_FALSE(HasAnyLevel(Received(), "Selector #23 is not supported!")) << "level 1 is not sent at level 0";
}

TEST_F(BoundaryLogTest, GetTargetsIsLoggedAsAnError) {
  Initialise();
  RawBlock raw = RawBlock::Default();
  EXPECT_EQ(dll.Call(kGetTargets, raw), 0);
  EXPECT_TRUE(Has(Received(), 0, "! HOTFOLDER plugin should not be asked to discover its targets!"));
}

TEST_F(BoundaryLogTest, InitialisationIsAnnouncedAndShutdownTraced) {
  RawBlock raw = RawBlock::Default();
  ASSERT_EQ(dll.Call(kInitializeHandler, raw), 0);
  ASSERT_EQ(dll.Call(kShutdownHandler, raw), 0);
  std::string revision = std::to_string(HF_VERSION_MAJOR) + "." + std::to_string(HF_VERSION_MINOR) + "." +
                         std::to_string(HF_VERSION_PATCH);
  auto messages = Received();
  EXPECT_TRUE(Has(messages, 0, "Hot Folder revision " + revision + "  Hot Folder action plug-in, interface version 5."));
  EXPECT_TRUE(Has(messages, 3, "ShutdownHandler called."));
}

TEST_F(BoundaryLogTest, AnUntakenMessageIsWarnedAboutAtEachCall) {
  RawBlock raw = RawBlock::Default();
  ASSERT_EQ(dll.Call(kClearError, raw), -1);  // leaves the rejection message
  ASSERT_EQ(dll.Call(kInitializeHandler, raw), 0);
  Received();
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_TRUE(Has(Received(), 0, kNotAcknowledged));
  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_FALSE(HasAnyLevel(Received(), kNotAcknowledged));
}

TEST_F(BoundaryLogTest, UnmarkedFileRecordsAreWarnedAboutByIndex) {
  Initialise();
  logSettings.Set(2);
  std::vector<void*> records = NewFileRecordChain({"a.ps", "b.pdf", "c.tif"}, 0);
  ASSERT_EQ(records.size(), 3u);
  uint32_t marked = 1;
  std::memcpy(static_cast<char*>(records[1]) + file_record::kSafeToDelete, &marked, sizeof marked);
  RawBlock raw = RawBlock::Default();
  raw.SetPointer(block::kFileList, records.front());
  EXPECT_EQ(dll.Call(kClearError, raw), 0);
  auto messages = Received();
  EXPECT_TRUE(Has(messages, 2, "Filelist item 0 (a.ps) has not been marked as safe to delete!"));
  EXPECT_FALSE(HasAnyLevel(messages, "Filelist item 1 (b.pdf) has not been marked as safe to delete!"));
  EXPECT_TRUE(Has(messages, 2, "Filelist item 2 (c.tif) has not been marked as safe to delete!"));
}

TEST_F(BoundaryLogTest, InvalidPointersAreTracedWithTheirSource) {
  Initialise();
  RawBlock raw = RawBlock::Default();
  raw.SetU32(block::kMessageText, 0xFFFFFFFFu);
  raw.SetU32(block::kMessageOwned, 1);
  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kClearError, raw), 0);
  bool found = false;
  for (const auto& message : Received())
    found = found || (message.first == 3 && message.second.rfind("Invalid pointer (0x", 0) == 0 &&
                      message.second.find(" of file message_handover.cpp") != std::string::npos);
  EXPECT_TRUE(found);
}

}  // namespace
