// A busy day through hfhost: writer threads copy 2,000 files of mixed sizes
// slowly into two hot folders, each file held open without sharing while it is
// written, while hfhost polls both tasks. Every file must arrive in its
// destination exactly once with identical bytes, excluded files must stay, and
// files still being written must be seen as in use rather than taken early.
#include "tests/e2e/host_run.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/scratch_folder.h"

#include "base/win32/scoped_handle.h"
#include "base/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace hf {

namespace {

constexpr int kFolders = 2;
constexpr int kWritersPerFolder = 4;
constexpr int kFilesPerFolder = 1000;  // written by the fast writers
constexpr int kSlowFilesPerFolder = 3;  // written by the slow writer
constexpr int kTotalFiles = kFolders * (kFilesPerFolder + kSlowFilesPerFolder);
constexpr DWORD kHalfFilePauseMs = 100;  // a file stays open between its two halves
constexpr DWORD kBetweenFilesPauseMs = 25;
constexpr DWORD kSlowChunkPauseMs = 1000;
constexpr int kSlowChunks = 7;           // a slow file is open for about 6 s
constexpr int kLastSlowChunks = 15;      // the last one for about 14 s: longer than two scan cycles
constexpr DWORD kHostLimitMs = 240000;   // the whole run, bounded
constexpr uint64_t kLeakGuardKB = 64 * 1024;

const char* const kExtensions[] = {".ps", ".pdf", ".eps", ".tif", ".jpg", ".dat"};
const char* const kExcluded[] = {"._x", "._resource fork", "spool.log", "printer.LOG"};

// Sizes: mostly small, some medium, a few up to about 1 MB.
size_t SizeOf(uint32_t seed) {
  uint32_t pick = seed % 100;
  uint32_t spread = (seed / 100) * 2654435761u;
  if (pick < 80) return 1 + spread % 4096;
  if (pick < 97) return 4096 + spread % (60 * 1024);
  return 64 * 1024 + spread % (960 * 1024);
}

std::string FileName(int folder, int index, bool slow) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%c_%04d%s", slow ? "slow_" : "job_", 'a' + folder, index,
                kExtensions[index % 6]);
  return name;
}

// The bytes of one file, from its name alone: a header that gives the job its
// type, then pseudo-random bytes.
std::string ContentOf(const std::string& name, size_t size) {
  uint32_t state = 2166136261u;
  for (char c : name) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
  std::string header;
  const std::string extension = name.substr(name.rfind('.'));
  if (extension == ".ps") header = "%!PS-Adobe-3.0\n%%Title: " + name + "\n%%For: soak\n";
  if (extension == ".pdf") header = "%PDF-1.4\n";
  if (extension == ".eps") header = "%!PS-Adobe-3.0 EPSF-3.0\n";
  if (extension == ".tif") header = std::string("II*\0", 4);
  if (extension == ".jpg") header = std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
  if (extension == ".dat") header = "DATA";
  std::string bytes = header.substr(0, size);
  bytes.reserve(size);
  while (bytes.size() < size) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes += static_cast<char>('a' + state % 26);
  }
  return bytes;
}

struct Expected {
  int task;
  size_t size;
};

// Writes a file in `chunks` parts, holding it open without sharing throughout.
bool WriteHeldOpen(const std::string& path, const std::string& bytes, int chunks, DWORD pauseMs) {
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t chunk = (bytes.size() + chunks - 1) / chunks;
  for (size_t at = 0; at < bytes.size(); at += chunk) {
    size_t length = bytes.size() - at < chunk ? bytes.size() - at : chunk;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + at, static_cast<DWORD>(length), &written, nullptr) ||
        written != length) {
      return false;
    }
    if (at + chunk < bytes.size()) ::Sleep(pauseMs);  // pacing, not synchronisation
  }
  return true;
}

using namespace host_run;

TEST(SoakTest, TwoThousandFilesArriveExactlyOnceWhileWritersAreStillAtWork) {
  ScratchFolder scratch("soak");
  ASSERT_TRUE(scratch.ok());
  std::string in[kFolders];
  std::string out[kFolders];
  for (int f = 0; f < kFolders; ++f) {
    in[f] = scratch.MakeSubfolder(std::string("in") + char('a' + f));
    out[f] = scratch.MakeSubfolder(std::string("out") + char('a' + f));
    for (const char* name : kExcluded) ASSERT_TRUE(WriteBytes(in[f] + name, "%!PS-Adobe-3.0\nexcluded\n"));
  }
  const std::string dataFolder = scratch.MakeSubfolder("data");
  const std::string iniPath = scratch.path() + "soak.ini";
  // A busy folder: the user raises the number of files taken per cycle.
  ASSERT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=200\r\n"));

  std::map<std::string, Expected> expected;
  for (int f = 0; f < kFolders; ++f) {
    for (int i = 0; i < kFilesPerFolder; ++i)
      expected[FileName(f, i, false)] = Expected{f + 1, SizeOf(static_cast<uint32_t>(f * 7919 + i))};
    for (int i = 0; i < kSlowFilesPerFolder; ++i)
      expected[FileName(f, i, true)] = Expected{f + 1, 512 * 1024 + static_cast<size_t>(i) * 200000};
  }
  ASSERT_EQ(expected.size(), static_cast<size_t>(kTotalFiles));

  MailslotReader log;
  ASSERT_TRUE(log.ok()) << log.error();
  LogSettingsScope logLevel(2);

  const std::string commandLine =
      Quoted(HF_HOST_PATH) + " --dll " + Quoted(HF_DLL_PATH) + " --data-folder " +
      Quoted(WithoutBackslash(dataFolder)) + " --ini " + Quoted(iniPath) + " --task " +
      Quoted(WithoutBackslash(in[0]) + ":" + WithoutBackslash(out[0])) + " --task " +
      Quoted(WithoutBackslash(in[1]) + ":" + WithoutBackslash(out[1])) + " --json --poll-ms 250 --max-files " +
      std::to_string(kTotalFiles) + " --exit-after-idle 90";
  CapturedProcess host;
  std::thread hostThread([&host, &commandLine] { host = RunCaptured(commandLine, kHostLimitMs); });

  std::atomic<int> writeFailures{0};
  std::vector<std::thread> writers;
  std::atomic<int> fastWritersLeft[kFolders];
  for (int f = 0; f < kFolders; ++f) {
    fastWritersLeft[f] = kWritersPerFolder;
    for (int w = 0; w < kWritersPerFolder; ++w) {
      writers.emplace_back([&, f, w] {
        for (int i = w; i < kFilesPerFolder; i += kWritersPerFolder) {
          const std::string name = FileName(f, i, false);
          if (!WriteHeldOpen(in[f] + name, ContentOf(name, expected.at(name).size), 2, kHalfFilePauseMs)) ++writeFailures;
          ::Sleep(kBetweenFilesPauseMs);
        }
        --fastWritersLeft[f];
      });
    }
    writers.emplace_back([&, f] {
      for (int i = 0; i < kSlowFilesPerFolder; ++i) {
        const bool last = i == kSlowFilesPerFolder - 1;
        // The last slow file is written when the fast writers are done, so that
        // scan cycles that have little else to do meet it while it is open.
        while (last && fastWritersLeft[f] > 0) ::Sleep(100);
        const std::string name = FileName(f, i, true);
        if (!WriteHeldOpen(in[f] + name, ContentOf(name, expected.at(name).size), last ? kLastSlowChunks : kSlowChunks,
                           kSlowChunkPauseMs)) {
          ++writeFailures;
        }
      }
    });
  }
  const DWORD writeStart = ::GetTickCount();
  for (std::thread& writer : writers) writer.join();
  const DWORD writeMs = ::GetTickCount() - writeStart;
  hostThread.join();
  EXPECT_EQ(writeFailures.load(), 0);

  ASSERT_TRUE(host.started) << host.startError;
  ASSERT_TRUE(host.finished) << "hfhost did not finish within the time limit\n" << host.output.substr(0, 4000);
  EXPECT_EQ(host.exitCode, 0u);
  HostOutputLines lines = ParseHostOutput(host.output);
  EXPECT_TRUE(lines.badJson.empty());
  EXPECT_TRUE(lines.otherLines.empty()) << lines.otherLines.front();
  EXPECT_TRUE(lines.Of("message").empty()) << "the plug-in reported: " << lines.Of("message").front().Text("text");
  ASSERT_EQ(lines.Of("stop").size(), 1u);
  const HostEvent stop = lines.Of("stop")[0];
  EXPECT_EQ(stop.Text("reason"), "max-files");

  // Every file exactly once, in its task's destination, whole.
  std::set<std::string> seen;
  int wrongFolder = 0, wrongSize = 0, duplicates = 0, unknown = 0;
  for (const HostEvent& file : lines.Of("file")) {
    const std::string name = file.Text("name");
    auto found = expected.find(name);
    if (found == expected.end()) {
      ++unknown;
      ADD_FAILURE() << "handed over a file that was not written: " << name;
      continue;
    }
    if (!seen.insert(name).second) ++duplicates;
    if (file.Number("task") != found->second.task || file.Text("folder") != out[found->second.task - 1]) ++wrongFolder;
    if (file.Number("size") != static_cast<int64_t>(found->second.size)) ++wrongSize;
  }
  EXPECT_EQ(seen.size(), expected.size());
  EXPECT_EQ(duplicates, 0);
  EXPECT_EQ(unknown, 0);
  EXPECT_EQ(wrongFolder, 0);
  EXPECT_EQ(wrongSize, 0);

  int differing = 0;
  for (int f = 0; f < kFolders; ++f) {
    std::vector<std::string> arrived = FileNamesIn(out[f]);
    std::vector<std::string> wanted;
    for (const auto& entry : expected)
      if (entry.second.task == f + 1) wanted.push_back(entry.first);
    EXPECT_EQ(arrived, wanted) << "destination " << out[f];
    for (const std::string& name : arrived) {
      std::string bytes;
      auto found = expected.find(name);
      if (found == expected.end() || !ReadBytes(out[f] + name, bytes) || bytes != ContentOf(name, found->second.size))
        ++differing;
    }
    std::vector<std::string> left = FileNamesIn(in[f]);
    std::vector<std::string> excluded(std::begin(kExcluded), std::end(kExcluded));
    std::sort(excluded.begin(), excluded.end());
    EXPECT_EQ(left, excluded) << "hot folder " << in[f];
  }
  EXPECT_EQ(differing, 0);

  // The files written last were met by the scanner while still open.
  ASSERT_TRUE(log.Sync());
  size_t inUseLines = 0;
  for (const LogRecord& record : log.Pending())
    if (record.text.find("File is in use (spooling?) : ") != std::string::npos) ++inUseLines;
  uint64_t totalBytes = 0;
  for (const auto& entry : expected) totalBytes += entry.second.size;
  std::printf("%d files, %.1f MB, written in %.1f s; the scanner met %u files still open\n", kTotalFiles,
              totalBytes / 1048576.0, writeMs / 1000.0, static_cast<unsigned>(inUseLines));
  for (int f = 0; f < kFolders; ++f) {
    const std::string lastSlow = in[f] + FileName(f, kSlowFilesPerFolder - 1, true);
    EXPECT_TRUE(log.Contains("File is in use (spooling?) : " + lastSlow)) << lastSlow;
  }

  // Memory of the host process, for the record and as a generous leak guard.
  ASSERT_EQ(lines.Of("ready").size(), 1u);
  const HostEvent ready = lines.Of("ready")[0];
  std::printf("hfhost peak working set: %lld KiB at start, %lld KiB at the end (working set %lld KiB)\n",
              static_cast<long long>(ready.Number("peakWorkingSetKB")),
              static_cast<long long>(stop.Number("peakWorkingSetKB")),
              static_cast<long long>(stop.Number("workingSetKB")));
  EXPECT_LT(static_cast<uint64_t>(stop.Number("peakWorkingSetKB")),
            static_cast<uint64_t>(ready.Number("peakWorkingSetKB")) + kLeakGuardKB);
}

}  // namespace

}  // namespace hf
