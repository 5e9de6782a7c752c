// Grouping under load through the real DLL: 200 groups of 4 separations
// dropped into a hot folder in random order. Every group must arrive whole,
// no separation missing or doubled, and once the handler is shut down the
// process must hold as many threads and handles as before.
#include "tests/e2e/hot_folder_session.h"

// After <windows.h> (hot_folder_session.h): the snapshot API needs its types.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

namespace hf {

namespace hot_folder_e2e {
namespace {

constexpr int kGroups = 200;
constexpr int kSeparations = 4;
constexpr DWORD kRunLimitMs = 150000;
constexpr DWORD kSettleLimitMs = 15000;
const char* const kColours[kSeparations] = {"Cyan", "Magenta", "Yellow", "Black"};
const char kTemplate[] = "E2E Stress";

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

// The handle values of this process now: every value that answers
// GetHandleInformation (Wine's GetProcessHandleCount always says 0).
std::set<ULONG_PTR> HandleValues() {
  std::set<ULONG_PTR> values;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) values.insert(value);
  }
  return values;
}

int HandleCount() { return static_cast<int>(HandleValues().size()); }

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
    setups.WriteCatalogue();
    setups.WriteTemplate(kTemplate, kWithoutPreps, 120, 1, kSeparations);
  }

  // One whole run: start, `groups` groups dropped in shuffled order, their
  // hand-over, the end of the task and the handler's shutdown.
  void Run(const std::string& name, int groups) {
    const std::string source = scratch.MakeSubfolder(name + "_in");
    const std::string destination = scratch.MakeSubfolder(name + "_out");
    // Closed groups are many: the user lets a cycle take them all.
    ASSERT_EQ(Initialise(500), 0);
    RawBlock& task = StartGroupingTask(source, destination, kTemplate);

    std::vector<std::pair<int, int>> drops;
    for (int group = 0; group < groups; ++group)
      for (int separation = 0; separation < kSeparations; ++separation) drops.emplace_back(group, separation);
    std::mt19937 random(20240815u);
    std::shuffle(drops.begin(), drops.end(), random);
    for (const auto& drop : drops) {
      const std::string file = SeparationName(drop.first, drop.second);
      ASSERT_TRUE(WriteBytes(source + file, TiffBytes(file)));
    }

    std::vector<FileRecord> records = CollectRecords(task, static_cast<size_t>(groups), kRunLimitMs);
    ASSERT_EQ(records.size(), static_cast<size_t>(groups));

    // Group names are unique and each group holds its own four separations:
    // no separation is missing or in two groups.
    std::set<std::string> groupNames;
    for (const FileRecord& record : records) {
      std::string groupName = GroupText(LoadGroup(record), "FileGroupInfo", "GroupName");
      EXPECT_TRUE(groupNames.insert(groupName).second) << "group " << groupName << " arrived twice";
      std::vector<std::string> expected;
      for (int separation = 0; separation < kSeparations; ++separation)
        expected.push_back(SeparationName(std::atoi(groupName.c_str() + 3), separation));
      ExpectGroupArrived(record, destination, source, expected);
    }
    EXPECT_TRUE(FileNamesIn(source).empty());

    task.SetI32(block::kActionState, 4);
    EXPECT_EQ(dll.Call(kEndAction, task), 0);
    EXPECT_EQ(Shutdown(), 0);
  }

  FilenameSetups setups;
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

}  // namespace hf
