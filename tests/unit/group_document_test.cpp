// Typed group-file readers and writers, the leading-integer rule, the comma
// fields and the path checks.
#include "common/group_document.h"
#include "common/group_path_checks.h"
#include "common/leading_integer.h"
#include "common/log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

TEST(LeadingInteger, OddValues) {
  EXPECT_EQ(LeadingInteger("  -12abc"), -12);
  EXPECT_EQ(LeadingInteger("+"), 0);
  EXPECT_EQ(LeadingInteger("-"), 0);
  EXPECT_EQ(LeadingInteger(""), 0);
  EXPECT_EQ(LeadingInteger("abc"), 0);
  EXPECT_EQ(LeadingInteger("\t+7 days"), 7);
  EXPECT_EQ(LeadingInteger("12 34"), 12);
  EXPECT_EQ(LeadingInteger("- 5"), 0);
  EXPECT_EQ(LeadingInteger("0x1F"), 0);
  EXPECT_EQ(LeadingInteger("007"), 7);
  EXPECT_EQ(LeadingInteger("2147483647"), INT_MAX);
  EXPECT_EQ(LeadingInteger("-2147483648"), INT_MIN);
  EXPECT_EQ(LeadingInteger("99999999999999999999"), INT_MAX);
  EXPECT_EQ(LeadingInteger("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(LeadingInteger(std::string_view("42\0"
                                            "9",
                                            4)),
            42);
}

TEST(CommaFields, SplitPickAndJoin) {
  EXPECT_TRUE(SplitCommaFields("").empty());
  EXPECT_EQ(SplitCommaFields("Cyan"), std::vector<std::string>{"Cyan"});
  EXPECT_EQ(SplitCommaFields("a,,b,"), (std::vector<std::string>{"a", "", "b", ""}));
  const char details[] = "CHROMIX 185 C,Job42,0,230,180,0,0,3";
  EXPECT_EQ(GetCommaField(details, 1), "CHROMIX 185 C");
  EXPECT_EQ(GetCommaField(details, 2), "Job42");
  EXPECT_EQ(GetCommaField(details, 8), "3");
  EXPECT_EQ(GetCommaField(details, 9), "");
  EXPECT_EQ(GetCommaField(details, 0), "");
  EXPECT_EQ(GetCommaField(details, -1), "");
  EXPECT_EQ(GetCommaField("", 1), "");
  EXPECT_EQ(JoinWithCommas({"Cyan", "Job42", "255"}), "Cyan,Job42,255");
  EXPECT_EQ(JoinWithCommas({}), "");
  EXPECT_EQ(JoinWithCommas({"", ""}), ",");
  EXPECT_EQ(FileSettingsSection("a.tif"), "a.tif_Settings");
}

// ---- readers ----

TEST(GroupDocumentReaders, IntegerDefaultsWhenMissing) {
  CIniDocument empty;
  CGroupDocumentReader reader(empty);
  for (const IntegerReaderCase& reader_case : IntegerReaders()) {
    int value = 12345;
    EXPECT_EQ(reader_case.read(reader, value), reader_case.missingStatus) << reader_case.name;
    EXPECT_EQ(value, reader_case.missingValue) << reader_case.name;
  }
}

TEST(GroupDocumentReaders, IntegerDefaultsWhenEmpty) {
  CIniDocument document;
  document.LoadFromBuffer(kAllIntegersEmpty);
  CGroupDocumentReader reader(document);
  for (const IntegerReaderCase& reader_case : IntegerReaders()) {
    int value = 12345;
    EXPECT_EQ(reader_case.read(reader, value), reader_case.missingStatus) << reader_case.name;
    EXPECT_EQ(value, reader_case.missingValue) << reader_case.name;
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

TEST(GroupDocumentReaders, TextReadersAlwaysSucceed) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileGroupInfo]\nFolderPath=C:\\Hot\\Job\nGroupName=Job\nExtension=.tif\nResourceID=1f2e\n"
      "JDFFile=job.jdf\nJDFCustom1=Desc\nJDFCustom2=ID7\nUsedHeads=1,2\n"
      "[SettingsInfo]\nFNSFileName=Standard\nNoSubScan=Yes\nNoMoveCopyFolder=1\nStemMatchesGpName=y\n"
      "ExtMatchesFileExt=y\nFileIsInList=y\n"
      "[a.tif_Settings]\nRealFileName=real a.tif\nJDFPageRange=1-4\n");
  CGroupDocumentReader reader(document);
  using Reader = std::function<int(std::string&)>;
  const std::pair<Reader, const char*> readers[] = {
      {[&](std::string& v) { return reader.GetFolderPath(v); }, "C:\\Hot\\Job"},
      {[&](std::string& v) { return reader.GetGroupName(v); }, "Job"},
      {[&](std::string& v) { return reader.GetExtension(v); }, ".tif"},
      {[&](std::string& v) { return reader.GetResourceID(v); }, "1f2e"},
      {[&](std::string& v) { return reader.GetJDFFile(v); }, "job.jdf"},
      {[&](std::string& v) { return reader.GetJDFCustom1(v); }, "Desc"},
      {[&](std::string& v) { return reader.GetJDFCustom2(v); }, "ID7"},
      {[&](std::string& v) { return reader.GetUsedHeads(v); }, "1,2"},
      {[&](std::string& v) { return reader.GetFNSFileName(v); }, "Standard"},
      {[&](std::string& v) { return reader.GetNoSubScan(v); }, "Yes"},
      {[&](std::string& v) { return reader.GetNoMoveCopyFolder(v); }, "1"},
      {[&](std::string& v) { return reader.GetStemMatchesGpName(v); }, "y"},
      {[&](std::string& v) { return reader.GetExtMatchesFileExt(v); }, "y"},
      {[&](std::string& v) { return reader.GetFileIsInList(v); }, "y"},
      {[&](std::string& v) { return reader.GetRealFileName("a.tif", v); }, "real a.tif"},
      {[&](std::string& v) { return reader.GetJDFPageRange("A.TIF", v); }, "1-4"},
  };
  for (const auto& [read, expected] : readers) {
    std::string value = "stale";
    EXPECT_EQ(read(value), 0);
    EXPECT_EQ(value, expected);
  }
  CIniDocument empty;
  CGroupDocumentReader emptyReader(empty);
  std::string value = "stale";
  EXPECT_EQ(emptyReader.GetFolderPath(value), 0);
  EXPECT_EQ(value, "");
  value = "stale";
  EXPECT_EQ(emptyReader.GetRealFileName("a.tif", value), 0);
  EXPECT_EQ(value, "");
}

TEST(GroupDocumentReaders, FlagsAreTrueOnlyForOne) {
  const std::pair<const char*, bool> values[] = {{"1", true},  {" 1", true}, {"1x", true},  {"2", false},
                                                 {"0", false}, {"", false},  {"yes", false}};
  for (const auto& [text, expected] : values) {
    CIniDocument document;
    document.LoadFromBuffer(std::string("[FileGroupInfo]\nCentering=") + text + "\nIsDuplex=" + text +
                            "\nNoBlankSplits=" + text + "\n");
    CGroupDocumentReader reader(document);
    bool centering = !expected, duplex = !expected, noBlank = !expected;
    EXPECT_EQ(reader.GetCentering(centering), 0);
    EXPECT_EQ(reader.GetIsDuplex(duplex), 0);
    EXPECT_EQ(reader.GetNoBlankSplits(noBlank), 0);
    EXPECT_EQ(centering, expected) << text;
    EXPECT_EQ(duplex, expected) << text;
    EXPECT_EQ(noBlank, expected) << text;
  }
  CIniDocument empty;
  bool flag = true;
  EXPECT_EQ(CGroupDocumentReader(empty).GetCentering(flag), 0);
  EXPECT_FALSE(flag);
}

TEST(GroupDocumentReaders, PageRange) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[one.pdf_Settings]\nPageRange=3\n"
      "[two.pdf_Settings]\nPageRange=4,7\n"
      "[zeros.pdf_Settings]\nPageRange=0000\n"
      "[empty.pdf_Settings]\nPageRange=\n"
      "[odd.pdf_Settings]\nPageRange= 5 , 9x\n"
      "[zero.pdf_Settings]\nPageRange=0,0\n");
  CGroupDocumentReader reader(document);
  int first = -5, second = -5;
  EXPECT_EQ(reader.GetPageRange("one.pdf", first, second), 0);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(reader.GetPageRange("two.pdf", first, second), 0);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(second, 7);
  EXPECT_EQ(reader.GetPageRange("odd.pdf", first, second), 0);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(second, 9);
  EXPECT_EQ(reader.GetPageRange("zero.pdf", first, second), 0);
  for (const char* missing : {"zeros.pdf", "empty.pdf", "absent.pdf"}) {
    first = second = -5;
    EXPECT_EQ(reader.GetPageRange(missing, first, second), 2) << missing;
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
  }
}

TEST(GroupDocumentReaders, GroupLevelAndPerFileLayoutValues) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[FileGroupInfo]\nOverlap=10\nPrintableOffsetPixels=20\nPrintableWidthPixels=30\n"
      "[b.pdf_Settings]\nOverlap=11\nPrintableOffsetPixels=21\nPrintableWidthPixels=31\n");
  CGroupDocumentReader reader(document);
  int value = 0;
  EXPECT_EQ(reader.GetOverlap("", value), 0);
  EXPECT_EQ(value, 10);
  EXPECT_EQ(reader.GetOverlap("b.pdf", value), 0);
  EXPECT_EQ(value, 11);
  EXPECT_EQ(reader.GetPrintableOffsetPixels("", value), 0);
  EXPECT_EQ(value, 20);
  EXPECT_EQ(reader.GetPrintableOffsetPixels("b.pdf", value), 0);
  EXPECT_EQ(value, 21);
  EXPECT_EQ(reader.GetPrintableWidthPixels("", value), 0);
  EXPECT_EQ(value, 30);
  EXPECT_EQ(reader.GetPrintableWidthPixels("b.pdf", value), 0);
  EXPECT_EQ(value, 31);
  // A file without its own value does not fall back to the group's.
  EXPECT_EQ(reader.GetOverlap("c.pdf", value), 2);
  EXPECT_EQ(value, -1);
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

// ---- writers ----

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
      "[FileGroupInfo]\r\n"
      "FolderPath=C:\\Hot\\In\\Job42\r\n"
      "GroupName=Job42\r\n"
      "Extension=.tif\r\n"
      "\r\n"
      "[SettingsInfo]\r\n"
      "TimeoutSeconds=30\r\n"
      "SerialMode=0\r\n"
      "FileCountTrigger=1\r\n"
      "FileCount=4\r\n"
      "GroupMethod=2\r\n"
      "FNSFileName=Standard\r\n"
      "\r\n"
      "[FileInfo]\r\n"
      "Job42_C_p1.tif=Cyan,Job42,255,0,0,0,1,1\r\n"
      "\"Job 42 M.tif\"=Magenta,Job42\r\n"
      "\r\n"
      "[Job42_C_p1.tif_Settings]\r\n"
      "PageNumber=1\r\n"
      "\r\n"
      "[Job 42 M.tif_Settings]\r\n"
      "PageNumber=2\r\n";
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

  // And the readers find what the writers wrote.
  CGroupDocumentReader reader(document);
  int first = 0, second = 0, value = 0;
  EXPECT_EQ(reader.GetPageRange(f, first, second), 0);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, -3);
  EXPECT_EQ(reader.GetJDFJobID(value), 0);
  EXPECT_EQ(value, 2147483647);
  bool flag = false;
  reader.GetNoBlankSplits(flag);
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

// ---- path checks ----

namespace {

std::vector<std::string>* capturedLines = nullptr;
void CaptureLine(int, const char* text) { capturedLines->push_back(text); }

class GroupPathChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder = std::filesystem::temp_directory_path() / ("hf_group_paths_" + std::to_string(stamp));
    std::filesystem::create_directories(folder / "Job");
    capturedLines = &lines;
    previousSink = SetLogSink(CaptureLine);
    previousLevel = CurrentLogLevel();
    previousEnabled = LoggingEnabled();
    SetLogSettings(2, true);
  }
  void TearDown() override {
    SetLogSink(previousSink);
    SetLogSettings(previousLevel, previousEnabled);
    capturedLines = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string PathOf(const std::string& name) const { return (folder / name).string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream out(PathOf(name), std::ios::binary);
    out << text;
  }
  std::filesystem::path folder;
  std::vector<std::string> lines;
  LogSink previousSink = nullptr;
  int previousLevel = 0;
  bool previousEnabled = false;
};

}  // namespace

TEST_F(GroupPathChecks, FilePath) {
  Write("a.tif", "x");
  EXPECT_EQ(CheckFilePath(PathOf("a.tif"), "mover", 10), kPathValid);
  EXPECT_EQ(CheckFilePath("", "mover", 11), kPathEmpty);
  EXPECT_EQ(CheckFilePath(PathOf("b.tif"), "mover", 12), kPathMissing);
  EXPECT_EQ(CheckFilePath(PathOf("Job"), "mover", 13), kPathMissing);  // a folder is not a file
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "mover(11): Path <> is invalid: empty");
  EXPECT_EQ(lines[1], "mover(12): Path <" + PathOf("b.tif") + "> is invalid: missing");
  EXPECT_EQ(lines[2], "mover(13): Path <" + PathOf("Job") + "> is invalid: missing");
}

TEST_F(GroupPathChecks, FolderPath) {
  Write("a.tif", "x");
  EXPECT_EQ(CheckFolderPath(PathOf("Job"), "group", 1), kPathValid);
  EXPECT_EQ(CheckFolderPath("", "group", 2), kPathEmpty);
  EXPECT_EQ(CheckFolderPath(PathOf("a.tif"), "group", 3), kPathMissing);
  EXPECT_EQ(CheckFolderPath(PathOf("Nothing"), "group", 4), kPathMissing);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "group(2): Path <> is invalid: empty");
  EXPECT_EQ(lines[1], "group(3): Path <" + PathOf("a.tif") + "> is invalid: non-folder/missing");
}

TEST_F(GroupPathChecks, GroupFile) {
  Write("Job.fgl", "[FileGroupInfo]\r\nFolderPath=" + PathOf("Job") + "\r\n");
  Write("Upper.FGL", "[FileGroupInfo]\r\nFolderPath=" + PathOf("Job") + "\r\n");
  Write("Gone.fgl", "[FileGroupInfo]\r\nFolderPath=" + PathOf("Gone") + "\r\n");
  Write("NoFolder.fgl", "[FileGroupInfo]\r\nGroupName=x\r\n");
  Write("Job.txt", "[FileGroupInfo]\r\nFolderPath=" + PathOf("Job") + "\r\n");
  std::string folderPath;
  EXPECT_EQ(CheckGroupFile(PathOf("Job.fgl"), folderPath, "move", 1), kPathValid);
  EXPECT_EQ(folderPath, PathOf("Job"));
  EXPECT_EQ(CheckGroupFile(PathOf("Upper.FGL"), folderPath, "move", 2), kPathValid);
  EXPECT_TRUE(lines.empty());

  EXPECT_EQ(CheckGroupFile(PathOf("Gone.fgl"), folderPath, "move", 3), kPathMissing);
  EXPECT_EQ(folderPath, PathOf("Gone"));
  EXPECT_EQ(CheckGroupFile(PathOf("NoFolder.fgl"), folderPath, "move", 4), kPathEmpty);
  EXPECT_EQ(CheckGroupFile(PathOf("Job.txt"), folderPath, "move", 5), kPathNotGroupFile);
  EXPECT_EQ(folderPath, "");
  EXPECT_EQ(CheckGroupFile(PathOf("Missing.fgl"), folderPath, "move", 6), kPathMissing);
  EXPECT_EQ(CheckGroupFile("", folderPath, "move", 7), kPathEmpty);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "move(3): Path <" + PathOf("Gone") + "> is invalid: non-folder/missing");
  EXPECT_EQ(lines[1], "move(4): Path <> is invalid: empty");
  EXPECT_EQ(lines[2], "move(5): Path <" + PathOf("Job.txt") + "> does not have group file extension");
  EXPECT_EQ(lines[3], "move(6): Path <" + PathOf("Missing.fgl") + "> is invalid: missing");
}

TEST_F(GroupPathChecks, TextFromAFile) {
  Write("Job.fgl", "[FileGroupInfo]\r\nResourceID=77aa\r\n");
  std::string value = "stale";
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(PathOf("Job.fgl"), "fileGroupInfo", "resourceid", value), 0);
  EXPECT_EQ(value, "77aa");
  EXPECT_EQ(CGroupDocumentReader::ReadTextFromFile(PathOf("Nope.fgl"), "FileGroupInfo", "ResourceID", value), 0);
  EXPECT_EQ(value, "");
}
