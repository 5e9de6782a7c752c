// Turning command-line folders into the full Windows paths of the block:
// Windows paths, relative paths and, under Wine, Linux paths.
#include "base/win32/windows_api.h"
#include "tools/hfhost/windows_path.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

bool RunningUnderWine() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  return kernel != nullptr && ::GetProcAddress(kernel, "wine_get_dos_file_name") != nullptr;
}

std::string CurrentFolder() {
  char buffer[MAX_PATH] = {};
  ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

std::string Converted(const std::string& path) {
  std::string windowsPath;
  std::string error;
  EXPECT_TRUE(ToFullWindowsPath(path, windowsPath, error)) << path << ": " << error;
  return windowsPath;
}

TEST(WindowsPathTest, WindowsPathsAreMadeFull) {
  EXPECT_EQ(Converted("C:\\hot\\in"), "C:\\hot\\in");
  EXPECT_EQ(Converted("C:\\hot\\x\\..\\in\\.\\"), "C:\\hot\\in\\");
  EXPECT_EQ(Converted("C:/hot/in"), "C:\\hot\\in");
  std::string here = CurrentFolder();
  if (here.back() != '\\') here += '\\';
  EXPECT_EQ(Converted("sub\\in"), here + "sub\\in");
}

TEST(WindowsPathTest, LinuxPathsBecomeWindowsPathsUnderWine) {
  if (!RunningUnderWine()) GTEST_SKIP() << "Linux paths are understood only under Wine";
  // The folders need not exist (a destination is created by the plug-in).
  std::string converted = Converted("/no-such-root/hot folder/in");
  ASSERT_GE(converted.size(), 3u);
  EXPECT_EQ(converted.substr(1), ":\\no-such-root\\hot folder\\in") << converted;
  EXPECT_EQ(Converted("/no-such-root/a/../in/"), converted.substr(0, 2) + "\\no-such-root\\in\\");

  // An existing Linux folder is found through its Windows form.
  DWORD attributes = ::GetFileAttributesA(Converted("/tmp").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(WindowsPathTest, AnEmptyPathIsRefused) {
  std::string windowsPath;
  std::string error;
  EXPECT_FALSE(ToFullWindowsPath("", windowsPath, error));
  EXPECT_FALSE(error.empty());
}

TEST(WindowsPathTest, TheHostFolderEndsWithABackslash) {
  std::string folder = HostExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  char module[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, module, sizeof module);
  EXPECT_EQ(std::string(module).rfind(folder, 0), 0u);
}

}  // namespace

}  // namespace hf
