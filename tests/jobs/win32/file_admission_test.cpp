// Admission checks on real files and global-memory lists: the text list, the
// exclusion lists loaded from their files, and the in-use test.
#include "jobs/win32/file_admission.h"

#include "host/message_handover.h"
#include "host/plugin_parameters.h"
#include "jobs/clean_file_name.h"
#include "base/file_io.h"
#include "base/log.h"
#include "base/win32/file_system.h"
#include "base/win32/scoped_handle.h"
#include "tests/support/win32/global_blocks.h"
#include "tests/support/win32/file_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace hf {

namespace {

using Line = LogLine;

// A fresh folder under the temporary folder, removed afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp.ok()) << temp.path(); }
  std::string Write(const std::string& name, const std::string& content) {
    EXPECT_TRUE(Put(folder + name, content)) << name;
    return folder + name;
  }
  TempFolder temp{"hf_admission"};
  const std::string& folder = temp.path();
};

std::vector<std::string> Texts(const TextNode* head) {
  std::vector<std::string> texts;
  for (const char* text : TextListEntries(head)) texts.emplace_back(text);
  return texts;
}

TEST(TextList, NodesAreAppendedInOrderAndLinkedBothWaysButEmptyTextsAreNot) {
  TextNode* head = nullptr;
  EXPECT_EQ(addToTextList("", head), nullptr);
  EXPECT_EQ(head, nullptr);
  TextNode* first = addToTextList("._", head);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(head, first);
  TextNode* second = addToTextList(".DS_Store", head);
  EXPECT_EQ(addToTextList("", head), first);  // the list as it was
  EXPECT_EQ(addToTextList(nullptr, head), first);
  TextNode* third = addToTextList("x", head);
  EXPECT_EQ(head, first);
  EXPECT_EQ(first->previous, nullptr);
  EXPECT_EQ(first->next, second);
  EXPECT_EQ(second->previous, first);
  EXPECT_EQ(second->next, third);
  EXPECT_EQ(third->previous, second);
  EXPECT_EQ(third->next, nullptr);
  EXPECT_EQ(Texts(head), (std::vector<std::string>{"._", ".DS_Store", "x"}));
  EXPECT_GE(::GlobalSize(second), std::string(".DS_Store").size() + 13);
  FreeTextList(head);
  EXPECT_EQ(head, nullptr);
  EXPECT_FALSE(IsLiveGlobalBlock(first));
  EXPECT_FALSE(IsLiveGlobalBlock(third));
}

TEST_F(TempFolderTest, FirstLoadWritesTheDefaultsAndReadsThemBack) {
  LogCapture log;
  ExclusionLists lists;
  std::string names = folder + "FilenameExceptions.bin";
  std::string extensions = folder + "ExtensionExceptions.bin";
  EXPECT_EQ(LoadExclusionList(names, kDefaultExcludedFileNames, kExcludedFileNameMessages, lists.fileNames),
            ExclusionFileStatus::kCreatedWithDefaults);
  EXPECT_EQ(LoadExclusionList(extensions, kDefaultExcludedExtensions, kExcludedExtensionMessages, lists.extensions),
            ExclusionFileStatus::kCreatedWithDefaults);
  EXPECT_EQ(Texts(lists.fileNames), (std::vector<std::string>{"._", ".DS_Store"}));
  EXPECT_EQ(Texts(lists.extensions), (std::vector<std::string>{".log", ".exe", ".txt", ".dll"}));
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(names, bytes), 0);
  EXPECT_EQ(bytes, std::string("._\r\n.DS_Store\r\n\0", 16));
  ASSERT_EQ(ReadWholeFile(extensions, bytes), 0);
  EXPECT_EQ(bytes, std::string(".log\r\n.exe\r\n.txt\r\n.dll\r\n\0", 25));
  EXPECT_EQ(log.lines, (std::vector<Line>{
                           {3, "Reading excluded filenames from: " + names + "."},
                           {3, "Excluded filename: ._."},
                           {3, "Excluded filename: .DS_Store."},
                           {3, "Reading excluded extensions from: " + extensions + "."},
                           {3, "Excluded file extension: .log."},
                           {3, "Excluded file extension: .exe."},
                           {3, "Excluded file extension: .txt."},
                           {3, "Excluded file extension: .dll."},
                       }));
}

TEST_F(TempFolderTest, ListFileWithBlankLinesAndTrailingBlanks) {
  std::string path = Write("ExtensionExceptions.bin", ".tmp  \r\n\r\n   \r\n.bak\t\r\n");
  ExclusionLists lists;
  EXPECT_EQ(LoadExclusionList(path, kDefaultExcludedExtensions, kExcludedExtensionMessages, lists.extensions),
            ExclusionFileStatus::kRead);
  EXPECT_EQ(Texts(lists.extensions), (std::vector<std::string>{".tmp", ".bak"}));
  EXPECT_TRUE(lists.IsExcluded("a.TMP"));
  EXPECT_FALSE(lists.IsExcluded("a.txt"));  // the file replaces the defaults
}

TEST_F(TempFolderTest, UncreatableListFileLeavesTheListEmpty) {
  ExclusionLists lists;
  EXPECT_EQ(LoadExclusionList(folder + "missing\\FilenameExceptions.bin", kDefaultExcludedFileNames,
                              kExcludedFileNameMessages, lists.fileNames),
            ExclusionFileStatus::kCannotCreate);
  EXPECT_EQ(lists.fileNames, nullptr);
}

TEST(ExclusionLists, DefaultListsAndTheProbeName) {
  ExclusionLists lists;
  for (const auto& entry : kDefaultExcludedFileNames) addToTextList(entry.c_str(), lists.fileNames);
  for (const auto& entry : kDefaultExcludedExtensions) addToTextList(entry.c_str(), lists.extensions);
  EXPECT_TRUE(lists.IsExcluded("XTEST$$$.@@@"));
  EXPECT_TRUE(lists.IsExcluded("._job.ps"));
  EXPECT_TRUE(lists.IsExcluded(".ds_STORE"));
  EXPECT_FALSE(lists.IsExcluded("my._job.ps"));
  EXPECT_TRUE(lists.IsExcluded("notes.TXT"));
  EXPECT_TRUE(lists.IsExcluded("scan.log"));
  EXPECT_FALSE(lists.IsExcluded("README"));
  EXPECT_FALSE(lists.IsExcluded("job.ps"));
  lists.Clear();
  EXPECT_EQ(lists.fileNames, nullptr);
  EXPECT_EQ(lists.extensions, nullptr);
  EXPECT_TRUE(lists.IsExcluded("xtest$$$.@@@"));  // whatever the lists hold
  EXPECT_FALSE(lists.IsExcluded("notes.txt"));
}

TEST(ExclusionLists, ModuleListsAreAppendedInMemory) {
  ExclusionLists& lists = ModuleExclusionLists();
  lists.Clear();
  EXPECT_EQ(IsExcludedFile("bad_name.ps"), 0);
  addToTextList("bad_name.ps", lists.fileNames);
  EXPECT_EQ(IsExcludedFile("bad_name.ps"), 1);
  EXPECT_EQ(IsExcludedFile("xtest$$$.@@@"), 1);
  lists.Clear();
  EXPECT_EQ(IsExcludedFile("bad_name.ps"), 0);
}

TEST_F(TempFolderTest, AFileHeldByAWriterIsInUseAndAReadOnlyOneIsNot) {
  std::string path = Write("spooling.ps", "%!PS\n");
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    ScopedHandle writer(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    LogCapture log;
    EXPECT_TRUE(IsFileInUse(nullptr, path.c_str())) << "share mode " << share;
    EXPECT_EQ(log.lines, (std::vector<Line>{{2, "File is in use (spooling?) : " + path}}));
  }
  LogCapture log;
  EXPECT_FALSE(IsFileInUse(nullptr, path.c_str()));  // the writer has closed it
  // A read-only file cannot be opened for writing, yet it is not in use.
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(IsFileInUse(nullptr, path.c_str()));
  EXPECT_TRUE(log.lines.empty());
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TempFolderTest, OtherFailuresAreReportedAndCountAsNotInUse) {
  std::string path = folder + "gone.ps";
  PluginParameters params = {};
  LogCapture log;
  EXPECT_FALSE(IsFileInUse(&params, path.c_str()));
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines[0], (Line{0, "Failure on file \"" + path + "\""}));
  EXPECT_EQ(params.errorCode, ERROR_FILE_NOT_FOUND);
  ASSERT_NE(params.messageText, nullptr);
  EXPECT_NE(std::string(params.messageText).find("IsFileInUse?"), std::string::npos);
  params.messageAcknowledged = 1;
  ReleaseHandedOverMessage(&params);
}

bool CodePage932LeadByte(unsigned char byte) { return ::IsDBCSLeadByteEx(932, byte) != FALSE; }

TEST(CleanFileNameCodePage932, BackslashTrailIsReplacedWithTheSystemsLeadBytes) {
  char buffer[260];
  // 0x95 0x5C is one character in code page 932 (its trail byte is a backslash).
  EXPECT_EQ(CleanFileName("\x95\x5C" ".ps", buffer, sizeof buffer, CodePage932LeadByte), 1);
  EXPECT_STREQ(buffer, "\x81\x45.ps");
  EXPECT_EQ(CleanFileName("\x82\xA0\x83\x41.ps", buffer, sizeof buffer, CodePage932LeadByte), 0);
  EXPECT_STREQ(buffer, "\x82\xA0\x83\x41.ps");
}

}  // namespace

}  // namespace hf
