// Reading a handed-over file record.
#include "tools/hfhost/handed_over_file.h"

#include "formats/job_type.h"

#include <cstring>

namespace hf {

namespace {

template <size_t N>
std::string Field(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

}  // namespace

HandedOverFile ReadHandedOverFile(const ChainedFileItem& record) {
  HandedOverFile file;
  file.folder = Field(record.folder);
  file.fileName = Field(record.fileName);
  file.title = Field(record.title);
  file.owner = Field(record.owner);
  file.fileSize = record.fileSize;
  file.jobType = record.jobType;
  file.groupMember = record.groupMember;
  file.colourType = record.colourType;
  file.resourceId = Field(record.uniqueId);
  if ((record.itemFlags & kItemHasIntakeFailure) != 0) file.intakeFailureText = Field(record.intakeFailureText);
  return file;
}

const char* JobTypeName(uint32_t jobType) {
  switch (jobType) {
    case kJobTypeUnknown: return "unknown";
    case kJobTypePostScript: return "PostScript";
    case kJobTypePdf: return "PDF";
    case kJobTypeTiff: return "TIFF";
    case kJobTypeJpeg: return "JPEG";
    case kJobTypePageBuffer: return "PGB";
    case kJobTypeDcs: return "DCS";
    case kJobTypeEps: return "EPS";
    case kJobTypePrf: return "PRF";
    case kJobTypeJdf: return "JDF";
    case kJobTypePpf: return "PPF";
    case kJobTypeZxm: return "ZXM";
    case kJobTypeJson: return "JSON";
    case kJobTypeXml: return "XML";
    case kJobTypeFileGroupList: return "FileGroupList";
    default: return "other";
  }
}

}  // namespace hf
