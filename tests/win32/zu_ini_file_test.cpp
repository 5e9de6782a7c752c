// ZuIniFile: the search for the host's INI file over the application-data
// folders and the Windows folder, the moves of older copies, profile reads and
// the host's descriptor.

// The application-data folders are pointed at temporary folders through the
// user's "User Shell Folders" (and "Shell Folders") registry values; Wine's
// SHGetFolderPath honours "User Shell Folders" at once, as Windows does. The
// Windows folder cannot be moved: the test puts its file there and removes it.
#include "common/win32/zu_ini_file.h"

#include "common/file_io.h"
#include "common/log.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::pair<int, std::string>>* logged = nullptr;
void CaptureLog(int level, const char* text) {
  if (logged != nullptr) logged->emplace_back(level, text);
}

std::vector<unsigned char> StringBytes(const std::string& text) {
  std::vector<unsigned char> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

std::string Contents(const std::string& path) {
  std::string text;
  ReadWholeFile(path, text);
  return text;
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, sizeof folder);
  return folder;
}

class ZuIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathA(sizeof temp, temp), 0u);
    root = std::string(temp) + "hf_zu_ini_" + std::to_string(::GetCurrentProcessId()) + "_" +
           std::to_string(::GetTickCount());
    roaming = root + "\\Roaming";
    local = root + "\\Local";
    ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(roaming.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(local.c_str(), nullptr));
    for (const char* key : {kUserShellFolders, kShellFolders}) {
      const DWORD type = key == kUserShellFolders ? REG_EXPAND_SZ : REG_SZ;
      scopes.push_back(std::make_unique<RegistryValueScope>(HKEY_CURRENT_USER, key, "AppData"));
      ASSERT_TRUE(scopes.back()->SetRaw(type, StringBytes(roaming)));
      scopes.push_back(std::make_unique<RegistryValueScope>(HKEY_CURRENT_USER, key, "Local AppData"));
      ASSERT_TRUE(scopes.back()->SetRaw(type, StringBytes(local)));
    }
    stem = CurrentProcessStem();
    preferred = roaming + "\\Vorlan\\Brenmar\\" + stem + ".ini";
    virtualised = local + "\\VirtualStore\\Windows\\" + stem + ".ini";
    inWindows = WindowsFolder() + "\\" + stem + ".ini";
    ::DeleteFileA(inWindows.c_str());
  }

  void TearDown() override {
    ::DeleteFileA(inWindows.c_str());
    scopes.clear();
    RemoveTree(root);
  }

  static void Write(const std::string& path, const std::string& text) {
    ASSERT_EQ(ReplaceFileContents(path, text), 0) << path;
  }

  static void CreateFolders(const std::string& folder) {
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
      ::CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryA(folder.c_str(), nullptr);
  }

  std::string root, roaming, local, stem, preferred, virtualised, inWindows;
  std::vector<std::unique_ptr<RegistryValueScope>> scopes;
};

TEST_F(ZuIniFileTest, StemIsThisProgramsNameWithoutExtension) { EXPECT_EQ(stem, "zu_ini_file_test"); }

TEST_F(ZuIniFileTest, WithoutAnyFileThePathIsTheAppDataCandidateAndKeysGiveDefaults) {
  std::vector<std::pair<int, std::string>> records;
  logged = &records;
  LogSink previous = SetLogSink(CaptureLog);
  SetLogSettings(3, true);

  ZuIniFile ini;
  EXPECT_TRUE(ini.Locate());
  EXPECT_EQ(ini.path(), preferred);
  EXPECT_TRUE(FolderExists(roaming + "\\Vorlan\\Brenmar"));  // created with its parents
  EXPECT_FALSE(FileExists(preferred));
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 20);
  EXPECT_EQ(ini.GetString("HFA", "PreviewConfig", "_ZuPng150dpi"), "_ZuPng150dpi");

  SetLogSettings(0, false);
  SetLogSink(previous);
  logged = nullptr;
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].first, 1);
  EXPECT_EQ(records[0].second, "ZuIniFile: No INI file located. Defaulting path to " + preferred);
}

TEST_F(ZuIniFileTest, FileInTheAppDataFolderIsReadAndLogged) {
  CreateFolders(roaming + "\\Vorlan\\Brenmar");
  Write(preferred, "[HFA]\r\nFileLoopLimit=33\r\nPreviewConfig=_Custom\r\n[Other]\r\nFileLoopLimit=1\r\n");
  std::vector<std::pair<int, std::string>> records;
  logged = &records;
  LogSink previous = SetLogSink(CaptureLog);
  SetLogSettings(3, true);

  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 33);
  EXPECT_EQ(ini.GetInt("HFA", "PreviewFileLoopLimit", 5), 5);
  EXPECT_EQ(ini.GetString("HFA", "PreviewConfig", "_ZuPng150dpi"), "_Custom");
  EXPECT_EQ(ini.GetString("HFA", "Missing", "fallback"), "fallback");
  EXPECT_EQ(ini.GetString("HFA", "Missing", nullptr), "");
  EXPECT_EQ(ini.path(), preferred);

  SetLogSettings(0, false);
  SetLogSink(previous);
  logged = nullptr;
  ASSERT_EQ(records.size(), 1u);  // located once, then kept
  EXPECT_EQ(records[0].first, 2);
  EXPECT_EQ(records[0].second, "ZuIniFile: INI file located at " + preferred);
}

TEST_F(ZuIniFileTest, VirtualStoreCopyMovesToTheAppDataFolder) {
  CreateFolders(local + "\\VirtualStore\\Windows");
  Write(virtualised, "[HFA]\r\nHideScriptWindow=1\r\n");
  ZuIniFile ini;
  EXPECT_TRUE(ini.Locate());
  EXPECT_EQ(ini.path(), preferred);
  EXPECT_FALSE(FileExists(virtualised));
  EXPECT_EQ(Contents(preferred), "[HFA]\r\nHideScriptWindow=1\r\n");
  EXPECT_EQ(ini.GetInt("HFA", "HideScriptWindow", 0), 1);
}

TEST_F(ZuIniFileTest, WindowsFolderCopyMovesToTheAppDataFolder) {
  Write(inWindows, "[HFA]\r\nCopySource=1\r\n");
  ZuIniFile ini;
  EXPECT_TRUE(ini.Locate());
  EXPECT_EQ(ini.path(), preferred);
  EXPECT_FALSE(FileExists(inWindows));
  EXPECT_EQ(ini.GetInt("HFA", "CopySource", 0), 1);

  ZuIniFile later;  // from then on the app-data copy is found first
  EXPECT_TRUE(later.Locate());
  EXPECT_EQ(later.path(), preferred);
}

TEST_F(ZuIniFileTest, AppDataFileWinsAndOlderCopiesAreLeftAlone) {
  CreateFolders(roaming + "\\Vorlan\\Brenmar");
  CreateFolders(local + "\\VirtualStore\\Windows");
  Write(preferred, "[HFA]\r\nFileLoopLimit=1\r\n");
  Write(virtualised, "[HFA]\r\nFileLoopLimit=2\r\n");
  Write(inWindows, "[HFA]\r\nFileLoopLimit=3\r\n");
  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 1);
  EXPECT_TRUE(FileExists(virtualised));
  EXPECT_TRUE(FileExists(inWindows));
}

TEST_F(ZuIniFileTest, OlderCopyIsUsedWhereItIsWhenItCannotBeCopied) {
  CreateFolders(preferred);  // a folder in the way of the copy
  CreateFolders(local + "\\VirtualStore\\Windows");
  Write(virtualised, "[HFA]\r\nFileLoopLimit=2\r\n");
  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 2);
  EXPECT_EQ(ini.path(), virtualised);
  EXPECT_TRUE(FileExists(virtualised));
}

TEST_F(ZuIniFileTest, DescriptorNamesTheFoldersOrThePath) {
  IniFileDescriptor descriptor = {};
  std::strcpy(descriptor.productFolder, "Tool");
  std::strcpy(descriptor.companyFolder, "Acme");
  ZuIniFile ini;
  EXPECT_EQ(ini.productFolder(), "Brenmar");
  EXPECT_EQ(ini.companyFolder(), "Vorlan");
  ini.SetDescriptor(descriptor);
  EXPECT_TRUE(ini.Locate());
  EXPECT_EQ(ini.path(), roaming + "\\Acme\\Tool\\" + stem + ".ini");

  const std::string named = root + "\\host.ini";
  Write(named, "[HFA]\r\nThumbnailTimeoutSecs=7\r\n");
  std::strcpy(descriptor.path, named.c_str());
  ZuIniFile given;
  given.SetDescriptor(descriptor);
  EXPECT_EQ(given.GetInt("HFA", "ThumbnailTimeoutSecs", 10), 7);
  EXPECT_EQ(given.path(), named);
  EXPECT_FALSE(FolderExists(roaming + "\\Vorlan"));  // no search when the path is given

  std::strcpy(descriptor.path, (root + "\\absent.ini").c_str());
  ZuIniFile absent;
  absent.SetDescriptor(descriptor);
  EXPECT_EQ(absent.GetInt("HFA", "ThumbnailTimeoutSecs", 3), 3);
  EXPECT_EQ(absent.GetString("HFA", "PreviewConfig", "_ZuPng150dpi"), "_ZuPng150dpi");
}

TEST_F(ZuIniFileTest, DescriptorFieldsWithoutNulAreCutTo259Characters) {
  IniFileDescriptor descriptor;
  std::memset(descriptor.path, 'p', sizeof descriptor.path);
  std::memset(descriptor.productFolder, 'r', sizeof descriptor.productFolder);
  std::memset(descriptor.companyFolder, 'c', sizeof descriptor.companyFolder);
  ZuIniFile ini;
  ini.SetDescriptor(descriptor);
  EXPECT_EQ(ini.path(), std::string(259, 'p'));
  EXPECT_EQ(ini.productFolder(), std::string(259, 'r'));
  EXPECT_EQ(ini.companyFolder(), std::string(259, 'c'));
}

TEST_F(ZuIniFileTest, StringValuesAreCutTo259Characters) {
  CreateFolders(roaming + "\\Vorlan\\Brenmar");
  Write(preferred, "[HFA]\r\nPreviewConfig=" + std::string(400, 'v') + "\r\n");
  ZuIniFile ini;
  EXPECT_EQ(ini.GetString("HFA", "PreviewConfig", ""), std::string(259, 'v'));
}

}  // namespace
