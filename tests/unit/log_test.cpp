// The level filter, the re-entry rule and whole records from concurrent threads.
#include "common/log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::pair<int, std::string>>* captured = nullptr;

void Capture(int level, const char* text) { captured->emplace_back(level, text); }

void NestedSink(int level, const char* text) {
  captured->emplace_back(level, text);
  Log(0, "nested %d", 1);  // must neither deadlock nor be sent
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    captured = &records;
    previous = SetLogSink(Capture);
  }
  void TearDown() override {
    SetLogSink(previous);
    SetLogSettings(0, false);
    captured = nullptr;
  }
  std::vector<std::pair<int, std::string>> records;
  LogSink previous = nullptr;
};

TEST_F(LogTest, MessagesAboveTheLevelOrWhileDisabledAreNotSent) {
  SetLogSettings(1, true);
  Log(0, "zero %s", "a");
  Log(1, "one");
  Log(2, "two");
  SetLogSettings(3, false);
  Log(0, "disabled");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].second, "zero a");
  EXPECT_EQ(records[1].first, 1);
}

TEST_F(LogTest, LongMessagesAreFormattedWhole) {
  SetLogSettings(3, true);
  std::string big(5000, 'x');
  Log(0, "%s|", big.c_str());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].second.size(), 5001u);
}

TEST_F(LogTest, LogFromTheSinkIsDropped) {
  SetLogSettings(3, true);
  SetLogSink(NestedSink);
  Log(0, "outer");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].second, "outer");
}

TEST_F(LogTest, ConcurrentThreadsNeitherDropNorMixRecords) {
  SetLogSettings(3, true);
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) Log(1, "thread %d record %d", t, i);
    });
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(records.size(), static_cast<size_t>(kThreads * kEach));
  std::vector<int> next(kThreads, 0);
  for (const auto& record : records) {
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(record.second.c_str(), "thread %d record %d", &t, &i), 2) << record.second;
    ASSERT_EQ(i, next[t]++);  // each thread's records arrive whole and in its order
  }
}

}  // namespace
