// The counter search for a free target name, with an in-memory set of taken paths.
#include "jobs/unique_target.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace hf {

namespace {

// A search over `taken` that counts how often a name was looked at.
struct Search {
  std::set<std::string> taken;
  int checks = 0;
  int counter = 0;
  std::string target;
  bool Run(const char* folder, const char* name, int first = 0, int second = 0, int values = kUniqueCounterValues) {
    auto check = [this](const std::string& path) {
      ++checks;
      return taken.count(path) != 0;
    };
    return FindUniqueTarget(folder, name, first, second, counter, values, check, target);
  }
};

TEST(UniqueTarget, NameIsStemNumbersCounterAndExtension) {
  Search search;
  ASSERT_TRUE(search.Run("C:\\out\\", "job.ps"));
  EXPECT_EQ(search.target, "C:\\out\\job_0_0_0.ps");
  EXPECT_EQ(search.counter, 0);
  search.counter = 7;
  ASSERT_TRUE(search.Run("C:\\out", "README"));
  EXPECT_EQ(search.target, "C:\\out\\README_0_0_7");
  ASSERT_TRUE(search.Run("C:\\out", "a.b.tif", 12, 3));
  EXPECT_EQ(search.target, "C:\\out\\a.b_12_3_7.tif");
}

TEST(UniqueTarget, TakenNamesMoveTheCounterAndTheNextCallStartsThere) {
  Search search;
  search.taken = {"C:\\out\\job_0_0_0.ps"};
  ASSERT_TRUE(search.Run("C:\\out", "job.ps"));
  EXPECT_EQ(search.target, "C:\\out\\job_0_0_1.ps");
  EXPECT_EQ(search.counter, 1);
  // The name found is not taken yet: the next search starts at the same value.
  ASSERT_TRUE(search.Run("C:\\out", "other.pdf"));
  EXPECT_EQ(search.target, "C:\\out\\other_0_0_1.pdf");
  EXPECT_EQ(search.counter, 1);
}

TEST(UniqueTarget, CounterWrapsToZeroAfterItsLastValueOrWhenOutOfRange) {
  Search search;
  search.taken = {"D:\\x\\f_0_0_999999.ps"};
  search.counter = 999999;
  ASSERT_TRUE(search.Run("D:\\x", "f.ps"));
  EXPECT_EQ(search.target, "D:\\x\\f_0_0_0.ps");
  EXPECT_EQ(search.counter, 0);
  search.counter = -5;
  ASSERT_TRUE(search.Run("C:\\out", "f.ps", 0, 0, 10));
  EXPECT_EQ(search.target, "C:\\out\\f_0_0_0.ps");
}

TEST(UniqueTarget, SearchStopsAfterOneFullRoundWhenEveryValueIsTaken) {
  Search search;
  for (int i = 0; i < 10; ++i) search.taken.insert("C:\\out\\f_0_0_" + std::to_string(i) + ".ps");
  search.counter = 4;
  search.target = "stale";
  EXPECT_FALSE(search.Run("C:\\out", "f.ps", 0, 0, 10));
  EXPECT_EQ(search.checks, 10);  // every value once, none twice
  EXPECT_EQ(search.counter, 4);
  EXPECT_TRUE(search.target.empty());
  // One value freed: found on the next search, after the wrap.
  search.taken.erase("C:\\out\\f_0_0_2.ps");
  ASSERT_TRUE(search.Run("C:\\out", "f.ps", 0, 0, 10));
  EXPECT_EQ(search.target, "C:\\out\\f_0_0_2.ps");
  EXPECT_EQ(search.counter, 2);
}

// The module-wide form: free names exist, so the result depends only on the
// buffer. (Folders that hold real files are tested on Windows.)
class ModuleUniqueTarget : public ::testing::Test {
 protected:
  void SetUp() override { SetUniqueTargetCounter(42); }
  void TearDown() override { SetUniqueTargetCounter(saved); }
  int saved = UniqueTargetCounter();
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

TEST_F(ModuleUniqueTarget, EveryCallIsTraced) {
  LogCapture log;
  char result[260];
  makeUniqueTarget("Q:\\none", "b.ps", 0, 0, result, sizeof result);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].second, "Call to makeUniqueTarget");
}

}  // namespace

}  // namespace hf
