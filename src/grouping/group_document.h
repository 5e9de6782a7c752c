// CGroupDocumentReader and CGroupDocument: typed readers and writers for every
// key of a group file (".fgl"), over a CIniDocument that someone else owns;
// and the comma-field helpers used for the colour details of member files.
#pragma once

#include "formats/ini_document.h"

#include <string>
#include <string_view>
#include <vector>

namespace hf {

// Sections of a group file. Per-file sections are named after the member's
// FileInfo key followed by "_Settings" (FileSettingsSection).
constexpr const char kFileGroupInfoSection[] = "FileGroupInfo";
constexpr const char kSettingsInfoSection[] = "SettingsInfo";
constexpr const char kFileInfoSection[] = "FileInfo";
constexpr const char kSeparatorFileInfoSection[] = "SeparatorFileInfo";
constexpr const char kFileSettingsSuffix[] = "_Settings";

// Reader results.
constexpr int kGroupValuePresent = 0;
constexpr int kGroupValueMissing = 2;

// Grouping methods (SettingsInfo GroupMethod).
constexpr int kGroupMethodFilenameScheme = 2;
constexpr int kGroupMethodFileType = 3;

// "a.tif" -> "a.tif_Settings".
std::string FileSettingsSection(std::string_view fileName);

// Comma-separated texts (colour details and the like). An empty text has no
// fields; otherwise fields are the pieces between commas ("a,,b" has three).
std::vector<std::string> SplitCommaFields(std::string_view text);
// Field `number` counted from 1; empty when out of range.
std::string GetCommaField(std::string_view text, int number);
// The texts joined with `separator`; JoinWithCommas joins with ",".
std::string JoinTexts(const std::vector<std::string>& fields, std::string_view separator);
std::string JoinWithCommas(const std::vector<std::string>& fields);

// Readers return kGroupValuePresent (0) or kGroupValueMissing (2); on 2 the
// out-parameter holds the key's default. Integers follow the leading-integer
// rule, and an empty value counts as missing. Readers that always return 0
// (texts, flags, page size and copy count) still give the default when the
// key is missing.
class CGroupDocumentReader {
 public:
  explicit CGroupDocumentReader(const CIniDocument& document) : reader_(document) {}

  // Generic typed access, for keys outside the tables.
  int GetText(std::string_view section, std::string_view key, std::string& value) const;
  int GetInteger(std::string_view section, std::string_view key, int missingValue, int& value) const;

  // The path form of the text reader: loads the file into a temporary
  // document for this one read. A file that cannot be read gives an empty text.
  static int ReadTextFromFile(const std::string& path, std::string_view section, std::string_view key,
                              std::string& value);

  // ---- FileGroupInfo ----
  int GetFolderPath(std::string& value) const;
  int GetGroupName(std::string& value) const;
  int GetExtension(std::string& value) const;
  int GetResourceID(std::string& value) const;
  int GetJDFFile(std::string& value) const;
  int GetJDFJobID(int& value) const;  // missing or empty: -1
  int GetJDFCustom1(std::string& value) const;
  int GetJDFCustom2(std::string& value) const;
  int GetCalibrationMode(int& value) const;  // missing or empty: 0
  // Flags: true only when the value is 1; always 0.
  int GetCentering(bool& value) const;
  int GetIsDuplex(bool& value) const;
  int GetNoBlankSplits(bool& value) const;
  int GetSystemDeviceID(int& value) const;  // missing or empty: -1
  int GetChunkCount(int& value) const;      // missing: -1
  int GetSplitCount(int& value) const;      // missing: -1
  int GetUsedHeads(std::string& value) const;
  // Group-level when `fileName` is empty, else in the file's own section.
  // Missing: -1.
  int GetOverlap(const std::string& fileName, int& value) const;
  int GetPrintableOffsetPixels(const std::string& fileName, int& value) const;
  int GetPrintableWidthPixels(const std::string& fileName, int& value) const;

  // ---- SettingsInfo ----
  int GetTimeoutSeconds(int& value) const;    // missing: 30
  int GetSerialMode(int& value) const;        // missing: 0
  int GetFileCountTrigger(int& value) const;  // missing: 0
  int GetFileCount(int& value) const;         // missing: 4
  int GetGroupMethod(int& value) const;       // missing: 2 (filename scheme)
  int GetFNSFileName(std::string& value) const;
  int GetNoSubScan(std::string& value) const;  // "Yes" or empty
  int GetNoMoveCopyFolder(std::string& value) const;
  int GetStemMatchesGpName(std::string& value) const;
  int GetExtMatchesFileExt(std::string& value) const;
  int GetFileIsInList(std::string& value) const;

  // ---- FileInfo and SeparatorFileInfo: one entry per member ----
  // The member names (keys) in file order.
  std::vector<std::string> GetFileInfoNames() const;
  int GetFileInfo(const std::string& fileName, std::string& details) const;
  std::vector<std::string> GetSeparatorFileInfoNames() const;
  int GetSeparatorFileInfo(const std::string& fileName, std::string& details) const;

  // ---- Per-file "<name>_Settings" sections ----
  int GetPageNumber(const std::string& fileName, int& value) const;  // missing: 0
  // Page count and size, copy count: missing 0; always 0.
  int GetPageCount(const std::string& fileName, int& value) const;
  int GetPageWidth(const std::string& fileName, int& value) const;
  int GetPageHeight(const std::string& fileName, int& value) const;
  int GetCopyCount(const std::string& fileName, int& value) const;
  int GetAllPages(const std::string& fileName, int& value) const;        // missing: -999
  int GetAllPagesOrZero(const std::string& fileName, int& value) const;  // missing: 0
  int GetCollate(const std::string& fileName, int& value) const;         // missing: -999
  int GetReversePages(const std::string& fileName, int& value) const;    // missing: -999
  int GetChunkIndex(const std::string& fileName, int& value) const;      // missing: -1
  int GetSlice(const std::string& fileName, int& value) const;           // missing: -1
  int GetSplitIndex(const std::string& fileName, int& value) const;      // missing: -1
  // "first,second". Empty and "0000" are missing (both 0); without a comma
  // the text gives first, and second is 0.
  int GetPageRange(const std::string& fileName, int& first, int& second) const;
  int GetRealFileName(const std::string& fileName, std::string& value) const;
  int GetJDFPageRange(const std::string& fileName, std::string& value) const;

 private:
  std::vector<std::string> KeysOf(std::string_view section) const;

  const CIniDocument& reader_;
};

// The readers plus the writers. Writers set the value in memory ("%d" for
// integers) and return 0; the owner of the document saves it.
class CGroupDocument : public CGroupDocumentReader {
 public:
  explicit CGroupDocument(CIniDocument& document) : CGroupDocumentReader(document), document_(document) {}

  CIniDocument& document() { return document_; }

  int SetText(std::string_view section, std::string_view key, const std::string& value);
  int SetInteger(std::string_view section, std::string_view key, int value);

  // ---- FileGroupInfo ----
  int SetFolderPath(const std::string& value);
  int SetGroupName(const std::string& value);
  int SetExtension(const std::string& value);
  int SetResourceID(const std::string& value);
  int SetJDFFile(const std::string& value);
  int SetJDFJobID(int value);
  int SetJDFCustom1(const std::string& value);
  int SetJDFCustom2(const std::string& value);
  int SetCalibrationMode(int value);
  int SetCentering(bool value);  // written 1 or 0
  int SetIsDuplex(bool value);
  int SetNoBlankSplits(bool value);
  int SetSystemDeviceID(int value);
  int SetChunkCount(int value);
  int SetSplitCount(int value);
  int SetUsedHeads(const std::string& value);
  // Group-level when `fileName` is empty, else in the file's own section.
  int SetOverlap(const std::string& fileName, int value);
  int SetPrintableOffsetPixels(const std::string& fileName, int value);
  int SetPrintableWidthPixels(const std::string& fileName, int value);

  // ---- SettingsInfo ----
  int SetTimeoutSeconds(int value);
  int SetSerialMode(int value);
  int SetFileCountTrigger(int value);
  int SetFileCount(int value);
  int SetGroupMethod(int value);
  int SetFNSFileName(const std::string& value);
  int SetNoSubScan(const std::string& value);
  int SetNoMoveCopyFolder(const std::string& value);
  int SetStemMatchesGpName(const std::string& value);
  int SetExtMatchesFileExt(const std::string& value);
  int SetFileIsInList(const std::string& value);

  // ---- FileInfo and SeparatorFileInfo ----
  int SetFileInfo(const std::string& fileName, const std::string& details);
  // Appends without searching.
  int AddFileInfo(const std::string& fileName, const std::string& details);
  int SetSeparatorFileInfo(const std::string& fileName, const std::string& details);
  int AddSeparatorFileInfo(const std::string& fileName, const std::string& details);

  // ---- Per-file "<name>_Settings" sections ----
  int SetPageNumber(const std::string& fileName, int value);
  int SetPageCount(const std::string& fileName, int value);
  int SetPageWidth(const std::string& fileName, int value);
  int SetPageHeight(const std::string& fileName, int value);
  int SetCopyCount(const std::string& fileName, int value);
  int SetAllPages(const std::string& fileName, int value);
  int SetCollate(const std::string& fileName, int value);
  int SetReversePages(const std::string& fileName, int value);
  int SetChunkIndex(const std::string& fileName, int value);
  int SetSlice(const std::string& fileName, int value);
  int SetSplitIndex(const std::string& fileName, int value);
  int SetPageRange(const std::string& fileName, int first, int second);  // "%d,%d"
  int SetRealFileName(const std::string& fileName, const std::string& value);
  int SetJDFPageRange(const std::string& fileName, const std::string& value);

 private:
  CIniDocument& document_;
};

}  // namespace hf
