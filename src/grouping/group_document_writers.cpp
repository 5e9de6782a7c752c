// The writer half of CGroupDocument: every value is set in memory ("%d" for
// integers); saving is the document owner's business.
#include "grouping/group_document.h"

namespace hf {

namespace {

// The section of a layout value: the group's, or the member's own.
std::string LayoutSection(const std::string& fileName) {
  return fileName.empty() ? std::string(kFileGroupInfoSection) : FileSettingsSection(fileName);
}

}  // namespace

int CGroupDocument::SetText(std::string_view section, std::string_view key, const std::string& value) {
  document_.SetValue(section, key, value);
  return 0;
}

int CGroupDocument::SetInteger(std::string_view section, std::string_view key, int value) {
  document_.SetValue(section, key, std::to_string(value));
  return 0;
}

// ---- FileGroupInfo ----

int CGroupDocument::SetFolderPath(const std::string& value) {
  return SetText(kFileGroupInfoSection, "FolderPath", value);
}
int CGroupDocument::SetGroupName(const std::string& value) {
  return SetText(kFileGroupInfoSection, "GroupName", value);
}
int CGroupDocument::SetExtension(const std::string& value) {
  return SetText(kFileGroupInfoSection, "Extension", value);
}
int CGroupDocument::SetResourceID(const std::string& value) {
  return SetText(kFileGroupInfoSection, "ResourceID", value);
}
int CGroupDocument::SetJDFFile(const std::string& value) { return SetText(kFileGroupInfoSection, "JDFFile", value); }
int CGroupDocument::SetJDFJobID(int value) { return SetInteger(kFileGroupInfoSection, "JDFJobID", value); }
int CGroupDocument::SetJDFCustom1(const std::string& value) {
  return SetText(kFileGroupInfoSection, "JDFCustom1", value);
}
int CGroupDocument::SetJDFCustom2(const std::string& value) {
  return SetText(kFileGroupInfoSection, "JDFCustom2", value);
}
int CGroupDocument::SetCalibrationMode(int value) {
  return SetInteger(kFileGroupInfoSection, "CalibrationMode", value);
}
int CGroupDocument::SetCentering(bool value) { return SetInteger(kFileGroupInfoSection, "Centering", value ? 1 : 0); }
int CGroupDocument::SetIsDuplex(bool value) { return SetInteger(kFileGroupInfoSection, "IsDuplex", value ? 1 : 0); }
int CGroupDocument::SetNoBlankSplits(bool value) {
  return SetInteger(kFileGroupInfoSection, "NoBlankSplits", value ? 1 : 0);
}
int CGroupDocument::SetSystemDeviceID(int value) { return SetInteger(kFileGroupInfoSection, "SystemDeviceID", value); }
int CGroupDocument::SetChunkCount(int value) { return SetInteger(kFileGroupInfoSection, "ChunkCount", value); }
int CGroupDocument::SetSplitCount(int value) { return SetInteger(kFileGroupInfoSection, "SplitCount", value); }
int CGroupDocument::SetUsedHeads(const std::string& value) {
  return SetText(kFileGroupInfoSection, "UsedHeads", value);
}

int CGroupDocument::SetOverlap(const std::string& fileName, int value) {
  return SetInteger(LayoutSection(fileName), "Overlap", value);
}
int CGroupDocument::SetPrintableOffsetPixels(const std::string& fileName, int value) {
  return SetInteger(LayoutSection(fileName), "PrintableOffsetPixels", value);
}
int CGroupDocument::SetPrintableWidthPixels(const std::string& fileName, int value) {
  return SetInteger(LayoutSection(fileName), "PrintableWidthPixels", value);
}

// ---- SettingsInfo ----

int CGroupDocument::SetTimeoutSeconds(int value) { return SetInteger(kSettingsInfoSection, "TimeoutSeconds", value); }
int CGroupDocument::SetSerialMode(int value) { return SetInteger(kSettingsInfoSection, "SerialMode", value); }
int CGroupDocument::SetFileCountTrigger(int value) {
  return SetInteger(kSettingsInfoSection, "FileCountTrigger", value);
}
int CGroupDocument::SetFileCount(int value) { return SetInteger(kSettingsInfoSection, "FileCount", value); }
int CGroupDocument::SetGroupMethod(int value) { return SetInteger(kSettingsInfoSection, "GroupMethod", value); }
int CGroupDocument::SetFNSFileName(const std::string& value) {
  return SetText(kSettingsInfoSection, "FNSFileName", value);
}
int CGroupDocument::SetNoSubScan(const std::string& value) { return SetText(kSettingsInfoSection, "NoSubScan", value); }
int CGroupDocument::SetNoMoveCopyFolder(const std::string& value) {
  return SetText(kSettingsInfoSection, "NoMoveCopyFolder", value);
}
int CGroupDocument::SetStemMatchesGpName(const std::string& value) {
  return SetText(kSettingsInfoSection, "StemMatchesGpName", value);
}
int CGroupDocument::SetExtMatchesFileExt(const std::string& value) {
  return SetText(kSettingsInfoSection, "ExtMatchesFileExt", value);
}
int CGroupDocument::SetFileIsInList(const std::string& value) {
  return SetText(kSettingsInfoSection, "FileIsInList", value);
}

// ---- FileInfo and SeparatorFileInfo ----

int CGroupDocument::SetFileInfo(const std::string& fileName, const std::string& details) {
  return SetText(kFileInfoSection, fileName, details);
}
int CGroupDocument::AddFileInfo(const std::string& fileName, const std::string& details) {
  document_.AddEntry(kFileInfoSection, fileName, details);
  return 0;
}
int CGroupDocument::SetSeparatorFileInfo(const std::string& fileName, const std::string& details) {
  return SetText(kSeparatorFileInfoSection, fileName, details);
}
int CGroupDocument::AddSeparatorFileInfo(const std::string& fileName, const std::string& details) {
  document_.AddEntry(kSeparatorFileInfoSection, fileName, details);
  return 0;
}

// ---- per-file sections ----

int CGroupDocument::SetPageNumber(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "PageNumber", value);
}
int CGroupDocument::SetPageCount(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "PageCount", value);
}
int CGroupDocument::SetPageWidth(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "PageWidth", value);
}
int CGroupDocument::SetPageHeight(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "PageHeight", value);
}
int CGroupDocument::SetCopyCount(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "CopyCount", value);
}
int CGroupDocument::SetAllPages(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "AllPages", value);
}
int CGroupDocument::SetCollate(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "Collate", value);
}
int CGroupDocument::SetReversePages(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "ReversePages", value);
}
int CGroupDocument::SetChunkIndex(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "ChunkIndex", value);
}
int CGroupDocument::SetSlice(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "Slice", value);
}
int CGroupDocument::SetSplitIndex(const std::string& fileName, int value) {
  return SetInteger(FileSettingsSection(fileName), "SplitIndex", value);
}
int CGroupDocument::SetPageRange(const std::string& fileName, int first, int second) {
  return SetText(FileSettingsSection(fileName), "PageRange", std::to_string(first) + "," + std::to_string(second));
}
int CGroupDocument::SetRealFileName(const std::string& fileName, const std::string& value) {
  return SetText(FileSettingsSection(fileName), "RealFileName", value);
}
int CGroupDocument::SetJDFPageRange(const std::string& fileName, const std::string& value) {
  return SetText(FileSettingsSection(fileName), "JDFPageRange", value);
}

}  // namespace hf
