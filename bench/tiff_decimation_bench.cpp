// Speed and memory of DecimateTiff on 1-bit plates (G4 and LZW) beside a plain
// libtiff read of every row of the same plate, and the peak working set as the
// plate grows (Linux: VmHWM after resetting it through /proc/self/clear_refs).
#include "previews/tiff_decimation.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace hf {

namespace {

// Wide enough to be reduced (w / 8 > 6400): a 20 x 28 inch plate at 2540 dpi
// is about 50,800 x 71,120 pixels; the height grows in the runs.
constexpr uint32_t kPlateWidth = 52000;

// A plate as a RIP might leave it: white margins, a screened picture whose dots
// grow from left to right (16-pixel cells), a solid bar and thin rules.
void PlateRow(uint32_t y, uint32_t height, std::vector<uint8_t>& row) {
  std::fill(row.begin(), row.end(), 0);
  const size_t bytes = row.size();
  if (y % 500 == 0) std::fill(row.begin() + bytes / 20, row.end() - bytes / 20, 0xFF);
  if (y > height / 10 && y < height * 6 / 10) {
    const size_t first = bytes / 10 & ~size_t{1}, last = bytes * 4 / 10 & ~size_t{1};
    const int dy = static_cast<int>(y % 16) - 8;
    for (size_t cell = first; cell < last; cell += 2) {
      int dot = static_cast<int>(16 * (cell - first) / (last - first));  // dot width 0..15
      if (dy * dy * 4 > dot * dot) continue;
      uint16_t mask = static_cast<uint16_t>(((1u << dot) - 1) << ((16 - dot) / 2));
      row[cell] = static_cast<uint8_t>(mask >> 8);
      row[cell + 1] = static_cast<uint8_t>(mask);
    }
  }
  if (y > height * 7 / 10 && y < height * 8 / 10) std::fill(row.begin() + bytes / 2, row.begin() + bytes * 3 / 4, 0xFF);
}

// Rows per strip of a plate: libtiff's default (one row at this width), or all
// rows in one strip, as some RIPs write G4 plates.
constexpr int64_t kDefaultStrips = 0, kOneStrip = -1;

// The plate of this compression, height and strip size, written once per run of the program.
const std::string& Plate(uint16_t compression, uint32_t height, int64_t strips) {
  static std::map<std::tuple<uint16_t, uint32_t, int64_t>, std::string> plates;
  static struct Remover {
    ~Remover() {
      for (auto& plate : plates) std::remove(plate.second.c_str());
    }
  } remover;
  std::string& path = plates[{compression, height, strips}];
  if (!path.empty()) return path;
  path = (std::filesystem::temp_directory_path() / ("hf_plate_" + std::to_string(compression) + "_" +
                                                    std::to_string(height) + "_" + std::to_string(strips) + ".tif"))
             .string();
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) return path;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kPlateWidth);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, strips == kOneStrip ? height : TIFFDefaultStripSize(tiff, 0));
  TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 2540.0);
  TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 2540.0);
  TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
  for (uint32_t y = 0; y < height; ++y) {
    PlateRow(y, height, row);
    TIFFWriteScanline(tiff, row.data(), y, 0);
  }
  TIFFClose(tiff);
  return path;
}

// A field of /proc/self/status in kB; 0 where there is none.
long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
  return 0;
}

// Sets the peak resident set back to the current one (Linux 4.0 and later).
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void ReportMemory(benchmark::State& state, const std::string& plate, uint32_t height, long residentBefore) {
  state.counters["plate_MB"] = static_cast<double>(std::filesystem::file_size(plate)) / 1e6;
  state.counters["peak_rise_MB"] = static_cast<double>(StatusKilobytes("VmHWM:") - residentBefore) / 1024.0;
  state.counters["Mpixel_per_s"] = benchmark::Counter(static_cast<double>(kPlateWidth) * height / 1e6,
                                                      benchmark::Counter::kIsIterationInvariantRate);
}

// args: compression, plate height, strips
void BM_DecimateTiff(benchmark::State& state) {
  const auto height = static_cast<uint32_t>(state.range(1));
  const std::string& plate = Plate(static_cast<uint16_t>(state.range(0)), height, state.range(2));
  const std::string target = plate + ".thumb.tif";
  ResetPeak();
  long residentBefore = StatusKilobytes("VmRSS:");
  for (auto _ : state) {
    if (!DecimateTiff(plate, target)) state.SkipWithError("DecimateTiff failed");
  }
  ReportMemory(state, plate, height, residentBefore);
  std::remove(target.c_str());
}

// The baseline: libtiff reading every row of the plate in order, as a plain
// program does it (args: compression, height, strips, 1 when the file is mapped).
void BM_ReadScanlines(benchmark::State& state) {
  const auto height = static_cast<uint32_t>(state.range(1));
  const std::string& plate = Plate(static_cast<uint16_t>(state.range(0)), height, state.range(2));
  ResetPeak();
  long residentBefore = StatusKilobytes("VmRSS:");
  for (auto _ : state) {
    TIFF* tiff = TIFFOpen(plate.c_str(), state.range(3) != 0 ? "r" : "rm");
    if (tiff == nullptr) {
      state.SkipWithError("TIFFOpen failed");
      break;
    }
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    uint32_t length = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
    for (uint32_t y = 0; y < length; ++y) TIFFReadScanline(tiff, row.data(), y, 0);
    benchmark::DoNotOptimize(row.data());
    TIFFClose(tiff);
  }
  ReportMemory(state, plate, height, residentBefore);
}

const int64_t kCompressions[] = {COMPRESSION_CCITTFAX4, COMPRESSION_LZW};
const int64_t kHeights[] = {7000, 14000, 28000, 56000};

// Every compression and height with libtiff's strips, and in one strip at two
// heights; the read once without mapping and once mapped.
void PlateArgs(benchmark::internal::Benchmark* b, bool read) {
  for (int64_t compression : kCompressions)
    for (int64_t height : kHeights)
      for (int64_t strips : {kDefaultStrips, kOneStrip}) {
        if (strips == kOneStrip && height != 7000 && height != 28000) continue;
        if (!read) b->Args({compression, height, strips});
        if (read) b->Args({compression, height, strips, 0})->Args({compression, height, strips, 1});
      }
}

BENCHMARK(BM_DecimateTiff)
    ->Apply([](benchmark::internal::Benchmark* b) { PlateArgs(b, false); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadScanlines)
    ->Apply([](benchmark::internal::Benchmark* b) { PlateArgs(b, true); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

}  // namespace hf

BENCHMARK_MAIN();
