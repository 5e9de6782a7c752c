// A busy day through hfhost: writer threads copy 2,000 files slowly into two hot folders, each
// held open without sharing while written. Every file arrives exactly once with its bytes,
// excluded files stay, and files still being written are seen as in use, not taken early.
#include "tests/support/win32/host_run.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"
#include "tests/support/win32/scratch_folder.h"

#include "base/win32/scoped_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <thread>

namespace hf {
namespace {

// Per folder, fast writers write files in two halves, one slow writer three files in chunks.
constexpr int kFolders = 2, kWritersPerFolder = 4, kFilesPerFolder = 1000, kSlowFilesPerFolder = 3;
constexpr int kTotalFiles = kFolders * (kFilesPerFolder + kSlowFilesPerFolder);
constexpr DWORD kHalfFilePauseMs = 100, kBetweenFilesPauseMs = 25, kSlowChunkPauseMs = 1000;
constexpr int kSlowChunks = 7, kLastSlowChunks = 15;  // open about 6 s; the last about 14 s, over two scan cycles
constexpr uint64_t kLeakGuardKB = 64 * 1024;
const char* const kExcluded[] = {"._resource fork", "._x", "printer.LOG", "spool.log"};  // sorted

std::string FileName(int folder, int index, bool slow) {
  const char* const extensions[] = {".ps", ".pdf", ".eps", ".tif", ".jpg", ".dat"};
  char name[64];
  std::snprintf(name, sizeof name, "%s%c_%04d%s", slow ? "slow_" : "job_", 'a' + folder, index, extensions[index % 6]);
  return name;
}

// Sizes: mostly small, some medium, a few up to about 1 MB; the slow files from 512 KB.
size_t SizeOf(int folder, int index, bool slow) {
  const uint32_t seed = static_cast<uint32_t>(folder * 7919 + index), pick = seed % 100;
  const uint32_t spread = (seed / 100) * 2654435761u;
  if (slow) return 512 * 1024 + static_cast<size_t>(index) * 200000;
  return pick < 80 ? 1 + spread % 4096 : pick < 97 ? 4096 + spread % (60 * 1024) : 64 * 1024 + spread % (960 * 1024);
}

// The bytes of one file from its name: a header that gives the job its type, then pseudo-random bytes.
std::string ContentOf(const std::string& name, size_t size) {
  uint32_t state = 2166136261u;
  for (char c : name) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
  const std::map<std::string, std::string> headers = {{".ps", "%!PS-Adobe-3.0\n%%Title: " + name + "\n%%For: soak\n"},
                                                      {".pdf", "%PDF-1.4\n"},
                                                      {".eps", "%!PS-Adobe-3.0 EPSF-3.0\n"},
                                                      {".tif", std::string("II*\0", 4)},
                                                      {".jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)},
                                                      {".dat", "DATA"}};
  std::string bytes = headers.at(name.substr(name.rfind('.'))).substr(0, size);
  for (bytes.reserve(size); bytes.size() < size; bytes += static_cast<char>('a' + state % 26)) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
  }
  return bytes;
}

// Writes a file in `chunks` parts, holding it open without sharing throughout.
bool WriteHeldOpen(const std::string& path, const std::string& bytes, int chunks, DWORD pauseMs) {
  ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  const size_t chunk = (bytes.size() + chunks - 1) / chunks;
  for (size_t at = 0; file && at < bytes.size(); at += chunk) {
    const DWORD length = static_cast<DWORD>(std::min(chunk, bytes.size() - at));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + at, length, &written, nullptr) || written != length) return false;
    if (at + chunk < bytes.size()) ::Sleep(pauseMs);  // pacing, not synchronisation
  }
  return file.valid();
}

TEST(SoakTest, TwoThousandFilesArriveExactlyOnceWhileWritersAreStillAtWork) {
  ScratchFolder scratch("soak");
  ASSERT_TRUE(scratch.ok());
  const std::string dataFolder = scratch.MakeSubfolder("data"), iniPath = scratch.path() + "soak.ini";
  ASSERT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=200\r\n"));  // a busy folder: more files per cycle
  std::string commandLine = Quoted(HF_HOST_PATH) + " --dll " + Quoted(HF_DLL_PATH) + " --data-folder " +
                            Quoted(WithoutBackslash(dataFolder)) + " --ini " + Quoted(iniPath);
  std::string in[kFolders], out[kFolders];
  std::map<std::string, std::pair<int, size_t>> expected;  // name: task, size
  for (int f = 0; f < kFolders; ++f) {
    in[f] = scratch.MakeSubfolder(std::string("in") + char('a' + f));
    out[f] = scratch.MakeSubfolder(std::string("out") + char('a' + f));
    for (const char* name : kExcluded) ASSERT_TRUE(WriteBytes(in[f] + name, "%!PS-Adobe-3.0\nexcluded\n"));
    commandLine += " --task " + Quoted(WithoutBackslash(in[f]) + ":" + WithoutBackslash(out[f]));
    for (int i = 0; i < kFilesPerFolder + kSlowFilesPerFolder; ++i) {
      const bool slow = i >= kFilesPerFolder;
      const int index = slow ? i - kFilesPerFolder : i;
      expected[FileName(f, index, slow)] = {f + 1, SizeOf(f, index, slow)};
    }
  }
  commandLine += " --json --poll-ms 250 --max-files " + std::to_string(kTotalFiles) + " --exit-after-idle 90";
  MailslotReader log;
  ASSERT_TRUE(log.ok()) << log.error();
  LogSettingsScope logLevel(2);
  CapturedProcess host;
  std::thread hostThread([&host, &commandLine] { host = RunCaptured(commandLine, 240000); });

  std::atomic<int> writeFailures{0};
  std::vector<std::thread> writers;
  std::atomic<int> fastWritersLeft[kFolders];
  auto write = [&](int f, const std::string& name, int chunks, DWORD pauseMs) {
    writeFailures += !WriteHeldOpen(in[f] + name, ContentOf(name, expected.at(name).second), chunks, pauseMs);
  };
  for (int f = 0; f < kFolders; ++f) {
    fastWritersLeft[f] = kWritersPerFolder;
    for (int w = 0; w < kWritersPerFolder; ++w) {
      writers.emplace_back([&, f, w] {
        for (int i = w; i < kFilesPerFolder; i += kWritersPerFolder, ::Sleep(kBetweenFilesPauseMs))
          write(f, FileName(f, i, false), 2, kHalfFilePauseMs);
        --fastWritersLeft[f];
      });
    }
    writers.emplace_back([&, f] {
      for (int i = 0; i < kSlowFilesPerFolder; ++i) {
        const bool last = i == kSlowFilesPerFolder - 1;
        // The last slow file is written after the fast ones: idle scan cycles meet it open.
        while (last && fastWritersLeft[f] > 0) ::Sleep(100);
        write(f, FileName(f, i, true), last ? kLastSlowChunks : kSlowChunks, kSlowChunkPauseMs);
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  hostThread.join();
  EXPECT_EQ(writeFailures.load(), 0);
  HostRun run = ReadHostRun(host);
  run.process.output.resize(std::min<size_t>(run.process.output.size(), 4000));  // for failure messages
  ExpectCleanRun(run, "max-files");
  if (HasFatalFailure()) return;
  EXPECT_TRUE(run.otherLines.empty()) << run.otherLines.front();

  // Every file exactly once, in its task's destination, whole.
  std::set<std::string> seen;
  int wrong = 0;  // in the wrong folder, of the wrong size or with other bytes
  for (const HostEvent& file : run.Of("file")) {
    auto found = expected.find(file.Text("name"));
    ASSERT_NE(found, expected.end()) << "handed over a file that was not written: " << file.Text("name");
    seen.insert(found->first);
    const auto [task, size] = found->second;
    wrong += file.Number("task") != task || file.Text("folder") != out[task - 1] ||
             file.Number("size") != static_cast<int64_t>(size) ||
             BytesOf(out[task - 1] + found->first) != ContentOf(found->first, size);
  }
  EXPECT_EQ(run.Of("file").size(), expected.size()) << "a file handed over twice";
  EXPECT_EQ(seen.size(), expected.size());
  EXPECT_EQ(wrong, 0);
  for (int f = 0; f < kFolders; ++f) {
    EXPECT_EQ(FileNamesIn(out[f]).size(), static_cast<size_t>(kFilesPerFolder + kSlowFilesPerFolder)) << out[f];
    EXPECT_EQ(FileNamesIn(in[f]), std::vector<std::string>(std::begin(kExcluded), std::end(kExcluded))) << in[f];
  }

  // The files written last were met by the scanner while still open.
  ASSERT_TRUE(log.Sync());
  const std::vector<LogRecord> records = log.Drain();
  for (int f = 0; f < kFolders; ++f) {
    const std::string inUse = "File is in use (spooling?) : " + in[f] + FileName(f, kSlowFilesPerFolder - 1, true);
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [&](const LogRecord& r) {
      return r.text.find(inUse) != std::string::npos;
    })) << inUse;
  }

  // A generous leak guard on the host process's memory.
  ASSERT_EQ(run.Of("ready").size(), 1u);
  const HostEvent ready = run.Of("ready")[0], stop = run.Of("stop")[0];
  EXPECT_LT(stop.Number("peakWorkingSetKB"), ready.Number("peakWorkingSetKB") + static_cast<int64_t>(kLeakGuardKB));
}

}  // namespace
}  // namespace hf
