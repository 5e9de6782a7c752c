// Messages and error reports placed in the block: lengths, ownership, the
// unacknowledged-message rule, system error texts, and the pointer check.
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
  bool Logged(int level, const std::string& text) const { return log.Has(level, text); }

  PluginParameters params;
  LogCapture log;
};

TEST_F(MessageHandoverTest, HandOverMessageCountsTheTextWithoutItsNul) {
  HandOverMessage(&params, "Sent: %s", "job.ps");
  char* first = params.messageText;
  EXPECT_EQ(Message(), "job.ps");
  EXPECT_EQ(params.messageLength, 6u);
  EXPECT_EQ(params.messageOwned, 1u);
  EXPECT_EQ(params.messageAcknowledged, 0u);
  EXPECT_EQ(::GlobalSize(params.messageText), 8u);  // text + 2 bytes
  EXPECT_TRUE(Logged(0, "Sent: job.ps"));

  // An acknowledged message is freed and replaced; without a log format
  // nothing is logged.
  params.messageAcknowledged = 1;
  log.lines.clear();
  HandOverMessage(&params, nullptr, std::string("plain"));
  EXPECT_EQ(Message(), "plain");
  EXPECT_EQ(params.messageLength, 5u);
  EXPECT_EQ(params.messageAcknowledged, 0u);
  EXPECT_TRUE(log.lines.empty());
  if (params.messageText != first) {
    EXPECT_FALSE(IsLiveGlobalBlock(first));
  }
}

TEST_F(MessageHandoverTest, AnUnacknowledgedMessageIsNeverReplaced) {
  HandOverMessage(&params, nullptr, "first");
  char* first = params.messageText;
  HandOverMessage(&params, nullptr, "second");
  EXPECT_EQ(params.messageText, first);
  EXPECT_EQ(Message(), "first");
  EXPECT_EQ(params.messageLength, 5u);
  EXPECT_TRUE(Logged(2, kNotAcknowledged));

  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, first);
  EXPECT_TRUE(IsLiveGlobalBlock(first));
  EXPECT_TRUE(Logged(0, kNotAcknowledged));
}

TEST_F(MessageHandoverTest, AnEmptyMessageCountsAsTaken) {
  HandOverMessage(&params, nullptr, "");
  ASSERT_NE(params.messageText, nullptr);
  EXPECT_EQ(params.messageLength, 0u);
  HandOverMessage(&params, nullptr, "next");
  EXPECT_EQ(Message(), "next");

  params.messageAcknowledged = 0;
  params.messageText[0] = '\0';
  char* emptied = params.messageText;
  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(emptied));
}

TEST_F(MessageHandoverTest, ATextOfTheHostIsDroppedFromTheBlockButNotFreed) {
  char hostText[] = "host's own";
  params.messageText = hostText;
  params.messageOwned = 0;
  params.messageAcknowledged = 1;
  params.messageLength = 10;
  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, nullptr);
  EXPECT_EQ(params.messageLength, 0u);
  EXPECT_EQ(params.messageAcknowledged, 0u);
  EXPECT_STREQ(hostText, "host's own");
}

TEST_F(MessageHandoverTest, ReleaseFreesAnAcknowledgedMessageAndClearsTheFields) {
  HandOverMessage(&params, nullptr, "data");
  char* text = params.messageText;
  params.messageAcknowledged = 1;
  ReleaseHandedOverMessage(&params);
  EXPECT_EQ(params.messageText, nullptr);
  EXPECT_EQ(params.messageLength, 0u);
  EXPECT_EQ(params.messageOwned, 0u);
  EXPECT_EQ(params.messageAcknowledged, 0u);
  EXPECT_FALSE(IsLiveGlobalBlock(text));

  log.lines.clear();
  ReleaseHandedOverMessage(&params);  // nothing there: nothing happens
  ReleaseHandedOverMessage(nullptr);
  EXPECT_TRUE(log.lines.empty());
}

// What ReportError leaves in the block, by what the block held before.
TEST_F(MessageHandoverTest, ReportErrorPlacesItsTextOnlyWhereNothingIsPending) {
  enum Before { kNothing, kPendingError, kUntakenMessage, kTakenMessage };
  const std::string longText(2000, 'x');
  const struct {
    const char* name;
    Before before;
    const char* text;
    std::string message;  // afterwards
    uint32_t length;
    std::string logged;
  } rows[] = {
      {"the text with its line feed and NUL", kNothing, "Cannot move job.ps", "Cannot move job.ps\n", 20,
       "! Cannot move job.ps\n (line 7 of file r.cpp).\n"},
      {"a long text cut to 1024 bytes with the NUL", kNothing, longText.c_str(), std::string(1023, 'x'), 1024,
       "! " + std::string(1023, 'x') + " (line 7 of file r.cpp).\n"},
      {"no text: the line feed alone", kNothing, nullptr, "\n", 2, "! \n (line 7 of file r.cpp).\n"},
      // Taken by the host, but the error is still pending.
      {"a pending error is kept", kPendingError, "second", "first\n", 7, "! second (line 7 of file r.cpp).\n"},
      {"an untaken message is kept", kUntakenMessage, "failed", "data for the host", 17, kNotAcknowledged},
      {"a taken message is replaced", kTakenMessage, "failed again", "failed again\n", 14,
       "! failed again\n (line 7 of file r.cpp).\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TearDown();  // frees what the row before left
    InitialiseDefaultParameters(params);
    if (row.before == kPendingError) ReportError(&params, "first", "a.cpp", 1);
    if (row.before == kUntakenMessage || row.before == kTakenMessage)
      HandOverMessage(&params, nullptr, "data for the host");
    params.messageAcknowledged = row.before == kPendingError || row.before == kTakenMessage ? 1 : 0;
    char* earlier = params.messageText;
    log.lines.clear();
    ReportError(&params, row.text, "r.cpp", 7);
    EXPECT_EQ(params.errorCode, -1);
    EXPECT_EQ(Message(), row.message);
    EXPECT_EQ(params.messageLength, row.length);
    EXPECT_EQ(params.messageOwned, 1u);
    EXPECT_TRUE(Logged(0, row.logged));
    if (row.before == kPendingError || row.before == kUntakenMessage) {
      EXPECT_EQ(params.messageText, earlier);
    } else if (row.before == kTakenMessage) {
      EXPECT_EQ(params.messageAcknowledged, 0u);
      if (params.messageText != earlier) {
        EXPECT_FALSE(IsLiveGlobalBlock(earlier));
      }
    }
  }
  // Without a block the report is only logged.
  log.lines.clear();
  ReportError(nullptr, "nowhere", "e.cpp", 6);
  EXPECT_TRUE(Logged(0, "! nowhere\n (line 6 of file e.cpp).\n"));
}

TEST_F(MessageHandoverTest, ReportSystemErrorPlacesTheSystemText) {
  std::string systemText = SystemText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(systemText.empty());
  EXPECT_EQ(ReportSystemError(&params, ERROR_FILE_NOT_FOUND, "CreateFile of job.ps", "open.cpp", 10), 2u);
  EXPECT_EQ(params.errorCode, 2);
  std::string expected = "2: " + systemText + "\nCreateFile of job.ps\n";
  EXPECT_EQ(Message(), expected);
  EXPECT_EQ(params.messageLength, expected.size() + 1);
  EXPECT_EQ(params.messageOwned, 1u);
  EXPECT_TRUE(Logged(0, "! CreateFile of job.ps failed at line 10 of file open.cpp."));
  EXPECT_TRUE(Logged(0, "  System message is: 2: " + systemText + "\n"));
}

TEST_F(MessageHandoverTest, ReportSystemErrorNamesAnUnlistedNumber) {
  const DWORD unlisted = 0x2FFFFFF0;
  ASSERT_TRUE(SystemText(unlisted).empty());
  EXPECT_EQ(ReportSystemError(&params, unlisted, "Odd call", "g.cpp", 12), unlisted);
  std::string number = std::to_string(static_cast<int>(unlisted));
  EXPECT_EQ(Message(), number + ": ? Unknown Error ?\nOdd call\n");
  EXPECT_TRUE(Logged(0, "! Odd call failed: System message is: #" + number + " (Unlisted)\n"));
  EXPECT_TRUE(Logged(0, "  System message is: " + number + ": ? Unknown Error ?\n"));
}

TEST_F(MessageHandoverTest, ReportSystemErrorKeepsAnEarlierMessageButTakesTheNumberOrClearsIt) {
  ReportError(&params, "earlier", "h.cpp", 13);
  EXPECT_EQ(ReportSystemError(&params, ERROR_ACCESS_DENIED, nullptr, "h.cpp", 14), 5u);
  EXPECT_EQ(Message(), "earlier\n");
  EXPECT_EQ(params.errorCode, 5);

  EXPECT_EQ(ReportSystemError(nullptr, ERROR_ACCESS_DENIED, "no block", "h.cpp", 15), 5u);

  // Without an error there is nothing to report, and the code is cleared.
  log.lines.clear();
  EXPECT_EQ(ReportSystemError(&params, 0, "nothing", "f.cpp", 11), 0u);
  EXPECT_EQ(params.errorCode, 0);
  EXPECT_EQ(Message(), "earlier\n");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(MessageHandoverTest, ConcurrentSystemErrorReportsAreAllMade) {
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  std::vector<int> zeroResults(kThreads, 0);
  std::vector<std::thread> threads;
  std::atomic<int> ready{0};
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &zeroResults, &ready] {
      // All threads start reporting together, so that their reports overlap.
      ++ready;
      while (ready.load() < kThreads) std::this_thread::yield();
      for (int i = 0; i < kEach; ++i) {
        if (ReportSystemError(nullptr, ERROR_ACCESS_DENIED, "parallel", "i.cpp", i) != ERROR_ACCESS_DENIED)
          ++zeroResults[t];
      }
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(zeroResults[t], 0) << "thread " << t;
}

TEST_F(MessageHandoverTest, AReportTakenFromOneBlockArrivesInAnotherAsItWasMade) {
  PluginParameters scanner;
  InitialiseDefaultParameters(scanner);
  EXPECT_FALSE(TakeBlockReport(scanner).has_value());
  HandOverMessage(&scanner, nullptr, "Script File is missing.");
  std::optional<BlockReport> message = TakeBlockReport(scanner);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(scanner.messageText, nullptr);
  HF_REPORT_SYSTEM_ERROR(&scanner, ERROR_ACCESS_DENIED, "FindFirstFile");
  std::optional<BlockReport> error = TakeBlockReport(scanner);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(scanner.errorCode, 0);
  EXPECT_EQ(scanner.messageText, nullptr);

  // The host's block takes one at a time, and only when it has room.
  EXPECT_TRUE(PlaceBlockReport(&params, *message));
  EXPECT_EQ(Message(), "Script File is missing.");
  EXPECT_EQ(params.messageLength, 23u);
  EXPECT_EQ(params.errorCode, 0);
  EXPECT_FALSE(PlaceBlockReport(&params, *error));
  params.messageAcknowledged = 1;
  EXPECT_TRUE(PlaceBlockReport(&params, *error));
  EXPECT_EQ(params.errorCode, static_cast<int32_t>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Message(),
            std::to_string(ERROR_ACCESS_DENIED) + ": " + SystemText(ERROR_ACCESS_DENIED) + "\nFindFirstFile\n");
  EXPECT_EQ(params.messageLength, Message().size() + 1);  // an error's length counts its NUL
  EXPECT_FALSE(PlaceBlockReport(&params, *message));      // an error is pending
}

TEST_F(MessageHandoverTest, IsValidPointerRejectsNullAndAllOnes) {
  void* field = nullptr;
  EXPECT_FALSE(IsValidPointer(&field, "j.cpp", 20));
  EXPECT_TRUE(Logged(3, InvalidPointerLine(nullptr, 20)));

  field = kAllOnes;
  EXPECT_FALSE(IsValidPointer(&field, "j.cpp", 21));
  EXPECT_EQ(field, nullptr);
  EXPECT_TRUE(Logged(3, InvalidPointerLine(kAllOnes, 21)));

  // An unusable field address is reported and not touched.
  EXPECT_FALSE(IsValidPointer(nullptr, "j.cpp", 22));
  EXPECT_FALSE(IsValidPointer(kAllOnes, "j.cpp", 23));
  EXPECT_TRUE(Logged(3, InvalidPointerLine(kAllOnes, 23)));

  int value = 7;
  void* valid = &value;
  log.lines.clear();
  EXPECT_TRUE(IsValidPointer(&valid, "j.cpp", 24));
  EXPECT_EQ(valid, &value);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(MessageHandoverTest, ReportsNameTheSourceFileWithoutItsFolders) {
  EXPECT_STREQ(SourceFileBaseName("C:\\src\\actions\\mover.cpp"), "mover.cpp");
  EXPECT_STREQ(SourceFileBaseName("/work/src/a/b.cpp"), "b.cpp");
  EXPECT_STREQ(SourceFileBaseName("plain.cpp"), "plain.cpp");
  HF_REPORT_ERROR(&params, "via macro");
  EXPECT_TRUE(HasLineContaining(log, "of file message_handover_test.cpp)."));
}

}  // namespace

}  // namespace hf
