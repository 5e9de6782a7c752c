// Admission checks and the size-and-type read on real files: the text list of
// the exclusion lists, the in-use test, job types, DSC title and for-name, the
// summary line, and files that cannot be read.
#include "jobs/win32/file_admission.h"

#include "base/file_io.h"
#include "base/win32/scoped_handle.h"
#include "host/message_handover.h"
#include "jobs/win32/file_size_and_type.h"
#include "jobs/win32/text_list.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

constexpr uint32_t kUntouched = 0xDEADBEEF;

TEST(TextList, NodesAreAppendedInOrderAndLinkedBothWaysButEmptyTextsAreNot) {
  TextNode* head = nullptr;
  EXPECT_EQ(addToTextList("", head), nullptr);
  TextNode* first = addToTextList("._", head);
  TextNode* second = addToTextList(".DS_Store", head);
  EXPECT_EQ(addToTextList(nullptr, head), first);  // the list as it was
  TextNode* third = addToTextList("x", head);
  EXPECT_EQ(head, first);
  EXPECT_EQ(first->previous, nullptr);
  EXPECT_EQ(second->previous, first);
  EXPECT_EQ(second->next, third);
  EXPECT_EQ(third->next, nullptr);
  std::vector<std::string> texts;
  for (const char* text : TextListEntries(head)) texts.emplace_back(text);
  EXPECT_EQ(texts, (std::vector<std::string>{"._", ".DS_Store", "x"}));
  EXPECT_GE(::GlobalSize(second), offsetof(TextNode, text) + std::strlen(".DS_Store") + 1);
  FreeTextList(head);
  EXPECT_EQ(head, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(first));
  EXPECT_FALSE(IsLiveGlobalBlock(third));
}

class AdmissionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()) << temp.path(); }
  void TearDown() override {
    params.messageAcknowledged = 1;
    ReleaseHandedOverMessage(&params);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    EXPECT_EQ(ReplaceFileContents(folder + name, bytes), 0);
    return folder + name;
  }
  // Reads `name` in the test folder with both outputs given.
  int64_t Read(const std::string& name) {
    type = kUntouched;
    std::memset(title, 'x', sizeof title);
    std::memset(forName, 'x', sizeof forName);
    return GetUnopenedFileSizeAndType(&params, folder.c_str(), name.c_str(), &type, title, forName);
  }
  static ScopedHandle Writer(const std::string& path, DWORD share) {
    return ScopedHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  TempFolder temp{"admission"};
  const std::string& folder = temp.path();
  PluginParameters params = {};
  uint32_t type = kUntouched;
  char title[64];
  char forName[32];
};

// Whatever the writer shares, the file is in use; a reader may still read it.
TEST_F(AdmissionTest, AFileHeldByAWriterIsInUseButCanBeRead) {
  const std::string content = "%!PS\n%%Title: open\n";
  const std::string path = Write("spooling.ps", content);
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    ScopedHandle writer = Writer(path, share);
    ASSERT_TRUE(writer.valid());
    LogCapture log;
    EXPECT_TRUE(IsFileInUse(nullptr, path.c_str())) << "share mode " << share;
    EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, "File is in use (spooling?) : " + path}}));
    EXPECT_EQ(Read("spooling.ps"), share == 0 ? 0 : static_cast<int64_t>(content.size()));
    EXPECT_EQ(type, share == 0 ? kUntouched : 1u);
    EXPECT_EQ(log.Has(3, "File is in use (spooling?) : " + path), share == 0);
  }
  EXPECT_FALSE(IsFileInUse(nullptr, path.c_str()));  // the writer has closed it
  EXPECT_EQ(params.errorCode, 0);
}

TEST_F(AdmissionTest, FilesThatCannotBeOpenedAreReportedAndNotRead) {
  const std::string path = folder + "gone.ps";
  LogCapture log;
  EXPECT_FALSE(IsFileInUse(&params, path.c_str()));
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (LogLine{0, "Failure on file \"" + path + "\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(MessageOf(params).find("IsFileInUse?"), std::string::npos) << MessageOf(params);

  TearDown();
  params = {};
  log.lines.clear();
  EXPECT_EQ(Read("gone.ps"), 0);
  EXPECT_EQ(type, kUntouched);
  EXPECT_STREQ(title, "");  // emptied before the open
  EXPECT_STREQ(forName, "");
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (LogLine{3, "Failure on file \"" + path + "\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(MessageOf(params).find("GetUnopenedFileSizeAndType"), std::string::npos) << MessageOf(params);
}

// The summary line names the outputs that were asked for.
TEST_F(AdmissionTest, SizeTypeTitleAndForNameAreReadAndLogged) {
  const std::string content = "%!PS-Adobe-3.0\n%%Title: (Spring brochure)\n%%For: anna\n%%EndComments\nshowpage\n";
  Write("brochure.ps", content);
  const std::string stem = folder + "brochure.ps is " + std::to_string(content.size()) + " bytes of type 0x00000001";
  LogCapture log;
  EXPECT_EQ(Read("brochure.ps"), static_cast<int64_t>(content.size()));
  EXPECT_EQ(type, 1u);
  EXPECT_STREQ(title, "Spring brochure");
  EXPECT_STREQ(forName, "anna");
  EXPECT_TRUE(log.Has(3, stem + "  Titled:Spring brochure and For:anna"));

  const std::string bare = folder.substr(0, folder.size() - 1);  // no trailing backslash
  uint32_t code = 0;
  GetUnopenedFileSizeAndType(nullptr, bare.c_str(), "brochure.ps", &code, title, nullptr);
  GetUnopenedFileSizeAndType(nullptr, "", (folder + "brochure.ps").c_str(), &code, nullptr, forName);
  EXPECT_EQ(GetUnopenedFileSizeAndType(nullptr, folder.c_str(), "brochure.ps", &code, nullptr, nullptr),
            static_cast<int64_t>(content.size()));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(log.Has(3, stem + "  Titled:Spring brochure"));
  EXPECT_TRUE(log.Has(3, stem + "  for:anna"));
  EXPECT_TRUE(log.Has(3, stem));
}

TEST_F(AdmissionTest, JsonIsKnownByItsExtensionWhenTheContentSaysNothing) {
  const std::string content = "{\"job\": \"x\"}";
  Write("submit.JSON", content);
  Write("submit.txt", content);
  Write("real.json", "%PDF-1.4\n");  // the content decides first
  for (const auto& [name, expected] : {std::pair<const char*, uint32_t>{"submit.JSON", 0x800}, {"submit.txt", 0},
                                       {"real.json", 2}}) {
    Read(name);
    EXPECT_EQ(type, expected) << name;
  }
}

}  // namespace

}  // namespace hf
