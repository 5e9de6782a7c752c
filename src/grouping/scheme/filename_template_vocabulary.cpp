// The fixed texts and character sets of the filename scheme template vocabulary.
#include "grouping/scheme/filename_template_vocabulary.h"

#include <cstring>

namespace hf {

const char* const kGroupStartTypeTexts[kGroupStartTypeCount] = {
    "Set position from start or end of filename",
    "Start after Separation colour identifier",
    "Start after PREPS identifier",
};

const char* const kGroupEndTypeTexts[kGroupEndTypeCount] = {
    "Set identifier length",      "Stop at Separation colour identifier",
    "Stop at filename extension", "Set position from end of filename (excluding extension)",
    "Stop at PREPS identifier",
};

const char* GroupStartTypeText(int type) {
  if (type < 0 || static_cast<size_t>(type) >= kGroupStartTypeCount) return nullptr;
  return kGroupStartTypeTexts[type];
}

const char* GroupEndTypeText(int type) {
  if (type < 0 || static_cast<size_t>(type) >= kGroupEndTypeCount) return nullptr;
  return kGroupEndTypeTexts[type];
}

const char kDefaultTemplateWithPreps[] = "Default RUD With PREPS";
const char kDefaultTemplateWithoutPreps[] = "Default RUD Without PREPS";

// "\xA3" is the pound sign of the system code page (character code 163).
const char kDelimiterCharactersWithoutProcessLetters[] = " ()[]{}_#~@\xA3$%^&;-=+0123456789ABDEFGHIJLNOPQRSTUVWXZ";
const char kDelimiterCharactersAll[] = " ()[]{}_#~@\xA3$%^&;-=+0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

const char kInvalidFileNameCharacters[] = "\\/:*?\"<>|";
const char kInvalidFileNameCharactersDisplay[] = "\\ / : * ? \" < > |";

bool IsInvalidFileNameCharacter(char c) { return c != '\0' && std::strchr(kInvalidFileNameCharacters, c) != nullptr; }

}  // namespace hf
