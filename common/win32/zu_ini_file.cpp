// Temporary: the INI file access is being written; until then every key gives its default.
#include "common/win32/zu_ini_file.h"

#include <cstring>

ZuIniFile::ZuIniFile() : productFolder_("Brenmar"), companyFolder_("Vorlan") {}

void ZuIniFile::SetDescriptor(const IniFileDescriptor& descriptor) {
  path_.assign(descriptor.path, strnlen(descriptor.path, sizeof descriptor.path));
  productFolder_.assign(descriptor.productFolder, strnlen(descriptor.productFolder, sizeof descriptor.productFolder));
  companyFolder_.assign(descriptor.companyFolder, strnlen(descriptor.companyFolder, sizeof descriptor.companyFolder));
}

bool ZuIniFile::Locate() { return !path_.empty(); }

int ZuIniFile::GetInt(const char*, const char*, int defaultValue) { return defaultValue; }

std::string ZuIniFile::GetString(const char*, const char*, const char* defaultValue) {
  return defaultValue ? defaultValue : "";
}

ZuIniFile& TheIniFile() {
  static ZuIniFile instance;
  return instance;
}
