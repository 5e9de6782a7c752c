// The group document owned by every object of the grouping family.
#include "grouping/file_group_common.h"

namespace hf {

CFileGroupCommon::CFileGroupCommon() { document_.SetSeparatorFlag(true); }

CFileGroupCommon::~CFileGroupCommon() = default;

}  // namespace hf
