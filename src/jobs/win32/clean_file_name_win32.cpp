// On Windows the lead bytes are those of the system's ANSI code page.
#include "jobs/clean_file_name.h"

#include "base/win32/windows_api.h"

namespace hf {

bool IsSystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

}  // namespace hf
