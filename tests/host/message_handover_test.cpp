// Messages and error reports placed in the block, and the pointer check.
#include "host/message_handover.h"

#include "base/win32/windows_api.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/global_blocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace hf {

namespace {

const std::string kNotAcknowledged = "==WARNING!== The last message/data has not yet been acknowledged!";
void* const kAllOnes = reinterpret_cast<void*>(~uintptr_t{0});

std::string InvalidPointerLine(const void* pointer, int line) {
  char text[256];
  std::snprintf(text, sizeof text, "Invalid pointer (0x%p) used on line %d of file %s", pointer, line, "j.cpp");
  return text;
}

std::string SystemText(DWORD error) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string result = length != 0 ? std::string(text) : std::string();
  if (text != nullptr) ::LocalFree(text);
  return result;
}

class MessageHandoverTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseDefaultParameters(params); }
  void TearDown() override {
    // Frees what the plug-in left in the block, as the next host call would.
    params.messageAcknowledged = 1;
    params.errorCode = 0;
    ReleaseHandedOverMessage(&params);
  }

  std::string Message() const { return MessageOf(params); }
  // The block's error code, message, message length and whether the plug-in owns the message.
  std::tuple<int32_t, std::string, uint32_t, uint32_t> Block() const {
    return {params.errorCode, Message(), params.messageLength, params.messageOwned};
  }
  bool Logged(int level, const std::string& text) const { return log.Has(level, text); }

  PluginParameters params;
  LogCapture log;
};

// An untaken message is never replaced nor freed; an empty one counts as taken; a host's text is never freed.
TEST_F(MessageHandoverTest, HandOverAndReleaseFollowTheAcknowledgement) {
  HandOverMessage(&params, "Sent: %s", "job.ps");
  char* first = params.messageText;
  EXPECT_EQ(Block(), std::make_tuple(0, "job.ps", 6u, 1u));  // the length without the NUL
  EXPECT_EQ(::GlobalSize(params.messageText), 8u);  // text + 2 bytes
  EXPECT_TRUE(Logged(0, "Sent: job.ps"));
  HandOverMessage(&params, nullptr, "second");
  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, first);
  EXPECT_TRUE(Logged(2, kNotAcknowledged));
  EXPECT_TRUE(Logged(0, kNotAcknowledged));

  params.messageAcknowledged = 1;
  log.lines.clear();
  HandOverMessage(&params, nullptr, std::string(""));
  EXPECT_EQ(params.messageLength, 0u);
  EXPECT_EQ(params.messageAcknowledged, 0u);
  EXPECT_TRUE(params.messageText == first || !IsLiveGlobalBlock(first));
  HandOverMessage(&params, nullptr, "data");
  EXPECT_EQ(Message(), "data");
  params.messageAcknowledged = 1;
  ReleaseHandedOverMessage(&params);  // the release of a taken message is pinned at the boundary
  ReleaseHandedOverMessage(&params);  // nothing there: nothing happens
  ReleaseHandedOverMessage(nullptr);
  EXPECT_TRUE(log.lines.empty());  // and no log format: nothing logged

  char hostText[] = "host's own";
  params.messageText = hostText;
  params.messageAcknowledged = 1;
  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, nullptr);
  EXPECT_STREQ(hostText, "host's own");
}

// Cut to 1024 bytes with the NUL; while an error is pending a new one is only logged.
TEST_F(MessageHandoverTest, ReportErrorPlacesItsTextWithALineFeed) {
  const std::string longText(2000, 'x');
  const std::pair<const char*, std::string> rows[] = {
      {"Cannot move job.ps", "Cannot move job.ps\n"}, {longText.c_str(), std::string(1023, 'x')}, {nullptr, "\n"}};
  for (const auto& row : rows) {
    TearDown();  // frees what the row before left
    InitialiseDefaultParameters(params);
    log.lines.clear();
    ReportError(&params, row.first, "r.cpp", 7);
    EXPECT_EQ(Block(), std::make_tuple(-1, row.second, row.second.size() + 1, 1u));
    EXPECT_TRUE(Logged(0, "! " + row.second + " (line 7 of file r.cpp).\n"));
  }
  params.messageAcknowledged = 1;
  ReportError(&params, "second", "s.cpp", 8);
  EXPECT_EQ(Message(), "\n");
  EXPECT_TRUE(Logged(0, "! second (line 8 of file s.cpp).\n"));
  // Without a block the report is only logged; the macro names this file without its folders.
  ReportError(nullptr, "nowhere", "e.cpp", 6);
  EXPECT_TRUE(Logged(0, "! nowhere\n (line 6 of file e.cpp).\n"));
  EXPECT_STREQ(SourceFileBaseName("C:\\src\\actions\\mover.cpp"), "mover.cpp");
  EXPECT_STREQ(SourceFileBaseName("/work/src/a/b.cpp"), "b.cpp");
  HF_REPORT_ERROR(nullptr, "via macro");
  EXPECT_TRUE(HasLineContaining(log, "of file message_handover_test.cpp)."));
}

// The text goes to the block unless a message is there; the number always does, and no error clears it.
TEST_F(MessageHandoverTest, ReportSystemErrorPlacesTheSystemTextAndTheNumber) {
  const std::string systemText = SystemText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(systemText.empty());
  EXPECT_EQ(ReportSystemError(&params, ERROR_FILE_NOT_FOUND, "CreateFile of job.ps", "open.cpp", 10), 2u);
  const std::string expected = "2: " + systemText + "\nCreateFile of job.ps\n";
  EXPECT_EQ(Block(), std::make_tuple(2, expected, expected.size() + 1, 1u));
  EXPECT_TRUE(Logged(0, "! CreateFile of job.ps failed at line 10 of file open.cpp."));
  EXPECT_TRUE(Logged(0, "  System message is: 2: " + systemText + "\n"));
  EXPECT_EQ(ReportSystemError(&params, ERROR_ACCESS_DENIED, nullptr, "h.cpp", 14), 5u);
  EXPECT_EQ(std::make_pair(params.errorCode, Message()), std::make_pair(5, expected));
  log.lines.clear();
  EXPECT_EQ(ReportSystemError(&params, 0, "nothing", "f.cpp", 11), 0u);
  EXPECT_TRUE(params.errorCode == 0 && log.lines.empty());

  const DWORD unlisted = 0x2FFFFFF0;
  ASSERT_TRUE(SystemText(unlisted).empty());
  TearDown();
  EXPECT_EQ(ReportSystemError(&params, unlisted, "Odd call", "g.cpp", 12), unlisted);
  const std::string number = std::to_string(static_cast<int>(unlisted));
  EXPECT_EQ(Message(), number + ": ? Unknown Error ?\nOdd call\n");
  EXPECT_TRUE(Logged(0, "! Odd call failed: System message is: #" + number + " (Unlisted)\n"));
  EXPECT_TRUE(Logged(0, "  System message is: " + number + ": ? Unknown Error ?\n"));
}

TEST_F(MessageHandoverTest, ConcurrentSystemErrorReportsAreAllMade) {
  std::atomic<int> ready{0}, wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (++ready; ready.load() < 4;) std::this_thread::yield();  // all start together, so that reports overlap
      for (int i = 0; i < 2000; ++i)
        wrong += ReportSystemError(nullptr, ERROR_ACCESS_DENIED, "parallel", "i.cpp", i) != ERROR_ACCESS_DENIED;
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(MessageHandoverTest, AReportTakenFromOneBlockArrivesInAnotherAsItWasMade) {
  PluginParameters scanner;
  InitialiseDefaultParameters(scanner);
  EXPECT_FALSE(TakeBlockReport(scanner).has_value());
  HandOverMessage(&scanner, nullptr, "Script File is missing.");
  std::optional<BlockReport> message = TakeBlockReport(scanner);
  ASSERT_TRUE(message.has_value());
  HF_REPORT_SYSTEM_ERROR(&scanner, ERROR_ACCESS_DENIED, "FindFirstFile");
  std::optional<BlockReport> error = TakeBlockReport(scanner);
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(scanner.errorCode == 0 && scanner.messageText == nullptr);

  // The host's block takes one at a time, and only when it has room (a pending error: end to end).
  EXPECT_TRUE(PlaceBlockReport(&params, *message));
  EXPECT_EQ(Block(), std::make_tuple(0, "Script File is missing.", 23u, 1u));
  EXPECT_FALSE(PlaceBlockReport(&params, *error));
  params.messageAcknowledged = 1;
  EXPECT_TRUE(PlaceBlockReport(&params, *error));
  const std::string text = "5: " + SystemText(ERROR_ACCESS_DENIED) + "\nFindFirstFile\n";
  EXPECT_EQ(Block(), std::make_tuple(5, text, text.size() + 1, 1u));  // an error's length counts its NUL
}

// An unusable field, or an unusable pointer in it (then cleared), is logged with the caller's place.
TEST_F(MessageHandoverTest, IsValidPointerRejectsNullAndAllOnes) {
  int value = 7;
  void* fields[] = {kAllOnes, &value};
  EXPECT_FALSE(IsValidPointer(&fields[0], "j.cpp", 21));
  EXPECT_EQ(fields[0], nullptr);
  EXPECT_FALSE(IsValidPointer(nullptr, "j.cpp", 22));
  EXPECT_TRUE(Logged(3, InvalidPointerLine(kAllOnes, 21)));
  EXPECT_TRUE(Logged(3, InvalidPointerLine(nullptr, 22)));
  log.lines.clear();
  EXPECT_TRUE(IsValidPointer(&fields[1], "j.cpp", 24));
  EXPECT_EQ(fields[1], &value);
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace

}  // namespace hf
