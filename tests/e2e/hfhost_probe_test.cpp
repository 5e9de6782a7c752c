// hfhost as a user runs it: the probe of the real DLL, help and bad command lines.
#include "tests/e2e/host_run.h"

#include <gtest/gtest.h>

namespace hf {

namespace {

using host_run::Quoted;

constexpr DWORD kTimeLimitMs = 60000;

std::string Normalised(std::string text) {
  std::string plain;
  for (char c : text)
    if (c != '\r') plain += c;
  return plain;
}

TEST(HfhostProbeTest, ProbeShowsTheGateThenTheInitialisedAnswers) {
  CapturedProcess run = RunCaptured(Quoted(HF_HOST_PATH) + " --probe " + Quoted(HF_DLL_PATH), kTimeLimitMs);
  ASSERT_TRUE(run.started) << run.startError;
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  std::string output = Normalised(run.output);
  const std::string expected =
      "GetVersion (10): result -1\n"
      "  version 5, versionFlag 0, versionByte 0\n"
      "  errorCode -1\n"
      "  message (messageLength 77, messageOwned 1): "
      "\"Selector rejected - InitializeHandler has not yet been called successfully!\\n\"\n"
      "GetCaps (11): result -1\n"
      "  dwFlags 0x00000000, capsExtra1 -1, capsExtra2 -1\n";
  EXPECT_NE(output.find(expected), std::string::npos) << output;
  const std::string initialised =
      "InitializeHandler (0): result 0\n"
      "  pluginName \"Hot Folder\"\n";
  EXPECT_NE(output.find(initialised), std::string::npos) << output;
  const std::string answers =
      "GetVersion (10): result 0\n"
      "  version 5, versionFlag 1, versionByte 2\n"
      "  errorCode -1\n"
      "  message: none\n"
      "GetCaps (11): result 0\n"
      "  dwFlags 0x00024103, capsExtra1 -1, capsExtra2 -1\n";
  EXPECT_NE(output.find(answers), std::string::npos) << output;
  EXPECT_NE(output.find("ShutdownHandler (1): result 0\n"), std::string::npos) << output;
}

TEST(HfhostProbeTest, AMissingDllIsReportedWithItsOwnExitStatus) {
  CapturedProcess run = RunCaptured(Quoted(HF_HOST_PATH) + " --probe no-such-plugin.dll", kTimeLimitMs);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find("cannot load no-such-plugin.dll"), std::string::npos) << run.output;
}

TEST(HfhostProbeTest, HelpAndBadCommandLines) {
  CapturedProcess help = RunCaptured(Quoted(HF_HOST_PATH) + " --help", kTimeLimitMs);
  ASSERT_TRUE(help.finished);
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_EQ(Normalised(help.output).rfind("Usage: hfhost --probe DLL\n", 0), 0u) << help.output;

  for (const char* arguments : {"", " --probe", " --frobnicate"}) {
    CapturedProcess bad = RunCaptured(Quoted(HF_HOST_PATH) + arguments, kTimeLimitMs);
    ASSERT_TRUE(bad.finished);
    EXPECT_EQ(bad.exitCode, 3u) << arguments;
    EXPECT_NE(bad.output.find("Usage: hfhost"), std::string::npos) << arguments;
  }
}

}  // namespace

}  // namespace hf
