// hflog.exe as a user runs it: one line per record, --count and --seconds, and what it refuses.
#include "host/log_channel.h"

#include "base/log.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/host_run.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

namespace hf {
namespace {

constexpr DWORD kRunLimitMs = 60000;

// hflog's own lines (not its "hflog: ..." notes on standard error).
std::vector<std::string> RecordLines(const CapturedProcess& run) {
  std::vector<std::string> lines;
  for (const std::string& line : Lines(run.output))
    if (!line.empty() && line.rfind("hflog: ", 0) != 0) lines.push_back(line);
  return lines;
}

CapturedProcess RunHflog(const std::string& arguments) {
  std::string path = std::string(HF_TOOLS_DIR) + "/hflog.exe";  // a Unix path, reached through drive Z:
  if (path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return RunCaptured(Quoted(path) + " " + arguments, kRunLimitMs);
}

class HflogTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseLogChannelHandle(); }
};

TEST_F(HflogTest, PrintsEachRecordOnOneLineAndStopsAfterCount) {
  InitialiseLogChannel();
  LogSettingsScope settings(2);
  CapturedProcess run;
  std::thread hflog([&run] { run = RunHflog("--count 2 --seconds 120"); });
  // Once hflog has made the mailslot, a client can open it.
  bool open = false;
  for (DWORD started = ::GetTickCount(); !open && ::GetTickCount() - started < 30000; ::Sleep(50))
    open = ScopedHandle(::CreateFileA(LogMailslotPath(".").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
               .valid();
  Log(LogLevel::kProgress, "first record %d", 1);
  Log(LogLevel::kDetail, "second\nline");
  Log(LogLevel::kError, "third, after the count");
  hflog.join();
  ASSERT_TRUE(open);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  const std::vector<std::string> lines = RecordLines(run);
  ASSERT_EQ(lines.size(), 2u) << run.output;
  EXPECT_TRUE(std::regex_match(lines[0],
                               std::regex("^100001 \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d 1 \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "
                                          "[0-9a-f]{5}:[0-9a-f]{5} 01/02 first record 1$")))
      << lines[0];
  EXPECT_EQ(lines[1].substr(0, 7), "100002 ");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 19), " 02/02 second\\nline") << lines[1];
}

TEST_F(HflogTest, StopsAfterTheGivenSecondsAndRefusesBadArgumentsAndATakenMailslot) {
  const std::pair<const char*, DWORD> cases[] = {{"--seconds 1", 0}, {"--count", 2},      {"--count x", 2},
                                                 {"--count 0", 2},   {"--seconds -1", 2}, {"--verbose", 2}};
  for (const auto& [arguments, exitCode] : cases) {
    CapturedProcess run = RunHflog(arguments);
    EXPECT_EQ(run.exitCode, exitCode) << arguments << "\n" << run.output;
    EXPECT_TRUE(RecordLines(run).empty() || exitCode != 0) << run.output;
  }
  CapturedProcess help = RunHflog("--help");
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_EQ(help.output.rfind("Usage: hflog [--count N] [--seconds S] [--help]", 0), 0u) << help.output;
  MailslotReader reader;  // the mailslot is taken
  ASSERT_TRUE(reader.ok()) << reader.error();
  CapturedProcess taken = RunHflog("--seconds 30");
  EXPECT_EQ(taken.exitCode, 1u);
  EXPECT_EQ(taken.output.rfind("hflog: cannot create " + LogMailslotPath("."), 0), 0u) << taken.output;
}

}  // namespace
}  // namespace hf
