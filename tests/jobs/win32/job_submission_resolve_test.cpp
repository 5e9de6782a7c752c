// Resolving job submissions against real files: each mode, path kind, type source and AllowedJobFolders.
#include "jobs/win32/job_submission_resolve.h"

#include "base/ascii.h"
#include "host/zu_ini_file.h"
#include "hotfolder/services/job_intake_service.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

class ResolveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    ASSERT_TRUE(Put(hot + "a.pdf", "%PDF-1.4\n"));
    ASSERT_TRUE(Put(hot + "head.xyz", "%!PS-Adobe-3.0\n"));
    ASSERT_TRUE(Put(temp.MakeSubfolder("sub") + "job42_0001.pdf", "%PDF-1.7\n"));
    temp.MakeSubfolder("sub\\job43_dir.pdf");
  }
  int Resolve(const std::string& json, const std::string& allowed = std::string()) {
    EXPECT_TRUE(Put(hot + "s.json", json));
    path = "<unset>";
    type = 0xBAD;
    return ResolveJobSubmission(hot, "s.json", path, type, allowed);
  }

  TempFolder temp{"submission"};
  const std::string& hot = temp.path();
  const std::string slashed = std::regex_replace(hot, std::regex("\\\\"), "/");  // no escapes needed in JSON
  std::string path;
  JobType type = 0;
};

TEST_F(ResolveTest, EachModeGivesThePathAndTypeOrIsNotValid) {
  const std::string longName = std::string(300, 'n') + ".pdf";
  for (const auto& [json, valid, expectedPath, expectedType] :
       std::vector<std::tuple<std::string, int, std::string, JobType>>{
           {"{\"JobFilePath\":\"" + slashed + "a.pdf\"}", 1, slashed + "a.pdf", kJobTypePdf},
           {R"({"JobFilePath":"a.pdf"})", 1, hot + "a.pdf", kJobTypePdf},
           {R"({"JobFilePath":"head.xyz"})", 1, hot + "head.xyz", kJobTypePostScript},
           {R"({"JobFilePath":"gone.pdf"})", 0, hot + "gone.pdf", 0xBAD},
           {R"({"mode":1,"JobFilePaths":["x.ps","y.ps"]})", 1, hot + "x.ps", kJobTypePostScript},
           {R"({"mode":1,"JobFilePaths":["\\\\srv\\share\\y.tif"]})", 1, "\\\\srv\\share\\y.tif", kJobTypeTiff},
           {R"({"MODE":"2","JobPath":"sub","FileNameBase":"job42","FileTypeSuffix":"pdf"})", 1,
            hot + "sub\\job42_0001.pdf", kJobTypePdf},
           {R"({"mode":2,"JobPath":"sub","FileNameBase":"job43","FileTypeSuffix":"pdf"})", 0, "", 0xBAD},
           {"{\"mode\":1,\"JobFilePaths\":[\"" + longName + "\"]}", 0, hot + longName, 0xBAD},
           {"not json", 0, "", 0xBAD}}) {
    EXPECT_EQ(Resolve(json), valid) << json;
    EXPECT_EQ(path, expectedPath) << json;
    EXPECT_EQ(type, expectedType) << json;
  }
}

TEST_F(ResolveTest, AllowedJobFoldersLimitWhereTheJobFileMayBe) {
  LogCapture log;
  const std::string viaDots = "{\"JobFilePath\":\"" + slashed + "sub/../a.pdf\"}";
  const std::string inSub = R"({"mode":2,"JobPath":"sub","FileNameBase":"job42","FileTypeSuffix":"pdf"})";
  for (const auto& [json, allowed, valid] :
       std::vector<std::tuple<std::string, std::string, int>>{{viaDots, hot + "sub", 0},
                                                              {viaDots, "C:\\elsewhere;" + AsciiLowered(hot), 1},
                                                              {inSub, " ; " + AsciiUppered(hot + "sub") + "\\", 1},
                                                              {inSub, "sub", 0}}) {
    EXPECT_EQ(Resolve(json, allowed), valid) << json << " in " << allowed;
  }
  EXPECT_TRUE(HasLineContaining(log, "which is outside the AllowedJobFolders."));
  EXPECT_TRUE(HasLineStartingWith(log, 0, "AllowedJobFolders: \"sub\" is not an absolute folder"));
}

TEST_F(ResolveTest, TheScanCheckReadsAllowedJobFoldersFromTheHostIni) {
  IniFileDescriptor descriptor = {};
  const std::string ini = hot + "host.ini";
  std::strcpy(descriptor.path, ini.c_str());
  TheIniFile().SetDescriptor(descriptor);
  ASSERT_TRUE(Put(hot + "s.json", R"({"JobFilePath":"a.pdf"})"));
  EXPECT_EQ(CheckJsonSubmission(hot.c_str(), "s.json"), IntakeResult::kTaken);
  ASSERT_TRUE(Put(ini, "[HFA]\r\nAllowedJobFolders=" + hot + "sub\r\n"));
  EXPECT_EQ(CheckJsonSubmission(hot.c_str(), "s.json"), IntakeResult::kRefused);
  ASSERT_TRUE(Put(ini, "[HFA]\r\nAllowedJobFolders=" + std::string(40000, 'x') + "\r\n"));
  EXPECT_EQ(CheckJsonSubmission(hot.c_str(), "s.json"), IntakeResult::kRefused);
}

}  // namespace

}  // namespace hf
