// The plug-in boundary through the real DLL: block checks, the admission gate,
// the small selectors, message and list release, task numbering, and the
// DLL's exports and imports. Blocks are raw bytes read through the offset table.
#include "tests/support/win32/block_offsets.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/pe_image.h"
#include "tests/support/win32/plugin_dll.h"
#include "tests/support/win32/raw_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace hf {

namespace {

constexpr uint32_t kInitializeHandler = 0;
constexpr uint32_t kShutdownHandler = 1;
constexpr uint32_t kClearError = 6;
constexpr uint32_t kGetVersion = 10;
constexpr uint32_t kGetCaps = 11;
constexpr uint32_t kStartActionInit = 13;
constexpr uint32_t kCheckActionInit = 14;
constexpr uint32_t kGetTargets = 16;

const std::string kRejected = "Selector rejected - InitializeHandler has not yet been called successfully!\n";
const std::string kCharSizeMismatch =
    "Character size mismatch! Mixing wide/narrow charset modules is not permitted\n";

void* const kAllOnes = reinterpret_cast<void*>(~uintptr_t{0});

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Each test loads the DLL afresh, so the library starts uninitialised.
class BoundaryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dll.loaded()) << dll.loadError(); }

  void Initialise() {
    RawBlock block = RawBlock::Default();
    ASSERT_EQ(dll.Call(kInitializeHandler, block), 0);
  }

  PluginDll dll{HF_DLL_PATH};
};

TEST_F(BoundaryTest, ExportsTheEntryAndImportsOnlySystemDlls) {
  EXPECT_TRUE(IsDllOfThisBuild(dll.module()));
  std::vector<std::string> exports = ExportedNames(dll.module());
  FARPROC plain = ::GetProcAddress(dll.module(), "ActionEntryPoint");
  EXPECT_NE(plain, nullptr);
#if defined(_WIN64)
  // x64 has one calling convention and no stdcall decoration.
  EXPECT_EQ(exports, (std::vector<std::string>{"ActionEntryPoint"}));
#else
  EXPECT_EQ(exports, (std::vector<std::string>{"ActionEntryPoint", "ActionEntryPoint@8"}));
  EXPECT_EQ(plain, ::GetProcAddress(dll.module(), "ActionEntryPoint@8"));
#endif

  const std::set<std::string> systemDlls = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll",
                                            "shell32.dll",  "ws2_32.dll", "gdi32.dll",  "ole32.dll",
                                            "shlwapi.dll",  "version.dll"};
  std::vector<std::string> imports = ImportedDllNames(dll.module());
  EXPECT_FALSE(imports.empty());
  for (const std::string& name : imports) EXPECT_EQ(systemDlls.count(Lower(name)), 1u) << name;
}

TEST_F(BoundaryTest, CarriesTheProjectVersionInItsVersionResource) {
  HRSRC resource = ::FindResourceA(dll.module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_NE(resource, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(::LockResource(::LoadResource(dll.module(), resource)));
  DWORD size = ::SizeofResource(dll.module(), resource);
  ASSERT_NE(bytes, nullptr);
  const uint32_t signature = 0xFEEF04BD;  // VS_FIXEDFILEINFO starts with it
  const VS_FIXEDFILEINFO* fixed = nullptr;
  for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4)
    if (std::memcmp(bytes + i, &signature, sizeof signature) == 0) {
      fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + i);
      break;
    }
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(HF_VERSION_MAJOR << 16 | HF_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(HF_VERSION_PATCH << 16));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(BoundaryTest, WrongVersionOrSizeIsRefusedWithoutTouchingTheBlock) {
  Initialise();
  for (uint32_t selector : {kInitializeHandler, kShutdownHandler, kClearError, kGetCaps, kStartActionInit, 2u, 3u}) {
    RawBlock wrongVersion = RawBlock::Default();
    wrongVersion.SetU32(block::kVersion, 4);
    wrongVersion.SetI32(block::kErrorCode, 9);
    RawBlock before = wrongVersion;
    EXPECT_EQ(dll.Call(selector, wrongVersion), -2) << selector;
    EXPECT_EQ(FirstDifference(before, wrongVersion), -1) << selector;

    RawBlock wrongSize = RawBlock::Default();
    wrongSize.SetU32(block::kStructSize, 1279);
    before = wrongSize;
    EXPECT_EQ(dll.Call(selector, wrongSize), -2) << selector;
    EXPECT_EQ(FirstDifference(before, wrongSize), -1) << selector;
  }
  RawBlock versionWrongSize = RawBlock::Default();
  versionWrongSize.SetU32(block::kVersion, 4);
  versionWrongSize.SetU32(block::kStructSize, 2560);
  RawBlock before = versionWrongSize;
  EXPECT_EQ(dll.Call(kGetVersion, versionWrongSize), -2);
  EXPECT_EQ(FirstDifference(before, versionWrongSize), -1);
}

TEST_F(BoundaryTest, MissingBlockIsRefusedAsAWrongBlock) {
  for (uint32_t selector : {kInitializeHandler, kClearError, kGetVersion}) {
    EXPECT_EQ(dll.CallRaw(selector, nullptr), -2);
    EXPECT_EQ(dll.CallRaw(selector, kAllOnes), -2);
  }
  Initialise();
  for (uint32_t selector : {kShutdownHandler, kGetCaps, kStartActionInit, kCheckActionInit, 3u, 0xFFFFFFFFu})
    EXPECT_EQ(dll.CallRaw(selector, nullptr), -2) << selector;
}

TEST_F(BoundaryTest, SelectorsBeforeInitializeHandlerAreRejectedWithAnErrorMessage) {
  for (uint32_t selector : {kShutdownHandler, kClearError, kGetCaps, kStartActionInit, 2u, 9u}) {
    RawBlock raw = RawBlock::Default();
    EXPECT_EQ(dll.Call(selector, raw), -1) << selector;
    EXPECT_EQ(raw.I32(block::kErrorCode), -1);
    ASSERT_NE(raw.Pointer(block::kMessageText), nullptr);
    EXPECT_EQ(raw.MessageText(), kRejected);
    EXPECT_EQ(raw.U32(block::kMessageLength), kRejected.size() + 1);  // error texts count the NUL
    EXPECT_EQ(raw.U32(block::kMessageOwned), 1u);
    EXPECT_EQ(raw.U32(block::kMessageAcknowledged), 0u);
    EXPECT_EQ(raw.U32(block::kTaskId), 0u);
    EXPECT_EQ(raw.U32(block::kDwFlags), 0u);
  }
  // GetVersion passes the version check but not the gate.
  RawBlock version = RawBlock::Default();
  version.SetU32(block::kVersion, 3);
  EXPECT_EQ(dll.Call(kGetVersion, version), -1);
  EXPECT_EQ(version.U32(block::kVersion), 3u);
  EXPECT_EQ(version.U32(block::kVersionFlag), 0u);
  EXPECT_EQ(version.MessageText(), kRejected);
}

TEST_F(BoundaryTest, InitializeHandlerTakesOnlyNarrowCharactersAndWritesOnlyThePluginName) {
  RawBlock wide = RawBlock::Default();
  wide.SetU32(block::kCharSize, 2);
  EXPECT_EQ(dll.Call(kInitializeHandler, wide), -1);
  EXPECT_EQ(wide.I32(block::kErrorCode), -1);
  EXPECT_EQ(wide.MessageText(), kCharSizeMismatch);
  EXPECT_EQ(wide.U32(block::kMessageLength), kCharSizeMismatch.size() + 1);
  EXPECT_EQ(wide.Text(block::kPluginName), "");
  RawBlock after = RawBlock::Default();
  EXPECT_EQ(dll.Call(kClearError, after), -1) << "a refused InitializeHandler leaves the library uninitialised";

  // Sizes 0 and 1 are both narrow; nothing but the name is written.
  for (uint32_t charSize : {0u, 1u}) {
    RawBlock raw = RawBlock::Default();
    raw.SetU32(block::kCharSize, charSize);
    RawBlock expected = raw;
    std::memcpy(expected.data(), "Hot Folder", 10);
    EXPECT_EQ(dll.Call(kInitializeHandler, raw), 0) << charSize;
    EXPECT_EQ(FirstDifference(expected, raw), -1) << charSize;
    RawBlock shutdown = RawBlock::Default();
    ASSERT_EQ(dll.Call(kShutdownHandler, shutdown), 0);
  }

  // Once initialised, a second call returns 0 without even checking the block.
  Initialise();
  RawBlock again = RawBlock::Default();
  again.SetU32(block::kCharSize, 2);
  RawBlock before = again;
  EXPECT_EQ(dll.Call(kInitializeHandler, again), 0);
  EXPECT_EQ(FirstDifference(before, again), -1);
}

TEST_F(BoundaryTest, TheSmallSelectorsWriteOnlyTheirOwnFields) {
  Initialise();
  // GetVersion answers even a block of another version.
  RawBlock version = RawBlock::Default();
  version.SetU32(block::kVersion, 7);
  RawBlock expected = version;
  expected.SetU32(block::kVersion, 5);
  expected.SetU32(block::kVersionFlag, 1);
  expected.data()[block::kVersionByte.offset] = 2;
  EXPECT_EQ(dll.Call(kGetVersion, version), 0);
  EXPECT_EQ(FirstDifference(expected, version), -1);

  // GetCaps adds its bits to the host's.
  RawBlock caps = RawBlock::Default();
  caps.SetU32(block::kDwFlags, 0x80000004u);
  caps.SetI32(block::kCapsExtra1, 17);
  caps.SetI32(block::kCapsExtra2, 0);
  EXPECT_EQ(dll.Call(kGetCaps, caps), 0);
  EXPECT_EQ(caps.U32(block::kDwFlags), 0x80024107u);
  EXPECT_EQ(caps.I32(block::kCapsExtra1), -1);
  EXPECT_EQ(caps.I32(block::kCapsExtra2), -1);

  RawBlock targets = RawBlock::Default();
  RawBlock before = targets;
  EXPECT_EQ(dll.Call(kGetTargets, targets), 0);
  EXPECT_EQ(FirstDifference(before, targets), -1);

  RawBlock error = RawBlock::Default();
  error.SetI32(block::kErrorCode, 1234);
  EXPECT_EQ(dll.Call(kClearError, error), 0);
  EXPECT_EQ(error.I32(block::kErrorCode), 0);
}

TEST_F(BoundaryTest, UnsupportedAndUnnamedSelectorsAreRefused) {
  Initialise();
  for (uint32_t selector : {7u, 8u, 9u, 12u, 15u, 17u, 18u, 19u, 20u, 21u, 22u, 23u, 100u, 0xFFFFFFFFu}) {
    RawBlock raw = RawBlock::Default();
    RawBlock before = raw;
    EXPECT_EQ(dll.Call(selector, raw), -1) << selector;
    EXPECT_EQ(FirstDifference(before, raw), -1) << selector;
  }
}

TEST_F(BoundaryTest, StartActionInitNumbersATaskOnceAndSetsTheState) {
  Initialise();
  RawBlock raw = RawBlock::Default();
  EXPECT_EQ(dll.Call(kStartActionInit, raw), 0);
  uint32_t first = raw.U32(block::kTaskId);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(raw.I32(block::kActionState), 1);
  raw.SetI32(block::kActionState, 4);
  EXPECT_EQ(dll.Call(kStartActionInit, raw), 0);
  EXPECT_EQ(raw.U32(block::kTaskId), first);
  EXPECT_EQ(raw.I32(block::kActionState), 1);

  RawBlock next = RawBlock::Default();
  EXPECT_EQ(dll.Call(kStartActionInit, next), 0);
  EXPECT_EQ(next.U32(block::kTaskId), first + 1);

  struct Case {
    int32_t state;
    int32_t expected;
  };
  for (Case c : {Case{-3, 1}, Case{0, 1}, Case{6, 1}, Case{7, 7}, Case{1000, 1000}}) {
    RawBlock state = RawBlock::Default();
    state.SetU32(block::kTaskId, 77);
    state.SetI32(block::kActionState, c.state);
    EXPECT_EQ(dll.Call(kStartActionInit, state), 0);
    EXPECT_EQ(state.I32(block::kActionState), c.expected) << c.state;
    EXPECT_EQ(state.U32(block::kTaskId), 77u) << "a task that has a number keeps it";
  }
}

TEST_F(BoundaryTest, TaskNumbersAreUniqueAcrossBlocksAndThreads) {
  Initialise();
  constexpr int kThreads = 4;
  constexpr int kBlocksEach = 250;
  std::vector<std::vector<uint32_t>> numbers(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> ready{0};
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([this, t, &numbers, &ready] {
      // All threads start together, so that their requests overlap.
      ++ready;
      while (ready.load() < kThreads) std::this_thread::yield();
      for (int i = 0; i < kBlocksEach; ++i) {
        RawBlock raw = RawBlock::Default();
        if (dll.Call(kStartActionInit, raw) == 0) numbers[t].push_back(raw.U32(block::kTaskId));
      }
    });
  for (std::thread& thread : threads) thread.join();
  std::set<uint32_t> unique;
  for (const auto& list : numbers) {
    EXPECT_EQ(list.size(), static_cast<size_t>(kBlocksEach));
    unique.insert(list.begin(), list.end());
  }
  EXPECT_EQ(unique.size(), static_cast<size_t>(kThreads * kBlocksEach));
  EXPECT_EQ(unique.count(0u), 0u);
}

TEST_F(BoundaryTest, CheckActionInitNumbersChecksAndLeavesHostStatesAlone) {
  Initialise();
  RawBlock fresh = RawBlock::Default();
  EXPECT_EQ(dll.Call(kCheckActionInit, fresh), 0);
  EXPECT_NE(fresh.U32(block::kTaskId), 0u);
  EXPECT_EQ(fresh.I32(block::kActionState), 3);

  RawBlock started = RawBlock::Default();
  started.SetI32(block::kActionState, 4);
  EXPECT_EQ(dll.Call(kCheckActionInit, started), 0);
  EXPECT_EQ(started.I32(block::kActionState), 3);

  RawBlock host = RawBlock::Default();
  host.SetI32(block::kActionState, 9);
  EXPECT_EQ(dll.Call(kCheckActionInit, host), 0);
  EXPECT_EQ(host.I32(block::kActionState), 9);
  EXPECT_EQ(host.U32(block::kTaskId), 0u) << "no task number for a host-defined state";
}

TEST_F(BoundaryTest, CheckActionInitFreesTheInitDataChain) {
  Initialise();
  std::vector<void*> chain = NewInitDataChain(3, 64);
  ASSERT_EQ(chain.size(), 3u);
  RawBlock raw = RawBlock::Default();
  raw.SetPointer(block::kInitDataList, chain.front());
  EXPECT_EQ(dll.Call(kCheckActionInit, raw), 0);
  EXPECT_EQ(raw.Pointer(block::kInitDataList), nullptr);
  for (void* data : chain) EXPECT_FALSE(IsLiveGlobalBlock(data));

  RawBlock broken = RawBlock::Default();
  broken.SetPointer(block::kInitDataList, kAllOnes);
  EXPECT_EQ(dll.Call(kCheckActionInit, broken), 0);
  EXPECT_EQ(broken.Pointer(block::kInitDataList), nullptr);
}

TEST_F(BoundaryTest, UnacknowledgedMessageSurvivesUntilTheHostTakesIt) {
  RawBlock raw = RawBlock::Default();
  ASSERT_EQ(dll.Call(kClearError, raw), -1);  // leaves the rejection message
  void* message = raw.Pointer(block::kMessageText);
  ASSERT_NE(message, nullptr);
  ASSERT_EQ(dll.Call(kInitializeHandler, raw), 0);
  raw.SetI32(block::kErrorCode, 0);

  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_EQ(raw.Pointer(block::kMessageText), message);
  EXPECT_EQ(raw.MessageText(), kRejected);
  EXPECT_EQ(raw.U32(block::kMessageOwned), 1u);
  EXPECT_TRUE(IsLiveGlobalBlock(message));

  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_EQ(raw.Pointer(block::kMessageText), nullptr);
  EXPECT_EQ(raw.U32(block::kMessageLength), 0u);
  EXPECT_EQ(raw.U32(block::kMessageOwned), 0u);
  EXPECT_EQ(raw.U32(block::kMessageAcknowledged), 0u);
  EXPECT_FALSE(IsLiveGlobalBlock(message));
}

TEST_F(BoundaryTest, APendingErrorIsNotReplacedByANewOne) {
  RawBlock raw = RawBlock::Default();
  raw.SetU32(block::kCharSize, 2);
  ASSERT_EQ(dll.Call(kInitializeHandler, raw), -1);
  ASSERT_EQ(raw.MessageText(), kCharSizeMismatch);
  void* first = raw.Pointer(block::kMessageText);

  EXPECT_EQ(dll.Call(kClearError, raw), -1);  // rejected: errorCode is still -1
  EXPECT_EQ(raw.Pointer(block::kMessageText), first);
  EXPECT_EQ(raw.MessageText(), kCharSizeMismatch);

  // Error cleared by the host but the message not taken: still kept.
  raw.SetI32(block::kErrorCode, 0);
  EXPECT_EQ(dll.Call(kClearError, raw), -1);
  EXPECT_EQ(raw.I32(block::kErrorCode), -1);
  EXPECT_EQ(raw.MessageText(), kCharSizeMismatch);
  EXPECT_TRUE(IsLiveGlobalBlock(first));

  // Taken and cleared: the new error replaces it and the old block is freed.
  raw.SetI32(block::kErrorCode, 0);
  raw.AcknowledgeMessage();
  EXPECT_EQ(dll.Call(kClearError, raw), -1);
  EXPECT_EQ(raw.MessageText(), kRejected);
  EXPECT_EQ(raw.U32(block::kMessageAcknowledged), 0u);
  // The heap may hand the freed block out again for the new text; a block it
  // hands out was free, so only a different address must have died.
  if (raw.Pointer(block::kMessageText) != first) {
    EXPECT_FALSE(IsLiveGlobalBlock(first));
  }
}

TEST_F(BoundaryTest, AllOnesPointersAreClearedWithoutBeingFreed) {
  Initialise();
  for (uint32_t owned : {0u, 1u}) {
    for (uint32_t acknowledged : {0u, 1u}) {
      RawBlock raw = RawBlock::Default();
      raw.SetPointer(block::kMessageText, kAllOnes);
      raw.SetU32(block::kMessageOwned, owned);
      raw.SetU32(block::kMessageAcknowledged, acknowledged);
      raw.SetU32(block::kMessageLength, 12);
      raw.SetPointer(block::kFileList, kAllOnes);
      EXPECT_EQ(dll.Call(kClearError, raw), 0);
      EXPECT_EQ(raw.Pointer(block::kMessageText), nullptr);
      EXPECT_EQ(raw.U32(block::kMessageLength), 0u);
      EXPECT_EQ(raw.U32(block::kMessageOwned), 0u);
      EXPECT_EQ(raw.Pointer(block::kFileList), nullptr);
    }
  }
}

TEST_F(BoundaryTest, AHandedOverFileListIsReleasedAtTheNextCall) {
  Initialise();
  std::vector<void*> records = NewFileRecordChain({"a.ps", "b.pdf", "c.tif"}, 0);
  ASSERT_EQ(records.size(), 3u);
  uint32_t marked = 1;
  std::memcpy(static_cast<char*>(records[1]) + file_record::kSafeToDelete, &marked, sizeof marked);
  RawBlock raw = RawBlock::Default();
  raw.SetPointer(block::kFileList, records.front());
  EXPECT_EQ(dll.Call(kGetCaps, raw), 0);
  EXPECT_EQ(raw.Pointer(block::kFileList), nullptr);
  for (void* record : records) EXPECT_FALSE(IsLiveGlobalBlock(record));

  // A broken link ends the walk instead of being followed.
  std::vector<void*> broken = NewFileRecordChain({"x.ps", "y.ps"}, 1);
  ASSERT_EQ(broken.size(), 2u);
  void* allOnes = kAllOnes;
  std::memcpy(static_cast<char*>(broken[1]) + file_record::kNext, &allOnes, sizeof allOnes);
  raw.SetPointer(block::kFileList, broken.front());
  EXPECT_EQ(dll.Call(kClearError, raw), 0);
  EXPECT_EQ(raw.Pointer(block::kFileList), nullptr);
  for (void* record : broken) EXPECT_FALSE(IsLiveGlobalBlock(record));
}

TEST_F(BoundaryTest, ShutdownHandlerEndsTheInitialisationUntilTheNextOne) {
  Initialise();
  RawBlock shutdown = RawBlock::Default();
  EXPECT_EQ(dll.Call(kShutdownHandler, shutdown), 0);

  RawBlock after = RawBlock::Default();
  EXPECT_EQ(dll.Call(kGetCaps, after), -1);
  EXPECT_EQ(after.MessageText(), kRejected);

  RawBlock again = RawBlock::Default();
  EXPECT_EQ(dll.Call(kInitializeHandler, again), 0);
  EXPECT_EQ(again.Text(block::kPluginName), "Hot Folder");
  RawBlock caps = RawBlock::Default();
  EXPECT_EQ(dll.Call(kGetCaps, caps), 0);
}

}  // namespace

}  // namespace hf
