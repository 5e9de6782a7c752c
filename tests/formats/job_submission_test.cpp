// Job submissions: parsing, the member accessors, each mode's target, the read.
#include "formats/job_submission.h"

#include "base/file_io.h"
#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

const std::tuple<const char*, const char*, int32_t> kMembers[] = {
    {"s", "text", 0}, {"S", "text", 0}, {"n", "", 42}, {"neg", "", -3}, {"big", "", INT32_MAX},
    {"t", "7x", 7},   {"u", "x7", 0},   {"b", "", 0},  {"a", "", 0},    {"none", "", 0}};

TEST(JobSubmission, AccessorsReadStringsIntegersAndArrayElements) {
  JsonTree root = ParseJsonText(R"({"s":"text","n":42.9,"neg":-3,"big":1e12,"t":"7x","u":"x7","b":true,"a":["p",3]})");
  for (const auto& [name, text, number] : kMembers) {
    EXPECT_EQ(ObjectString(root.get(), name), text) << name;
    EXPECT_EQ(ObjectInteger(root.get(), name), number) << name;
  }
  const cJSON* array = cJSON_GetObjectItem(root.get(), "a");
  EXPECT_EQ(ObjectString(array, "s") + ObjectString(nullptr, "s"), "");  // not an object
  EXPECT_EQ(ObjectInteger(nullptr, "n"), 0);
  EXPECT_EQ(ArrayString(array, 0) + ArrayString(array, 1) + ArrayString(array, 2) + ArrayString(array, -1), "p");
  EXPECT_EQ(ArrayString(root.get(), 0) + ArrayString(nullptr, 0), "");  // not an array
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
           {R"({"JobFilePath":".\\in\\..\\a.ps"})", 0, "C:\\hot\\a.ps"},
           {R"({"JobFilePath":3})", 0, ""},
           {R"({"mode":"1","jobfilepaths":["D:x.pdf"]})", 1, "D:x.pdf"},
           {R"({"mode":1,"JobFilePaths":[],"JobFilePath":"C:\\a.pdf"})", 1, ""},
           {R"({"mode":2,"JobPath":"E:\\in\\","FileNameBase":"j","FileTypeSuffix":"ps"})", 2, "E:\\in\\j_*.ps"},
           {R"({"mode":2,"FileNameBase":"j","FileTypeSuffix":"ps"})", 2, "C:\\hot\\j_*.ps"},
           {R"({"mode":2,"FileNameBase":"j","FileTypeSuffix":"\\..\\..\\x"})", 2, ""},
           {R"({"mode":2,"FileNameBase":"../j","FileTypeSuffix":"ps"})", 2, ""},
           {R"(["C:\\a.pdf"])", 0, ""}}) {
    JsonTree root = ParseJsonText(json);
    const JobSubmissionTarget target = SubmissionTarget(root.get(), hot);
    EXPECT_EQ(target.mode, mode) << json;
    EXPECT_EQ(target.path, path) << json;
  }
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
}

}  // namespace

}  // namespace hf
