// Grouping under load through the real DLL: 200 groups of 4 separations
// dropped into a hot folder in random order. Every group must arrive whole,
// no separation missing or doubled, and once the handler is shut down the
// process must hold as many threads and handles as before.
#include "tests/e2e/hot_folder_session.h"

#include "common/file_io.h"
#include "common/path_utils.h"
#include "common/group_document.h"
#include "common/ini_document.h"
#include "common/win32/zu_ini_file.h"
#include "common/win32/scoped_handle.h"

// After <windows.h> (hot_folder_session.h): the snapshot API needs its types.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>

namespace hot_folder_e2e {
namespace {

constexpr int kGroups = 200;
constexpr int kSeparations = 4;
constexpr DWORD kRunLimitMs = 150000;
constexpr DWORD kSettleLimitMs = 15000;
const char* const kColours[kSeparations] = {"Cyan", "Magenta", "Yellow", "Black"};
const char kTemplate[] = "E2E Stress";

std::string ShippedFile(const std::string& name) {
  std::string text;
  EXPECT_TRUE(ReadBytes(std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + name, text)) << name;
  return text;
}

// Threads of this process now.
int ThreadCount() {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
  return count;
}

// Open handles of this process now: every handle value that answers
// GetHandleInformation (Wine's GetProcessHandleCount always says 0).
int HandleCount() {
  int count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// The handle values of this process now.
std::set<ULONG_PTR> HandleValues() {
  std::set<ULONG_PTR> values;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) values.insert(value);
  }
  return values;
}

// "Event", "Thread", "Mutant \...\Name": what a handle is, for a failure message.
std::string DescribeHandle(HANDLE handle) {
  using QueryObject = LONG(__stdcall*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryObject>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
  struct CountedText {
    USHORT length;
    USHORT capacity;
    WCHAR* text;
  };
  auto narrow = [](const CountedText& counted) {
    std::string text;
    for (USHORT i = 0; i < counted.length / 2; ++i) text += static_cast<char>(counted.text[i]);
    return text;
  };
  if (query == nullptr) return "?";
  alignas(8) char type[1024] = {};
  alignas(8) char name[2048] = {};
  ULONG got = 0;
  std::string text = query(handle, 2, type, sizeof type, &got) == 0 ? narrow(*reinterpret_cast<CountedText*>(type)) : "?";
  if (query(handle, 1, name, sizeof name, &got) == 0) text += " " + narrow(*reinterpret_cast<CountedText*>(name));
  return text;
}

// Waits (bounded) until `measure` gives `expected`; returns the last value.
int SettlesAt(int (*measure)(), int expected) {
  int value = measure();
  for (DWORD started = ::GetTickCount(); value != expected && ::GetTickCount() - started < kSettleLimitMs;) {
    ::Sleep(200);
    value = measure();
  }
  return value;
}

std::string GroupName(int group) {
  char name[16];
  std::snprintf(name, sizeof name, "JOB%03d", group);
  return name;
}

std::string SeparationName(int group, int separation) {
  return GroupName(group) + "_p1_" + kColours[separation] + ".tif";
}

class GroupingStressTest : public HotFolderTest {
 protected:
  void SetUp() override {
    HotFolderTest::SetUp();
    const std::string config = HostProgramFolder() + "\\Config";
    for (const std::string& path : {config, setups})
      if (!FolderExists(path) && ::CreateDirectoryA(path.c_str(), nullptr)) madeFolders.push_back(path);
    hadCatalogue = ReadBytes(setups + "Colours.ini", oldCatalogue);
    ASSERT_TRUE(WriteBytes(setups + "Colours.ini", ShippedFile("Colours.ini")));
    CIniDocument document;
    document.LoadFromBuffer(ShippedFile("Default RUD Without PREPS.fns"));
    document.SetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", "120");
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_ON_FILECOUNT", "1");
    document.SetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", std::to_string(kSeparations));
    ASSERT_TRUE(WriteBytes(setups + kTemplate + ".fns", document.SaveToBuffer()));
    // Closed groups are many: the user lets a cycle take them all.
    iniPath = scratch.path() + "host.ini";
    ASSERT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=500\r\n"));
    std::snprintf(descriptor.path, sizeof descriptor.path, "%s", iniPath.c_str());
  }

  void TearDown() override {
    HotFolderTest::TearDown();
    ::DeleteFileA((setups + kTemplate + ".fns").c_str());
    if (hadCatalogue)
      WriteBytes(setups + "Colours.ini", oldCatalogue);
    else
      ::DeleteFileA((setups + "Colours.ini").c_str());
    for (auto it = madeFolders.rbegin(); it != madeFolders.rend(); ++it) ::RemoveDirectoryA(it->c_str());
  }

  int32_t InitialiseWithIni() {
    init = RawBlock::Default();
    init.SetPointer(block::kDataFolder, dataFolder.c_str());
    init.SetPointer(block::kIniFile, &descriptor);
    int32_t result = dll.Call(kInitializeHandler, init);
    initialised = result == 0;
    return result;
  }

  RawBlock& StartGroupingTask(const std::string& hot, const std::string& out) {
    RawBlock& task = NewTask(hot, out);
    uint32_t on = 1;
    std::memcpy(task.data() + block::kTaskSettings.offset + block::kGroupingEnabledInRecord, &on, sizeof on);
    std::memcpy(task.data() + block::kTaskText.offset, kTemplate, sizeof kTemplate);
    EXPECT_EQ(dll.Call(kStartAction, task), 0) << task.MessageText();
    return task;
  }

  std::vector<FileRecord> CollectRecords(RawBlock& task, size_t count, DWORD limitMs) {
    std::vector<FileRecord> records;
    const DWORD started = ::GetTickCount();
    while (records.size() < count && ::GetTickCount() - started < limitMs) {
      if (GetActionStatus(task) == 0) {
        std::vector<FileRecord> more = ReadFileList(task);
        records.insert(records.end(), more.begin(), more.end());
      } else {
        ::Sleep(100);
      }
    }
    return records;
  }

  // One whole run: start, `groups` groups dropped in shuffled order, their
  // hand-over, the end of the task and the handler's shutdown.
  void Run(const std::string& name, int groups) {
    const std::string hot = scratch.MakeSubfolder(name + "_in");
    const std::string out = scratch.MakeSubfolder(name + "_out");
    ASSERT_EQ(InitialiseWithIni(), 0);
    RawBlock& task = StartGroupingTask(hot, out);

    std::vector<std::pair<int, int>> drops;
    for (int group = 0; group < groups; ++group)
      for (int separation = 0; separation < kSeparations; ++separation) drops.emplace_back(group, separation);
    std::mt19937 random(20240815u);
    std::shuffle(drops.begin(), drops.end(), random);
    for (const auto& drop : drops) {
      const std::string file = SeparationName(drop.first, drop.second);
      ASSERT_TRUE(WriteBytes(hot + file, std::string("II*\0", 4) + file));
    }

    std::vector<FileRecord> records = CollectRecords(task, static_cast<size_t>(groups), kRunLimitMs);
    ASSERT_EQ(records.size(), static_cast<size_t>(groups));

    std::set<std::string> groupNames;
    std::set<std::string> separations;
    for (const FileRecord& record : records) {
      ASSERT_EQ(record.jobType, 0x8000000u) << record.fileName;
      EXPECT_EQ(record.folder, out);
      CIniDocument document;
      ASSERT_TRUE(document.Load(out + record.fileName)) << record.fileName;
      CGroupDocumentReader reader(document);
      std::string groupName;
      std::string folder;
      reader.GetGroupName(groupName);
      reader.GetFolderPath(folder);
      EXPECT_TRUE(groupNames.insert(groupName).second) << "group " << groupName << " arrived twice";
      EXPECT_EQ(folder, out + record.fileName.substr(0, record.fileName.size() - 4));
      const int group = std::atoi(groupName.c_str() + 3);
      std::vector<std::string> expected;
      for (int separation = 0; separation < kSeparations; ++separation)
        expected.push_back(SeparationName(group, separation));
      std::sort(expected.begin(), expected.end());
      std::vector<std::string> listed = reader.GetFileInfoNames();
      std::sort(listed.begin(), listed.end());
      EXPECT_EQ(listed, expected) << groupName;
      EXPECT_EQ(FileNamesIn(folder), expected) << groupName;
      for (const std::string& file : listed)
        EXPECT_TRUE(separations.insert(file).second) << file << " is in two groups";
    }
    EXPECT_EQ(separations.size(), static_cast<size_t>(groups * kSeparations));
    EXPECT_TRUE(FileNamesIn(hot).empty());

    task.SetI32(block::kActionState, 4);
    EXPECT_EQ(dll.Call(kEndAction, task), 0);
    EXPECT_EQ(Shutdown(), 0);
  }

  const std::string setups = HostProgramFolder() + "\\Config\\FilenameSetups\\";
  std::vector<std::string> madeFolders;
  bool hadCatalogue = false;
  std::string oldCatalogue;
  std::string iniPath;
  IniFileDescriptor descriptor{};
  // The run logs nothing: the log channel's fall-back to debugger output when
  // the mailslot is full would make handles of its own, once, at any moment.
  LogSettingsScope quiet{0, 0};
};

TEST_F(GroupingStressTest, TwoHundredGroupsArriveWholeAndLeaveNoThreadOrHandleBehind) {
  // A first run makes whatever the plug-in and the system libraries keep for
  // the rest of the process.
  Run("warm", 10);
  if (HasFatalFailure()) return;
  const int threadsBefore = ThreadCount();
  const std::set<ULONG_PTR> handlesBefore = HandleValues();

  Run("busy", kGroups);
  if (HasFatalFailure()) return;
  EXPECT_EQ(SettlesAt(&ThreadCount, threadsBefore), threadsBefore);
  const int handleCount = SettlesAt(&HandleCount, static_cast<int>(handlesBefore.size()));
  std::string added;
  for (ULONG_PTR value : HandleValues())
    if (handlesBefore.count(value) == 0) added += "\n  " + DescribeHandle(reinterpret_cast<HANDLE>(value));
  EXPECT_EQ(handleCount, static_cast<int>(handlesBefore.size())) << "handles not there before:" << added;
}

}  // namespace
}  // namespace hot_folder_e2e
