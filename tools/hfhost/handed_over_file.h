// What the host learns from one handed-over file record: the fields of the
// 1448-byte chained file item, each read within its width.
#pragma once

#include "host/chained_file_item.h"

#include <cstdint>
#include <string>

namespace hf {

struct HandedOverFile {
  std::string folder;
  std::string fileName;
  std::string title;
  std::string owner;  // the for-name
  uint64_t fileSize = 0;
  uint32_t jobType = 0;
  uint32_t groupMember = 0;
  uint32_t colourType = 0;
  std::string resourceId;
  std::string intakeFailureText;  // only when itemFlags says it holds one
};

// Copies the fields of `record`; text fields need not be terminated.
HandedOverFile ReadHandedOverFile(const ChainedFileItem& record);

// The name of a job type code: "PostScript", "PDF", "TIFF", "JPEG", "PGB",
// "DCS", "EPS", "PRF", "JDF", "PPF", "ZXM", "JSON", "XML", "FileGroupList",
// "unknown" for 0, and "other" for any other value.
const char* JobTypeName(uint32_t jobType);

}  // namespace hf
