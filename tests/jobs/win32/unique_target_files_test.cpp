// makeUniqueTarget in a real destination folder.
#include "jobs/unique_target.h"

#include "base/file_io.h"
#include "base/win32/file_system.h"
#include "base/win32/windows_api.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

class UniqueTargetFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok()) << temp.path();
    saved = UniqueTargetCounter();
    SetUniqueTargetCounter(0);
  }
  void TearDown() override { SetUniqueTargetCounter(saved); }
  void Touch(const std::string& name) { ASSERT_EQ(ReplaceFileContents(folder + name, "x"), 0); }
  std::string Make(const std::string& name) {
    char result[260];
    EXPECT_TRUE(makeUniqueTarget(folder.c_str(), name.c_str(), 0, 0, result, sizeof result));
    return result;
  }
  TempFolder temp{"hf_unique"};
  const std::string& folder = temp.path();
  int saved = 0;
};

TEST_F(UniqueTargetFiles, ArrivalsOfOneNameGetSuccessiveCounterValues) {
  Touch("job.ps");
  std::string second = Make("job.ps");
  EXPECT_EQ(second, folder + "job_0_0_0.ps");
  ASSERT_TRUE(::MoveFileA((folder + "job.ps").c_str(), second.c_str()));  // as the hand-off moves it
  Touch("job.ps");
  EXPECT_EQ(Make("job.ps"), folder + "job_0_0_1.ps");
  EXPECT_EQ(UniqueTargetCounter(), 1);
  // The name just made is still free: the next call gives it again.
  EXPECT_EQ(Make("job.ps"), folder + "job_0_0_1.ps");
}

TEST_F(UniqueTargetFiles, ExtensionsFoldersAndABareFolderPath) {
  Touch("README");
  EXPECT_EQ(Make("README"), folder + "README_0_0_0");  // no extension, none added
  ASSERT_EQ(CreateFolder(folder + "d_0_0_0.ps", false), 0);
  EXPECT_EQ(Make("d.ps"), folder + "d_0_0_1.ps");  // a folder of that name is taken too

  SetUniqueTargetCounter(0);  // so that only a_0_0_0.pdf being seen moves it on
  Touch("a_0_0_0.pdf");
  char result[260];
  std::string bare = folder.substr(0, folder.size() - 1);  // no trailing backslash
  ASSERT_TRUE(makeUniqueTarget(bare.c_str(), "a.pdf", 0, 0, result, sizeof result));
  EXPECT_EQ(std::string(result), folder + "a_0_0_1.pdf");
}

}  // namespace

}  // namespace hf
