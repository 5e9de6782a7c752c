// The search for the host's INI file, over app-data folders pointed at temporary ones through the
// user's shell-folder values and the Windows folder (where the test puts its file and removes it).
#include "host/zu_ini_file.h"

#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
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
  // The folder is created with its parents, the file is not.
  EXPECT_EQ(std::make_tuple(none.path(), FolderExists(roaming + "\\Vorlan\\Brenmar"), FileExists(preferred),
                            none.GetInt("HFA", "FileLoopLimit", 20), none.GetString("HFA", "PreviewConfig", "_Zu")),
            std::make_tuple(preferred, true, false, 20, "_Zu"));
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{1, "ZuIniFile: No INI file located. Defaulting path to " + preferred}}));

  Write(preferred,
        "[HFA]\r\nFileLoopLimit=33\r\nPreviewConfig=" + std::string(400, 'v') + "\r\n[Other]\r\nFileLoopLimit=1\r\n");
  log.lines.clear();
  ZuIniFile ini;
  EXPECT_EQ(ini.GetInt("HFA", "FileLoopLimit", 20), 33);
  // A text is cut to 259 characters.
  EXPECT_EQ(std::make_tuple(ini.GetInt("HFA", "PreviewFileLoopLimit", 5), ini.GetString("HFA", "PreviewConfig", "_Zu"),
                            ini.GetString("HFA", "Missing", "fallback"), ini.GetString("HFA", "Missing", nullptr),
                            ini.path()),
            std::make_tuple(5, std::string(259, 'v'), "fallback", "", preferred));
  EXPECT_EQ(log.lines, (std::vector<LogLine>{{2, "ZuIniFile: INI file located at " + preferred}}));
}

// An older copy (VirtualStore first, then the Windows folder) moves to the app-data folder.
TEST_F(ZuIniFileTest, OlderCopiesMoveToTheAppDataFolderWhichThenWins) {
  ASSERT_EQ(CreateFolder(local + "\\VirtualStore\\Windows", true), 0);
  Write(virtualised, "[HFA]\r\nHideScriptWindow=1\r\n");
  Write(inWindows, "[HFA]\r\nHideScriptWindow=2\r\n");
  ZuIniFile first;
  EXPECT_TRUE(first.Locate());
  EXPECT_EQ(std::make_tuple(first.path(), FileExists(virtualised), Contents(preferred)),
            std::make_tuple(preferred, false, "[HFA]\r\nHideScriptWindow=1\r\n"));

  ASSERT_TRUE(::DeleteFileA(preferred.c_str()));
  ZuIniFile second;
  EXPECT_EQ(second.GetInt("HFA", "HideScriptWindow", 0), 2);
  EXPECT_TRUE(second.path() == preferred && !FileExists(inWindows));

  Write(virtualised, "[HFA]\r\nHideScriptWindow=3\r\n");
  Write(inWindows, "[HFA]\r\nHideScriptWindow=4\r\n");
  ZuIniFile third;
  EXPECT_EQ(third.GetInt("HFA", "HideScriptWindow", 0), 2);
  EXPECT_TRUE(FileExists(virtualised) && FileExists(inWindows));
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
  EXPECT_EQ(ini.companyFolder() + "\\" + ini.productFolder(), "Vorlan\\Brenmar");
  ini.SetDescriptor(descriptor);
  EXPECT_TRUE(ini.Locate());
  EXPECT_EQ(ini.path(), roaming + "\\Acme\\Tool\\" + stem + ".ini");

  const std::string named = root + "\\host.ini";
  Write(named, "[HFA]\r\nThumbnailTimeoutSecs=7\r\n");
  std::strcpy(descriptor.path, named.c_str());
  ZuIniFile given;
  given.SetDescriptor(descriptor);
  EXPECT_EQ(given.GetInt("HFA", "ThumbnailTimeoutSecs", 10), 7);
  EXPECT_TRUE(given.path() == named && !FolderExists(roaming + "\\Vorlan"));  // no search when the path is given

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
