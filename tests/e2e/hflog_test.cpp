// hflog.exe as a user runs it: records written by the log channel come out as
// one line each, it stops after --count records or --seconds, and it refuses
// bad arguments and a mailslot that another reader already has.
#include "host/log_channel.h"

#include "base/file_io.h"
#include "base/log.h"
#include "base/win32/scoped_handle.h"
#include "tests/e2e/host_run.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace hf {

namespace {

constexpr DWORD kStartWaitMs = 30000;
constexpr DWORD kExitWaitMs = 60000;

// The build gives Unix paths; under Wine they are reached through drive Z:.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string HflogPath() { return WindowsPath(std::string(HF_TOOLS_DIR) + "/hflog.exe"); }

struct HflogRun {
  ScopedHandle process;
  std::string outputPath;
  std::string errorPath;
};

std::string TempFile(const char* name) {
  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name + std::to_string(::GetCurrentProcessId()) + ".txt";
}

ScopedHandle InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return ScopedHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Start(const std::string& arguments, HflogRun& run) {
  run.outputPath = TempFile("hflog_out_");
  run.errorPath = TempFile("hflog_err_");
  ScopedHandle output = InheritableFile(run.outputPath);
  ScopedHandle errors = InheritableFile(run.errorPath);
  if (!output || !errors) return false;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = output.get();
  startup.hStdError = errors.get();
  std::string commandLine = "\"" + HflogPath() + "\" " + arguments;
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
    return false;
  ::CloseHandle(started.hThread);
  run.process.reset(started.hProcess);
  return true;
}

// Waits for the process to end; its exit code, or -1 when it did not end in time.
long Finish(HflogRun& run) {
  if (::WaitForSingleObject(run.process.get(), kExitWaitMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(run.process.get(), 99);
    return -1;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(run.process.get(), &code);
  return static_cast<long>(code);
}

std::vector<std::string> Lines(const std::string& path) {
  std::string text;
  ReadWholeFile(path, text);
  return host_run::Lines(text);
}

// Waits until hflog has created the mailslot (a client can open it).
bool WaitForMailslot() {
  const std::string path = LogMailslotPath(".");
  for (DWORD waited = 0; waited < kStartWaitMs; waited += 50) {
    ScopedHandle client(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (client) return true;
    ::Sleep(50);
  }
  return false;
}

class HflogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseLogChannelHandle();
    ::DeleteFileA(run.outputPath.c_str());
    ::DeleteFileA(run.errorPath.c_str());
  }
  HflogRun run;
};

TEST_F(HflogTest, PrintsEachRecordOnOneLineAndStopsAfterCount) {
  InitialiseLogChannel();
  LogSettingsScope settings(2);
  ASSERT_TRUE(Start("--count 2 --seconds 120", run)) << ::GetLastError();
  ASSERT_TRUE(WaitForMailslot());
  Log(LogLevel::kProgress, "first record %d", 1);
  Log(LogLevel::kDetail, "second\nline");
  Log(LogLevel::kError, "third, after the count");
  ASSERT_EQ(Finish(run), 0);

  const std::vector<std::string> lines = Lines(run.outputPath);
  ASSERT_EQ(lines.size(), 2u);
  const std::regex first(
      "^100001 \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d 1 \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [0-9a-f]{5}:[0-9a-f]{5} 01/02 "
      "first record 1$");
  EXPECT_TRUE(std::regex_match(lines[0], first)) << lines[0];
  EXPECT_EQ(lines[1].substr(0, 7), "100002 ");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 19), " 02/02 second\\nline") << lines[1];
}

TEST_F(HflogTest, StopsAfterTheGivenSecondsWhenNothingArrives) {
  ASSERT_TRUE(Start("--seconds 1", run)) << ::GetLastError();
  EXPECT_EQ(Finish(run), 0);
  EXPECT_TRUE(Lines(run.outputPath).empty());
}

TEST_F(HflogTest, HelpAndBadArguments) {
  ASSERT_TRUE(Start("--help", run));
  EXPECT_EQ(Finish(run), 0);
  std::vector<std::string> help = Lines(run.outputPath);
  ASSERT_FALSE(help.empty());
  EXPECT_EQ(help[0], "Usage: hflog [--count N] [--seconds S] [--help]");

  for (const char* bad : {"--count", "--count x", "--count 0", "--seconds -1", "--verbose"}) {
    HflogRun wrong;
    ASSERT_TRUE(Start(bad, wrong));
    EXPECT_EQ(Finish(wrong), 2) << bad;
    EXPECT_TRUE(Lines(wrong.outputPath).empty()) << bad;
    ::DeleteFileA(wrong.outputPath.c_str());
    ::DeleteFileA(wrong.errorPath.c_str());
  }
}

TEST_F(HflogTest, RefusesAMailslotThatIsAlreadyTaken) {
  MailslotReader reader;
  ASSERT_TRUE(reader.ok()) << reader.error();
  ASSERT_TRUE(Start("--seconds 30", run));
  EXPECT_EQ(Finish(run), 1);
  const std::vector<std::string> errors = Lines(run.errorPath);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0].rfind("hflog: cannot create " + LogMailslotPath("."), 0), 0u) << errors[0];
}

}  // namespace

}  // namespace hf
