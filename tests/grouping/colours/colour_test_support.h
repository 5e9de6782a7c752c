// Helpers shared by the colour catalogue and filename analysis tests: the
// shipped samples, the CMYK and positions of a result and the expected
// results of one analysed name.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "grouping/scheme/filename_analyser.h"
#include "tests/support/log_capture.h"
#include "tests/support/unit_test_support.h"

namespace hf {

inline std::string ShippedSetupPath(const std::string& fileName) {
  return std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + fileName;
}

inline std::string ShippedCatalogueText() {
  std::string text;
  EXPECT_EQ(ReadWholeFile(ShippedSetupPath("Colours.ini"), text), 0);
  return text;
}

// "C M Y K", whether defined or not.
inline std::string CmykValues(const BestColour& best) {
  char text[32];
  std::snprintf(text, sizeof text, "%d %d %d %d", best.cmyk[0], best.cmyk[1], best.cmyk[2], best.cmyk[3]);
  return text;
}

// "C M Y K" when the values are defined, "" when not.
inline std::string CmykText(const BestColour& best) { return best.cmykDefined ? CmykValues(best) : ""; }

// Every position of a result in one line, so that one comparison says which differ.
inline std::string Positions(const BestColour& best) {
  char text[128];
  std::snprintf(text, sizeof text, "delims %d-%d prefix %d+%d name %d suffix %d+%d end %d", best.StartDelimPos,
                best.EndDelimPos, best.PrefixPos, best.PrefixLength, best.NamePos, best.SuffixPos, best.SuffixLength,
                best.EndPos);
  return text;
}

// Expected results of one name; a null text is not checked (found also
// stands for type).
struct AnalysisRow {
  const char* name;
  bool ok;
  const char *found, *normalised;
  ColourType type;
  const char *cmyk, *group, *preps, *page;
};

inline void ExpectAnalysis(CFilenameAnalyser& analyser, const AnalysisRow& row) {
  EXPECT_EQ(analyser.Analyse(row.name), row.ok);
  const BestColour& best = analyser.best();
  const std::string found = row.found ? std::string(row.found) + " " + ColourTypeName(row.type) : "";
  const std::string foundNow = best.FoundColor + " " + ColourTypeName(best.type);
  const char* names[] = {"found", "normalised", "cmyk", "group", "preps", "page"};
  const char* expected[] = {
      row.found ? found.c_str() : nullptr, row.normalised, row.cmyk, row.group, row.preps, row.page};
  const std::string actual[] = {foundNow,         best.NormalisedColor, CmykText(best), analyser.groupName(),
                                analyser.preps(), analyser.pageNumber()};
  for (int i = 0; i < 6; ++i) {
    if (expected[i] == nullptr) continue;
    EXPECT_EQ(actual[i], expected[i]) << names[i];
  }
}

}  // namespace hf
