// ZuIniFile: the host's INI file (section "HFA" holds the plug-in's settings),
// located by a fixed search when the host has not named it.

// Search (only while the path is empty), with <stem> the current process's
// executable name without its extension:
//   1. <roaming app data>\<company>\<product>\<stem>.ini (the folder is
//      created with its parents); used when the file exists;
//   2. <local app data>\VirtualStore\Windows\<stem>.ini; when it exists it is
//      copied to 1 and deleted, and 1 is used (2 itself when the copy fails);
//   3. <Windows folder>\<stem>.ini, the same way;
//   4. none exists: the path is 1, and every key reads as its default.
#pragma once

#include <mutex>
#include <string>

namespace hf {

// The host's INI-file descriptor: three consecutive 260-byte fields.
struct IniFileDescriptor {
  char path[260];
  char productFolder[260];
  char companyFolder[260];
};
static_assert(sizeof(IniFileDescriptor) == 780, "host INI descriptor is three 260-byte fields");

class ZuIniFile {
 public:
  ZuIniFile();

  // Copies the three strings of a descriptor, each cut to 259 characters (a
  // field without a NUL ends there too).
  void SetDescriptor(const IniFileDescriptor& descriptor);

  // Finds the path when it is empty; true when a path is set.
  bool Locate();

  // Profile reads from the located file; the default when no path is set or
  // the file or key is missing. Strings are at most 259 characters.
  int GetInt(const char* section, const char* key, int defaultValue);
  std::string GetString(const char* section, const char* key, const char* defaultValue);
  // As GetString, for a longer value (a list): up to kLongValueLimit
  // characters; `complete` is false when the value may have been cut there.
  static constexpr size_t kLongValueLimit = 32766;
  std::string GetLongString(const char* section, const char* key, bool& complete);

  std::string path() const;
  std::string productFolder() const;
  std::string companyFolder() const;

 private:
  bool LocateHeld();  // lock held

  // The scanner reads settings while InitializeHandler may set the descriptor.
  mutable std::mutex lock_;
  std::string path_;
  std::string productFolder_;
  std::string companyFolder_;
};

// The executable name of the current process without its extension.
std::string CurrentProcessStem();

// The module-wide instance.
ZuIniFile& TheIniFile();

}  // namespace hf
