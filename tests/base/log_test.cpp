// The level filter, the re-entry rule and whole records from concurrent threads.
#include "base/log.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace hf {

TEST(Log, OnlyMessagesWithinTheLevelWhileEnabledAreSentWholeAndLogFromTheSinkIsDropped) {
  LogCapture log;  // puts the previous sink back afterwards
  SetLogSettings(1, true);
  Log(LogLevel::kError, "zero %s", "a");
  Log(LogLevel::kProgress, "%s|", std::string(5000, 'x').c_str());
  Log(LogLevel::kDetail, "two");
  SetLogSettings(3, false);
  Log(LogLevel::kError, "disabled");
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{0, "zero a"}, {1, std::string(5000, 'x') + "|"}}));
  SetLogSettings(3, true);
  static std::vector<LogLine> sinkLines;
  SetLogSink([](int level, const char* text) {
    sinkLines.emplace_back(level, text);
    Log(LogLevel::kError, "nested %d", 1);  // must neither deadlock nor be sent
  });
  Log(LogLevel::kError, "outer");
  EXPECT_EQ(sinkLines, (std::vector<LogLine>{{0, "outer"}}));
}

TEST(Log, ConcurrentThreadsNeitherDropNorMixRecords) {
  LogCapture log;
  constexpr int kThreads = 4, kEach = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) Log(LogLevel::kProgress, "thread %d record %d", t, i);
    });
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(log.lines.size(), static_cast<size_t>(kThreads * kEach));
  std::vector<int> next(kThreads, 0);
  for (const LogLine& record : log.lines) {
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(record.second.c_str(), "thread %d record %d", &t, &i), 2) << record.second;
    ASSERT_TRUE(t >= 0 && t < kThreads && i == next[t]++) << record.second;  // whole and in each thread's order
  }
}

}  // namespace hf
