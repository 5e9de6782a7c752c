// Typed group-file readers and writers, the leading-integer rule, the comma
// fields and the path checks.
#include "grouping/group_document.h"
#include "base/leading_integer.h"
#include "grouping/group_path_checks.h"

#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace hf {

namespace {

using R = CGroupDocumentReader;
using Texts = std::vector<std::string>;

}  // namespace

// ---- leading integers and comma fields ----

TEST(LeadingInteger, TakesTheSignedDigitsAfterBlanksAndSaturates) {
  const std::pair<std::string_view, int> cases[] = {
      {"  -12abc", -12}, {"+", 0}, {"", 0}, {"\t+7 days", 7}, {"- 5", 0}, {"0x1F", 0}, {"2147483647", INT_MAX},
      {"-99999999999999999999", INT_MIN}, {"99999999999999999999", INT_MAX}, {{"42\0009", 4}, 42}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(LeadingInteger(text), expected) << "<" << text << ">";
}

TEST(CommaFields, SplitPickAndJoin) {
  EXPECT_TRUE(SplitCommaFields("").empty());
  EXPECT_EQ(SplitCommaFields("a,,b,"), (Texts{"a", "", "b", ""}));
  const char details[] = "CHROMIX 185 C,Job42,0,230,180,0,0,3";
  const std::pair<int, const char*> fields[] = {{1, "CHROMIX 185 C"}, {2, "Job42"}, {8, "3"}, {9, ""}, {0, ""}};
  for (const auto& [number, expected] : fields) EXPECT_EQ(GetCommaField(details, number), expected) << number;
  EXPECT_EQ(JoinWithCommas({"Cyan", "Job42", "255"}), "Cyan,Job42,255");
  EXPECT_EQ(JoinWithCommas({"", ""}), ",");
  EXPECT_EQ(FileSettingsSection("a.tif"), "a.tif_Settings");
}

// ---- writers and readers ----

// Each writer and its reader: the value written, and in an empty document the default and status of a
// missing key. The saved text pins the keys.
TEST(GroupDocument, EveryWriterUsesItsKeyAndEveryReaderFindsWhatWasWritten) {
  CIniDocument document, emptyDocument;
  document.SetSeparatorFlag(true);
  CGroupDocument group(document);
  const CGroupDocumentReader empty(emptyDocument);
  const std::string f = "Job 42 M.pdf";
// A writer and its reader.
#define ACCESS(name) &CGroupDocument::Set##name, &R::Get##name
  const std::tuple<int (CGroupDocument::*)(const std::string&), int (R::*)(std::string&) const, const char*> texts[] = {
      {ACCESS(FolderPath), "C:\\Job"},  {ACCESS(GroupName), "Job42"},    {ACCESS(Extension), ".pdf"},
      {ACCESS(ResourceID), "abc123"},   {ACCESS(JDFFile), "ticket.jdf"}, {ACCESS(JDFCustom1), "c1"},
      {ACCESS(JDFCustom2), "c2"},       {ACCESS(UsedHeads), "1,3"},      {ACCESS(FNSFileName), "Standard"},
      {ACCESS(NoSubScan), "Yes"},       {ACCESS(NoMoveCopyFolder), "1"}, {ACCESS(StemMatchesGpName), "a"},
      {ACCESS(ExtMatchesFileExt), "b"}, {ACCESS(FileIsInList), "c"}};
  for (const auto& [write, read, written] : texts) {
    (group.*write)(written);
    std::string value = "stale", absent = "stale";  // make_tuple copies them after both reads
    EXPECT_EQ(std::make_tuple((group.*read)(value), value, (empty.*read)(absent), absent),
              std::make_tuple(0, std::string(written), 0, std::string()));
  }
  // Group method 3 is by file type, 2 (the default) by filename scheme.
  const std::tuple<int (CGroupDocument::*)(int), int (R::*)(int&) const, int, int> integers[] = {
      {ACCESS(JDFJobID), 2147483647, -1}, {ACCESS(CalibrationMode), 3, 0},  {ACCESS(SystemDeviceID), -7, -1},
      {ACCESS(ChunkCount), 5, -1},        {ACCESS(SplitCount), 6, -1},      {ACCESS(TimeoutSeconds), 31, 30},
      {ACCESS(SerialMode), 1, 0},         {ACCESS(FileCountTrigger), 1, 0}, {ACCESS(FileCount), 41, 4},
      {ACCESS(GroupMethod), 3, 2}};
  for (const auto& [write, read, written, missing] : integers) {
    (group.*write)(written);
    int value = 12345, absent = 12345;
    EXPECT_EQ(std::make_tuple((group.*read)(value), value, (empty.*read)(absent), absent),
              std::make_tuple(0, written, 2, missing));
  }
  // Layout values are the group's with an empty file name; a file's own never fall back to the group's.
  const std::tuple<int (CGroupDocument::*)(const std::string&, int), int (R::*)(const std::string&, int&) const,
                   std::string, int, int, int>
      fileIntegers[] = {
          {ACCESS(Overlap), "", 8, -1, 2},         {ACCESS(PrintableOffsetPixels), "", 10, -1, 2},
          {ACCESS(PrintableWidthPixels), "", 12, -1, 2},
          {ACCESS(PageNumber), f, 2, 0, 2},        {ACCESS(Overlap), f, 9, -1, 2},
          {ACCESS(PrintableOffsetPixels), f, 11, -1, 2}, {ACCESS(PrintableWidthPixels), f, 13, -1, 2},
          {ACCESS(PageCount), f, 14, 0, 0},        {ACCESS(PageWidth), f, 15, 0, 0},
          {ACCESS(PageHeight), f, 16, 0, 0},       {ACCESS(CopyCount), f, 17, 0, 0},
          {ACCESS(AllPages), f, 1, -999, 2},       {&CGroupDocument::SetAllPages, &R::GetAllPagesOrZero, f, 1, 0, 2},
          {ACCESS(Collate), f, 0, -999, 2},        {ACCESS(ReversePages), f, 1, -999, 2},
          {ACCESS(ChunkIndex), f, 18, -1, 2},      {ACCESS(Slice), f, 19, -1, 2},
          {ACCESS(SplitIndex), f, 20, -1, 2}};
#undef ACCESS
  for (const auto& [write, read, file, written, missing, status] : fileIntegers) {
    (group.*write)(file, written);
    int value = 12345, absent = 12345;
    EXPECT_EQ(std::make_tuple((group.*read)(file, value), value, (empty.*read)(file, absent), absent),
              std::make_tuple(0, written, status, missing));
  }
  int overlap = 0;
  EXPECT_EQ(std::make_pair(group.GetOverlap("other.pdf", overlap), overlap), std::make_pair(2, -1));
  group.SetCentering(true);
  group.SetIsDuplex(false);
  group.SetNoBlankSplits(true);
  group.SetPageRange(f, 2, -3);
  group.SetRealFileName(f, "1_x.pdf");
  group.SetJDFPageRange(f, "0~3");
  group.AddFileInfo("x.tif", "");
  group.SetFileInfo(f, "Magenta,Job42");
  group.SetFileInfo("X.TIF", "Cyan,Job42");  // replaces the first entry, as Add appends
  group.AddSeparatorFileInfo("s.tif", "Cut");
  group.SetSeparatorFileInfo("S.tif", "Crease");
  EXPECT_EQ(document.SaveToBuffer(),
            "[FileGroupInfo]\r\nFolderPath=C:\\Job\r\nGroupName=Job42\r\nExtension=.pdf\r\nResourceID=abc123\r\n"
            "JDFFile=ticket.jdf\r\nJDFCustom1=c1\r\nJDFCustom2=c2\r\nUsedHeads=1,3\r\nJDFJobID=2147483647\r\n"
            "CalibrationMode=3\r\nSystemDeviceID=-7\r\nChunkCount=5\r\nSplitCount=6\r\nOverlap=8\r\n"
            "PrintableOffsetPixels=10\r\nPrintableWidthPixels=12\r\nCentering=1\r\nIsDuplex=0\r\n"
            "NoBlankSplits=1\r\n\r\n"
            "[SettingsInfo]\r\nFNSFileName=Standard\r\nNoSubScan=Yes\r\nNoMoveCopyFolder=1\r\nStemMatchesGpName=a\r\n"
            "ExtMatchesFileExt=b\r\nFileIsInList=c\r\nTimeoutSeconds=31\r\nSerialMode=1\r\nFileCountTrigger=1\r\n"
            "FileCount=41\r\nGroupMethod=3\r\n\r\n"
            "[Job 42 M.pdf_Settings]\r\nPageNumber=2\r\nOverlap=9\r\nPrintableOffsetPixels=11\r\n"
            "PrintableWidthPixels=13\r\nPageCount=14\r\nPageWidth=15\r\nPageHeight=16\r\nCopyCount=17\r\n"
            "AllPages=1\r\nCollate=0\r\nReversePages=1\r\nChunkIndex=18\r\nSlice=19\r\nSplitIndex=20\r\n"
            "PageRange=2,-3\r\nRealFileName=1_x.pdf\r\nJDFPageRange=0~3\r\n\r\n"
            "[FileInfo]\r\nx.tif=Cyan,Job42\r\n\"Job 42 M.pdf\"=Magenta,Job42\r\n\r\n"
            "[SeparatorFileInfo]\r\ns.tif=Crease\r\n");

  bool centering = false, duplex = true, noBlank = false;
  EXPECT_EQ(group.GetCentering(centering) + group.GetIsDuplex(duplex) + group.GetNoBlankSplits(noBlank), 0);
  EXPECT_TRUE(centering && !duplex && noBlank);
  int first = 0, second = 0;
  std::string real, range, info, separator;
  EXPECT_EQ(group.GetPageRange(f, first, second), 0);
  group.GetRealFileName(f, real);
  group.GetJDFPageRange("JOB 42 m.PDF", range);
  group.GetFileInfo("JOB 42 m.pdf", info);
  group.GetSeparatorFileInfo("S.TIF", separator);
  EXPECT_EQ(std::make_tuple(first, second, real, range, info, separator),
            std::make_tuple(2, -3, "1_x.pdf", "0~3", "Magenta,Job42", "Crease"));
  EXPECT_EQ(group.GetFileInfoNames(), (Texts{"x.tif", f}));
  EXPECT_EQ(group.GetSeparatorFileInfoNames(), Texts{"s.tif"});
  std::string value;
  EXPECT_TRUE(empty.GetFileInfoNames().empty());
  empty.GetRealFileName(f, value);
  EXPECT_EQ(value, "");
}

TEST(GroupDocumentReaders, FlagsAreTrueOnlyForOneEmptyIntegersAreMissingPageRangesNeedAValueOtherThan0000) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileGroupInfo]\nCentering=2\nIsDuplex= 1x\nNoBlankSplits=\nChunkCount=\n"
      "[one.pdf_Settings]\nPageRange=3\n[odd.pdf_Settings]\nPageRange= 5 , 9x\n[zero.pdf_Settings]\nPageRange=0,0\n"
      "[zeros.pdf_Settings]\nPageRange=0000\n[empty.pdf_Settings]\nPageRange=\n");
  const CGroupDocumentReader reader(document);
  bool centering = true, duplex = false, noBlank = true;
  EXPECT_EQ(reader.GetCentering(centering) + reader.GetIsDuplex(duplex) + reader.GetNoBlankSplits(noBlank), 0);
  EXPECT_TRUE(!centering && duplex && !noBlank);
  int chunks = 0;
  EXPECT_EQ(std::make_pair(reader.GetChunkCount(chunks), chunks), std::make_pair(2, -1));
  const std::tuple<const char*, int, int, int> cases[] = {{"one.pdf", 0, 3, 0},   {"odd.pdf", 0, 5, 9},
                                                          {"zero.pdf", 0, 0, 0},  {"zeros.pdf", 2, 0, 0},
                                                          {"empty.pdf", 2, 0, 0}, {"absent.pdf", 2, 0, 0}};
  for (const auto& [name, status, expectedFirst, expectedSecond] : cases) {
    int first = -5, second = -5;
    EXPECT_EQ(reader.GetPageRange(name, first, second), status) << name;
    EXPECT_EQ(std::make_pair(first, second), std::make_pair(expectedFirst, expectedSecond)) << name;
  }
}

// ---- path checks: each failure logs one line naming the caller ----

TEST(GroupPathChecks, FilesFoldersAndGroupFilesMustExistAsSuch) {
  ScratchFolder scratch("hf_group_paths_");
  std::filesystem::create_directories(scratch.folder / "Job");
  const std::string job = "[FileGroupInfo]\r\nFolderPath=" + scratch.PathOf("Job") + "\r\n";
  for (const char* name : {"Job.fgl", "Upper.FGL", "Job.txt"}) scratch.Write(name, job);
  scratch.Write("Gone.fgl", "[FileGroupInfo]\r\nFolderPath=" + scratch.PathOf("Gone") + "\r\n");
  scratch.Write("NoFolder.fgl", "[FileGroupInfo]\r\nGroupName=x\r\n");
  LogCapture log;
  EXPECT_EQ(CheckFilePath(scratch.PathOf("Job.txt"), "mover", 10), PathCheck::kValid);
  EXPECT_EQ(CheckFilePath("", "mover", 11), PathCheck::kEmpty);
  EXPECT_EQ(CheckFilePath(scratch.PathOf("Job"), "mover", 12), PathCheck::kMissing);  // a folder is not a file
  EXPECT_EQ(CheckFolderPath(scratch.PathOf("Job"), "group", 1), PathCheck::kValid);
  EXPECT_EQ(CheckFolderPath("", "group", 2), PathCheck::kEmpty);
  EXPECT_EQ(CheckFolderPath(scratch.PathOf("Job.txt"), "group", 3), PathCheck::kMissing);
  std::string folderPath;
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Job.fgl"), folderPath, "move", 1), PathCheck::kValid);
  EXPECT_EQ(folderPath, scratch.PathOf("Job"));
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Upper.FGL"), folderPath, "move", 2), PathCheck::kValid);
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Gone.fgl"), folderPath, "move", 3), PathCheck::kMissing);
  EXPECT_EQ(folderPath, scratch.PathOf("Gone"));
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("NoFolder.fgl"), folderPath, "move", 4), PathCheck::kEmpty);
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Job.txt"), folderPath, "move", 5), PathCheck::kNotGroupFile);
  EXPECT_EQ(folderPath, "");
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Missing.fgl"), folderPath, "move", 6), PathCheck::kMissing);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{
                           {2, "mover(11): Path <> is invalid: empty"},
                           {2, "mover(12): Path <" + scratch.PathOf("Job") + "> is invalid: missing"},
                           {2, "group(2): Path <> is invalid: empty"},
                           {2, "group(3): Path <" + scratch.PathOf("Job.txt") + "> is invalid: non-folder/missing"},
                           {2, "move(3): Path <" + scratch.PathOf("Gone") + "> is invalid: non-folder/missing"},
                           {2, "move(4): Path <> is invalid: empty"},
                           {2, "move(5): Path <" + scratch.PathOf("Job.txt") + "> does not have group file extension"},
                           {2, "move(6): Path <" + scratch.PathOf("Missing.fgl") + "> is invalid: missing"}}));
  // The one-value read of a group file: a missing file reads as empty, not as a failure.
  std::string value = "stale";
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(scratch.PathOf("Job.fgl"), "fileGroupInfo", "folderpath", value), 0);
  EXPECT_EQ(value, scratch.PathOf("Job"));
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(scratch.PathOf("No.fgl"), "FileGroupInfo", "FolderPath", value), 0);
  EXPECT_EQ(value, "");
}

}  // namespace hf
