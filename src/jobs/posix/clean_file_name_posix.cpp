// Native builds use a single-byte code page: no byte starts a double-byte character.
#include "jobs/clean_file_name.h"

namespace hf {

bool IsSystemLeadByte(unsigned char) { return false; }

}  // namespace hf
