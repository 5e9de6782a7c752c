// The remote debug channel read back from the real mailslot: levels, start-up, reopen and retry.
#include "host/log_channel.h"

#include "base/log.h"
#include "formats/log_record.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace hf {

namespace {

constexpr DWORD kWaitMs = 20000;
using Texts = std::vector<std::string>;

std::vector<std::string> debuggerOutput;
void CaptureDebuggerOutput(const char* text) { debuggerOutput.emplace_back(text); }

int writerCalls = 0;
int writerFailuresLeft = 0;
bool FailingWriter(void* mailslot, const void* bytes, unsigned long length) {
  ++writerCalls;
  if (writerFailuresLeft > 0) {
    --writerFailuresLeft;
    return false;
  }
  DWORD written = 0;
  return ::WriteFile(mailslot, bytes, length, &written, nullptr) != FALSE;
}

std::string Today() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
  return text;
}

// Records of different lengths per thread, so that mixed records would show.
std::string Filler(int thread) { return std::string(40 + thread * 10, static_cast<char>('a' + thread)); }

class LogChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    debuggerOutput.clear();
    writerCalls = 0;
    writerFailuresLeft = 0;
    SetLogChannelDebugOutput(CaptureDebuggerOutput);
    InitialiseLogChannel();
    reader = std::make_unique<MailslotReader>();
    ASSERT_TRUE(reader->ok()) << "mailslot " << reader->path() << " error " << reader->error();
  }
  void TearDown() override {
    SetLogChannelWriter(nullptr);
    SetLogChannelDebugOutput(nullptr);
    reader.reset();
  }

  // Everything sent before this call, once it has arrived.
  std::vector<LogRecord> Received() {
    EXPECT_TRUE(reader->Sync(kWaitMs));
    return reader->Drain();
  }

  // The one record that has arrived, or a failure.
  LogRecord OnlyRecord() {
    std::vector<LogRecord> records = Received();
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? LogRecord() : records[0];
  }

  std::unique_ptr<MailslotReader> reader;
};

bool Carries(const LogRecord& record, const std::string& part) { return record.text.find(part) != std::string::npos; }

// The layout is pinned through the log viewer; here the date, the writer's ids and the level rules. The level
// byte is clamped to 0..3; the sender sends at any level, but only with a two-character tag.
TEST_F(LogChannelTest, OnlyMessagesUpToTheLevelAreSentCountedAndClamped) {
  LogSettingsScope settings(1);
  const std::string dayBefore = Today();
  Log(LogLevel::kDetail, "too detailed");
  Log(LogLevel::kProgress, "progress");
  Log(LogLevel::kTrace, "trace");
  Log(static_cast<LogLevel>(-4), "negative");
  SendLogRecord("Q", ".", "short tag", 0);
  SendLogRecord(nullptr, ".", "no tag", 0);
  SendLogRecord("QL", ".", "direct at level 3", 3);
  const std::string dayAfter = Today();
  std::vector<LogRecord> records = Received();
  ASSERT_EQ(records.size(), 3u);
  const char* texts[] = {"01/01 progress", "00/01 negative", "03/01 direct at level 3"};
  const char levels[] = {1, 0, 3};
  char ids[32];
  std::snprintf(ids, sizeof ids, "%05lx:%05lx ", static_cast<unsigned long>(::GetCurrentProcessId()),
                static_cast<unsigned long>(::GetCurrentThreadId()));
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].text.substr(13), ids + std::string(texts[i]));
    EXPECT_TRUE(records[i].raw.substr(4, 10) == dayBefore || records[i].raw.substr(4, 10) == dayAfter);
    EXPECT_EQ(records[i].raw[21], levels[i]) << texts[i];
    EXPECT_EQ(records[i].sequence, 0x100001u + i) << texts[i];
  }

  settings.Set(3, 2);  // a logging value other than one
  Log(LogLevel::kError, "must not arrive");
  settings.Set(-3, 1);  // a negative level switches logging off and gives its magnitude less one
  EXPECT_EQ(CurrentLogLevel(), 2);
  Log(LogLevel::kError, "must not arrive either");
  settings.Set(3, 1);
  Log(LogLevel::kError, "arrives");
  EXPECT_TRUE(Carries(OnlyRecord(), "arrives"));
}

class RemoteStartTest : public LogChannelTest {
 protected:
  RegistryValueScope userDomain{HKEY_CURRENT_USER, "SOFTWARE\\Vorlan", "RSMv3Domain"};
  RegistryValueScope machineDomain{HKEY_LOCAL_MACHINE, "SOFTWARE\\Vorlan", "RSMv3Domain"};
};

TEST_F(RemoteStartTest, MissingDomainIsWrittenAsDotAndStartUpRecordsArrive) {
  ASSERT_TRUE(userDomain.Delete());
  ASSERT_TRUE(machineDomain.Delete());
  LogSettingsScope settings(0);  // start-up records are sent whatever the level
  StartRemoteLogChannel("HFA");

  DWORD type = 0;
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, "SOFTWARE\\Vorlan", "RSMv3Domain", type, bytes));
  EXPECT_EQ(std::make_pair(type, std::string(bytes.begin(), bytes.end())),
            std::make_pair(static_cast<DWORD>(REG_SZ), std::string(".\0", 2)));

  std::vector<LogRecord> records = Received();
  ASSERT_EQ(records.size(), 2u);
  // The library's own build date and time, as the compiler writes them (the test may be built another day).
  const std::regex loaded(
      R"( 02/00 \* Module HFA i/f rev 5 loaded\. Build date/time: [A-Z][a-z]{2} [ 0-9]\d \d{4}  \d\d:\d\d:\d\d\n$)");
  EXPECT_TRUE(std::regex_search(records[0].text, loaded)) << records[0].text;
  const std::string server = " 02/00   RSM is using Domain/workgroup/local machine : \".\"\n";
  ASSERT_GE(records[1].text.size(), server.size());
  EXPECT_EQ(records[1].text.substr(records[1].text.size() - server.size()), server);
}

TEST_F(RemoteStartTest, DisableRsmInAnyCaseOrAStartWhileLoggingIsOffTurnsTheChannelOff) {
  const std::pair<const char*, DWORD> rows[] = {{"DisableRsm", 1}, {"disablersm", 1}, {".", 0}};
  for (const auto& [domain, loggingAtStart] : rows) {
    SCOPED_TRACE(std::string(domain) + " logging " + std::to_string(loggingAtStart));
    InitialiseLogChannel();
    ASSERT_TRUE(userDomain.SetString(domain));
    LogSettingsScope settings(3, loggingAtStart);
    StartRemoteLogChannel("HFA");
    settings.Set(3, 1);
    Log(LogLevel::kError, "must not arrive");
    SendLogRecord("QL", ".", "nor this", 0);
    EXPECT_TRUE(Received().empty());
  }
}

TEST_F(LogChannelTest, AFailedWriteIsRetriedOnceAfterReopeningAndASecondFailureReportedOnce) {
  LogSettingsScope settings(0);
  SetLogChannelWriter(FailingWriter);
  writerFailuresLeft = 1;
  Log(LogLevel::kError, "second attempt");
  EXPECT_TRUE(Carries(OnlyRecord(), "second attempt"));
  EXPECT_EQ(std::make_pair(writerCalls, debuggerOutput), std::make_pair(2, Texts{}));

  writerFailuresLeft = 100;
  Log(LogLevel::kError, "lost");
  const Texts reported = {"*** DoMailSlotClient - WriteFile failed\n"};
  EXPECT_EQ(std::make_pair(writerCalls, debuggerOutput), std::make_pair(4, reported));

  Log(LogLevel::kError, "lost too");
  EXPECT_EQ(std::make_pair(writerCalls, debuggerOutput), std::make_pair(5, reported));  // no reopen, no retry

  writerFailuresLeft = 0;
  Log(LogLevel::kError, "written again");
  const LogRecord record = OnlyRecord();
  EXPECT_TRUE(Carries(record, "written again"));
  EXPECT_EQ(record.sequence, 0x100004u);  // the lost records were numbered too
}

TEST_F(LogChannelTest, ReopenThatFailsIsReportedAndTheNextRecordOpensAfresh) {
  LogSettingsScope settings(0);
  reader.reset();
  const std::string path = LogMailslotPath(".");
  ScopedHandle server(::CreateMailslotA(path.c_str(), 0, 0, nullptr));
  ASSERT_TRUE(server.valid()) << ::GetLastError();
  Log(LogLevel::kError, "opens the handle");
  server.reset();  // the mailslot goes once the channel lets its handle go

  SetLogChannelWriter(FailingWriter);
  writerFailuresLeft = 1;
  Log(LogLevel::kError, "lost");
  EXPECT_EQ(std::make_pair(writerCalls, debuggerOutput),
            std::make_pair(1, Texts{"*** DoMailSlotClient - Cannot reopen MailSlot!\n"}));

  reader = std::make_unique<MailslotReader>();
  ASSERT_TRUE(reader->ok()) << reader->error();
  Log(LogLevel::kError, "after the reader is back");
  EXPECT_TRUE(Carries(OnlyRecord(), "after the reader is back"));
}

TEST_F(LogChannelTest, RecordsOfConcurrentThreadsArriveWholeAndNumberedInOrder) {
  LogSettingsScope settings(1);
  constexpr int kThreads = 4;
  constexpr int kEach = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) Log(LogLevel::kProgress, "thread %d record %d %s", t, i, Filler(t).c_str());
    });
  for (auto& thread : threads) thread.join();
  std::vector<LogRecord> records = Received();
  ASSERT_EQ(records.size(), static_cast<size_t>(kThreads * kEach));

  std::vector<int> next(kThreads, 0);
  for (size_t n = 0; n < records.size(); ++n) {
    const std::string& text = records[n].text;
    ASSERT_EQ(records[n].sequence, 0x100001u + n);
    const size_t at = text.find(" thread ");
    ASSERT_TRUE(at != std::string::npos && text[at + 8] >= '0' && text[at + 8] < '0' + kThreads) << text;
    const int t = text[at + 8] - '0';
    ASSERT_EQ(text.substr(at),
              " thread " + std::to_string(t) + " record " + std::to_string(next[t]++) + " " + Filler(t));
  }
}

}  // namespace

}  // namespace hf
