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
    "[FileGroupInfo]\r\nFolderPath=C:\\Hot\\In\\Job42\r\nGroupName=Job42\r\n"
    "\r\n[SettingsInfo]\r\nTimeoutSeconds=30\r\nFileCount=4\r\n"
    "\r\n[FileInfo]\r\nJob42_C_p1.tif=Cyan,Job42,255,0,0,0,1,1\r\n\"Job42 M p1.tif\"=Magenta,Job42,0,255,0,0,1,1\r\n";

}  // namespace

// ---- reading ----

TEST(IniDocumentRead, GroupFileRoundTripsByteForByteAndIsReadIgnoringCase) {
  EXPECT_EQ(Resave(kGroupFile), kGroupFile);
  CIniDocument document;
  document.LoadFromBuffer(kGroupFile);
  ASSERT_EQ(document.SectionCount(), 3u);
  EXPECT_TRUE(document.separatorFlag());
  EXPECT_EQ(document.GetValue("fileGROUPinfo", "folderpath", ""), "C:\\Hot\\In\\Job42");
  EXPECT_EQ(document.GetValue("FILEINFO", "JOB42 m P1.TIF", ""), "Magenta,Job42,0,255,0,0,1,1");
  EXPECT_EQ(document.FindSection("settingsinfo"), 1u);
  EXPECT_EQ(document.GetValue("Missing", "FolderPath", "dflt"), "dflt");
  std::string value = "untouched";
  EXPECT_FALSE(document.FindValue("FileGroupInfo", "Missing", value));
  EXPECT_EQ(value, "untouched");
}

TEST(IniDocumentRead, TextIsWrittenBackInOneFormThatStaysAsItIs) {
  const std::pair<std::string, std::string> cases[] = {
      // As a user edits a template: comments, blanks around "=", indentation, LF line ends; inner empty lines
      // stay, trailing ones go.
      {"; Standard\n# <job>_<colour>.tif\n[ProcessId]\nSEP_PROCESS_OFFSET = 0\n\nDELIMITER=95\n   ; indented\n"
       "[GroupId]\n  SEP_GROUP_TIMEOUT_SECONDS=45\nSEP_GROUP_CLOSE_FILECOUNT=\n\n\n",
       "; Standard\r\n# <job>_<colour>.tif\r\n\r\n[ProcessId]\r\nSEP_PROCESS_OFFSET=0\r\n\r\nDELIMITER=95\r\n"
       "   ; indented\r\n\r\n[GroupId]\r\nSEP_GROUP_TIMEOUT_SECONDS=45\r\nSEP_GROUP_CLOSE_FILECOUNT=\r\n"},
      // A section name runs to the last bracket; the nameless section keeps a header so that z stays out of [open].
      {"  [a]b] tail\nx=1\n[open\ny=2\n[]\nz=3\n", "[a]b]\r\nx=1\r\n\r\n[open]\r\ny=2\r\n\r\n[]\r\nz=3\r\n"},
      // Only LF ends a line and only the CR before it goes; the last line needs no line end.
      {"[General]\rResourceID=abc\r", "[General]\r\n"},
      {"[s]\r\na=1\r\r\nc=end\r", "[s]\r\na=1\r\r\nc=end\r\r\n"},
      {std::string("[s\0x]\r\nk\0y=v\0w\r\n", 16), std::string("[s\0x]\r\nk\0y=v\0w\r\n", 16)},  // NULs stay
      // Without any "=" the blank separates; one "=" switches every line.
      {"[new]\nkey value\n", "[new]\r\nkey value\r\n"},
      {"[s]\na 1\nb = 2\n", "[s]\r\na=1\r\nb=2\r\n"}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(Resave(text), expected) << text;
    EXPECT_EQ(Resave(expected), expected) << text;
  }
}

TEST(IniDocumentRead, KeyLineFormsGiveTheirKeyAndValueOtherLinesStayRaw) {
  const char text[] =
      "[s]\r\nplain=value with  blanks  \r\nspaced   =   v\r\nnoequals  rest of = line\r\n\"My File.tif\"=q\r\n"
      "\"say \\\"hi\\\" now\"=escaped\r\n\"C:\\dir\\\\\"=slash\r\n\"open quote = x\r\nlonekey\r\na\"b=inner quote\r\n"
      "\tindented=tab\r\n# hash comment\r\n  ; indented semicolon\r\n=value without key\r\n\"\" empty quoted key\r\n"
      "\x0b vertical tab line\r\ncr=1\r\r\nmid=x\ry\r\n";
  CIniDocument document;
  document.LoadFromBuffer(text);
  std::string entries;  // "<key>value" per entry
  for (const CIniEntry& entry : document.Section(0).entries()) entries += "<" + entry.key + ">" + entry.value + "\n";
  // "\\" before the closing quote is one backslash; with no closing quote the key runs to the line end.
  EXPECT_EQ(
      entries,
      "<plain>value with  blanks  \n<spaced>v\n<noequals>rest of = line\n<My File.tif>q\n<say \"hi\" now>escaped\n"
      "<C:\\dir\\>slash\n<open quote = x>\n<lonekey>\n<a\"b>inner quote\n<indented>tab\n<># hash comment\n"
      "<>  ; indented semicolon\n<>=value without key\n<>\"\" empty quoted key\n<>\x0b vertical tab line\n<cr>1\r\n"
      "<mid>x\ry\n");
  EXPECT_EQ(document.GetValue("s", "", "none"), "none");  // raw lines are not keys
}

// ---- writing ----

TEST(IniDocumentWrite, KeysThatNeedQuotesAreQuotedAndReadBack) {
  // A backslash before another or before the closing quote is doubled.
  const char* keys[] = {"My File.tif", "tab\there",  "Caf\xe9.tif", "a=b",        "say \"x\"",       "C:\\a b\\c",
                        ";notcomment", "[notheader", "plain.tif",   "dir name\\", "two \\\\ slashes"};
  CIniDocument document;
  document.SetSeparatorFlag(true);
  for (const char* key : keys) document.SetValue("FileInfo", key, "v");
  const std::string saved = document.SaveToBuffer();
  EXPECT_EQ(
      saved,
      "[FileInfo]\r\n\"My File.tif\"=v\r\n\"tab\there\"=v\r\n\"Caf\xe9.tif\"=v\r\n\"a=b\"=v\r\n\"say \\\"x\\\"\"=v\r\n"
      "\"C:\\a b\\c\"=v\r\n\";notcomment\"=v\r\n\"[notheader\"=v\r\nplain.tif=v\r\n\"dir name\\\\\"=v\r\n"
      "\"two \\\\\\ slashes\"=v\r\n");
  CIniDocument reread;
  reread.LoadFromBuffer(saved);
  ASSERT_EQ(reread.Section(0).EntryCount(), std::size(keys));
  for (size_t i = 0; i < std::size(keys); ++i) EXPECT_EQ(reread.Section(0).Entry(i).key, keys[i]) << i;
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

TEST(IniDocumentEdit, LoadClearsSetReplacesTheFirstEntryOrAppendsAddAppendsRemoveAndClear) {
  CIniDocument document;
  document.SetSeparatorFlag(true);
  document.SetValue("old", "k", "v");
  document.LoadFromBuffer("[S]\r\nk=1\r\n; c\r\nK=2\r\nb=3\r\nb=4\r\nc=5\r\n[T]\r\nx=1\r\n");
  EXPECT_FALSE(document.FindSection("old"));
  document.SetValue("s", "K", "one");
  document.SetValue("Fresh", "a", "5");
  document.AddEntry("Fresh", "A", "6");
  EXPECT_TRUE(document.RemoveKey("S", "B"));
  EXPECT_EQ(document.GetValue("S", "b", ""), "4");  // the later duplicate now comes first
  EXPECT_EQ(document.GetValue("S", "c", ""), "5");  // positions after the removal are right
  EXPECT_FALSE(document.RemoveKey("S", "zz"));
  EXPECT_FALSE(document.RemoveKey("Nope", "a"));
  EXPECT_TRUE(document.ClearSection("t"));
  EXPECT_FALSE(document.ClearSection("Nope"));
  document.SetValue("T", "y", "2");
  EXPECT_EQ(document.SaveToBuffer(),
            "[S]\r\nk=one\r\n; c\r\nK=2\r\nb=4\r\nc=5\r\n\r\n[T]\r\ny=2\r\n\r\n[Fresh]\r\na=5\r\nA=6\r\n");
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
  section.SetValueAt(2, "three");
  EXPECT_EQ(section.FindKey("z"), 0u);
  EXPECT_EQ(document.GetValue("S", "C", ""), "three");
  section.Clear();
  section.Append("n", "1");
  EXPECT_FALSE(section.FindKey("z"));
  EXPECT_EQ(section.FindKey("N"), 0u);
  EXPECT_FALSE(EqualsIgnoringAsciiCase("a[", "A{"));  // '[' and '{' differ by the case bit but are not letters
  EXPECT_EQ(AsciiLowered("AbC\xc4"), "abc\xc4");
}

// ---- files ----

TEST(IniDocumentFiles, LoadEditSaveAndSaveAsOrLeaveTheFileAsItWas) {
  ScratchFolder scratch("hf_ini_document_");
  const std::string path = scratch.Write("Job42.fgl", kGroupFile);
  CIniDocument document;
  ASSERT_TRUE(document.Load(path));
  document.SetValue("FileGroupInfo", "FolderPath", "D:\\Out\\Job42");
  ASSERT_TRUE(document.Save());
  std::string expected = kGroupFile;
  EXPECT_EQ(scratch.Read("Job42.fgl"), expected.replace(expected.find("C:\\Hot\\In"), 9, "D:\\Out"));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));
  ASSERT_TRUE(document.SaveAs(scratch.PathOf("copy.fgl")));
  EXPECT_EQ(document.path(), scratch.PathOf("copy.fgl"));
  EXPECT_EQ(scratch.Read("copy.fgl"), expected);

  // The temporary file beside the target cannot be created: a folder holds its name.
  std::filesystem::create_directories(path + ".tmp~");
  document.SetValue("FileGroupInfo", "FolderPath", "new");
  EXPECT_FALSE(document.SaveAs(path));
  EXPECT_EQ(scratch.Read("Job42.fgl"), expected);
  EXPECT_FALSE(document.SaveAs(scratch.PathOf("no such folder/x.fgl")));
  EXPECT_FALSE(CIniDocument().Save());  // no path
  EXPECT_FALSE(document.Load(scratch.PathOf("missing.ini")));
  EXPECT_EQ(document.SectionCount(), 0u);
  EXPECT_EQ(document.path(), scratch.PathOf("missing.ini"));
}

}  // namespace hf
