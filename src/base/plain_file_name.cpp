// Plain file name check for names handed back by scripts.
#include "base/plain_file_name.h"

#include <cstring>

namespace hf {

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.size() > kMaxFileNameLength) return false;
  if (name == "." || name == "..") return false;
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    if (std::strchr("\\/:<>\"|?*", c) != nullptr) return false;
  }
  const char last = name.back();
  return last != ' ' && last != '.';
}

}  // namespace hf
