// Speed of the filename analysis: 10,000 realistic separation names against a
// catalogue of 300 to 3,000 generated spot colours, each analysis preceded by
// a re-read of the template from disk (as the group code does), and the two
// parts (template read, analysis) on their own.
#include "base/file_io.h"
#include "grouping/colours/colour_info.h"
#include "grouping/scheme/filename_analyser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hf {

namespace {

constexpr int kNameCount = 10000;

// The shipped "Default RUD Without PREPS" scheme: <job>_p<page>_<colour>.
const char kTemplate[] =
    "; <job>_p<page>_<colour>\r\n"
    "[ProcessId]\r\nSEP_ID_METHOD=2\r\nSEP_ID_START_DELIM=95\r\nSEP_ID_END_DELIM=95\r\nSEP_ID_OFFSET=-1\r\n\r\n"
    "[SpotId]\r\nSPOT_START_METHOD=8\r\nSPOT_END_METHOD=8\r\nSPOT_ID_START_DELIMITER=40\r\n"
    "SPOT_ID_END_DELIMITER=41\r\nSPOT_ID_START_OFFSET=0\r\nSPOT_ID_END_OFFSET=-1\r\n\r\n"
    "[GroupId]\r\nSEP_GROUP_START_IDENTIFIER_TYPE=0\r\nSEP_GROUP_OFFSET=0\r\nSEP_GROUP_END_IDENTIFIER_TYPE=1\r\n"
    "SEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END=1\r\nSEP_GROUP_IDENTIFIER_LENGTH=0\r\n"
    "SEP_GROUP_USE_LEADING_DIGITS=1\r\nSEP_GROUP_IGNORE_CHAR_FLAG=0\r\nSEP_GROUP_IGNORE_CHAR_OFFSET=0\r\n"
    "SEP_GROUP_TIMEOUT_SECONDS=30\r\nSEP_GROUP_CLOSE_ON_FILECOUNT=0\r\nSEP_GROUP_CLOSE_FILECOUNT=4\r\n\r\n"
    "[SideId]\r\nUSE_PREPS=0\r\nPREPS_IDENTIFIER_METHOD=0\r\nPREPS_IDENTIFIER_OFFSET=0\r\nSIDE=1\r\nSHEET_NUMBER=1\r\n\r\n"
    "[PageNumber]\r\nPAGENUMBER_IDENTIFIER_METHOD=3\r\nPAGENUMBER_IDENTIFIER_START_DELIM=_p\r\n"
    "PAGENUMBER_IDENTIFIER_END_DELIM=_\r\nPAGENUMBER_IDENTIFIER_GROUP_BY=0\r\nPAGENUMBER_IDENTIFIER_POSITION=0\r\n";

// Spot colour i of a catalogue: even ones are numbers as written after a
// maker's prefix ("CHROMIX 1234 C"), odd ones names as written in brackets
// ("(Spot Green 17)", catalogue name "SpotGreen17").
std::string SpotCatalogueName(int i) {
  return (i % 2 == 0) ? std::to_string(1000 + i) : "SpotGreen" + std::to_string(i);
}
std::string SpotNameInFile(int i) {
  return (i % 2 == 0) ? "CHROMIX " + std::to_string(1000 + i) + " C" : "(Spot Green " + std::to_string(i) + ")";
}

std::string CatalogueText(int spotCount) {
  std::string text =
      "[Options]\r\nignore_case=1\r\n\r\n[Prefixes]\r\n\"CHROMIX \"=\r\n\"SPT \"=\r\n\r\n"
      "[Suffixes]\r\n\" C\"=\r\n\" U\"=\r\n\" CVC\"=\r\n\r\n[UserDefinedSpotColours]\r\n\r\n"
      "[PredefinedSpotColours]\r\n";
  char line[96];
  for (int i = 0; i < spotCount; ++i) {
    std::snprintf(line, sizeof line, "%s=%d %d %d %d\r\n", SpotCatalogueName(i).c_str(), i % 256, (i * 7) % 256,
                  (i * 13) % 256, (i * 29) % 256);
    text += line;
  }
  text += "\r\n[CustomColourMatch]\r\ntype=Black\r\ncmyk=0 0 0 255\r\nmix=1\r\nmatch=-4 \"_[dd]k\"\r\n";
  return text;
}

// Names of 500 jobs of 4 pages and 5 separations each: four process colours
// (in several spellings) and one spot colour of the catalogue.
std::vector<std::string> SeparationNames(int spotCount) {
  static const char* const kProcess[] = {"Cyan", "Magenta", "Yellow", "Black", "C", "M", "Y", "K", "CYN", "blk"};
  std::vector<std::string> names;
  names.reserve(kNameCount);
  for (int n = 0; names.size() < static_cast<size_t>(kNameCount); ++n) {
    int job = n / 20;
    int page = (n / 5) % 4 + 1;
    int separation = n % 5;
    std::string colour =
        separation < 4 ? kProcess[(separation + 4 * (job % 3)) % 10] : SpotNameInFile((job * 37) % spotCount);
    names.push_back("JOB" + std::to_string(20000 + job) + "_p" + std::to_string(page) + "_" + colour);
  }
  return names;
}

// One catalogue file and one template file per catalogue size, on disk.
struct Setup {
  std::filesystem::path folder;
  std::string templatePath;
  CColourInfo catalogue;
  std::vector<std::string> names;

  explicit Setup(int spotCount) {
    folder = std::filesystem::temp_directory_path() / ("hf_fns_bench_" + std::to_string(spotCount));
    std::filesystem::create_directories(folder);
    templatePath = (folder / "Default RUD Without PREPS.fns").string();
    ReplaceFileContents(templatePath, kTemplate);
    std::string cataloguePath = (folder / "Colours.ini").string();
    ReplaceFileContents(cataloguePath, CatalogueText(spotCount));
    catalogue.SetPath(cataloguePath);
    catalogue.LoadCatalogueFromText(CatalogueText(spotCount), kCatalogueAll);
    names = SeparationNames(spotCount);
  }
  ~Setup() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

Setup& SetupFor(int spotCount) {
  static std::map<int, std::unique_ptr<Setup>> setups;
  std::unique_ptr<Setup>& setup = setups[spotCount];
  if (!setup) setup = std::make_unique<Setup>(spotCount);
  return *setup;
}

// Every name must be analysed and its colour found with a CMYK value (so the
// catalogue look-ups really ran and no colour had to be added).
void CheckResults(benchmark::State& state, int failures, int undefined, const Setup& setup, size_t catalogueSize) {
  state.counters["failed"] = failures;
  state.counters["undefined"] = undefined;
  if (failures > 0 || undefined > 0 || setup.catalogue.SpotColourCount() != catalogueSize) {
    state.SkipWithError("some names were not analysed as expected");
  }
}

// Analyses the setup's names in turn; with `rereadTemplate`, the template is
// re-read from disk before every name, as the group code does per file.
void AnalyseNames(benchmark::State& state, bool rereadTemplate) {
  Setup& setup = SetupFor(static_cast<int>(state.range(0)));
  CFilenameAnalyser analyser;
  analyser.SetColourInfo(&setup.catalogue);
  analyser.SetRequireCatalogueMatch(false);
  analyser.ReadTemplate(setup.templatePath);
  size_t next = 0;
  int failures = 0;
  int undefined = 0;
  const size_t catalogueSize = setup.catalogue.SpotColourCount();
  for (auto _ : state) {
    if (rereadTemplate) analyser.ReadTemplate(setup.templatePath);
    if (!analyser.Analyse(setup.names[next])) ++failures;
    if (!analyser.best().cmykDefined) ++undefined;
    benchmark::DoNotOptimize(analyser.groupName().data());
    next = (next + 1) % setup.names.size();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  CheckResults(state, failures, undefined, setup, catalogueSize);
}

// Template re-read from disk plus analysis.
void BM_ReadTemplateAndAnalyse(benchmark::State& state) { AnalyseNames(state, true); }
BENCHMARK(BM_ReadTemplateAndAnalyse)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);

// The analysis alone (template read once).
void BM_AnalyseOnly(benchmark::State& state) { AnalyseNames(state, false); }
BENCHMARK(BM_AnalyseOnly)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);

// The template read alone: open, read and parse the file, read every key.
void BM_ReadTemplateOnly(benchmark::State& state) {
  Setup& setup = SetupFor(300);
  CFilenameAnalyser analyser;
  for (auto _ : state) {
    analyser.ReadTemplate(setup.templatePath);
    benchmark::DoNotOptimize(analyser.settings().groupTimeout);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ReadTemplateOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace hf

BENCHMARK_MAIN();
