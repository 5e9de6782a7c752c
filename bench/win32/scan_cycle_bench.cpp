// Scan cycle cost per directory entry, through the real DLL, beside bare
// baselines on the same folder: the listing alone, and the listing with one
// exclusive open and one 512-byte read per file.
//
// Folders of 1,000 and 10,000 entries, either ineligible (".log", excluded by
// extension: listed and name-checked only) or eligible (PostScript files of
// 600 bytes: in-use test, size-and-type read, resource ID, list item). One
// eligible marker file sits in the ineligible folders so that every cycle
// hands something over (the probe checks that a hold-up was a cycle).
// FileLoopLimit is raised above the folder size so that one cycle walks all.
// Usage: scan_cycle_bench [cycles per case, default 3] [folder sizes, default 1000 10000]
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
constexpr int kBaselineRuns = 5;

struct Case {
  int entries;
  bool eligible;
};

struct Row {
  Case which;
  double listing = 0;  // seconds per pass
  double openRead = 0;
  double admission = 0;  // the listing with the two opens the scan makes
  double cycle = 0;      // median of the measured cycles
  int records = 0;
};

bool RunCase(PluginDriver& driver, const Case& c, int cycles, Row& row) {
  const std::string root = MakeBenchFolder("scan");
  const std::string hot = MakeFolder(root + "hot");
  const std::string data = MakeFolder(root + "data");
  const std::string ini = root + "bench.ini";
  const std::string limit = std::to_string(c.entries + 10);
  if (!WriteTextFile(ini, "[HFA]\r\nFileLoopLimit=" + limit + "\r\nPreviewFileLoopLimit=" + limit + "\r\n"))
    return false;
  bool filled = c.eligible ? FillFolder(hot, c.entries, "job", ".ps", kFileSize)
                           : FillFolder(hot, c.entries - 1, "spool", ".log", kFileSize) &&
                                 FillFolder(hot, 1, "marker", ".ps", kFileSize);
  if (!filled) {
    std::fprintf(stderr, "cannot fill %s\n", hot.c_str());
    return false;
  }

  std::vector<double> listing, openRead, admission;
  int seen = 0;
  TimeListingOpenRead(hot, seen);  // warm the cache once
  // Baseline passes before and after the cycles, so that a change of load on
  // the machine shows in both.
  auto baselines = [&] {
    for (int i = 0; i < kBaselineRuns; ++i) {
      listing.push_back(TimeListing(hot, seen));
      openRead.push_back(TimeListingOpenRead(hot, seen));
      admission.push_back(TimeListingAdmissionCalls(hot, seen));
    }
  };
  baselines();

  if (!driver.Initialise(data, ini) || !driver.StartTask(hot, "", kScanSeconds)) {
    std::fprintf(stderr, "the plug-in refused to start the task on %s\n", hot.c_str());
    driver.End();
    return false;
  }
  std::vector<double> cycleTimes;
  for (int i = 0; i < cycles; ++i) {
    double handOff = 0;
    int records = 0;
    double cycle = driver.WaitForCycle(kCycleTimeoutSeconds, kHoldThresholdSeconds, handOff, records);
    if (cycle < 0) {
      std::fprintf(stderr, "no scan cycle seen within %.0f s\n", kCycleTimeoutSeconds);
      break;
    }
    cycleTimes.push_back(cycle);
    row.records = records;
  }
  driver.End();
  baselines();
  row.listing = Median(listing);
  row.openRead = Median(openRead);
  row.admission = Median(admission);
  DeleteFolder(root);
  row.cycle = Median(cycleTimes);
  return static_cast<int>(cycleTimes.size()) == cycles;
}

}  // namespace

int main(int argc, char** argv) {
  int cycles = argc > 1 ? std::atoi(argv[1]) : 3;
  if (cycles < 1) cycles = 1;
  PluginDriver driver;
  std::string error;
  if (!driver.Load(HF_DLL_PATH, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i)
    if (std::atoi(argv[i]) > 1) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000};
  std::vector<Case> cases;
  for (int entries : sizes) {
    cases.push_back(Case{entries, false});
    cases.push_back(Case{entries, true});
  }
  std::printf("Scan cycle per directory entry (median of %d cycles; baselines median of %d passes)\n\n", cycles,
              2 * kBaselineRuns);
  std::printf(
      "| Entries | Kind | Listing only | Listing + open + read | Scan cycle | Cycle / open+read | "
      "Cycle / listing | Listing + both opens of the scan | Cycle / that | Records per cycle |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
  bool ok = true;
  for (const Case& c : cases) {
    Row row;
    row.which = c;
    if (!RunCase(driver, c, cycles, row)) {
      ok = false;
      continue;
    }
    const double perEntry = 1e6 / c.entries;
    std::printf("| %d | %s | %.1f us | %.1f us | %.1f us | %.2fx | %.2fx | %.1f us | %.2fx | %d |\n", c.entries,
                c.eligible ? "eligible" : "ineligible", row.listing * perEntry, row.openRead * perEntry,
                row.cycle * perEntry, row.cycle / row.openRead, row.cycle / row.listing, row.admission * perEntry,
                row.cycle / row.admission, row.records);
    std::fflush(stdout);
  }
  return ok ? 0 : 1;
}
