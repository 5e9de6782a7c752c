// ZuIniFile: the host's INI file (section "HFA" holds the plug-in's settings),
// located by a fixed search when the host has not named it.
#pragma once

#include <string>

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

  // Copies the three strings of a descriptor (each truncated and terminated).
  void SetDescriptor(const IniFileDescriptor& descriptor);

  // Finds the path when it is empty; true when a path is set.
  bool Locate();

  int GetInt(const char* section, const char* key, int defaultValue);
  std::string GetString(const char* section, const char* key, const char* defaultValue);

  const std::string& path() const { return path_; }
  const std::string& productFolder() const { return productFolder_; }
  const std::string& companyFolder() const { return companyFolder_; }

 private:
  std::string path_;
  std::string productFolder_;
  std::string companyFolder_;
};

// The module-wide instance.
ZuIniFile& TheIniFile();
