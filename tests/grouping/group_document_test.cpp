// Typed group-file readers and writers, the leading-integer rule, the comma
// fields and the path checks.
#include "grouping/group_document.h"
#include "grouping/group_path_checks.h"
#include "base/leading_integer.h"

#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace hf {

namespace {

struct IntegerReaderCase {
  const char* name;
  std::function<int(const CGroupDocumentReader&, int&)> read;
  int missingValue;
  int missingStatus;
};

std::vector<IntegerReaderCase> IntegerReaders() {
  const std::string file = "a.tif";
  using R = const CGroupDocumentReader&;
  return {
      {"JDFJobID", [](R r, int& v) { return r.GetJDFJobID(v); }, -1, 2},
      {"CalibrationMode", [](R r, int& v) { return r.GetCalibrationMode(v); }, 0, 2},
      {"SystemDeviceID", [](R r, int& v) { return r.GetSystemDeviceID(v); }, -1, 2},
      {"ChunkCount", [](R r, int& v) { return r.GetChunkCount(v); }, -1, 2},
      {"SplitCount", [](R r, int& v) { return r.GetSplitCount(v); }, -1, 2},
      {"Overlap", [](R r, int& v) { return r.GetOverlap("", v); }, -1, 2},
      {"PrintableOffsetPixels", [](R r, int& v) { return r.GetPrintableOffsetPixels("", v); }, -1, 2},
      {"PrintableWidthPixels", [](R r, int& v) { return r.GetPrintableWidthPixels("", v); }, -1, 2},
      {"TimeoutSeconds", [](R r, int& v) { return r.GetTimeoutSeconds(v); }, 30, 2},
      {"SerialMode", [](R r, int& v) { return r.GetSerialMode(v); }, 0, 2},
      {"FileCountTrigger", [](R r, int& v) { return r.GetFileCountTrigger(v); }, 0, 2},
      {"FileCount", [](R r, int& v) { return r.GetFileCount(v); }, 4, 2},
      {"GroupMethod", [](R r, int& v) { return r.GetGroupMethod(v); }, 2, 2},
      {"PageNumber", [file](R r, int& v) { return r.GetPageNumber(file, v); }, 0, 2},
      {"PageCount", [file](R r, int& v) { return r.GetPageCount(file, v); }, 0, 0},
      {"PageWidth", [file](R r, int& v) { return r.GetPageWidth(file, v); }, 0, 0},
      {"PageHeight", [file](R r, int& v) { return r.GetPageHeight(file, v); }, 0, 0},
      {"CopyCount", [file](R r, int& v) { return r.GetCopyCount(file, v); }, 0, 0},
      {"AllPages", [file](R r, int& v) { return r.GetAllPages(file, v); }, -999, 2},
      {"AllPages (or zero)", [file](R r, int& v) { return r.GetAllPagesOrZero(file, v); }, 0, 2},
      {"Collate", [file](R r, int& v) { return r.GetCollate(file, v); }, -999, 2},
      {"ReversePages", [file](R r, int& v) { return r.GetReversePages(file, v); }, -999, 2},
      {"ChunkIndex", [file](R r, int& v) { return r.GetChunkIndex(file, v); }, -1, 2},
      {"Slice", [file](R r, int& v) { return r.GetSlice(file, v); }, -1, 2},
      {"SplitIndex", [file](R r, int& v) { return r.GetSplitIndex(file, v); }, -1, 2},
      {"Overlap (file)", [file](R r, int& v) { return r.GetOverlap(file, v); }, -1, 2},
      {"PrintableOffsetPixels (file)", [file](R r, int& v) { return r.GetPrintableOffsetPixels(file, v); }, -1, 2},
      {"PrintableWidthPixels (file)", [file](R r, int& v) { return r.GetPrintableWidthPixels(file, v); }, -1, 2},
  };
}

// Every key of the integer readers set to `value`, typed out by hand.
const char kAllIntegersEmpty[] =
    "[FileGroupInfo]\n"
    "JDFJobID=\nCalibrationMode=\nSystemDeviceID=\nChunkCount=\nSplitCount=\n"
    "Overlap=\nPrintableOffsetPixels=\nPrintableWidthPixels=\n"
    "[SettingsInfo]\n"
    "TimeoutSeconds=\nSerialMode=\nFileCountTrigger=\nFileCount=\nGroupMethod=\n"
    "[a.tif_Settings]\n"
    "PageNumber=\nPageCount=\nPageWidth=\nPageHeight=\nCopyCount=\nAllPages=\nCollate=\n"
    "ReversePages=\nChunkIndex=\nSlice=\nSplitIndex=\nOverlap=\nPrintableOffsetPixels=\n"
    "PrintableWidthPixels=\n";

std::string WithValue(const std::string& value) {
  std::string text = kAllIntegersEmpty;
  std::string out;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end - start);
    out += line;
    if (!line.empty() && line.back() == '=') out += value;
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace

// ---- leading integers and comma fields ----

TEST(LeadingInteger, TakesTheSignedDigitsAfterBlanksAndSaturates) {
  const std::pair<std::string_view, int> cases[] = {
      {"  -12abc", -12}, {"+", 0}, {"-", 0}, {"", 0}, {"abc", 0}, {"\t+7 days", 7}, {"12 34", 12}, {"- 5", 0},
      {"0x1F", 0}, {"007", 7}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {std::string_view("42\0" "9", 4), 42}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(LeadingInteger(text), expected) << "<" << text << ">";
}

TEST(CommaFields, SplitPickAndJoin) {
  EXPECT_TRUE(SplitCommaFields("").empty());
  EXPECT_EQ(SplitCommaFields("Cyan"), std::vector<std::string>{"Cyan"});
  EXPECT_EQ(SplitCommaFields("a,,b,"), (std::vector<std::string>{"a", "", "b", ""}));
  const char details[] = "CHROMIX 185 C,Job42,0,230,180,0,0,3";
  const std::pair<int, const char*> fields[] = {{1, "CHROMIX 185 C"}, {2, "Job42"}, {8, "3"},
                                                {9, ""},              {0, ""},       {-1, ""}};
  for (const auto& [number, expected] : fields) EXPECT_EQ(GetCommaField(details, number), expected) << number;
  EXPECT_EQ(GetCommaField("", 1), "");
  EXPECT_EQ(JoinWithCommas({"Cyan", "Job42", "255"}), "Cyan,Job42,255");
  EXPECT_EQ(JoinWithCommas({}), "");
  EXPECT_EQ(JoinWithCommas({"", ""}), ",");
  EXPECT_EQ(FileSettingsSection("a.tif"), "a.tif_Settings");
}

// ---- readers ----

TEST(GroupDocumentReaders, IntegerDefaultsWhenMissingOrEmpty) {
  for (const char* text : {"", kAllIntegersEmpty}) {
    SCOPED_TRACE(*text ? "keys present but empty" : "keys missing");
    CIniDocument document;
    document.LoadFromBuffer(text);
    CGroupDocumentReader reader(document);
    for (const IntegerReaderCase& reader_case : IntegerReaders()) {
      int value = 12345;
      EXPECT_EQ(reader_case.read(reader, value), reader_case.missingStatus) << reader_case.name;
      EXPECT_EQ(value, reader_case.missingValue) << reader_case.name;
    }
  }
}

TEST(GroupDocumentReaders, IntegersFollowTheLeadingIntegerRule) {
  const std::pair<const char*, int> values[] = {{"  -12abc", -12}, {"+", 0}, {"x", 0}, {"17", 17}};
  for (const auto& [text, expected] : values) {
    CIniDocument document;
    document.LoadFromBuffer(WithValue(text));
    CGroupDocumentReader reader(document);
    for (const IntegerReaderCase& reader_case : IntegerReaders()) {
      int value = 12345;
      EXPECT_EQ(reader_case.read(reader, value), 0) << reader_case.name << " <" << text << ">";
      EXPECT_EQ(value, expected) << reader_case.name << " <" << text << ">";
    }
  }
}

TEST(GroupDocumentReaders, TextReadersAlwaysSucceedAndGiveEmptyWhenMissing) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileGroupInfo]\nFolderPath=C:\\Hot\\Job\nGroupName=Job\nExtension=.tif\nResourceID=1f2e\n"
      "JDFFile=job.jdf\nJDFCustom1=Desc\nJDFCustom2=ID7\nUsedHeads=1,2\n"
      "[SettingsInfo]\nFNSFileName=Standard\nNoSubScan=Yes\nNoMoveCopyFolder=1\nStemMatchesGpName=y\n"
      "ExtMatchesFileExt=y\nFileIsInList=y\n"
      "[a.tif_Settings]\nRealFileName=real a.tif\nJDFPageRange=1-4\n");
  CIniDocument empty;
  using Read = std::function<int(const CGroupDocumentReader&, std::string&)>;
  using R = const CGroupDocumentReader&;
  const std::pair<Read, const char*> readers[] = {
      {[](R r, std::string& v) { return r.GetFolderPath(v); }, "C:\\Hot\\Job"},
      {[](R r, std::string& v) { return r.GetGroupName(v); }, "Job"},
      {[](R r, std::string& v) { return r.GetExtension(v); }, ".tif"},
      {[](R r, std::string& v) { return r.GetResourceID(v); }, "1f2e"},
      {[](R r, std::string& v) { return r.GetJDFFile(v); }, "job.jdf"},
      {[](R r, std::string& v) { return r.GetJDFCustom1(v); }, "Desc"},
      {[](R r, std::string& v) { return r.GetJDFCustom2(v); }, "ID7"},
      {[](R r, std::string& v) { return r.GetUsedHeads(v); }, "1,2"},
      {[](R r, std::string& v) { return r.GetFNSFileName(v); }, "Standard"},
      {[](R r, std::string& v) { return r.GetNoSubScan(v); }, "Yes"},
      {[](R r, std::string& v) { return r.GetNoMoveCopyFolder(v); }, "1"},
      {[](R r, std::string& v) { return r.GetStemMatchesGpName(v); }, "y"},
      {[](R r, std::string& v) { return r.GetExtMatchesFileExt(v); }, "y"},
      {[](R r, std::string& v) { return r.GetFileIsInList(v); }, "y"},
      {[](R r, std::string& v) { return r.GetRealFileName("a.tif", v); }, "real a.tif"},
      {[](R r, std::string& v) { return r.GetJDFPageRange("A.TIF", v); }, "1-4"},
  };
  for (const auto& [read, expected] : readers) {
    std::string value = "stale";
    EXPECT_EQ(read(CGroupDocumentReader(document), value), 0) << expected;
    EXPECT_EQ(value, expected);
    value = "stale";
    EXPECT_EQ(read(CGroupDocumentReader(empty), value), 0) << expected;
    EXPECT_EQ(value, "") << expected;
  }
}

TEST(GroupDocumentReaders, FlagsAreTrueOnlyForOne) {
  const std::pair<const char*, bool> values[] = {{"1", true},  {" 1", true}, {"1x", true},  {"2", false},
                                                 {"0", false}, {"", false},  {"yes", false}, {nullptr, false}};
  for (const auto& [text, expected] : values) {
    SCOPED_TRACE(text ? text : "keys missing");
    CIniDocument document;
    const std::string v = text ? text : "";
    if (text) document.LoadFromBuffer("[FileGroupInfo]\nCentering=" + v + "\nIsDuplex=" + v + "\nNoBlankSplits=" + v);
    CGroupDocumentReader reader(document);
    bool centering = !expected, duplex = !expected, noBlank = !expected;
    EXPECT_EQ(reader.GetCentering(centering), 0);
    EXPECT_EQ(reader.GetIsDuplex(duplex), 0);
    EXPECT_EQ(reader.GetNoBlankSplits(noBlank), 0);
    EXPECT_EQ(centering, expected);
    EXPECT_EQ(duplex, expected);
    EXPECT_EQ(noBlank, expected);
  }
}

TEST(GroupDocumentReaders, PageRangeNeedsANonZeroFirstPage) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[one.pdf_Settings]\nPageRange=3\n[two.pdf_Settings]\nPageRange=4,7\n[zeros.pdf_Settings]\nPageRange=0000\n"
      "[empty.pdf_Settings]\nPageRange=\n[odd.pdf_Settings]\nPageRange= 5 , 9x\n[zero.pdf_Settings]\nPageRange=0,0\n");
  CGroupDocumentReader reader(document);
  struct Case {
    const char* file;
    int status, first, second;
  } cases[] = {{"one.pdf", 0, 3, 0},   {"two.pdf", 0, 4, 7},   {"odd.pdf", 0, 5, 9},   {"zero.pdf", 0, 0, 0},
               {"zeros.pdf", 2, 0, 0}, {"empty.pdf", 2, 0, 0}, {"absent.pdf", 2, 0, 0}};
  for (const Case& c : cases) {
    int first = -5, second = -5;
    EXPECT_EQ(reader.GetPageRange(c.file, first, second), c.status) << c.file;
    EXPECT_EQ(first, c.first) << c.file;
    EXPECT_EQ(second, c.second) << c.file;
  }
}

TEST(GroupDocumentReaders, LayoutValuesOfAFileNeverFallBackToTheGroups) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileGroupInfo]\nOverlap=10\nPrintableOffsetPixels=20\nPrintableWidthPixels=30\n"
      "[b.pdf_Settings]\nOverlap=11\nPrintableOffsetPixels=21\nPrintableWidthPixels=31\n");
  CGroupDocumentReader reader(document);
  using Read = int (CGroupDocumentReader::*)(const std::string&, int&) const;
  const std::pair<Read, int> readers[] = {{&CGroupDocumentReader::GetOverlap, 10},
                                          {&CGroupDocumentReader::GetPrintableOffsetPixels, 20},
                                          {&CGroupDocumentReader::GetPrintableWidthPixels, 30}};
  for (const auto& [read, groupValue] : readers) {
    int value = 0;
    EXPECT_EQ((reader.*read)("", value), 0);
    EXPECT_EQ(value, groupValue);
    EXPECT_EQ((reader.*read)("b.pdf", value), 0);
    EXPECT_EQ(value, groupValue + 1);
    EXPECT_EQ((reader.*read)("c.pdf", value), 2);
    EXPECT_EQ(value, -1);
  }
}

TEST(GroupDocumentReaders, MemberListsInFileOrder) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileInfo]\n; members\nz.tif=Cyan,G\n\"a b.tif\"=\nm.tif=Black,G,0,0,0,255,1,1\n"
      "[SeparatorFileInfo]\nsep.tif=Cut,G\n");
  CGroupDocumentReader reader(document);
  EXPECT_EQ(reader.GetFileInfoNames(), (std::vector<std::string>{"z.tif", "a b.tif", "m.tif"}));
  EXPECT_EQ(reader.GetSeparatorFileInfoNames(), std::vector<std::string>{"sep.tif"});
  std::string details;
  reader.GetFileInfo("M.TIF", details);
  EXPECT_EQ(details, "Black,G,0,0,0,255,1,1");
  reader.GetSeparatorFileInfo("sep.tif", details);
  EXPECT_EQ(details, "Cut,G");
  CIniDocument empty;
  EXPECT_TRUE(CGroupDocumentReader(empty).GetFileInfoNames().empty());
}

TEST(GroupDocumentWriters, FilenameSchemeGroupFileFromScratch) {
  CIniDocument document;
  document.SetSeparatorFlag(true);
  CGroupDocument group(document);
  group.SetFolderPath("C:\\Hot\\In\\Job42");
  group.SetGroupName("Job42");
  group.SetTimeoutSeconds(30);
  group.SetSerialMode(0);
  group.SetFileCountTrigger(1);
  group.SetFileCount(4);
  group.SetGroupMethod(kGroupMethodFilenameScheme);
  group.SetFNSFileName("Standard");
  group.SetExtension(".tif");
  group.SetFileInfo("Job42_C_p1.tif", "Cyan,Job42,255,0,0,0,1,1");
  group.SetPageNumber("Job42_C_p1.tif", 1);
  group.SetFileInfo("Job 42 M.tif", "Magenta,Job42");
  group.SetPageNumber("Job 42 M.tif", 2);
  const char expected[] =
      "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\In\\Job42\r\nGroupName=Job42\r\nExtension=.tif\r\n"
      "\r\n[SettingsInfo]\r\n"
      "TimeoutSeconds=30\r\nSerialMode=0\r\nFileCountTrigger=1\r\nFileCount=4\r\nGroupMethod=2\r\n"
      "FNSFileName=Standard\r\n"
      "\r\n[FileInfo]\r\nJob42_C_p1.tif=Cyan,Job42,255,0,0,0,1,1\r\n\"Job 42 M.tif\"=Magenta,Job42\r\n"
      "\r\n[Job42_C_p1.tif_Settings]\r\nPageNumber=1\r\n"
      "\r\n[Job 42 M.tif_Settings]\r\nPageNumber=2\r\n";
  EXPECT_EQ(document.SaveToBuffer(), expected);
}

TEST(GroupDocumentWriters, EveryWriterUsesItsKey) {
  CIniDocument document;
  document.SetSeparatorFlag(true);
  CGroupDocument group(document);
  const std::string f = "x.pdf";
  group.SetResourceID("abc123");
  group.SetJDFFile("ticket.jdf");
  group.SetJDFJobID(2147483647);
  group.SetJDFCustom1("c1");
  group.SetJDFCustom2("c2");
  group.SetCalibrationMode(3);
  group.SetCentering(true);
  group.SetIsDuplex(false);
  group.SetNoBlankSplits(true);
  group.SetSystemDeviceID(-7);
  group.SetChunkCount(5);
  group.SetSplitCount(6);
  group.SetUsedHeads("1,3");
  group.SetOverlap("", 8);
  group.SetPrintableOffsetPixels("", 10);
  group.SetPrintableWidthPixels("", 12);
  group.SetNoSubScan("Yes");
  group.SetNoMoveCopyFolder("1");
  group.SetStemMatchesGpName("a");
  group.SetExtMatchesFileExt("b");
  group.SetFileIsInList("c");
  group.SetOverlap(f, 9);
  group.SetPrintableOffsetPixels(f, 11);
  group.SetPrintableWidthPixels(f, 13);
  group.SetPageCount(f, 14);
  group.SetPageWidth(f, 15);
  group.SetPageHeight(f, 16);
  group.SetCopyCount(f, 17);
  group.SetAllPages(f, 1);
  group.SetCollate(f, 0);
  group.SetReversePages(f, 1);
  group.SetChunkIndex(f, 18);
  group.SetSlice(f, 19);
  group.SetSplitIndex(f, 20);
  group.SetPageRange(f, 2, -3);
  group.SetRealFileName(f, "1_x.pdf");
  group.SetJDFPageRange(f, "0~3");
  group.AddSeparatorFileInfo("s.tif", "Cut");
  group.SetSeparatorFileInfo("S.tif", "Crease");
  const char expected[] =
      "[FileGroupInfo]\r\n"
      "ResourceID=abc123\r\nJDFFile=ticket.jdf\r\nJDFJobID=2147483647\r\nJDFCustom1=c1\r\nJDFCustom2=c2\r\n"
      "CalibrationMode=3\r\nCentering=1\r\nIsDuplex=0\r\nNoBlankSplits=1\r\nSystemDeviceID=-7\r\n"
      "ChunkCount=5\r\nSplitCount=6\r\nUsedHeads=1,3\r\nOverlap=8\r\nPrintableOffsetPixels=10\r\n"
      "PrintableWidthPixels=12\r\n"
      "\r\n[SettingsInfo]\r\n"
      "NoSubScan=Yes\r\nNoMoveCopyFolder=1\r\nStemMatchesGpName=a\r\nExtMatchesFileExt=b\r\nFileIsInList=c\r\n"
      "\r\n[x.pdf_Settings]\r\n"
      "Overlap=9\r\nPrintableOffsetPixels=11\r\nPrintableWidthPixels=13\r\nPageCount=14\r\nPageWidth=15\r\n"
      "PageHeight=16\r\nCopyCount=17\r\nAllPages=1\r\nCollate=0\r\nReversePages=1\r\nChunkIndex=18\r\n"
      "Slice=19\r\nSplitIndex=20\r\nPageRange=2,-3\r\nRealFileName=1_x.pdf\r\nJDFPageRange=0~3\r\n"
      "\r\n[SeparatorFileInfo]\r\n"
      "s.tif=Crease\r\n";
  EXPECT_EQ(document.SaveToBuffer(), expected);

  // And the readers find what the writers wrote, a negative second page included.
  CGroupDocumentReader reader(document);
  int first = 0, second = 0, value = 0;
  bool flag = false;
  EXPECT_EQ(reader.GetPageRange(f, first, second), 0);
  EXPECT_EQ(std::make_pair(first, second), std::make_pair(2, -3));
  EXPECT_EQ(reader.GetJDFJobID(value), 0);
  EXPECT_EQ(value, 2147483647);
  EXPECT_EQ(reader.GetNoBlankSplits(flag), 0);
  EXPECT_TRUE(flag);
}

TEST(GroupDocumentWriters, AddFileInfoAppendsWhileSetReplaces) {
  CIniDocument document;
  CGroupDocument group(document);
  group.AddFileInfo("a.tif", "");
  group.AddFileInfo("a.tif", "dup");
  group.SetFileInfo("A.TIF", "first");
  group.SetFileInfo("b.tif", "");
  EXPECT_EQ(group.GetFileInfoNames(), (std::vector<std::string>{"a.tif", "a.tif", "b.tif"}));
  EXPECT_EQ(document.Section(0).Entry(0).value, "first");
  EXPECT_EQ(document.Section(0).Entry(1).value, "dup");
}

// ---- path checks: each failure logs one line naming the caller ----

TEST(GroupPathChecks, FilePathMustBeAnExistingFile) {
  ScratchFolder scratch("hf_group_paths_");
  std::filesystem::create_directories(scratch.folder / "Job");
  WriteBytes(scratch.PathOf("a.tif"), "x");
  LogCapture log;
  EXPECT_EQ(CheckFilePath(scratch.PathOf("a.tif"), "mover", 10), PathCheck::kValid);
  EXPECT_EQ(CheckFilePath("", "mover", 11), PathCheck::kEmpty);
  EXPECT_EQ(CheckFilePath(scratch.PathOf("b.tif"), "mover", 12), PathCheck::kMissing);
  EXPECT_EQ(CheckFilePath(scratch.PathOf("Job"), "mover", 13), PathCheck::kMissing);  // a folder is not a file
  const std::vector<LogLine> expected = {{2, "mover(11): Path <> is invalid: empty"},
                                         {2, "mover(12): Path <" + scratch.PathOf("b.tif") + "> is invalid: missing"},
                                         {2, "mover(13): Path <" + scratch.PathOf("Job") + "> is invalid: missing"}};
  EXPECT_EQ(log.lines, expected);
}

TEST(GroupPathChecks, FolderPathMustBeAnExistingFolder) {
  ScratchFolder scratch("hf_group_paths_");
  std::filesystem::create_directories(scratch.folder / "Job");
  WriteBytes(scratch.PathOf("a.tif"), "x");
  LogCapture log;
  EXPECT_EQ(CheckFolderPath(scratch.PathOf("Job"), "group", 1), PathCheck::kValid);
  EXPECT_EQ(CheckFolderPath("", "group", 2), PathCheck::kEmpty);
  EXPECT_EQ(CheckFolderPath(scratch.PathOf("a.tif"), "group", 3), PathCheck::kMissing);
  EXPECT_EQ(CheckFolderPath(scratch.PathOf("Nothing"), "group", 4), PathCheck::kMissing);
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0].second, "group(2): Path <> is invalid: empty");
  EXPECT_EQ(log.lines[1].second, "group(3): Path <" + scratch.PathOf("a.tif") + "> is invalid: non-folder/missing");
}

TEST(GroupPathChecks, GroupFileNeedsItsExtensionAndAnExistingFolder) {
  ScratchFolder scratch("hf_group_paths_");
  std::filesystem::create_directories(scratch.folder / "Job");
  const std::string job = "[FileGroupInfo]\r\nFolderPath=" + scratch.PathOf("Job") + "\r\n";
  WriteBytes(scratch.PathOf("Job.fgl"), job);
  WriteBytes(scratch.PathOf("Upper.FGL"), job);
  WriteBytes(scratch.PathOf("Job.txt"), job);
  WriteBytes(scratch.PathOf("Gone.fgl"), "[FileGroupInfo]\r\nFolderPath=" + scratch.PathOf("Gone") + "\r\n");
  WriteBytes(scratch.PathOf("NoFolder.fgl"), "[FileGroupInfo]\r\nGroupName=x\r\n");
  LogCapture log;
  std::string folderPath;
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Job.fgl"), folderPath, "move", 1), PathCheck::kValid);
  EXPECT_EQ(folderPath, scratch.PathOf("Job"));
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Upper.FGL"), folderPath, "move", 2), PathCheck::kValid);
  EXPECT_TRUE(log.lines.empty());

  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Gone.fgl"), folderPath, "move", 3), PathCheck::kMissing);
  EXPECT_EQ(folderPath, scratch.PathOf("Gone"));
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("NoFolder.fgl"), folderPath, "move", 4), PathCheck::kEmpty);
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Job.txt"), folderPath, "move", 5), PathCheck::kNotGroupFile);
  EXPECT_EQ(folderPath, "");
  EXPECT_EQ(CheckGroupFile(scratch.PathOf("Missing.fgl"), folderPath, "move", 6), PathCheck::kMissing);
  EXPECT_EQ(CheckGroupFile("", folderPath, "move", 7), PathCheck::kEmpty);
  ASSERT_EQ(log.lines.size(), 5u);
  EXPECT_EQ(log.lines[0].second, "move(3): Path <" + scratch.PathOf("Gone") + "> is invalid: non-folder/missing");
  EXPECT_EQ(log.lines[1].second, "move(4): Path <> is invalid: empty");
  EXPECT_EQ(log.lines[2].second,
            "move(5): Path <" + scratch.PathOf("Job.txt") + "> does not have group file extension");
  EXPECT_EQ(log.lines[3].second, "move(6): Path <" + scratch.PathOf("Missing.fgl") + "> is invalid: missing");

  // The one-value read of a group file: a missing file reads as empty, not as a failure.
  std::string value = "stale";
  WriteBytes(scratch.PathOf("Id.fgl"), "[FileGroupInfo]\r\nResourceID=77aa\r\n");
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(scratch.PathOf("Id.fgl"), "fileGroupInfo", "resourceid", value), 0);
  EXPECT_EQ(value, "77aa");
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(scratch.PathOf("No.fgl"), "FileGroupInfo", "ResourceID", value), 0);
  EXPECT_EQ(value, "");
}

}  // namespace hf
