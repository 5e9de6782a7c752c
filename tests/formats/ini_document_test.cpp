// CIniDocument: the syntax as read and as written, look-ups, edits, and
// loading and saving files.
#include "formats/ini_document.h"
#include "base/ascii.h"

#include "tests/support/unit_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace hf {

namespace {

std::string Resave(std::string_view text) {
  CIniDocument document;
  document.LoadFromBuffer(text);
  return document.SaveToBuffer();
}

// A group file as the plug-in writes it, typed out by hand.
const char kGroupFile[] =
    "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\In\\Job42\r\nGroupName=Job42\r\nExtension=.tif\r\n"
    "\r\n[SettingsInfo]\r\nTimeoutSeconds=30\r\nSerialMode=0\r\nFileCountTrigger=1\r\nFileCount=4\r\n"
    "GroupMethod=2\r\nFNSFileName=Standard\r\n"
    "\r\n[FileInfo]\r\nJob42_C_p1.tif=Cyan,Job42,255,0,0,0,1,1\r\n\"Job42 M p1.tif\"=Magenta,Job42,0,255,0,0,1,1\r\n"
    "\r\n[Job42_C_p1.tif_Settings]\r\nPageNumber=1\r\n";

// A filename-scheme template as a user would edit it: comments, blanks around
// "=", indentation, an empty line inside a section, LF line ends.
const char kTemplate[] =
    "; Standard separation naming\n# <job>_<colour>_p<page>.tif\n"
    "[ProcessId]\nSEP_PROCESS_OFFSET = 0\n\nSEP_PROCESS_DELIMITER=95\n   ; indented comment\n"
    "[GroupId]\n  SEP_GROUP_TIMEOUT_SECONDS=45\nSEP_GROUP_CLOSE_FILECOUNT=\n\n\n";

}  // namespace

// ---- reading ----

TEST(IniDocumentRead, GroupFileRoundTripsByteForByteAndIsReadIgnoringCase) {
  EXPECT_EQ(Resave(kGroupFile), kGroupFile);
  CIniDocument document;
  document.LoadFromBuffer(kGroupFile);
  ASSERT_EQ(document.SectionCount(), 4u);
  EXPECT_EQ(document.Section(0).name(), "FileGroupInfo");
  EXPECT_TRUE(document.separatorFlag());
  EXPECT_EQ(document.GetValue("fileGROUPinfo", "folderpath", ""), "C:\\Hot\\In\\Job42");
  EXPECT_EQ(document.GetValue("FILEINFO", "JOB42 m P1.TIF", ""), "Magenta,Job42,0,255,0,0,1,1");
  EXPECT_EQ(document.GetValue("Job42_C_p1.tif_Settings", "PageNumber", "?"), "1");
  EXPECT_EQ(document.FindSection("settingsinfo"), 1u);
  EXPECT_FALSE(document.FindSection("Missing"));
  EXPECT_EQ(document.GetValue("Missing", "FolderPath", "dflt"), "dflt");
  EXPECT_EQ(document.GetValue("FileGroupInfo", "Missing", "dflt"), "dflt");
  std::string value = "untouched";
  EXPECT_FALSE(document.FindValue("FileGroupInfo", "Missing", value));
  EXPECT_EQ(value, "untouched");
}

TEST(IniDocumentRead, TemplateKeepsCommentsAndInnerBlankLinesButDropsTrailingOnes) {
  const char expected[] =
      "; Standard separation naming\r\n# <job>_<colour>_p<page>.tif\r\n"
      "\r\n[ProcessId]\r\nSEP_PROCESS_OFFSET=0\r\n\r\nSEP_PROCESS_DELIMITER=95\r\n   ; indented comment\r\n"
      "\r\n[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=45\r\nSEP_GROUP_CLOSE_FILECOUNT=\r\n";
  EXPECT_EQ(Resave(kTemplate), expected);
  EXPECT_EQ(Resave(expected), expected);

  CIniDocument document;
  document.LoadFromBuffer(kTemplate);
  ASSERT_EQ(document.SectionCount(), 3u);
  EXPECT_EQ(document.Section(0).name(), "");  // the comments before any header
  EXPECT_EQ(document.Section(0).EntryCount(), 2u);
  EXPECT_EQ(document.GetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", ""), "45");
  EXPECT_EQ(document.GetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", "dflt"), "");
  EXPECT_EQ(document.GetValue("ProcessId", "SEP_PROCESS_OFFSET", ""), "0");
}

TEST(IniDocumentRead, SectionNameRunsToTheLastBracket) {
  CIniDocument document;
  document.LoadFromBuffer("  [a]b] tail\nx=1\n[open\ny=2\n[]\nz=3\n");
  ASSERT_EQ(document.SectionCount(), 3u);
  EXPECT_EQ(document.Section(0).name(), "a]b");
  EXPECT_EQ(document.Section(1).name(), "open");
  EXPECT_EQ(document.Section(2).name(), "");
  EXPECT_EQ(document.GetValue("open", "y", ""), "2");
  // The nameless section keeps a header so that z stays out of [open].
  EXPECT_EQ(document.SaveToBuffer(), "[a]b]\r\nx=1\r\n\r\n[open]\r\ny=2\r\n\r\n[]\r\nz=3\r\n");
}

TEST(IniDocumentRead, KeyLineFormsGiveTheirKeyAndValue) {
  CIniDocument document;
  document.LoadFromBuffer(
      "[s]\nplain=value with  blanks  \nspaced   =   v\nnoequals  rest of = line\n\"My File.tif\"=q\n"
      "\"say \\\"hi\\\" now\"=escaped\n\"C:\\dir\\\\\"=slash\n\"open quote = x\nlonekey\na\"b=inner quote\n"
      "\tindented=tab\n");
  // "\\" before the closing quote is one backslash; with no closing quote the key runs to the line end.
  const std::pair<const char*, const char*> expected[] = {
      {"plain", "value with  blanks  "}, {"spaced", "v"},          {"noequals", "rest of = line"},
      {"My File.tif", "q"},              {"say \"hi\" now", "escaped"}, {"C:\\dir\\", "slash"},
      {"open quote = x", ""},            {"lonekey", ""},           {"a\"b", "inner quote"},
      {"indented", "tab"}};
  const CIniSection& section = document.Section(0);
  ASSERT_EQ(section.EntryCount(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(section.Entry(i).key, expected[i].first) << i;
    EXPECT_EQ(section.Entry(i).value, expected[i].second) << i;
  }
}

TEST(IniDocumentRead, RawLinesAreKeptWhole) {
  const char text[] =
      "[s]\r\n# hash comment\r\n  ; indented semicolon\r\n=value without key\r\n\"\" empty quoted key\r\n"
      "\x0b vertical tab line\r\nk=v\r\n";
  CIniDocument document;
  document.LoadFromBuffer(text);
  const CIniSection& section = document.Section(0);
  ASSERT_EQ(section.EntryCount(), 6u);
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(section.Entry(i).IsRaw()) << i;
  EXPECT_EQ(section.Entry(1).value, "  ; indented semicolon");
  EXPECT_EQ(section.Entry(2).value, "=value without key");
  EXPECT_EQ(document.SaveToBuffer(), text);
  EXPECT_EQ(document.GetValue("s", "", "none"), "none");  // raw lines are not keys
}

TEST(IniDocumentRead, OnlyLfEndsALineAndOnlyTheCrBeforeItGoes) {
  CIniDocument document;
  // CR-only line ends are not line ends: the whole text is one key line.
  document.LoadFromBuffer("[General]\rResourceID=abc\r");
  ASSERT_EQ(document.SectionCount(), 1u);
  EXPECT_EQ(document.Section(0).name(), "General");  // up to the last "]"
  EXPECT_EQ(document.Section(0).EntryCount(), 0u);

  document.LoadFromBuffer("[s]\r\na=1\r\r\nb=x\ry\nc=end\r");
  EXPECT_EQ(document.GetValue("s", "a", ""), "1\r");
  EXPECT_EQ(document.GetValue("s", "b", ""), "x\ry");
  EXPECT_EQ(document.GetValue("s", "c", ""), "end\r");
  EXPECT_EQ(document.SaveToBuffer(), "[s]\r\na=1\r\r\nb=x\ry\r\nc=end\r\r\n");

  document.LoadFromBuffer("[s]\nlast=1");  // the last line needs no line end
  EXPECT_EQ(document.GetValue("s", "last", ""), "1");
}

TEST(IniDocumentRead, NulBytesStayInsideTheirLine) {
  const std::string text("[s\0x]\r\nk\0y=v\0w\r\n", 16);
  CIniDocument document;
  document.LoadFromBuffer(text);
  ASSERT_EQ(document.SectionCount(), 1u);
  EXPECT_EQ(document.Section(0).name(), std::string("s\0x", 3));
  EXPECT_EQ(document.GetValue(std::string("s\0x", 3), std::string("k\0y", 3), ""), std::string("v\0w", 3));
  EXPECT_EQ(document.SaveToBuffer(), text);
}

TEST(IniDocumentRead, LoadingClearsTheDocumentAndOneEqualsSignSwitchesEveryLine) {
  CIniDocument document;
  document.SetSeparatorFlag(true);
  document.SetValue("old", "k", "v");
  document.LoadFromBuffer("[new]\nkey value\n");
  EXPECT_FALSE(document.separatorFlag());
  EXPECT_FALSE(document.FindSection("old"));
  EXPECT_EQ(document.SaveToBuffer(), "[new]\r\nkey value\r\n");  // no "=": the blank stays
  EXPECT_EQ(Resave("[s]\na 1\nb = 2\n"), "[s]\r\na=1\r\nb=2\r\n");
}

TEST(IniDocumentRead, PathologicalInputsSettleAfterOneResave) {
  const std::string inputs[] = {"", "\n", "[", "]", "\"", "\\", "=", "[[[[", std::string(100000, '['),
                                std::string(200000, 'k') + "=" + std::string(200000, 'v'),
                                std::string(5000, '\n'), std::string(5000, '\r'), std::string("\0\0\0", 3),
                                "\"\\", "\"a\\\\\\\""};
  for (const std::string& input : inputs) {
    std::string once = Resave(input);
    EXPECT_EQ(Resave(once), once) << "input of " << input.size() << " bytes";
  }
}

// ---- writing ----

TEST(IniDocumentWrite, KeysThatNeedQuotesAreQuotedAndReadBack) {
  const std::pair<const char*, const char*> keys[] = {
      {"My File.tif", "\"My File.tif\""},  {"tab\there", "\"tab\there\""},
      {"Caf\xe9.tif", "\"Caf\xe9.tif\""},  {"a=b", "\"a=b\""},
      {"say \"x\"", "\"say \\\"x\\\"\""},  {"end\\ ", "\"end\\ \""},
      {"C:\\a b\\c", "\"C:\\a b\\c\""},    {";notcomment", "\";notcomment\""},
      {"[notheader", "\"[notheader\""},    {"plain.tif", "plain.tif"},
      // A backslash before another or before the closing quote is doubled.
      {"dir name\\", "\"dir name\\\\\""}, {"two \\\\ slashes", "\"two \\\\\\ slashes\""},
  };
  CIniDocument document;
  document.SetSeparatorFlag(true);
  std::string expected = "[FileInfo]\r\n";
  for (size_t i = 0; i < std::size(keys); ++i) {
    document.SetValue("FileInfo", keys[i].first, std::to_string(i));
    expected += keys[i].second + ("=" + std::to_string(i)) + "\r\n";
  }
  const std::string saved = document.SaveToBuffer();
  EXPECT_EQ(saved, expected);
  CIniDocument reread;
  reread.LoadFromBuffer(saved);
  ASSERT_EQ(reread.Section(0).EntryCount(), std::size(keys));
  for (size_t i = 0; i < std::size(keys); ++i) {
    EXPECT_EQ(reread.Section(0).Entry(i).key, keys[i].first) << i;
    EXPECT_EQ(reread.Section(0).Entry(i).value, std::to_string(i)) << i;
  }
}

TEST(IniDocumentWrite, SectionsAreSeparatedByOneEmptyLineAndNothingWritesNothing) {
  EXPECT_EQ(CIniDocument().SaveToBuffer(), "");
  CIniDocument document;
  document.SetSeparatorFlag(true);
  document.SetValue("A", "x", "1");
  document.AddEntry("A", "", "");
  document.AddEntry("A", "", "");
  document.SetValue("B", "y", "2");
  document.AddEntry("B", "", "");
  document.AddEntry("B", "", "; note");
  document.AddSection("C");
  EXPECT_EQ(document.SaveToBuffer(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n\r\n; note\r\n\r\n[C]\r\n");
}

// ---- look-up and editing ----

TEST(IniDocumentEdit, SetReplacesTheFirstEntryInPlaceOrAppends) {
  CIniDocument document;
  document.LoadFromBuffer("[S]\r\nk=1\r\n; c\r\nK=2\r\nlast=3\r\n");
  document.SetValue("s", "K", "one");
  document.SetValue("S", "new", "4");
  document.SetValue("Fresh", "a", "5");
  EXPECT_EQ(document.SaveToBuffer(), "[S]\r\nk=one\r\n; c\r\nK=2\r\nlast=3\r\nnew=4\r\n\r\n[Fresh]\r\na=5\r\n");
}

TEST(IniDocumentEdit, AddEntryAppendsDuplicatesWithoutSearching) {
  CIniDocument document;
  document.AddEntry("Prefixes", "CHROMIX ", "");
  document.AddEntry("Prefixes", "CHROMIX ", "second");
  document.AddEntry("Prefixes", "", "; raw line");
  ASSERT_EQ(document.SectionCount(), 1u);
  EXPECT_EQ(document.Section(0).EntryCount(), 3u);
  EXPECT_EQ(document.GetValue("Prefixes", "chromix ", "x"), "");
  EXPECT_TRUE(document.Section(0).Entry(2).IsRaw());
}

TEST(IniDocumentEdit, RemoveAndClear) {
  CIniDocument document;
  document.LoadFromBuffer("[S]\na=1\nb=2\na=3\nc=4\n[T]\nx=1\n");
  EXPECT_TRUE(document.RemoveKey("S", "A"));
  EXPECT_EQ(document.GetValue("S", "a", ""), "3");  // the later duplicate now comes first
  EXPECT_EQ(document.GetValue("S", "c", ""), "4");  // positions after the removal are right
  EXPECT_FALSE(document.RemoveKey("S", "zz"));
  EXPECT_FALSE(document.RemoveKey("Nope", "a"));
  EXPECT_TRUE(document.ClearSection("t"));
  EXPECT_FALSE(document.ClearSection("Nope"));
  EXPECT_EQ(document.SaveToBuffer(), "[S]\r\nb=2\r\na=3\r\nc=4\r\n\r\n[T]\r\n");
  document.SetValue("T", "y", "2");
  EXPECT_EQ(document.GetValue("T", "y", ""), "2");
}

TEST(IniDocumentEdit, EditsByPositionKeepTheIndexRight) {
  CIniDocument document;
  document.LoadFromBuffer("[S]\na=1\nb=2\nc=3\n");
  CIniSection& section = document.Section(0);
  EXPECT_EQ(section.FindKey("c"), 2u);
  section.InsertEntry(0, "", "; header comment");
  EXPECT_EQ(section.FindKey("c"), 3u);
  section.ReplaceEntry(1, "z", "26");
  EXPECT_FALSE(section.FindKey("a"));
  EXPECT_EQ(section.FindKey("Z"), 1u);
  section.EraseEntry(0);
  EXPECT_EQ(section.FindKey("z"), 0u);
  section.SetValueAt(2, "three");
  EXPECT_EQ(document.GetValue("S", "C", ""), "three");
  section.Clear();
  EXPECT_FALSE(section.FindKey("z"));
  section.Append("n", "1");
  EXPECT_EQ(section.FindKey("N"), 0u);
}

TEST(IniDocumentEdit, ManyKeysKeepTheirOrderAndManySectionsAreFoundByName) {
  CIniDocument document;
  const int count = 10000;
  for (int i = 0; i < count; ++i) document.SetValue("Big", "Key" + std::to_string(i), std::to_string(i * 7));
  for (int i = 0; i < count; ++i)
    ASSERT_EQ(document.GetValue("big", "KEY" + std::to_string(i), ""), std::to_string(i * 7));
  document.SetValue("Big", "key5000", "changed");
  const CIniSection& section = document.Section(0);
  ASSERT_EQ(section.EntryCount(), static_cast<size_t>(count));
  EXPECT_EQ(section.Entry(5000).value, "changed");
  EXPECT_EQ(section.Entry(9999).key, "Key9999");

  for (int i = 0; i < 3000; ++i)
    document.SetValue("f" + std::to_string(i) + ".tif_Settings", "PageNumber", std::to_string(i));
  EXPECT_EQ(document.FindSection("F2999.TIF_settings"), 3000u);
  EXPECT_EQ(document.GetValue("f1234.tif_Settings", "pagenumber", ""), "1234");
}

TEST(IniDocumentEdit, NamesCompareAsciiCaseOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("FolderPath", "FOLDERPATH"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Folder", "FolderPath"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("a[", "A{"));  // '[' and '{' differ by the case bit but are not letters
  EXPECT_EQ(AsciiLowered("AbC\xc4"), "abc\xc4");
}

// ---- files ----

TEST(IniDocumentFiles, LoadEditSaveReloadAndSaveAs) {
  ScratchFolder scratch("hf_ini_document_");
  const std::string path = scratch.PathOf("Job42.fgl");
  WriteBytes(path, kGroupFile);
  CIniDocument document;
  ASSERT_TRUE(document.Load(path));
  EXPECT_EQ(document.path(), path);
  ASSERT_TRUE(document.Save());
  EXPECT_EQ(ReadBytes(path), kGroupFile);

  document.SetValue("FileGroupInfo", "FolderPath", "D:\\Out\\Job42");
  ASSERT_TRUE(document.Save());
  CIniDocument reread;
  ASSERT_TRUE(reread.Load(path));
  EXPECT_EQ(reread.GetValue("FileGroupInfo", "FolderPath", ""), "D:\\Out\\Job42");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));

  CIniDocument fresh;
  fresh.SetSeparatorFlag(true);
  fresh.SetValue("RefCount", "Count", "1");
  const std::string refPath = scratch.PathOf("_ref.ini");
  ASSERT_TRUE(fresh.SaveAs(refPath));
  EXPECT_EQ(fresh.path(), refPath);
  EXPECT_EQ(ReadBytes(refPath), "[RefCount]\r\nCount=1\r\n");
}

TEST(IniDocumentFiles, MissingFileLoadsEmptyAndFailedSaveLeavesTheFileAsItWas) {
  ScratchFolder scratch("hf_ini_document_");
  CIniDocument missing;
  missing.SetValue("old", "k", "v");
  EXPECT_FALSE(missing.Load(scratch.PathOf("missing.ini")));
  EXPECT_EQ(missing.SectionCount(), 0u);
  EXPECT_EQ(missing.path(), scratch.PathOf("missing.ini"));

  const std::string path = scratch.PathOf("group.fgl");
  WriteBytes(path, "[FileGroupInfo]\r\nFolderPath=old\r\n");
  // The temporary file beside the target cannot be created: a folder holds its name.
  std::filesystem::create_directories(path + ".tmp~");
  CIniDocument document;
  document.SetValue("FileGroupInfo", "FolderPath", "new");
  EXPECT_FALSE(document.SaveAs(path));
  EXPECT_EQ(ReadBytes(path), "[FileGroupInfo]\r\nFolderPath=old\r\n");
  EXPECT_FALSE(document.SaveAs(scratch.PathOf("no such folder/x.fgl")));
  EXPECT_FALSE(CIniDocument().Save());  // no path
}

}  // namespace hf
