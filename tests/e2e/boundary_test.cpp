// The plug-in boundary through the real DLL, with blocks as raw bytes read through the offset table.
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/hot_folder_session.h"

#include <atomic>
#include <set>
#include <thread>
#include <tuple>

namespace hf::hot_folder_e2e {
namespace {

const std::string kRejected = "Selector rejected - InitializeHandler has not yet been called successfully!\n";
const std::string kCharSizeMismatch = "Character size mismatch! Mixing wide/narrow charset modules is not permitted\n";
void* const kAllOnes = reinterpret_cast<void*>(~uintptr_t{0});

using BoundaryTest = HotFolderTest;

// A default block with one field changed; the call must give `result` and leave every byte alone.
void ExpectUntouched(const PluginDll& dll, uint32_t selector, const block::Field& field, uint32_t value,
                     int32_t result) {
  RawBlock raw = RawBlock::Default();
  raw.SetU32(field, value);
  const RawBlock before = raw;
  EXPECT_EQ(dll.Call(selector, raw), result) << selector << " " << field.name << "=" << value;
  EXPECT_EQ(FirstDifference(before, raw), -1) << selector << " " << field.name << "=" << value;
}

// A refusal before InitializeHandler: errorCode -1 and an owned, unacknowledged message.
void ExpectRefused(const RawBlock& raw, const std::string& message) {
  EXPECT_EQ(std::make_tuple(raw.I32(block::kErrorCode), raw.MessageText(), raw.U32(block::kMessageLength),
                            raw.U32(block::kMessageOwned), raw.U32(block::kMessageAcknowledged)),
            std::make_tuple(-1, message, message.size() + 1, 1u, 0u));  // error texts count the NUL
}

TEST_F(BoundaryTest, WrongOrMissingBlocksAreRefusedUntouchedAndLoggedAsErrors) {
#if !defined(_WIN64)  // the file check sees both names exported; here they are one entry
  EXPECT_EQ(::GetProcAddress(dll.module(), "ActionEntryPoint"), ::GetProcAddress(dll.module(), "ActionEntryPoint@8"));
#endif
  logSettings.Set(0);
  for (uint32_t selector : {kInitializeHandler, kClearError, kGetVersion}) {
    EXPECT_EQ(dll.CallRaw(selector, nullptr), -2) << selector;
    EXPECT_EQ(dll.CallRaw(selector, kAllOnes), -2) << selector;
  }
  ASSERT_EQ(Initialise(), 0);
  for (uint32_t selector : {kInitializeHandler, kShutdownHandler, kClearError, kGetCaps, kStartActionInit, kStartAction,
                            kGetActionStatus}) {
    ExpectUntouched(dll, selector, block::kVersion, 4, -2);
    ExpectUntouched(dll, selector, block::kStructSize, block::kSize - 1, -2);
  }
  for (uint32_t selector : {kShutdownHandler, kGetCaps, kStartActionInit, kCheckActionInit, kGetActionStatus, ~0u})
    EXPECT_EQ(dll.CallRaw(selector, nullptr), -2) << selector;
  ExpectUntouched(dll, kGetVersion, block::kStructSize, 2 * block::kSize, -2);  // another version it answers
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "=== ERROR === Hot Folder version mismatch, expected 5."));
  EXPECT_TRUE(HasMessage(messages, 0,
                         "=== ERROR === HF: Hot Folder size mismatch, expected " + std::to_string(block::kSize) + "."));
}

TEST_F(BoundaryTest, UntilInitializeHandlerSucceedsEverySelectorIsRejectedAndShutdownHandlerEndsItsEffect) {
  logSettings.Set(0);
  for (uint32_t selector : {kShutdownHandler, kClearError, kGetCaps, kStartActionInit, kStartAction, 9u}) {
    RawBlock raw = RawBlock::Default();
    EXPECT_EQ(dll.Call(selector, raw), -1) << selector;
    ExpectRefused(raw, kRejected);
    EXPECT_EQ(raw.U32(block::kTaskId) + raw.U32(block::kDwFlags), 0u);
  }
  RawBlock version = RawBlock::Default();  // passes the version check but not the gate
  version.SetU32(block::kVersion, 3);
  EXPECT_EQ(dll.Call(kGetVersion, version), -1);
  EXPECT_EQ(std::make_tuple(version.U32(block::kVersion), version.U32(block::kVersionFlag), version.MessageText()),
            std::make_tuple(3u, 0u, kRejected));

  RawBlock wide = RawBlock::Default();
  wide.SetU32(block::kCharSize, 2);
  EXPECT_EQ(dll.Call(kInitializeHandler, wide), -1);
  ExpectRefused(wide, kCharSizeMismatch);
  EXPECT_EQ(wide.Text(block::kPluginName), "");
  RawBlock after = RawBlock::Default();
  EXPECT_EQ(dll.Call(kClearError, after), -1) << "a refused InitializeHandler leaves the library uninitialised";
  const LogMessages messages = ReceivedMessages();  // each rejection with its source line
  for (const std::string& text : {kRejected, kCharSizeMismatch})
    EXPECT_TRUE(HasMessageStarting(messages, 0, "! " + text + " (line ", " of file entry_point.cpp).\n")) << text;

  // InitializeHandler writes only the plug-in's name, and ShutdownHandler ends its effect.
  for (uint32_t charSize : {0u, 1u}) {  // both narrow
    RawBlock raw = RawBlock::Default();
    raw.SetU32(block::kCharSize, charSize);
    RawBlock expected = raw;
    std::memcpy(expected.data(), "Hot Folder", 10);
    EXPECT_EQ(dll.Call(kInitializeHandler, raw), 0) << charSize;
    EXPECT_EQ(FirstDifference(expected, raw), -1) << charSize;
    // Once initialised, a second call returns 0 without even checking the block.
    ExpectUntouched(dll, kInitializeHandler, block::kCharSize, 2, 0);
    ASSERT_EQ(Shutdown(), 0);
    RawBlock rejected = RawBlock::Default();
    EXPECT_EQ(dll.Call(kGetCaps, rejected), -1);
    EXPECT_EQ(rejected.MessageText(), kRejected);
  }
}

TEST_F(BoundaryTest, TheSmallSelectorsWriteOnlyTheirOwnFieldsAndOthersAreRefusedUntouched) {
  ASSERT_EQ(Initialise(), 0);
  logSettings.Set(1);
  RawBlock version = RawBlock::Default();  // GetVersion answers a block of another version
  version.SetU32(block::kVersion, 7);
  RawBlock expected = version;
  expected.SetU32(block::kVersion, 5);
  expected.SetU32(block::kVersionFlag, 1);
  expected.data()[block::kVersionByte.offset] = 2;
  EXPECT_EQ(dll.Call(kGetVersion, version), 0);
  EXPECT_EQ(FirstDifference(expected, version), -1);

  RawBlock caps = RawBlock::Default();  // GetCaps adds its bits to the host's
  caps.SetU32(block::kDwFlags, 0x80000004u);
  caps.SetI32(block::kCapsExtra1, 17);
  caps.SetI32(block::kCapsExtra2, 0);
  EXPECT_EQ(dll.Call(kGetCaps, caps), 0);
  EXPECT_EQ(std::make_tuple(caps.U32(block::kDwFlags), caps.I32(block::kCapsExtra1), caps.I32(block::kCapsExtra2)),
            std::make_tuple(0x80024107u, -1, -1));

  RawBlock error = RawBlock::Default();
  error.SetI32(block::kErrorCode, 1234);
  EXPECT_EQ(dll.Call(kClearError, error), 0);
  EXPECT_EQ(error.I32(block::kErrorCode), 0);

  ExpectUntouched(dll, kGetTargets, block::kErrorCode, 0, 0);
  for (uint32_t selector : {7u, 8u, 9u, 12u, 15u, 17u, 18u, 19u, 20u, 21u, 22u, 23u, 100u, ~0u})
    ExpectUntouched(dll, selector, block::kErrorCode, 0, -1);
  LogMessages messages = ReceivedMessages();
  EXPECT_TRUE(HasMessage(messages, 0, "! HOTFOLDER plugin should not be asked to discover its targets!"));
  EXPECT_TRUE(HasMessage(messages, 1, "Selector #9 is not supported!"));
  EXPECT_TRUE(HasMessage(messages, 1, "Selector #-1 is not supported!"));
  logSettings.Set(0);
  ExpectUntouched(dll, 23u, block::kErrorCode, 0, -1);
  EXPECT_FALSE(HasMessageStarting(ReceivedMessages(), -1, "Selector #23")) << "level 1 is not sent at level 0";
}

TEST_F(BoundaryTest, TaskInitNumbersATaskOnceSetsItsStateAndFreesItsInitData) {
  ASSERT_EQ(Initialise(), 0);
  RawBlock first = RawBlock::Default();
  EXPECT_EQ(dll.Call(kStartActionInit, first), 0);
  const uint32_t number = first.U32(block::kTaskId);
  EXPECT_NE(number, 0u);
  RawBlock next = RawBlock::Default();
  EXPECT_EQ(dll.Call(kCheckActionInit, next), 0);
  EXPECT_EQ(next.U32(block::kTaskId), number + 1);
  // Selector, state before and after, 1 when a task without a number gets one (a numbered one keeps it).
  const int32_t cases[][4] = {{kStartActionInit, -3, 1, 1}, {kStartActionInit, 6, 1, 1}, {kStartActionInit, 7, 7, 1},
                              {kCheckActionInit, 0, 3, 1},  {kCheckActionInit, 6, 3, 1}, {kCheckActionInit, 9, 9, 0}};
  for (const auto& c : cases) {
    for (uint32_t taskId : {0u, 77u}) {
      RawBlock task = RawBlock::Default();
      task.SetU32(block::kTaskId, taskId);
      task.SetI32(block::kActionState, c[1]);
      EXPECT_EQ(dll.Call(static_cast<uint32_t>(c[0]), task), 0);
      EXPECT_EQ(task.I32(block::kActionState), c[2]) << c[0] << " " << c[1];
      const uint32_t id = task.U32(block::kTaskId);
      EXPECT_TRUE(taskId == 0 && c[3] ? id > number + 1 : id == taskId) << c[0] << " " << c[1] << " " << id;
    }
  }
  logSettings.Set(0, 0);  // no log text may take the freed blocks' place before they are checked
  std::vector<void*> chain = NewInitDataChain(3, 64);
  ASSERT_EQ(chain.size(), 3u);
  for (void* list : {chain.front(), kAllOnes}) {
    RawBlock task = RawBlock::Default();
    task.SetPointer(block::kInitDataList, list);
    EXPECT_EQ(dll.Call(kCheckActionInit, task), 0);
    EXPECT_EQ(task.Pointer(block::kInitDataList), nullptr);
    for (void* data : chain) EXPECT_FALSE(IsLiveGlobalBlock(data));
  }
}

TEST_F(BoundaryTest, TaskNumbersAreUniqueAcrossBlocksAndThreads) {
  ASSERT_EQ(Initialise(), 0);
  logSettings.Set(0);
  constexpr int kThreads = 4, kBlocksEach = 250;
  std::vector<std::vector<uint32_t>> numbers(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> ready{0};
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([this, t, &numbers, &ready] {
      ++ready;
      while (ready.load() < kThreads) std::this_thread::yield();  // the threads' requests overlap
      for (int i = 0; i < kBlocksEach; ++i) {
        RawBlock raw = RawBlock::Default();
        if (dll.Call(kStartActionInit, raw) == 0) numbers[t].push_back(raw.U32(block::kTaskId));
      }
    });
  for (std::thread& thread : threads) thread.join();
  std::set<uint32_t> unique;
  for (const auto& list : numbers) unique.insert(list.begin(), list.end());
  EXPECT_EQ(unique.size(), static_cast<size_t>(kThreads * kBlocksEach));
  EXPECT_EQ(unique.count(0u), 0u);
}

// The rules of the release (an unacknowledged message stays) live in host/; here: every call applies them.
TEST_F(BoundaryTest, ATakenMessageAndAHandedOverListAreReleasedAtTheNextCall) {
  RawBlock raw = RawBlock::Default();
  ASSERT_EQ(dll.Call(kClearError, raw), -1);  // leaves the rejection message
  void* message = raw.Pointer(block::kMessageText);
  ASSERT_EQ(Initialise(), 0);
  raw.SetI32(block::kErrorCode, 0);
  raw.AcknowledgeMessage();
  std::vector<void*> records = NewFileRecordChain({"a.ps", "b.pdf"}, 1);
  ASSERT_EQ(records.size(), 2u);
  raw.SetPointer(block::kFileList, records.front());
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_TRUE(!raw.Pointer(block::kMessageText) && !raw.Pointer(block::kFileList));
  EXPECT_EQ(raw.U32(block::kMessageLength) + raw.U32(block::kMessageOwned) + raw.U32(block::kMessageAcknowledged), 0u);
  for (void* block : {message, records[0], records[1]}) EXPECT_FALSE(IsLiveGlobalBlock(block));

  RawBlock broken = RawBlock::Default();  // all-ones pointers are cleared without being freed
  broken.SetPointer(block::kMessageText, kAllOnes);
  broken.SetU32(block::kMessageOwned, 1);
  broken.SetU32(block::kMessageLength, 12);
  broken.SetPointer(block::kFileList, kAllOnes);
  EXPECT_EQ(dll.Call(kClearError, broken), 0);
  EXPECT_TRUE(!broken.Pointer(block::kMessageText) && !broken.Pointer(block::kFileList));
  EXPECT_EQ(broken.U32(block::kMessageLength) + broken.U32(block::kMessageOwned), 0u);
}

}  // namespace
}  // namespace hf::hot_folder_e2e
