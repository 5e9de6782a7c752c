// Fuzzes job type recognition with arbitrary head bytes, and the extension
// lookup with the same bytes as an extension.
#include "formats/job_type.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

using namespace hf;

namespace {

bool IsJobTypeCode(JobType type) {
  for (const JobTypeExtension* entry = kJobTypeExtensions;; ++entry) {
    if (entry->type == type) return true;
    if (entry->extension[0] == '\0') return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly sized, so that a read past `size` is caught.
  std::unique_ptr<char[]> head(new char[size == 0 ? 1 : size]);
  if (size > 0) std::memcpy(head.get(), data, size);
  JobType type = RecogniseJobType(size == 0 ? nullptr : head.get(), size);
  if (!IsJobTypeCode(type) || type == kJobTypePrf || type == kJobTypeJson) std::abort();
  if (size > 0 && head[size - 1] != '\0') std::abort();

  JobType byExtension = JobTypeFromExtension(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!IsJobTypeCode(byExtension) || byExtension == kJobTypeUnknown) std::abort();
  return 0;
}
