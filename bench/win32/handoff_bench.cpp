// Hand-off throughput: files moved and handed over per second by one
// GetActionStatus, through the real DLL, beside a bare MoveFileEx loop
// (replace, copy allowed) over the same number of files of the same size.
//
// The task's first scan cycle makes all files ready (FileLoopLimit raised);
// the GetActionStatus call that follows is timed: it moves every file into
// the destination and builds the record list.
// Usage: handoff_bench [repetitions per size, default 3]
#include "base/win32/file_system.h"
#include "bench/win32/bench_files.h"
#include "bench/win32/plugin_driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace hf;

namespace {

constexpr size_t kFileSize = 600;
constexpr uint32_t kScanSeconds = 5;
constexpr double kCycleTimeoutSeconds = 180;
constexpr double kHoldThresholdSeconds = 0.0015;

// One timed hand-off of `count` files; seconds, or -1.
double PluginHandOff(PluginDriver& driver, int count) {
  const std::string root = MakeBenchFolder("handoff");
  const std::string hot = MakeFolder(root + "hot");
  const std::string out = MakeFolder(root + "out");
  const std::string data = MakeFolder(root + "data");
  const std::string ini = root + "bench.ini";
  const std::string limit = std::to_string(count + 10);
  if (!WriteTextFile(ini, "[HFA]\r\nFileLoopLimit=" + limit + "\r\nPreviewFileLoopLimit=" + limit + "\r\n") ||
      !FillFolder(hot, count, "job", ".ps", kFileSize)) {
    return -1;
  }
  double seconds = -1;
  if (driver.Initialise(data, ini) && driver.StartTask(hot, out, kScanSeconds)) {
    double handOff = 0;
    int records = 0;
    if (driver.WaitForCycle(kCycleTimeoutSeconds, kHoldThresholdSeconds, handOff, records) >= 0 && records == count) {
      seconds = handOff;
    } else {
      std::fprintf(stderr, "expected %d records in one hand-off, got %d\n", count, records);
    }
  }
  driver.End();
  DeleteFolder(root);
  return seconds;
}

double BareMoves(int count, bool handOffChecks) {
  const std::string root = MakeBenchFolder("moves");
  const std::string hot = MakeFolder(root + "hot");
  const std::string out = MakeFolder(root + "out");
  double seconds = -1;
  int moved = 0;
  if (FillFolder(hot, count, "job", ".ps", kFileSize)) {
    seconds = TimeMoveLoop(hot, out, handOffChecks, moved);
    if (moved != count) seconds = -1;
  }
  DeleteFolder(root);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int repetitions = argc > 1 ? std::atoi(argv[1]) : 3;
  if (repetitions < 1) repetitions = 1;
  PluginDriver driver;
  std::string error;
  if (!driver.Load(HF_DLL_PATH, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::printf("Hand-off of files (median of %d runs)\n\n", repetitions);
  std::printf(
      "| Files | MoveFileEx loop | GetActionStatus hand-off | Ratio (time) | MoveFileEx loop with the "
      "hand-off's checks | Hand-off / that |\n");
  std::printf("|---|---|---|---|---|---|\n");
  bool ok = true;
  for (int count : {1000, 5000}) {
    std::vector<double> plugin, bare, checked;
    for (int i = 0; i < repetitions; ++i) {
      double bareSeconds = BareMoves(count, false);
      double checkedSeconds = BareMoves(count, true);
      double pluginSeconds = PluginHandOff(driver, count);
      if (bareSeconds <= 0 || checkedSeconds <= 0 || pluginSeconds <= 0) {
        ok = false;
        continue;
      }
      bare.push_back(bareSeconds);
      checked.push_back(checkedSeconds);
      plugin.push_back(pluginSeconds);
    }
    if (plugin.empty()) continue;
    double bareMedian = Median(bare);
    double checkedMedian = Median(checked);
    double pluginMedian = Median(plugin);
    std::printf("| %d | %.0f files/s | %.0f files/s | %.2fx | %.0f files/s | %.2fx |\n", count, count / bareMedian,
                count / pluginMedian, pluginMedian / bareMedian, count / checkedMedian, pluginMedian / checkedMedian);
    std::fflush(stdout);
  }
  return ok ? 0 : 1;
}
