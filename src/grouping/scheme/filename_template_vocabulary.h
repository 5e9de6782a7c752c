// The fixed vocabulary of filename scheme templates, for template editors:
// display texts of the group identifier start and end types, the names of
// the shipped templates, the delimiter character choices and the characters
// a file name cannot hold.
#pragma once

#include <cstddef>

namespace hf {

// Display texts of SEP_GROUP_START_IDENTIFIER_TYPE 0..2.
constexpr size_t kGroupStartTypeCount = 3;
extern const char* const kGroupStartTypeTexts[kGroupStartTypeCount];

// Display texts of SEP_GROUP_END_IDENTIFIER_TYPE 0..4.
constexpr size_t kGroupEndTypeCount = 5;
extern const char* const kGroupEndTypeTexts[kGroupEndTypeCount];

// The display text of a start or end type, or null for a value outside the
// table.
const char* GroupStartTypeText(int type);
const char* GroupEndTypeText(int type);

// The two templates shipped in FilenameSetups (file names without ".fns").
extern const char kDefaultTemplateWithPreps[];     // "Default RUD With PREPS"
extern const char kDefaultTemplateWithoutPreps[];  // "Default RUD Without PREPS"

// Delimiter choices. Both sets start with " ()[]{}_#~@", the pound sign
// (character code 163) and "$%^&;-=+0123456789"; the first then lists the
// capital letters without C, K, M and Y (the one-letter process colour
// names), the second all 26 capitals. Plain NUL-terminated byte strings.
extern const char kDelimiterCharactersWithoutProcessLetters[];
extern const char kDelimiterCharactersAll[];

// The nine characters a file name cannot hold, in this order:
// \ / : * ? " < > |   (kInvalidFileNameCharacters), and the same separated
// by blanks for display (kInvalidFileNameCharactersDisplay).
extern const char kInvalidFileNameCharacters[];
extern const char kInvalidFileNameCharactersDisplay[];

// True when `c` is one of the nine characters above (never for NUL).
bool IsInvalidFileNameCharacter(char c);

}  // namespace hf
