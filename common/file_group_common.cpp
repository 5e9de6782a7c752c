// The group document owned by every object of the grouping family.
#include "common/file_group_common.h"

CFileGroupCommon::CFileGroupCommon() { document_.SetSeparatorFlag(true); }

CFileGroupCommon::~CFileGroupCommon() = default;
