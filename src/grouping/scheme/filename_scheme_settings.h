// The settings of a filename scheme template (".fns"): the method codes, the
// stored-offset rule that turns a template offset into a position, and the
// reading of every template key into the settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/ini_document.h"

namespace hf {

// How an identifier (or one end of it) is found. One enumeration for all
// settings; the template writes other codes, see ReadFilenameSchemeSettings.
enum class FnsMethod : int32_t {
  POSITIONAL = 0,
  DELIMITER = 1,
  NAME = 2,
  PREFIX = 3,
  SUFFIX = 4,
  FIRST_ALPHABETIC = 5,
  AFTER_COLOUR = 6,
  AFTER_PREPS = 7,
  BEFORE_COLOUR = 8,
  BEFORE_PREPS = 9,
  LENGTH = 10,
};

// Stored offsets. A template offset n >= 0 counts from the start and is
// stored as n + 1; a negative n counts from the end and is stored as it is
// (-1 is the last character). The stored value 0 means "not used" where a
// setting allows that.
//   StoredOffset(0) == 1, StoredOffset(4) == 5, StoredOffset(-2) == -2
//   PositionFromOffset(5, 9) == 4, PositionFromOffset(-5, 9) == 4,
//   PositionFromOffset(0, 9) == 9 (outside the name)
// StoredOffset saturates at INT32_MAX instead of overflowing.
int32_t StoredOffset(int32_t templateOffset);
int32_t PositionFromOffset(int32_t storedOffset, int32_t length);

// The settings, in declared order, with their values after construction.
struct FilenameSchemeSettings {
  FnsMethod sepIdMethod = FnsMethod::POSITIONAL;  // process colour
  int32_t sepIdOffset = -3;                       // stored offset
  char sepIdStartDelim = '(';
  char sepIdEndDelim = ')';
  FnsMethod spotStartMethod = FnsMethod::PREFIX;
  FnsMethod spotEndMethod = FnsMethod::SUFFIX;
  int32_t spotIdStartOffset = 1;  // stored offset
  int32_t spotIdEndOffset = -1;   // stored offset
  char spotIdStartDelim = '(';
  char spotIdEndDelim = ')';
  FnsMethod groupStartMethod = FnsMethod::POSITIONAL;
  FnsMethod groupEndMethod = FnsMethod::POSITIONAL;
  int32_t groupOffset = 1;         // stored offset
  int32_t groupCharsFromEnd = -1;  // stored offset
  int32_t groupIdentifierLength = 4;
  int32_t ignoreCharPosition = 0;  // stored offset; 0: not used
  bool keepLeadingDigits = false;
  double groupTimeout = 0.0;  // 0 until a template is read (then never 0)
  FnsMethod prepsMethod = FnsMethod::POSITIONAL;
  int32_t prepsOffset = 0;  // 0: no preps letter
  int32_t sheetNumber = 1;
  int32_t side = 1;
  bool pageGroupBy = false;
  int32_t pageMethod = 0;    // 0 leading, 1 trailing, 2 at pagePosition, 3 delimited
  int32_t pagePosition = 0;  // 0-based; negative counts from the end
  std::string pageStartDelim;
  std::string pageEndDelim;
  bool requireCatalogueMatch = true;  // not a template key
};

// Sections of a template.
constexpr char kFnsProcessIdSection[] = "ProcessId";
constexpr char kFnsSpotIdSection[] = "SpotId";
constexpr char kFnsGroupIdSection[] = "GroupId";
constexpr char kFnsSideIdSection[] = "SideId";
constexpr char kFnsPageNumberSection[] = "PageNumber";

// Reads every template key into `settings`, section by section (ProcessId,
// SpotId, GroupId, SideId, PageNumber). Integers follow the leading-integer
// rule: a missing key or a value without a number reads as 0, so settings
// whose keys are missing become 0 (not their initial values). Method keys map
// their codes (for example SEP_ID_METHOD 1 POSITIONAL, 2 DELIMITER, 4 NAME);
// a code that is not listed, 0 included where 0 is not listed, leaves the
// method as it was. requireCatalogueMatch is not touched.
void ReadFilenameSchemeSettings(const CIniDocument& document, FilenameSchemeSettings& settings);

// The leading real number of a text: blanks, an optional sign, digits with an
// optional fraction ("12.5s" -> 12.5, ".5" -> 0.5); 0 when there is none or
// it is out of range. Independent of the C locale.
double LeadingReal(std::string_view text);

}  // namespace hf
