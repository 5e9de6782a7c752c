// hfhost's command line: the SRC:DEST split with drive letters, the run
// options, and the command lines that must be refused.
#include "tools/hfhost/host_options.h"
#include "tools/hfhost/task_argument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hf {

namespace {

struct SplitCase {
  const char* argument;
  const char* source;
  const char* destination;
};

TEST(TaskArgumentTest, SplitsAtTheFirstColonThatIsNotADriveColon) {
  const SplitCase cases[] = {
      {"C:\\in:D:\\out", "C:\\in", "D:\\out"},
      {"C:\\in", "C:\\in", ""},
      {"C:/in:D:/out", "C:/in", "D:/out"},
      {"/work/in:/work/out", "/work/in", "/work/out"},
      {"/work/in", "/work/in", ""},
      {"in:out", "in", "out"},
      {"in:D:\\out", "in", "D:\\out"},
      {"C:\\in:out", "C:\\in", "out"},
      {"C:", "C:", ""},
      {"C:\\:D:\\", "C:\\", "D:\\"},
      {".\\a:b", ".\\a", "b"},
      {"ab:\\x", "ab", "\\x"},  // a drive is one letter
      {"1:\\x", "1", "\\x"},    // and not a digit
      {"\\\\server\\share\\in:\\\\server\\share\\out", "\\\\server\\share\\in", "\\\\server\\share\\out"},
  };
  for (const SplitCase& c : cases) {
    TaskFolders folders;
    std::string error;
    ASSERT_TRUE(SplitTaskArgument(c.argument, folders, error)) << c.argument << ": " << error;
    EXPECT_EQ(folders.source, c.source) << c.argument;
    EXPECT_EQ(folders.destination, c.destination) << c.argument;
  }
}

TEST(TaskArgumentTest, RefusesEmptyPartsAndASecondSeparator) {
  // "C::D:" too: a drive colon is followed by '\', '/' or the end.
  const char* bad[] = {"", ":D:\\out", "C:\\in:", "in:", "C:\\a:D:\\b:E:\\c", "a:b:c", "1:\\x:", "C::D:"};
  for (const char* argument : bad) {
    TaskFolders folders;
    std::string error;
    EXPECT_FALSE(SplitTaskArgument(argument, folders, error)) << argument;
    EXPECT_FALSE(error.empty()) << argument;
  }
}

HostOptions Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "hfhost");
  return ParseHostArguments(static_cast<int>(arguments.size()), arguments.data());
}

TEST(HostOptionsTest, ARunTakesEveryOption) {
  HostOptions options =
      Parse({"--source", "C:\\in", "--dest", "C:\\out", "--task", "D:\\a:D:\\b", "--task", "/work/c", "--scan-seconds",
             "7", "--poll-ms", "250", "--grouping", "GroupByFileType", "--script", "stamp.cmd", "--thumbnails",
             "--data-folder", "C:\\data", "--ini", "C:\\host.ini", "--json", "--exit-after-idle", "30",
             "--max-files", "12", "--dll", "C:\\x\\hotfolder.dll"});
  ASSERT_EQ(options.command, HostCommand::Run) << options.error;
  ASSERT_EQ(options.tasks.size(), 3u);
  EXPECT_EQ(options.tasks[0].source, "C:\\in");
  EXPECT_EQ(options.tasks[0].destination, "C:\\out");
  EXPECT_EQ(options.tasks[1].source, "D:\\a");
  EXPECT_EQ(options.tasks[1].destination, "D:\\b");
  EXPECT_EQ(options.tasks[2].source, "/work/c");
  EXPECT_EQ(options.tasks[2].destination, "");
  EXPECT_EQ(options.scanSeconds, 7u);
  EXPECT_EQ(options.pollMs, 250u);
  EXPECT_EQ(options.groupingTemplate, "GroupByFileType");
  EXPECT_EQ(options.scriptName, "stamp.cmd");
  EXPECT_TRUE(options.thumbnails);
  EXPECT_EQ(options.dataFolder, "C:\\data");
  EXPECT_EQ(options.iniFile, "C:\\host.ini");
  EXPECT_TRUE(options.json);
  EXPECT_EQ(options.exitAfterIdleSeconds, 30u);
  EXPECT_EQ(options.maxFiles, 12u);
  EXPECT_EQ(options.dllPath, "C:\\x\\hotfolder.dll");
}

TEST(HostOptionsTest, DefaultsOfARun) {
  HostOptions options = Parse({"--task", "C:\\in"});
  ASSERT_EQ(options.command, HostCommand::Run) << options.error;
  EXPECT_EQ(options.scanSeconds, 5u);
  EXPECT_EQ(options.pollMs, 500u);
  EXPECT_TRUE(options.groupingTemplate.empty());
  EXPECT_TRUE(options.scriptName.empty());
  EXPECT_FALSE(options.thumbnails);
  EXPECT_FALSE(options.json);
  EXPECT_EQ(options.exitAfterIdleSeconds, 0u);
  EXPECT_EQ(options.maxFiles, 0u);
  EXPECT_TRUE(options.dllPath.empty());
  EXPECT_TRUE(options.dataFolder.empty());
  EXPECT_TRUE(options.iniFile.empty());
}

TEST(HostOptionsTest, TheSourceTaskComesFirstWhereverItIsWritten) {
  HostOptions options = Parse({"--task", "C:\\b", "--dest", "C:\\out", "--source", "C:\\a"});
  ASSERT_EQ(options.command, HostCommand::Run) << options.error;
  ASSERT_EQ(options.tasks.size(), 2u);
  EXPECT_EQ(options.tasks[0].source, "C:\\a");
  EXPECT_EQ(options.tasks[0].destination, "C:\\out");
  EXPECT_EQ(options.tasks[1].source, "C:\\b");
}

TEST(HostOptionsTest, ProbeAndHelp) {
  HostOptions probe = Parse({"--probe", "hotfolder.dll"});
  EXPECT_EQ(probe.command, HostCommand::Probe);
  EXPECT_EQ(probe.dllPath, "hotfolder.dll");
  EXPECT_EQ(Parse({"--source", "C:\\in", "--help"}).command, HostCommand::Help);
  EXPECT_EQ(std::string(HostUsageText()).rfind("Usage: hfhost --probe DLL\n", 0), 0u);
}

TEST(HostOptionsTest, RefusesBadCommandLinesWithAReason) {
  const std::string longName(98, 'n');
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"--frobnicate"},
      {"--source"},
      {"--source", ""},
      {"--dest", "C:\\out"},
      {"--json"},
      {"--task", "C:\\in:"},
      {"--task", "C:\\in", "--scan-seconds", "0"},
      {"--task", "C:\\in", "--scan-seconds", "-5"},
      {"--task", "C:\\in", "--scan-seconds", "5s"},
      {"--task", "C:\\in", "--poll-ms", ""},
      {"--task", "C:\\in", "--max-files", "0"},
      {"--task", "C:\\in", "--max-files", "99999999999"},
      {"--task", "C:\\in", "--exit-after-idle", "x"},
      {"--task", "C:\\in", "--grouping", ""},
      {"--task", "C:\\in", "--script", longName.c_str()},
      {"--task", "C:\\in", "--ini", ""},
      {"--probe", "hotfolder.dll", "--source", "C:\\in"},
  };
  for (const auto& arguments : bad) {
    HostOptions options = Parse(arguments);
    std::string shown;
    for (const char* a : arguments) shown += std::string(a) + " ";
    EXPECT_EQ(options.command, HostCommand::Invalid) << shown;
    EXPECT_FALSE(options.error.empty()) << shown;
  }
}

TEST(HostOptionsTest, ATaskTextOf97CharactersFits) {
  const std::string name(97, 'n');
  HostOptions options = Parse({"--task", "C:\\in", "--grouping", name.c_str()});
  ASSERT_EQ(options.command, HostCommand::Run) << options.error;
  EXPECT_EQ(options.groupingTemplate, name);
}

}  // namespace

}  // namespace hf
