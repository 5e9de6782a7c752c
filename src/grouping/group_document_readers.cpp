// CGroupDocumentReader and the comma-field helpers.
#include "base/leading_integer.h"
#include "grouping/group_document.h"

namespace hf {

namespace {

// Default of the AllPages, Collate and ReversePages readers for a missing key.
constexpr int kUnsetPageOption = -999;

// For the readers that report every value as present.
int AlwaysPresent(int) { return kGroupValuePresent; }

// The section of a layout value: the group's, or the member's own.
std::string LayoutSection(const std::string& fileName) {
  return fileName.empty() ? std::string(kFileGroupInfoSection) : FileSettingsSection(fileName);
}

}  // namespace

std::string FileSettingsSection(std::string_view fileName) {
  std::string section(fileName);
  section.append(kFileSettingsSuffix);
  return section;
}

std::vector<std::string> SplitCommaFields(std::string_view text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      fields.emplace_back(text.substr(start));
      return fields;
    }
    fields.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

std::string GetCommaField(std::string_view text, int number) {
  if (number < 1) return std::string();
  std::vector<std::string> fields = SplitCommaFields(text);
  if (static_cast<size_t>(number) > fields.size()) return std::string();
  return fields[static_cast<size_t>(number) - 1];
}

std::string JoinTexts(const std::vector<std::string>& fields, std::string_view separator) {
  std::string joined;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined.append(separator);
    joined.append(fields[i]);
  }
  return joined;
}

std::string JoinWithCommas(const std::vector<std::string>& fields) { return JoinTexts(fields, ","); }

// ---- generic ----

int CGroupDocumentReader::GetText(std::string_view section, std::string_view key, std::string& value) const {
  value = reader_.GetValue(section, key, std::string_view());
  return kGroupValuePresent;
}

int CGroupDocumentReader::GetInteger(std::string_view section, std::string_view key, int missingValue,
                                     int& value) const {
  std::string text = reader_.GetValue(section, key, std::string_view());
  if (text.empty()) {
    value = missingValue;
    return kGroupValueMissing;
  }
  value = LeadingInteger(text);
  return kGroupValuePresent;
}

int CGroupDocumentReader::ReadTextFromFile(const std::string& path, std::string_view section, std::string_view key,
                                           std::string& value) {
  CIniDocument temporary;
  value.clear();
  if (temporary.Load(path)) value = temporary.GetValue(section, key, std::string_view());
  return kGroupValuePresent;
}

std::vector<std::string> CGroupDocumentReader::KeysOf(std::string_view section) const {
  std::vector<std::string> keys;
  const std::optional<size_t> position = reader_.FindSection(section);
  if (!position) return keys;
  for (const CIniEntry& entry : reader_.Section(*position).entries()) {
    if (!entry.IsRaw()) keys.push_back(entry.key);
  }
  return keys;
}

// ---- FileGroupInfo ----

int CGroupDocumentReader::GetFolderPath(std::string& value) const {
  return GetText(kFileGroupInfoSection, "FolderPath", value);
}
int CGroupDocumentReader::GetGroupName(std::string& value) const {
  return GetText(kFileGroupInfoSection, "GroupName", value);
}
int CGroupDocumentReader::GetExtension(std::string& value) const {
  return GetText(kFileGroupInfoSection, "Extension", value);
}
int CGroupDocumentReader::GetResourceID(std::string& value) const {
  return GetText(kFileGroupInfoSection, "ResourceID", value);
}
int CGroupDocumentReader::GetJDFFile(std::string& value) const {
  return GetText(kFileGroupInfoSection, "JDFFile", value);
}
int CGroupDocumentReader::GetJDFCustom1(std::string& value) const {
  return GetText(kFileGroupInfoSection, "JDFCustom1", value);
}
int CGroupDocumentReader::GetJDFCustom2(std::string& value) const {
  return GetText(kFileGroupInfoSection, "JDFCustom2", value);
}
int CGroupDocumentReader::GetUsedHeads(std::string& value) const {
  return GetText(kFileGroupInfoSection, "UsedHeads", value);
}

int CGroupDocumentReader::GetJDFJobID(int& value) const {
  return GetInteger(kFileGroupInfoSection, "JDFJobID", -1, value);
}
int CGroupDocumentReader::GetCalibrationMode(int& value) const {
  return GetInteger(kFileGroupInfoSection, "CalibrationMode", 0, value);
}
int CGroupDocumentReader::GetSystemDeviceID(int& value) const {
  return GetInteger(kFileGroupInfoSection, "SystemDeviceID", -1, value);
}
int CGroupDocumentReader::GetChunkCount(int& value) const {
  return GetInteger(kFileGroupInfoSection, "ChunkCount", -1, value);
}
int CGroupDocumentReader::GetSplitCount(int& value) const {
  return GetInteger(kFileGroupInfoSection, "SplitCount", -1, value);
}

namespace {

int ReadFlag(const CGroupDocumentReader& group, const char* key, bool& value) {
  int number = 0;
  group.GetInteger(kFileGroupInfoSection, key, 0, number);
  value = number == 1;
  return kGroupValuePresent;
}

}  // namespace

int CGroupDocumentReader::GetCentering(bool& value) const { return ReadFlag(*this, "Centering", value); }
int CGroupDocumentReader::GetIsDuplex(bool& value) const { return ReadFlag(*this, "IsDuplex", value); }
int CGroupDocumentReader::GetNoBlankSplits(bool& value) const { return ReadFlag(*this, "NoBlankSplits", value); }

int CGroupDocumentReader::GetOverlap(const std::string& fileName, int& value) const {
  return GetInteger(LayoutSection(fileName), "Overlap", -1, value);
}
int CGroupDocumentReader::GetPrintableOffsetPixels(const std::string& fileName, int& value) const {
  return GetInteger(LayoutSection(fileName), "PrintableOffsetPixels", -1, value);
}
int CGroupDocumentReader::GetPrintableWidthPixels(const std::string& fileName, int& value) const {
  return GetInteger(LayoutSection(fileName), "PrintableWidthPixels", -1, value);
}

// ---- SettingsInfo ----

int CGroupDocumentReader::GetTimeoutSeconds(int& value) const {
  return GetInteger(kSettingsInfoSection, "TimeoutSeconds", 30, value);
}
int CGroupDocumentReader::GetSerialMode(int& value) const {
  return GetInteger(kSettingsInfoSection, "SerialMode", 0, value);
}
int CGroupDocumentReader::GetFileCountTrigger(int& value) const {
  return GetInteger(kSettingsInfoSection, "FileCountTrigger", 0, value);
}
int CGroupDocumentReader::GetFileCount(int& value) const {
  return GetInteger(kSettingsInfoSection, "FileCount", 4, value);
}
int CGroupDocumentReader::GetGroupMethod(int& value) const {
  return GetInteger(kSettingsInfoSection, "GroupMethod", kGroupMethodFilenameScheme, value);
}
int CGroupDocumentReader::GetFNSFileName(std::string& value) const {
  return GetText(kSettingsInfoSection, "FNSFileName", value);
}
int CGroupDocumentReader::GetNoSubScan(std::string& value) const {
  return GetText(kSettingsInfoSection, "NoSubScan", value);
}
int CGroupDocumentReader::GetNoMoveCopyFolder(std::string& value) const {
  return GetText(kSettingsInfoSection, "NoMoveCopyFolder", value);
}
int CGroupDocumentReader::GetStemMatchesGpName(std::string& value) const {
  return GetText(kSettingsInfoSection, "StemMatchesGpName", value);
}
int CGroupDocumentReader::GetExtMatchesFileExt(std::string& value) const {
  return GetText(kSettingsInfoSection, "ExtMatchesFileExt", value);
}
int CGroupDocumentReader::GetFileIsInList(std::string& value) const {
  return GetText(kSettingsInfoSection, "FileIsInList", value);
}

// ---- FileInfo and SeparatorFileInfo ----

std::vector<std::string> CGroupDocumentReader::GetFileInfoNames() const { return KeysOf(kFileInfoSection); }
int CGroupDocumentReader::GetFileInfo(const std::string& fileName, std::string& details) const {
  return GetText(kFileInfoSection, fileName, details);
}
std::vector<std::string> CGroupDocumentReader::GetSeparatorFileInfoNames() const {
  return KeysOf(kSeparatorFileInfoSection);
}
int CGroupDocumentReader::GetSeparatorFileInfo(const std::string& fileName, std::string& details) const {
  return GetText(kSeparatorFileInfoSection, fileName, details);
}

// ---- per-file sections ----

int CGroupDocumentReader::GetPageNumber(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "PageNumber", 0, value);
}
int CGroupDocumentReader::GetPageCount(const std::string& fileName, int& value) const {
  return AlwaysPresent(GetInteger(FileSettingsSection(fileName), "PageCount", 0, value));
}
int CGroupDocumentReader::GetPageWidth(const std::string& fileName, int& value) const {
  return AlwaysPresent(GetInteger(FileSettingsSection(fileName), "PageWidth", 0, value));
}
int CGroupDocumentReader::GetPageHeight(const std::string& fileName, int& value) const {
  return AlwaysPresent(GetInteger(FileSettingsSection(fileName), "PageHeight", 0, value));
}
int CGroupDocumentReader::GetCopyCount(const std::string& fileName, int& value) const {
  return AlwaysPresent(GetInteger(FileSettingsSection(fileName), "CopyCount", 0, value));
}
int CGroupDocumentReader::GetAllPages(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "AllPages", kUnsetPageOption, value);
}
int CGroupDocumentReader::GetAllPagesOrZero(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "AllPages", 0, value);
}
int CGroupDocumentReader::GetCollate(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "Collate", kUnsetPageOption, value);
}
int CGroupDocumentReader::GetReversePages(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "ReversePages", kUnsetPageOption, value);
}
int CGroupDocumentReader::GetChunkIndex(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "ChunkIndex", -1, value);
}
int CGroupDocumentReader::GetSlice(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "Slice", -1, value);
}
int CGroupDocumentReader::GetSplitIndex(const std::string& fileName, int& value) const {
  return GetInteger(FileSettingsSection(fileName), "SplitIndex", -1, value);
}

int CGroupDocumentReader::GetPageRange(const std::string& fileName, int& first, int& second) const {
  std::string text = reader_.GetValue(FileSettingsSection(fileName), "PageRange", std::string_view());
  first = 0;
  second = 0;
  // "0000" is how an unset range has been written.
  if (text.empty() || text == "0000") return kGroupValueMissing;
  size_t comma = text.find(',');
  first = LeadingInteger(std::string_view(text).substr(0, comma));
  if (comma != std::string::npos) second = LeadingInteger(std::string_view(text).substr(comma + 1));
  return kGroupValuePresent;
}

int CGroupDocumentReader::GetRealFileName(const std::string& fileName, std::string& value) const {
  return GetText(FileSettingsSection(fileName), "RealFileName", value);
}
int CGroupDocumentReader::GetJDFPageRange(const std::string& fileName, std::string& value) const {
  return GetText(FileSettingsSection(fileName), "JDFPageRange", value);
}

}  // namespace hf
