// Character-by-character cleaning of a found file name.
#include "jobs/clean_file_name.h"

#include <cstring>

namespace hf {

namespace {

constexpr char kDisallowed[] = ":*/<>?\\\"|";

}  // namespace

int CleanFileName(const char* source, char* destination, size_t size) {
  return CleanFileName(source, destination, size, IsSystemLeadByte);
}

int CleanFileName(const char* source, char* destination, size_t size, LeadByteTest isLeadByte) {
  if (destination == nullptr || size == 0) return 0;
  if (source == nullptr) source = "";
  int replaced = 0;
  size_t out = 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(source);
  while (*in != 0) {
    unsigned char lead = in[0];
    if (isLeadByte != nullptr && isLeadByte(lead) && in[1] != 0) {
      if (out + 2 > size - 1) break;
      if (in[1] == 0x5C) {
        destination[out++] = static_cast<char>(0x81);
        destination[out++] = static_cast<char>(0x45);
        replaced = 1;
      } else {
        destination[out++] = static_cast<char>(in[0]);
        destination[out++] = static_cast<char>(in[1]);
      }
      in += 2;
      continue;
    }
    if (out + 1 > size - 1) break;
    if (lead >= 1 && lead <= 31) {
      destination[out++] = ' ';
      replaced = 1;
    } else if (std::strchr(kDisallowed, lead) != nullptr) {
      destination[out++] = '_';
      replaced = 1;
    } else {
      destination[out++] = static_cast<char>(lead);
    }
    ++in;
  }
  destination[out] = '\0';
  return replaced;
}

}  // namespace hf
