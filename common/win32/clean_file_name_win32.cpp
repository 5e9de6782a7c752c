// On Windows the lead bytes are those of the system's ANSI code page.
#include "common/clean_file_name.h"

#include "common/win32/windows_api.h"

bool IsSystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }
