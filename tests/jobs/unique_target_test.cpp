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
  bool Run(const char* name, int first = 0, int second = 0, int values = kUniqueCounterValues) {
    auto check = [this](const std::string& path) { return ++checks, taken.count(path) != 0; };
    return FindUniqueTarget("C:\\out\\", name, first, second, counter, values, check, target);
  }
};

}  // namespace

TEST(UniqueTarget, NameIsStemNumbersCounterAndExtensionTakenNamesMoveTheCounterForOneFullRound) {
  Search search;
  search.counter = 7;
  search.taken = {"C:\\out\\a.b_12_3_7.tif"};
  ASSERT_TRUE(search.Run("a.b.tif", 12, 3));
  EXPECT_EQ(search.target, "C:\\out\\a.b_12_3_8.tif");
  // The name found is not taken yet: the next search starts at the same value.
  ASSERT_TRUE(search.Run("README"));
  EXPECT_EQ(search.target, "C:\\out\\README_0_0_8");
  for (int i = 0; i < 10; ++i) search.taken.insert("C:\\out\\f_0_0_" + std::to_string(i) + ".ps");
  search.checks = 0;
  EXPECT_FALSE(search.Run("f.ps", 0, 0, 10));
  EXPECT_EQ(search.checks, 10);  // every value once, none twice
  EXPECT_EQ(search.counter, 8);
  EXPECT_TRUE(search.target.empty());
  // One value freed: found on the next search, after the wrap.
  search.taken.erase("C:\\out\\f_0_0_2.ps");
  ASSERT_TRUE(search.Run("f.ps", 0, 0, 10));
  EXPECT_EQ(search.target, "C:\\out\\f_0_0_2.ps");
  // The counter wraps to zero after its last value or when out of range.
  search.counter = -5;
  ASSERT_TRUE(search.Run("g.ps", 0, 0, 10));
  EXPECT_EQ(search.counter, 0);
  search.counter = 999999;  // the last of the module's values
  search.taken.insert("C:\\out\\h_0_0_999999.ps");
  ASSERT_TRUE(search.Run("h.ps"));
  EXPECT_EQ(search.target, "C:\\out\\h_0_0_0.ps");
}

// The module-wide form: free names exist, so the result depends only on the
// buffer. (Folders that hold real files are tested on Windows.)
TEST(ModuleUniqueTarget, ResultIsCutToTheBufferAndReportedAsUnusable) {
  const int saved = UniqueTargetCounter();
  SetUniqueTargetCounter(42);
  LogCapture log;
  const char* folder = "Q:\\no\\such\\folder";
  char result[260], small[8], exact[31];  // exact: 30 characters and the NUL
  ASSERT_TRUE(makeUniqueTarget(folder, "a.ps", 0, 0, result, sizeof result));
  EXPECT_STREQ(result, "Q:\\no\\such\\folder\\a_0_0_42.ps");
  EXPECT_EQ(UniqueTargetCounter(), 42);
  EXPECT_TRUE(makeUniqueTarget(folder, "a.ps", 0, 0, exact, sizeof exact));
  EXPECT_STREQ(exact, result);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{3, "Call to makeUniqueTarget"}, {3, "Call to makeUniqueTarget"}}));
  EXPECT_FALSE(makeUniqueTarget(folder, "a.ps", 0, 0, small, sizeof small));
  EXPECT_STREQ(small, "Q:\\no\\s");
  EXPECT_EQ(log.lines.back(),
            LogLine(0, std::string("! makeUniqueTarget - the target path ") + result + " is longer than 7 characters"));
  char untouched = 'z';
  EXPECT_FALSE(makeUniqueTarget(folder, "a.ps", 0, 0, &untouched, 0));
  EXPECT_EQ(untouched, 'z');
  SetUniqueTargetCounter(saved);
}

}  // namespace hf
