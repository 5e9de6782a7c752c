// Any bytes as a filename scheme template and a file name: the first byte
// holds options, the template runs to the first NUL and the name is the rest.
// Reading and analysis must stay inside the name and end; a successful
// analysis must give a clean group name, a valid preps letter and a page
// number of digits only.
#include "grouping/colours/colour_info.h"
#include "grouping/scheme/filename_analyser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace hf;

namespace {

// A small catalogue in memory. It has no path, so a colour the analysis adds
// is kept in memory only (the write fails and nothing reaches the disk).
const char kCatalogue[] =
    "[Options]\nignore_case=1\n"
    "[Prefixes]\n\"CHROMIX \"=\n\"SPT \"=\nRAL=\n"
    "[Suffixes]\n\" C\"=\n\" U\"=\nCV=\n"
    "[UserDefinedSpotColours]\nVarnish=0 0 0 0 1\n"
    "[PredefinedSpotColours]\n485=0 95 100 0\nReflexBlue=100 73 0 2\nWarmRed=0 75 90 0\n"
    "[CustomColourMatch]\ntype=Black\ncmyk=0 0 0 255\nmix=1\nmatch=-4 \"[dd]k\"\n"
    "type=Cyan\ncmyk=255 0 0 0\nmix=1\n";

// The names handed to the analysis are file names (259 characters at most);
// the cap keeps the quadratic cases of long inputs quick.
constexpr size_t kMaxNameLength = 259;

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t options = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t split = rest.find('\0');
  std::string_view templateText = rest.substr(0, split);
  std::string name = split == std::string_view::npos ? std::string() : std::string(rest.substr(split + 1));
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);

  CColourInfo catalogue;
  catalogue.LoadCatalogueFromText(kCatalogue, kCatalogueAll);
  CFilenameAnalyser analyser;
  analyser.SetColourInfo(&catalogue);
  analyser.SetRequireCatalogueMatch((options & 1) != 0);
  analyser.ReadTemplateFromBuffer(templateText);

  // Twice: the second run sees the colours the first one added.
  for (int run = 0; run < 2; ++run) {
    if (!analyser.Analyse(name)) continue;
    const std::string& group = analyser.groupName();
    if (group.empty() || group.find(CFilenameAnalyser::kRemovalMarker) != std::string::npos) abort();
    if (IsWhiteSpace(group.front()) || IsWhiteSpace(group.back())) abort();
    if (group.size() > name.size()) abort();
    const std::string& preps = analyser.preps();
    if (preps.size() > 1) abort();
    if (preps.size() == 1) {
      char letter = static_cast<char>(preps[0] & ~0x20);
      if (letter < 'A' || letter > 'H') abort();
    }
    if (!AllDigits(analyser.pageNumber())) abort();
    if (!analyser.best().found) abort();
  }
  return 0;
}
