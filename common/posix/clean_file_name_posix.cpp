// Native builds use a single-byte code page: no byte starts a double-byte character.
#include "common/clean_file_name.h"

bool IsSystemLeadByte(unsigned char) { return false; }
