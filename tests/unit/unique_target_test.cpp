// The counter search for a free target name, with an in-memory set of taken paths.
#include "common/unique_target.h"

#include "common/log.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct TakenPaths {
  std::set<std::string> paths;
  int checks = 0;
  FileExistsCheck Check() {
    return [this](const std::string& path) {
      ++checks;
      return paths.count(path) != 0;
    };
  }
};

TEST(UniqueTarget, FirstFreeNameUsesTheCounterAsItStands) {
  TakenPaths taken;
  int counter = 0;
  std::string target;
  ASSERT_TRUE(FindUniqueTarget("C:\\out\\", "job.ps", 0, 0, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\job_0_0_0.ps");
  EXPECT_EQ(counter, 0);
}

TEST(UniqueTarget, TakenNamesMoveTheCounterAndTheNextCallStartsThere) {
  TakenPaths taken;
  taken.paths = {"C:\\out\\job_0_0_0.ps"};
  int counter = 0;
  std::string target;
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "job.ps", 0, 0, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\job_0_0_1.ps");
  EXPECT_EQ(counter, 1);
  // The name found is not taken yet: the next search starts at the same value.
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "other.pdf", 0, 0, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\other_0_0_1.pdf");
  EXPECT_EQ(counter, 1);
}

TEST(UniqueTarget, NameParts) {
  TakenPaths taken;
  int counter = 7;
  std::string target;
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "README", 0, 0, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\README_0_0_7");
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "a.b.tif", 12, 3, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\a.b_12_3_7.tif");
}

TEST(UniqueTarget, CounterWrapsToZeroAfterItsLastValue) {
  TakenPaths taken;
  taken.paths = {"D:\\x\\f_0_0_999999.ps"};
  int counter = 999999;
  std::string target;
  ASSERT_TRUE(FindUniqueTarget("D:\\x", "f.ps", 0, 0, counter, kUniqueCounterValues, taken.Check(), target));
  EXPECT_EQ(target, "D:\\x\\f_0_0_0.ps");
  EXPECT_EQ(counter, 0);
}

TEST(UniqueTarget, SearchStopsAfterOneFullRoundWhenEveryValueIsTaken) {
  TakenPaths taken;
  for (int i = 0; i < 10; ++i) taken.paths.insert("C:\\out\\f_0_0_" + std::to_string(i) + ".ps");
  int counter = 4;
  std::string target = "stale";
  EXPECT_FALSE(FindUniqueTarget("C:\\out", "f.ps", 0, 0, counter, 10, taken.Check(), target));
  EXPECT_EQ(taken.checks, 10);  // every value once, none twice
  EXPECT_EQ(counter, 4);
  EXPECT_TRUE(target.empty());
  // One value freed: found on the next search, after the wrap.
  taken.paths.erase("C:\\out\\f_0_0_2.ps");
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "f.ps", 0, 0, counter, 10, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\f_0_0_2.ps");
  EXPECT_EQ(counter, 2);
}

TEST(UniqueTarget, CounterOutsideItsRangeStartsAtZero) {
  TakenPaths taken;
  int counter = -5;
  std::string target;
  ASSERT_TRUE(FindUniqueTarget("C:\\out", "f.ps", 0, 0, counter, 10, taken.Check(), target));
  EXPECT_EQ(target, "C:\\out\\f_0_0_0.ps");
}

// The module-wide form: free names exist, so the result depends only on the
// buffer. (Folders that hold real files are tested on Windows.)
class ModuleUniqueTarget : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = UniqueTargetCounter();
    SetUniqueTargetCounter(42);
  }
  void TearDown() override { SetUniqueTargetCounter(saved); }
  int saved = 0;
};

TEST_F(ModuleUniqueTarget, ResultIsCutToTheBufferAndReportedAsUnusable) {
  const char* folder = "Q:\\no\\such\\folder";
  char result[260];
  ASSERT_TRUE(makeUniqueTarget(folder, "a.ps", 0, 0, result, sizeof result));
  EXPECT_STREQ(result, "Q:\\no\\such\\folder\\a_0_0_42.ps");
  EXPECT_EQ(UniqueTargetCounter(), 42);

  char small[8];
  EXPECT_FALSE(makeUniqueTarget(folder, "a.ps", 0, 0, small, sizeof small));
  EXPECT_STREQ(small, "Q:\\no\\s");

  char exact[31];  // 30 characters and the NUL
  EXPECT_TRUE(makeUniqueTarget(folder, "a.ps", 0, 0, exact, sizeof exact));
  EXPECT_STREQ(exact, "Q:\\no\\such\\folder\\a_0_0_42.ps");

  char untouched = 'z';
  EXPECT_FALSE(makeUniqueTarget(folder, "a.ps", 0, 0, &untouched, 0));
  EXPECT_EQ(untouched, 'z');
}

std::vector<std::string>* captured = nullptr;
void Capture(int, const char* text) { captured->push_back(text); }

TEST_F(ModuleUniqueTarget, EveryCallIsTraced) {
  std::vector<std::string> lines;
  captured = &lines;
  LogSink previous = SetLogSink(Capture);
  SetLogSettings(3, true);
  char result[260];
  makeUniqueTarget("Q:\\none", "b.ps", 0, 0, result, sizeof result);
  SetLogSettings(0, false);
  SetLogSink(previous);
  captured = nullptr;
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "Call to makeUniqueTarget");
}

}  // namespace
