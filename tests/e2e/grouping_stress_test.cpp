// Grouping under load through the real DLL: 200 groups of 4 separations
// dropped into a hot folder in random order. Every group must arrive whole,
// no separation missing or doubled, and once the handler is shut down the
// process must hold as many threads and handles as before.
#include "tests/support/win32/hot_folder_session.h"

#include "base/win32/scoped_handle.h"

#include <tlhelp32.h>  // after windows_api.h, which it needs

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

namespace hf::hot_folder_e2e {
namespace {

constexpr int kSeparations = 4;
const char* const kColours[kSeparations] = {"Cyan", "Magenta", "Yellow", "Black"};

int ThreadCount() {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
    count += entry.th32OwnerProcessID == ::GetCurrentProcessId();
  return count;
}

// Every handle value that answers GetHandleInformation (Wine's GetProcessHandleCount says 0).
std::set<ULONG_PTR> HandleValues() {
  std::set<ULONG_PTR> values;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4)
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) values.insert(value);
  return values;
}

int HandleCount() { return static_cast<int>(HandleValues().size()); }

// Waits (at most 15 s) until `measure` gives `expected`; returns the last value.
int SettlesAt(int (*measure)(), int expected) {
  int value = measure();
  for (DWORD started = ::GetTickCount(); value != expected && ::GetTickCount() - started < 15000; value = measure())
    ::Sleep(200);
  return value;
}

std::string SeparationName(int group, int separation) {
  char name[32];
  std::snprintf(name, sizeof name, "JOB%03d_p1_%s.tif", group, kColours[separation]);
  return name;
}

class GroupingStressTest : public HotFolderTest {
 protected:
  // Start, `groups` groups dropped in shuffled order, their hand-over, EndAction and shutdown.
  void Run(const std::string& name, int groups) {
    const std::string source = scratch.MakeSubfolder(name + "_in");
    const std::string destination = scratch.MakeSubfolder(name + "_out");
    ASSERT_EQ(Initialise(500), 0);  // closed groups are many: the user lets a cycle take them all
    RawBlock& task = StartGroupingTask(source, destination, "E2E Stress");
    std::vector<std::pair<int, int>> drops;
    for (int group = 0; group < groups; ++group)
      for (int separation = 0; separation < kSeparations; ++separation) drops.emplace_back(group, separation);
    std::shuffle(drops.begin(), drops.end(), std::mt19937(20240815u));
    for (const auto& drop : drops) {
      const std::string file = SeparationName(drop.first, drop.second);
      ASSERT_TRUE(WriteBytes(source + file, TiffBytes(file)));
    }

    std::vector<FileRecord> records = CollectRecords(task, static_cast<size_t>(groups), 150000);
    ASSERT_EQ(records.size(), static_cast<size_t>(groups));
    // Group names are unique and each group holds its own four separations.
    std::set<std::string> groupNames;
    for (const FileRecord& record : records) {
      const std::string groupName = GroupText(record, "FileGroupInfo", "GroupName");
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

  ProgramConfig config;
  // Logging off: the log channel's fall-back when the mailslot is full makes handles of its own.
  LogSettingsScope quiet{0, 0};
};

TEST_F(GroupingStressTest, TwoHundredGroupsArriveWholeAndLeaveNoThreadOrHandleBehind) {
  config.WriteCatalogue();
  config.WriteTemplate("E2E Stress", kWithoutPreps, 120, 1, kSeparations);
  // A first run makes what the plug-in and the system libraries keep for the process's life.
  Run("warm", 10);
  if (HasFatalFailure()) return;
  const int threadsBefore = ThreadCount();
  const std::set<ULONG_PTR> handlesBefore = HandleValues();
  Run("busy", 200);
  if (HasFatalFailure()) return;
  EXPECT_EQ(SettlesAt(&ThreadCount, threadsBefore), threadsBefore);
  const int handleCount = SettlesAt(&HandleCount, static_cast<int>(handlesBefore.size()));
  std::string added;
  for (ULONG_PTR value : HandleValues())
    if (handlesBefore.count(value) == 0) added += " " + std::to_string(value);
  EXPECT_EQ(handleCount, static_cast<int>(handlesBefore.size())) << "handles not there before:" << added;
}

}  // namespace
}  // namespace hf::hot_folder_e2e
