// The search for the host's INI file, over app-data folders pointed at temporary ones through the
// user's shell-folder values and the Windows folder (where the test puts its file and removes it).
#include "host/zu_ini_file.h"

#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace hf {

namespace {

constexpr char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class ZuIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.ok());
    ASSERT_EQ(CreateFolder(roaming, false), 0);
    ASSERT_EQ(CreateFolder(local, false), 0);
    for (const char* key : {kUserShellFolders, kShellFolders}) {
      const DWORD type = key == kUserShellFolders ? REG_EXPAND_SZ : REG_SZ;
      for (const auto& [name, folder] :
           {std::pair<const char*, std::string>{"AppData", roaming}, {"Local AppData", local}}) {
        scopes.push_back(std::make_unique<RegistryValueScope>(HKEY_CURRENT_USER, key, name));
        std::vector<unsigned char> bytes(folder.begin(), folder.end());
        bytes.push_back(0);
        ASSERT_TRUE(scopes.back()->SetRaw(type, bytes));
      }
    }
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, sizeof windows);
    inWindows = std::string(windows) + "\\" + stem + ".ini";
    ::DeleteFileA(inWindows.c_str());
  }
  void TearDown() override { ::DeleteFileA(inWindows.c_str()); }

  static void Write(const std::string& path, const std::string& text) { ASSERT_TRUE(Put(path, text)) << path; }

  TempFolder temp{"zu_ini"};
  const std::string root = temp.path().substr(0, temp.path().size() - 1);
  const std::string roaming = root + "\\Roaming", local = root + "\\Local";
  const std::string stem = CurrentProcessStem();
  const std::string preferred = roaming + "\\Vorlan\\Brenmar\\" + stem + ".ini";
  const std::string virtualised = local + "\\VirtualStore\\Windows\\" + stem + ".ini";
  std::string inWindows;
  std::vector<std::unique_ptr<RegistryValueScope>> scopes;
};

TEST_F(ZuIniFileTest, ThePathIsTheAppDataCandidateWhereAFileIsReadOnceItIsThere) {
  EXPECT_EQ(stem, "zu_ini_file_test");  // this program's name without its extension
  LogCapture log;
  ZuIniFile none;
  EXPECT_TRUE(none.Locate());
  EXPECT_EQ(none.path(), preferred);
  EXPECT_TRUE(FolderExists(roaming + "\\Vorlan\\Brenmar"));  // created with its parents
  EXPECT_FALSE(FileExists(preferred));
  EXPECT_EQ(none.GetInt("HFA", "FileLoopLimit", 20), 20);
  EXPECT_EQ(none.GetString("HFA", "PreviewConfig", "_ZuPng150dpi"), "_ZuPng150dpi");
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{1, "ZuIniFile: No INI file located. Defaulting path to " + preferred}}));

  Write(preferred,
        "[HFA]\r\nFileLoopLimit=33\r\nPreviewConfig=" + std::string(400, 'v') + "\r\n[Other]\r\nFileLoopLimit=1\r\n");
  log.lines.clear();
  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 33);
  EXPECT_EQ(ini.GetInt("HFA", "PreviewFileLoopLimit", 5), 5);
  EXPECT_EQ(ini.GetString("HFA", "PreviewConfig", "_ZuPng150dpi"), std::string(259, 'v'));  // cut to 259
  EXPECT_EQ(ini.GetString("HFA", "Missing", "fallback"), "fallback");
  EXPECT_EQ(ini.GetString("HFA", "Missing", nullptr), "");
  EXPECT_EQ(ini.path(), preferred);
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, "ZuIniFile: INI file located at " + preferred}}));
}

// An older copy (VirtualStore first, then the Windows folder) moves to the app-data folder.
TEST_F(ZuIniFileTest, OlderCopiesMoveToTheAppDataFolderWhichThenWins) {
  ASSERT_EQ(CreateFolder(local + "\\VirtualStore\\Windows", true), 0);
  Write(virtualised, "[HFA]\r\nHideScriptWindow=1\r\n");
  Write(inWindows, "[HFA]\r\nHideScriptWindow=2\r\n");
  ZuIniFile first;
  EXPECT_TRUE(first.Locate());
  EXPECT_EQ(first.path(), preferred);
  EXPECT_FALSE(FileExists(virtualised));
  EXPECT_EQ(Contents(preferred), "[HFA]\r\nHideScriptWindow=1\r\n");

  ASSERT_TRUE(::DeleteFileA(preferred.c_str()));
  ZuIniFile second;
  EXPECT_EQ(second.GetInt("HFA", "HideScriptWindow", 0), 2);
  EXPECT_EQ(second.path(), preferred);
  EXPECT_FALSE(FileExists(inWindows));

  Write(virtualised, "[HFA]\r\nHideScriptWindow=3\r\n");
  Write(inWindows, "[HFA]\r\nHideScriptWindow=4\r\n");
  ZuIniFile third;
  EXPECT_EQ(third.GetInt("HFA", "HideScriptWindow", 0), 2);
  EXPECT_TRUE(FileExists(virtualised));
  EXPECT_TRUE(FileExists(inWindows));
}

TEST_F(ZuIniFileTest, OlderCopyIsUsedWhereItIsWhenItCannotBeCopied) {
  ASSERT_EQ(CreateFolder(preferred, true), 0);  // a folder in the way of the copy
  ASSERT_EQ(CreateFolder(local + "\\VirtualStore\\Windows", true), 0);
  Write(virtualised, "[HFA]\r\nFileLoopLimit=2\r\n");
  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 2);
  EXPECT_EQ(ini.path(), virtualised);
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

  // Fields without their NUL are cut to 259 characters.
  std::memset(descriptor.path, 'p', sizeof descriptor.path);
  std::memset(descriptor.productFolder, 'r', sizeof descriptor.productFolder);
  std::memset(descriptor.companyFolder, 'c', sizeof descriptor.companyFolder);
  given.SetDescriptor(descriptor);
  EXPECT_EQ(given.path(), std::string(259, 'p'));
  EXPECT_EQ(given.productFolder(), std::string(259, 'r'));
  EXPECT_EQ(given.companyFolder(), std::string(259, 'c'));
}

}  // namespace

}  // namespace hf
