// The scanner thread's life: the scan interval a task may set, start and
// stop, the end after a wake-up, a new start after a stop (which leaves the
// wake-up event set) and a start while the last thread is still ending.
#include "hotfolder/scanner/scanner_state.h"

#include "hotfolder/sluicegate_app.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

namespace hf {

namespace {

class ScannerStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialiseDefaultParameters(params);
    ASSERT_TRUE(scanner.EnsureWakeEvent());
  }
  void TearDown() override {
    scanner.Stop(10);
    EXPECT_FALSE(scanner.running());
  }

  CSluicegateApp app;  // no folders: every cycle has nothing to do
  ScannerState& scanner = TheScanner();
  PluginParameters params{};
};

TEST_F(ScannerStateTest, OnlyIntervalsOfFiveSecondsOrMoreAreTaken) {
  EXPECT_EQ(scanner.scanInterval(), 5u);
  scanner.OfferScanInterval(3);
  EXPECT_EQ(scanner.scanInterval(), 5u);
  scanner.OfferScanInterval(7);
  EXPECT_EQ(scanner.scanInterval(), 7u);
  scanner.OfferScanInterval(0);
  EXPECT_EQ(scanner.scanInterval(), 7u);
  scanner.OfferScanInterval(5);
  EXPECT_EQ(scanner.scanInterval(), 5u);
}

TEST_F(ScannerStateTest, StopReturnsOnceTheThreadHasEnded) {
  scanner.Stop(10);  // not running: returns at once
  EXPECT_FALSE(scanner.running());
  LogCapture log;
  params.dwFlags = ScriptBit;
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  EXPECT_TRUE(scanner.running());
  EXPECT_EQ(scanner.taskFlags(), ScriptBit);  // the word is copied: the block may go
  scanner.Stop(10);
  EXPECT_FALSE(scanner.running());
  EXPECT_TRUE(scanner.stopRequested());
  EXPECT_TRUE(HasLineStartingWith(log, 3, "Scan thread #0x"));
  EXPECT_TRUE(log.Has(2, "got stop request"));
  EXPECT_TRUE(HasLineStartingWith(log, 2, "Event completed. Exiting scan thread #0x"));
  EXPECT_FALSE(log.Has(3, "No folders in scan list. Nothing to do.")) << "a stop request runs no cycle";
}

TEST_F(ScannerStateTest, AWakeUpWithoutAStopRequestGivesOneCycleAndEndsTheThread) {
  LogCapture log;
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  ASSERT_TRUE(::SetEvent(scanner.wakeEvent()));
  ASSERT_TRUE(WaitUntil([&] { return !scanner.running(); }));
  int cycles = 0;
  for (const LogLine& line : log.lines) cycles += line.second == "No folders in scan list. Nothing to do." ? 1 : 0;
  EXPECT_EQ(cycles, 1);
  EXPECT_FALSE(log.Has(2, "got stop request"));
}

TEST_F(ScannerStateTest, ANewStartIsNotEndedByTheWakeUpOfTheLastStop) {
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  scanner.Stop(10);
  ASSERT_EQ(::WaitForSingleObject(scanner.wakeEvent(), 0), WAIT_OBJECT_0) << "a stop sets the wake-up event";
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  EXPECT_EQ(::WaitForSingleObject(scanner.wakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(scanner.stopRequested());
  EXPECT_TRUE(scanner.running());
}

TEST_F(ScannerStateTest, StartingWhileTheLastThreadEndsStartsANewOne) {
  ASSERT_TRUE(scanner.Start(&params, nullptr));
  ASSERT_TRUE(::SetEvent(scanner.wakeEvent()));
  // The ending thread holds its stop flag for a moment before it clears its
  // running flag; a start seen then must not count on it.
  WaitUntil([&] { return scanner.stopRequested() || !scanner.running(); });
  ASSERT_TRUE(scanner.EnsureRunning(nullptr));
  EXPECT_TRUE(scanner.running());
  EXPECT_FALSE(scanner.stopRequested());
  EXPECT_EQ(::WaitForSingleObject(scanner.wakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace

}  // namespace hf
