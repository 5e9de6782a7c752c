// Job submissions: parsing, the member accessors, the target of each mode and
// the whole-file read.
#include "formats/job_submission.h"

#include "base/file_io.h"
#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

const char kDoc[] =
    R"({"s":"text","n":42.9,"neg":-3,"big":1e12,"t":"7x","u":"x7","b":true,"a":["p",3,"q"],"o":{"s":"in"}})";

TEST(JobSubmission, AccessorsReadStringsIntegersAndArrayElements) {
  JsonTree root = ParseJsonText(kDoc);
  ASSERT_TRUE(root);
  const cJSON* array = cJSON_GetObjectItem(root.get(), "a");
  for (const auto& [name, text, number] :
       std::vector<std::tuple<const char*, std::string, int32_t>>{{"s", "text", 0},
                                                                  {"S", "text", 0},
                                                                  {"n", "", 42},
                                                                  {"neg", "", -3},
                                                                  {"big", "", INT32_MAX},
                                                                  {"t", "7x", 7},
                                                                  {"u", "x7", 0},
                                                                  {"b", "", 0},
                                                                  {"a", "", 0},
                                                                  {"o", "", 0},
                                                                  {"none", "", 0}}) {
    EXPECT_EQ(ObjectString(root.get(), name), text) << name;
    EXPECT_EQ(ObjectInteger(root.get(), name), number) << name;
  }
  EXPECT_EQ(ObjectString(nullptr, "s"), "");
  EXPECT_EQ(ObjectInteger(nullptr, "n"), 0);
  EXPECT_EQ(ObjectString(array, "s"), "");  // not an object
  for (const auto& [index, text] :
       std::vector<std::tuple<int, std::string>>{{0, "p"}, {1, ""}, {2, "q"}, {3, ""}, {-1, ""}})
    EXPECT_EQ(ArrayString(array, index), text) << index;
  EXPECT_EQ(ArrayString(root.get(), 0), "");  // an object is no array
  EXPECT_EQ(ArrayString(nullptr, 0), "");
}

TEST(JobSubmission, OnlyAWholeWellFormedTextParses) {
  EXPECT_TRUE(ParseJsonText("\xEF\xBB\xBF {\"a\":1} \r\n"));
  for (const std::string& text : {std::string("{\"a\":1} x"), std::string("{\"a\":1}\0x", 9), std::string("{\"a\":"),
                                  std::string(), std::string("not json")})
    EXPECT_FALSE(ParseJsonText(text)) << text;
}

TEST(JobSubmission, TargetOfEachMode) {
  const std::string hot = "C:\\hot\\";
  for (const auto& [json, mode, path] : std::vector<std::tuple<const char*, int, std::string>>{
           {R"({"JobFilePath":"C:\\jobs\\a.pdf"})", 0, "C:\\jobs\\a.pdf"},
           {R"({"mode":7,"JobFilePath":"sub/a.pdf"})", 7, "C:\\hot\\sub\\a.pdf"},
           {R"({"JobFilePath":"\\\\srv\\share\\a.pdf"})", 0, "\\\\srv\\share\\a.pdf"},
           {R"({"JobFilePath":".\\in\\..\\a.ps"})", 0, "C:\\hot\\a.ps"},
           {R"({"JobFilePath":3})", 0, ""},
           {R"({"mode":1,"JobFilePaths":["x.pdf","y.pdf"]})", 1, "C:\\hot\\x.pdf"},
           {R"({"mode":"1","jobfilepaths":["D:x.pdf"]})", 1, "D:x.pdf"},
           {R"({"mode":1,"JobFilePaths":[],"JobFilePath":"C:\\a.pdf"})", 1, ""},
           {R"({"MODE":"2","JobPath":"sub","FileNameBase":"job42","FileTypeSuffix":"pdf"})", 2,
            "C:\\hot\\sub\\job42_*.pdf"},
           {R"({"mode":2,"JobPath":"E:\\in\\","FileNameBase":"j","FileTypeSuffix":"ps"})", 2, "E:\\in\\j_*.ps"},
           {R"({"mode":2,"FileNameBase":"j","FileTypeSuffix":"ps"})", 2, "C:\\hot\\j_*.ps"},
           {R"(["C:\\a.pdf"])", 0, ""}}) {
    JsonTree root = ParseJsonText(json);
    ASSERT_TRUE(root) << json;
    const JobSubmissionTarget target = SubmissionTarget(root.get(), hot);
    EXPECT_EQ(target.mode, mode) << json;
    EXPECT_EQ(target.path, path) << json;
  }
  EXPECT_EQ(SubmissionTarget(nullptr, hot).path, "");
  EXPECT_EQ(SplitFolderList(" C:\\a ;;\\\\srv\\s; "), (std::vector<std::string>{"C:\\a", "\\\\srv\\s"}));
}

TEST(JobSubmission, ReadLogsWhatCannotBeReadOrParsed) {
  ScratchFolder scratch("hf_submission_");
  LogCapture log;
  JsonTree root;
  EXPECT_EQ(ReadJobSubmission("", scratch.Write("ok.json", R"({"mode":1})"), root), 1);
  EXPECT_EQ(ObjectInteger(root.get(), "mode"), 1);
  EXPECT_EQ(ReadJobSubmission("", scratch.Write("bad.json", "<jdf/>"), root), 1);
  EXPECT_FALSE(root);
  EXPECT_TRUE(log.Has(0, "Error parsing JSON from JobSubmission file."));

  const std::string missing = scratch.PathOf("missing.json");
  EXPECT_EQ(ReadJobSubmission("", missing, root), 0);
  std::string unread;
  const int error = ReadWholeFile(missing, unread);
  EXPECT_TRUE(log.Has(0, "Exception reading JSON from JobSubmission file: " + SystemErrorText(error) + "."));

  const std::string huge = scratch.Write("huge.json", "{}");
  std::filesystem::resize_file(huge, kMaxWholeFileBytes + 1);
  log.lines.clear();
  EXPECT_EQ(ReadJobSubmission("", huge, root), 0);
  EXPECT_FALSE(root);
  EXPECT_EQ(log.lines.size(), 2u);
}

}  // namespace

}  // namespace hf
