// Speed of CIniDocument: loading and saving a 1 MB text of 20,000 entries
// (beside libinih parsing the same text), and setting and reading back
// 10,000 distinct keys of one section.
#include "formats/ini_document.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#ifdef HF_HAVE_INIH
#include <ini.h>
#endif

namespace hf {

namespace {

// 200 sections of 100 entries, about 52 bytes a line: a little over 1 MB.
const std::string& BigText() {
  static const std::string text = [] {
    std::string out;
    char line[128];
    for (int s = 0; s < 200; ++s) {
      std::snprintf(line, sizeof line, "[Job%03d_p%d.tif_Settings]\r\n", s, s % 7);
      out += line;
      for (int e = 0; e < 100; ++e) {
        std::snprintf(line, sizeof line, "Key%05d=Value %08d of entry, page %04d, ok\r\n", s * 100 + e,
                      (s * 7919 + e * 104729) % 100000000, e);
        out += line;
      }
      out += "\r\n";
    }
    return out;
  }();
  return text;
}

std::string BenchFilePath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_LoadBuffer(benchmark::State& state) {
  const std::string& text = BigText();
  for (auto _ : state) {
    CIniDocument document;
    document.LoadFromBuffer(text);
    benchmark::DoNotOptimize(document.SectionCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadBuffer)->Unit(benchmark::kMillisecond);

void BM_SaveBuffer(benchmark::State& state) {
  CIniDocument document;
  document.LoadFromBuffer(BigText());
  for (auto _ : state) {
    std::string saved = document.SaveToBuffer();
    benchmark::DoNotOptimize(saved.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BigText().size()));
}
BENCHMARK(BM_SaveBuffer)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state) {
  std::string path = BenchFilePath("hf_ini_bench_load.ini");
  {
    CIniDocument document;
    document.LoadFromBuffer(BigText());
    document.SaveAs(path);
  }
  for (auto _ : state) {
    CIniDocument document;
    if (!document.Load(path)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(document.SectionCount());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

void BM_SaveFile(benchmark::State& state) {
  std::string path = BenchFilePath("hf_ini_bench_save.ini");
  CIniDocument document;
  document.LoadFromBuffer(BigText());
  for (auto _ : state) {
    if (!document.SaveAs(path)) state.SkipWithError("save failed");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);

#ifdef HF_HAVE_INIH
int CountEntry(void* user, const char*, const char*, const char*) {
  ++*static_cast<long*>(user);
  return 1;
}

void BM_InihParseString(benchmark::State& state) {
  const std::string& text = BigText();
  for (auto _ : state) {
    long entries = 0;
    if (ini_parse_string(text.c_str(), CountEntry, &entries) != 0) state.SkipWithError("inih parse error");
    benchmark::DoNotOptimize(entries);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_InihParseString)->Unit(benchmark::kMillisecond);

void BM_InihParseFile(benchmark::State& state) {
  std::string path = BenchFilePath("hf_ini_bench_inih.ini");
  {
    CIniDocument document;
    document.LoadFromBuffer(BigText());
    document.SaveAs(path);
  }
  for (auto _ : state) {
    long entries = 0;
    if (ini_parse(path.c_str(), CountEntry, &entries) != 0) state.SkipWithError("inih parse error");
    benchmark::DoNotOptimize(entries);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_InihParseFile)->Unit(benchmark::kMillisecond);
#endif

// Setting 10,000 distinct keys into one section (each set looks the key up
// first), then reading every one back.
void BM_Set10000Keys(benchmark::State& state) {
  for (auto _ : state) {
    CIniDocument document;
    for (int i = 0; i < 10000; ++i) document.SetValue("FileInfo", "File" + std::to_string(i) + ".tif", "Cyan,G");
    benchmark::DoNotOptimize(document.SectionCount());
  }
}
BENCHMARK(BM_Set10000Keys)->Unit(benchmark::kMillisecond);

void BM_Get10000Keys(benchmark::State& state) {
  CIniDocument document;
  for (int i = 0; i < 10000; ++i) document.SetValue("FileInfo", "File" + std::to_string(i) + ".tif", "Cyan,G");
  for (auto _ : state) {
    size_t total = 0;
    for (int i = 0; i < 10000; ++i)
      total += document.GetValue("fileinfo", "FILE" + std::to_string(i) + ".TIF", "").size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_Get10000Keys)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace hf

BENCHMARK_MAIN();
