// Template reading and the analysis of one file name: colour choice, preps
// position, group span, page number and the group name.
#include "grouping/scheme/filename_analyser.h"
#include "base/ascii.h"

#include <climits>

#include "base/log.h"
#include "grouping/colours/colour_lookup.h"

namespace hf {

namespace {

constexpr char kMarker = CFilenameAnalyser::kRemovalMarker;

// Longer names cannot be addressed by the 32-bit positions of a BestColour;
// no file name comes near this.
constexpr size_t kMaxNameLength = 1u << 24;

bool IsTabBlankOrMarker(char c) { return c == '\t' || c == ' ' || c == kMarker; }
bool IsLeadingSeparator(char c) { return c == '.' || c == '\t' || c == ' ' || c == '-' || c == '_' || c == kMarker; }
bool IsPageTrailer(char c) { return c == '.' || c == '\t' || c == ' ' || c == kMarker; }

bool Inside(long long position, size_t length) { return position >= 0 && position < static_cast<long long>(length); }

// Marks [first, last) clipped to the text.
void MarkRange(std::string& w, long long first, long long last) {
  if (first < 0) first = 0;
  if (last > static_cast<long long>(w.size())) last = static_cast<long long>(w.size());
  for (long long i = first; i < last; ++i) w[static_cast<size_t>(i)] = kMarker;
}

// Marks characters from `from` towards the end (step 1) or the start (step -1)
// while they satisfy `accept`; a position outside the text ends the walk.
template <typename Accept>
void MarkRun(std::string& w, long long from, int step, Accept accept) {
  for (long long i = from; Inside(i, w.size()) && accept(w[static_cast<size_t>(i)]); i += step) {
    w[static_cast<size_t>(i)] = kMarker;
  }
}

std::string WithoutMarkers(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != kMarker) result.push_back(c);
  }
  return result;
}

// One left-to-right pass: every ".." becomes "." ("..." gives "..").
std::string CollapseDoubleDots(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    result.push_back(text[i]);
    if (text[i] == '.' && i + 1 < text.size() && text[i + 1] == '.') ++i;
  }
  return result;
}

bool EndsWithIgnoringCase(const std::string& text, const char* tail) {
  size_t tailLength = std::char_traits<char>::length(tail);
  if (text.size() < tailLength) return false;
  for (size_t i = 0; i < tailLength; ++i) {
    if (AsciiToUpper(text[text.size() - tailLength + i]) != AsciiToUpper(tail[i])) return false;
  }
  return true;
}

// Compares two texts of decimal digits by value (any length).
int CompareDigitTexts(const std::string& a, const std::string& b) {
  size_t skipA = a.find_first_not_of('0');
  size_t skipB = b.find_first_not_of('0');
  std::string_view x = skipA == std::string::npos ? std::string_view() : std::string_view(a).substr(skipA);
  std::string_view y = skipB == std::string::npos ? std::string_view() : std::string_view(b).substr(skipB);
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  int order = x.compare(y);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (!IsAsciiDigit(c)) return false;
  }
  return true;
}

}  // namespace

// ---- Template ----

bool CFilenameAnalyser::ReadTemplate(const std::string& path) {
  Log(LogLevel::kTrace, "Configuration file is at %s", path.c_str());
  if (!template_.Load(path)) {
    Log(LogLevel::kError, "Error: Can't open Configuration file '%s'", path.c_str());
    return false;
  }
  ReadSettingsFromTemplate();
  return true;
}

void CFilenameAnalyser::ReadTemplateFromBuffer(std::string_view text) {
  template_.LoadFromBuffer(text);
  ReadSettingsFromTemplate();
}

void CFilenameAnalyser::ReadSettingsFromTemplate() { ReadFilenameSchemeSettings(template_, settings_); }

// ---- Analysis ----

bool CFilenameAnalyser::Analyse(std::string name) {
  BestColour candidate;
  best_.Reset();
  groupName_.clear();
  // A failed analysis must not leave the previous file's letter or page.
  preps_.clear();
  pageNumber_.clear();
  if (colourInfo_ == nullptr) {
    Log(LogLevel::kError, "Error: no colour catalogue for the analysis of %s", name.c_str());
    return false;
  }
  Log(LogLevel::kDetail, "Affix case sensitivity is %s", colourInfo_->ignoreCase() ? "ignored" : "preserved");
  if (name.size() > kMaxNameLength) return false;
  const int32_t length = static_cast<int32_t>(name.size());

  if (settings_.ignoreCharPosition != 0) {
    int32_t p = PositionFromOffset(settings_.ignoreCharPosition, length);
    if (Inside(p, name.size())) name[static_cast<size_t>(p)] = kMarker;
  }

  LocatePrefixedColour(name, best_);
  if (LocateSpotColour(name, candidate) && candidate.found && IsBetterThan(candidate, best_)) best_ = candidate;
  if (LocateProcessColour(name, candidate) && candidate.found && IsBetterThan(candidate, best_)) best_ = candidate;
  if (!best_.found) {
    LocateCustomColour(name, best_);
    if (!best_.found) return false;
  }

  if (best_.type == ctPantone || best_.type == ctUserDefined || best_.type == ctSpot) {
    std::string processName = CColourInfo::ProcessNameOf(best_.FoundColor);
    if (!processName.empty()) {
      best_.type = ctProcess;
      best_.NormalisedColor = processName;
      best_.OriginalColor = processName;
    }
  }
  LogBestColour();

  long long prepsPosition = -1;
  if (!ComputePrepsPosition(length, prepsPosition)) return false;
  long long start = 0;
  long long end = 0;
  if (!ComputeGroupSpan(length, prepsPosition, start, end)) return false;
  if (start < 0 || end > length || start >= end) return false;

  BuildGroupName(name, prepsPosition, start, end);
  Log(LogLevel::kTrace, "Final Group Name = <%s>", groupName_.c_str());
  if (groupName_.empty()) return false;

  if (!preps_.empty()) {
    int value = static_cast<unsigned char>(AsciiToUpper(preps_[0])) - 'A';
    Log(LogLevel::kTrace, "Preps value = <%d>", value);
    if (value < 0 || value > 7) return false;
  }
  return true;
}

void CFilenameAnalyser::LogBestColour() const {
  if (!LogPasses(LogLevel::kTrace)) return;
  Log(LogLevel::kTrace, "BestColour information");
  Log(LogLevel::kTrace, "  FoundColor = %s", best_.FoundColor.c_str());
  Log(LogLevel::kTrace, "  NormalisedColor = %s", best_.NormalisedColor.c_str());
  Log(LogLevel::kTrace, "  OriginalColor = %s", best_.OriginalColor.c_str());
  Log(LogLevel::kTrace, "  Color Type = %s", ColourTypeName(best_.type));
  if (best_.cmykDefined) {
    Log(LogLevel::kTrace, "  CMYK = [ %d %d %d %d ]", best_.cmyk[0], best_.cmyk[1], best_.cmyk[2], best_.cmyk[3]);
    Log(LogLevel::kTrace, "  Mix = %s", best_.mixable ? "Mixable" : "Opaque");
  } else {
    Log(LogLevel::kTrace, "  CMYK = Undefined");
  }
  Log(LogLevel::kTrace, "  NamePos = %d", best_.NamePos);
  Log(LogLevel::kTrace, "  EndPos = %d", best_.EndPos);
  Log(LogLevel::kTrace, "  StartDelimPos = %d", best_.StartDelimPos);
  Log(LogLevel::kTrace, "  EndDelimPos = %d", best_.EndDelimPos);
  Log(LogLevel::kTrace, "  PrefixPos = %d", best_.PrefixPos);
  Log(LogLevel::kTrace, "  PrefixLength = %d", best_.PrefixLength);
  Log(LogLevel::kTrace, "  SuffixPos = %d", best_.SuffixPos);
  Log(LogLevel::kTrace, "  SuffixLength = %d", best_.SuffixLength);
}

// -1 when the template uses no preps letter; false when it does and the
// position falls outside the name.
bool CFilenameAnalyser::ComputePrepsPosition(int32_t length, long long& prepsPosition) const {
  prepsPosition = -1;
  if (settings_.prepsOffset == 0) return true;
  switch (settings_.prepsMethod) {
    case FnsMethod::POSITIONAL:
      Log(LogLevel::kTrace, "Using POSITIONAL Preps method");
      prepsPosition = PositionFromOffset(settings_.prepsOffset, length);
      break;
    case FnsMethod::AFTER_COLOUR:
      Log(LogLevel::kTrace, "Using AFTER_COLOUR Preps method");
      prepsPosition = static_cast<long long>(best_.EndPos) - 1 + settings_.prepsOffset;
      break;
    case FnsMethod::BEFORE_COLOUR:
      Log(LogLevel::kTrace, "Using BEFORE_COLOUR Preps method");
      prepsPosition = static_cast<long long>(best_.StartDelimPos) - settings_.prepsOffset;
      break;
    default: break;
  }
  return Inside(prepsPosition, static_cast<size_t>(length));
}

bool CFilenameAnalyser::ComputeGroupSpan(int32_t length, long long prepsPosition, long long& start,
                                         long long& end) const {
  switch (settings_.groupStartMethod) {
    case FnsMethod::POSITIONAL:
      Log(LogLevel::kTrace, "Using POSITIONAL GroupStart method");
      start = PositionFromOffset(settings_.groupOffset, length);
      break;
    case FnsMethod::AFTER_COLOUR:
      Log(LogLevel::kTrace, "Using AFTER_COLOUR GroupStart method");
      start = best_.EndPos;
      break;
    case FnsMethod::AFTER_PREPS:
      Log(LogLevel::kTrace, "Using AFTER_PREPS GroupStart method");
      if (prepsPosition < 0) return false;
      start = prepsPosition + 1;
      break;
    default: return false;
  }
  switch (settings_.groupEndMethod) {
    case FnsMethod::POSITIONAL:
      Log(LogLevel::kTrace, "Using POSITIONAL GroupEnd method");
      end = static_cast<long long>(PositionFromOffset(settings_.groupCharsFromEnd, length)) + 1;
      break;
    case FnsMethod::BEFORE_COLOUR:
      Log(LogLevel::kTrace, "Using BEFORE_COLOUR GroupEnd method");
      end = best_.StartDelimPos;
      break;
    case FnsMethod::BEFORE_PREPS:
      Log(LogLevel::kTrace, "Using BEFORE_PREPS GroupEnd method");
      if (prepsPosition < 0) return false;
      end = prepsPosition;
      break;
    case FnsMethod::LENGTH:
      Log(LogLevel::kTrace, "Using LENGTH GroupEnd method");
      end = start + settings_.groupIdentifierLength;
      break;
    default: return false;
  }
  return true;
}

// Works on a copy of the name: marks everything that is not part of the group
// name, then takes [start, end) without the marks.
void CFilenameAnalyser::BuildGroupName(const std::string& name, long long prepsPosition, long long start,
                                       long long end) {
  std::string w = name;
  const long long length = static_cast<long long>(w.size());
  pageNumber_.clear();

  switch (settings_.pageMethod) {
    case 0:
      FindPageNumberAt(w, 0);
      if (settings_.pageGroupBy) settings_.keepLeadingDigits = true;
      break;
    case 1: FindPageNumberAt(w, -1); break;
    case 2: FindPageNumberAt(w, settings_.pagePosition); break;
    case 3: FindPageNumberDelimited(w); break;
    default: break;
  }

  if (!settings_.keepLeadingDigits) {
    long long i = start;
    while (i < end && IsAsciiDigit(w[static_cast<size_t>(i)])) w[static_cast<size_t>(i++)] = kMarker;
    for (; i < length; ++i) {
      if (IsLeadingSeparator(w[static_cast<size_t>(i)])) w[static_cast<size_t>(i)] = kMarker;
    }
  }

  // The colour identifier, its delimiters and the blanks around it.
  MarkRange(w, best_.StartDelimPos, best_.EndPos);
  while (best_.StartDelimPos > 0 && best_.StartDelimPos <= length) {
    char before = w[static_cast<size_t>(best_.StartDelimPos - 1)];
    if (before != settings_.sepIdStartDelim && before != settings_.spotIdStartDelim) break;
    w[static_cast<size_t>(best_.StartDelimPos - 1)] = kMarker;
    --best_.StartDelimPos;
  }
  while (best_.EndPos >= 0 && best_.EndPos < length) {
    char at = w[static_cast<size_t>(best_.EndPos)];
    if (at != settings_.sepIdEndDelim && at != settings_.spotIdEndDelim) break;
    w[static_cast<size_t>(best_.EndPos)] = kMarker;
    ++best_.EndPos;
  }
  MarkRun(w, static_cast<long long>(best_.StartDelimPos) - 1, -1, IsTabBlankOrMarker);
  MarkRun(w, best_.EndPos, 1, IsTabBlankOrMarker);
  MarkRun(w, static_cast<long long>(best_.StartDelimPos) - 2, -1, IsAsciiSpace);
  MarkRun(w, static_cast<long long>(best_.EndPos) + 1, 1, IsAsciiSpace);

  preps_.clear();
  if (Inside(prepsPosition, w.size())) {
    preps_.assign(1, w[static_cast<size_t>(prepsPosition)]);
    w[static_cast<size_t>(prepsPosition)] = kMarker;
  }

  std::string group =
      CollapseDoubleDots(WithoutMarkers(w.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
  FinaliseGroupName(group);
  groupName_ = TrimmedAscii(group);
}

void CFilenameAnalyser::FinaliseGroupName(std::string& text) {
  if (EndsWithIgnoringCase(text, "tif") || EndsWithIgnoringCase(text, "pgb")) {
    size_t dot = text.rfind('.');
    if (dot != std::string::npos && text.find_first_of("\\/", dot) == std::string::npos) text.erase(dot);
  }
  while (!text.empty() && text.back() == '.') text.pop_back();
}

// ---- Page number ----

void CFilenameAnalyser::FindPageNumberAt(std::string& w, int32_t position) {
  const long long length = static_cast<long long>(w.size());
  std::string page;
  long long first = 0;
  long long last = 0;
  if (position < 0) {
    long long i = length + position;
    size_t digits = 0;
    while (i >= 0 && IsAsciiDigit(w[static_cast<size_t>(i)])) {
      --i;
      ++digits;
    }
    if (digits > 0) page = w.substr(static_cast<size_t>(i + 1), digits);
    first = i + 1;
    last = length + position + 1;
  } else {
    long long i = position;
    while (i < length && IsAsciiDigit(w[static_cast<size_t>(i)])) ++i;
    if (position < length) page = w.substr(static_cast<size_t>(position), static_cast<size_t>(i - position));
    first = position;
    last = i;
  }
  if (!settings_.pageGroupBy) MarkPageNumber(w, static_cast<int32_t>(first), static_cast<int32_t>(last));
  Log(LogLevel::kTrace, "PageNumber = '%s', found between positions %d and %d", page.c_str(), static_cast<int>(first),
      static_cast<int>(last));
  pageNumber_ = page;
}

void CFilenameAnalyser::FindPageNumberDelimited(std::string& w) {
  const std::string& startDelim = settings_.pageStartDelim;
  const std::string& endDelim = settings_.pageEndDelim;
  std::string page;
  long long first = 0;
  long long last = 0;
  for (size_t d = w.find(startDelim); d != std::string::npos; d = w.find(startDelim, d + 1)) {
    size_t a = d + startDelim.size();
    size_t x = w.find(endDelim, a);
    std::string candidate = w.substr(a, x == std::string::npos ? std::string::npos : x - a);
    if (!AllDigits(candidate)) continue;
    // The chosen number is the one that is marked.
    if (page.empty() || CompareDigitTexts(candidate, page) > 0) {
      page = candidate;
      first = static_cast<long long>(a);
      last = x == std::string::npos ? static_cast<long long>(w.size()) : static_cast<long long>(x);
    }
  }
  if (!settings_.pageGroupBy) MarkPageNumber(w, static_cast<int32_t>(first), static_cast<int32_t>(last));
  Log(LogLevel::kTrace, "PageNumber = '%s', found between positions %d and %d", page.c_str(), static_cast<int>(first),
      static_cast<int>(last));
  pageNumber_ = page;
}

void CFilenameAnalyser::MarkPageNumber(std::string& w, int32_t first, int32_t last) {
  MarkRange(w, first, last);
  long long delimiterLength = static_cast<long long>(settings_.pageStartDelim.size());
  if (settings_.pageMethod == 3 && delimiterLength < first) MarkRange(w, first - delimiterLength, first);
  MarkRun(w, last, 1, IsPageTrailer);
  MarkRun(w, first, -1, IsLeadingSeparator);
}

}  // namespace hf
