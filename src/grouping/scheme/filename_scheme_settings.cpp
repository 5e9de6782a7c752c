// Reading a filename scheme template into its settings, and the stored-offset
// rule shared by every positional setting.
#include "grouping/scheme/filename_scheme_settings.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "base/leading_integer.h"

namespace hf {

namespace {

// One accepted code of a method key.
struct MethodCode {
  int code;
  FnsMethod method;
};

constexpr MethodCode kProcessMethodCodes[] = {
    {1, FnsMethod::POSITIONAL}, {2, FnsMethod::DELIMITER}, {4, FnsMethod::NAME}};
constexpr MethodCode kSpotStartMethodCodes[] = {
    {1, FnsMethod::PREFIX}, {2, FnsMethod::POSITIONAL}, {8, FnsMethod::DELIMITER}, {16, FnsMethod::FIRST_ALPHABETIC}};
constexpr MethodCode kSpotEndMethodCodes[] = {
    {1, FnsMethod::SUFFIX}, {2, FnsMethod::POSITIONAL}, {8, FnsMethod::DELIMITER}};
constexpr MethodCode kGroupStartMethodCodes[] = {
    {0, FnsMethod::POSITIONAL}, {1, FnsMethod::AFTER_COLOUR}, {2, FnsMethod::AFTER_PREPS}};
constexpr MethodCode kPrepsMethodCodes[] = {
    {0, FnsMethod::POSITIONAL}, {1, FnsMethod::BEFORE_COLOUR}, {2, FnsMethod::AFTER_COLOUR}};

// Group end types: 2 and 3 also rewrite groupCharsFromEnd.
constexpr int kGroupEndLength = 0;
constexpr int kGroupEndBeforeColour = 1;
constexpr int kGroupEndAtNameEnd = 2;
constexpr int kGroupEndCharsFromEnd = 3;
constexpr int kGroupEndBeforePreps = 4;

constexpr double kDefaultGroupTimeoutSeconds = 120.0;

template <size_t N>
void ApplyMethodCode(const MethodCode (&codes)[N], int code, FnsMethod& method) {
  for (const MethodCode& entry : codes) {
    if (entry.code == code) {
      method = entry.method;
      return;
    }
  }
}

class TemplateReader {
 public:
  explicit TemplateReader(const CIniDocument& document) : document_(document) {}

  std::string Text(const char* section, const char* key) const { return document_.GetValue(section, key, ""); }
  int Integer(const char* section, const char* key) const { return LeadingInteger(Text(section, key)); }
  // Delimiters are written as decimal character codes; the low byte is kept.
  char Character(const char* section, const char* key) const {
    return static_cast<char>(static_cast<unsigned char>(Integer(section, key) & 0xFF));
  }
  int32_t Offset(const char* section, const char* key) const { return StoredOffset(Integer(section, key)); }

 private:
  const CIniDocument& document_;
};

void ReadProcessId(const TemplateReader& reader, FilenameSchemeSettings& settings) {
  const char* section = kFnsProcessIdSection;
  settings.sepIdOffset = reader.Offset(section, "SEP_ID_OFFSET");
  settings.sepIdStartDelim = reader.Character(section, "SEP_ID_START_DELIM");
  settings.sepIdEndDelim = reader.Character(section, "SEP_ID_END_DELIM");
  ApplyMethodCode(kProcessMethodCodes, reader.Integer(section, "SEP_ID_METHOD"), settings.sepIdMethod);
}

void ReadSpotId(const TemplateReader& reader, FilenameSchemeSettings& settings) {
  const char* section = kFnsSpotIdSection;
  settings.spotIdStartOffset = reader.Offset(section, "SPOT_ID_START_OFFSET");
  settings.spotIdEndOffset = reader.Offset(section, "SPOT_ID_END_OFFSET");
  settings.spotIdStartDelim = reader.Character(section, "SPOT_ID_START_DELIMITER");
  settings.spotIdEndDelim = reader.Character(section, "SPOT_ID_END_DELIMITER");
  ApplyMethodCode(kSpotStartMethodCodes, reader.Integer(section, "SPOT_START_METHOD"), settings.spotStartMethod);
  ApplyMethodCode(kSpotEndMethodCodes, reader.Integer(section, "SPOT_END_METHOD"), settings.spotEndMethod);
}

void ApplyGroupEndType(int type, FilenameSchemeSettings& settings) {
  switch (type) {
    case kGroupEndLength: settings.groupEndMethod = FnsMethod::LENGTH; break;
    case kGroupEndBeforeColour: settings.groupEndMethod = FnsMethod::BEFORE_COLOUR; break;
    case kGroupEndAtNameEnd:
      settings.groupEndMethod = FnsMethod::POSITIONAL;
      settings.groupCharsFromEnd = -1;
      break;
    case kGroupEndCharsFromEnd:
      // The count from the end becomes a negative (end-relative) offset.
      settings.groupEndMethod = FnsMethod::POSITIONAL;
      settings.groupCharsFromEnd = settings.groupCharsFromEnd == INT32_MIN ? INT32_MAX : -settings.groupCharsFromEnd;
      break;
    case kGroupEndBeforePreps: settings.groupEndMethod = FnsMethod::BEFORE_PREPS; break;
    default: break;  // not a listed type: the method stays
  }
}

void ReadGroupId(const TemplateReader& reader, FilenameSchemeSettings& settings) {
  const char* section = kFnsGroupIdSection;
  settings.groupOffset = reader.Offset(section, "SEP_GROUP_OFFSET");
  settings.groupCharsFromEnd = reader.Integer(section, "SEP_GROUP_IDENTIFIER_CHARS_FROM_FILENAME_END");
  settings.groupIdentifierLength = reader.Integer(section, "SEP_GROUP_IDENTIFIER_LENGTH");
  settings.keepLeadingDigits = reader.Integer(section, "SEP_GROUP_USE_LEADING_DIGITS") != 0;
  int32_t ignoreOffset = reader.Offset(section, "SEP_GROUP_IGNORE_CHAR_OFFSET");
  settings.ignoreCharPosition = reader.Integer(section, "SEP_GROUP_IGNORE_CHAR_FLAG") != 0 ? ignoreOffset : 0;
  double timeout = LeadingReal(reader.Text(section, "SEP_GROUP_TIMEOUT_SECONDS"));
  settings.groupTimeout = timeout == 0.0 ? kDefaultGroupTimeoutSeconds : timeout;
  ApplyMethodCode(kGroupStartMethodCodes, reader.Integer(section, "SEP_GROUP_START_IDENTIFIER_TYPE"),
                  settings.groupStartMethod);
  ApplyGroupEndType(reader.Integer(section, "SEP_GROUP_END_IDENTIFIER_TYPE"), settings);
}

void ReadSideId(const TemplateReader& reader, FilenameSchemeSettings& settings) {
  const char* section = kFnsSideIdSection;
  ApplyMethodCode(kPrepsMethodCodes, reader.Integer(section, "PREPS_IDENTIFIER_METHOD"), settings.prepsMethod);
  // Only a positional preps offset counts from 1; the others are distances
  // from the colour identifier.
  int offset = reader.Integer(section, "PREPS_IDENTIFIER_OFFSET");
  if (settings.prepsMethod == FnsMethod::POSITIONAL) offset = StoredOffset(offset);
  settings.prepsOffset = reader.Integer(section, "USE_PREPS") != 0 ? offset : 0;
  settings.side = reader.Integer(section, "SIDE");
  settings.sheetNumber = reader.Integer(section, "SHEET_NUMBER");
}

void ReadPageNumber(const TemplateReader& reader, FilenameSchemeSettings& settings) {
  const char* section = kFnsPageNumberSection;
  settings.pageGroupBy = reader.Integer(section, "PAGENUMBER_IDENTIFIER_GROUP_BY") == 1;
  settings.pageMethod = reader.Integer(section, "PAGENUMBER_IDENTIFIER_METHOD");
  settings.pagePosition = reader.Integer(section, "PAGENUMBER_IDENTIFIER_POSITION");
  settings.pageStartDelim = reader.Text(section, "PAGENUMBER_IDENTIFIER_START_DELIM");
  settings.pageEndDelim = reader.Text(section, "PAGENUMBER_IDENTIFIER_END_DELIM");
}

}  // namespace

int32_t StoredOffset(int32_t templateOffset) {
  if (templateOffset < 0) return templateOffset;
  return templateOffset == INT32_MAX ? INT32_MAX : templateOffset + 1;
}

int32_t PositionFromOffset(int32_t storedOffset, int32_t length) {
  if (storedOffset > 0) return storedOffset - 1;
  // length >= 0 and storedOffset <= 0: the sum stays in range.
  return length + storedOffset;
}

void ReadFilenameSchemeSettings(const CIniDocument& document, FilenameSchemeSettings& settings) {
  TemplateReader reader(document);
  ReadProcessId(reader, settings);
  ReadSpotId(reader, settings);
  ReadGroupId(reader, settings);
  ReadSideId(reader, settings);
  ReadPageNumber(reader, settings);
}

double LeadingReal(std::string_view text) {
  bool negative = false;
  const size_t position = SkipBlanksAndSign(text, negative);
  // A second sign ("+-5") is not a number.
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) return 0.0;
  double value = 0.0;
  const char* first = text.data() + position;
  const char* last = text.data() + text.size();
  std::from_chars_result result = std::from_chars(first, last, value, std::chars_format::fixed);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return negative ? -value : value;
}

}  // namespace hf
