// Job type recognition from a file's head bytes, and the extension table.
#include "formats/job_type.h"
#include "base/ascii.h"

#include "base/log.h"

#include <cstring>
#include <string>

namespace hf {

const JobTypeExtension kJobTypeExtensions[] = {
    {".ps", kJobTypePostScript}, {".pdf", kJobTypePdf},        {".tiff", kJobTypeTiff}, {".tif", kJobTypeTiff},
    {".jpg", kJobTypeJpeg},      {".pgb", kJobTypePageBuffer}, {".dcs", kJobTypeDcs},   {".eps", kJobTypeEps},
    {".prf", kJobTypePrf},       {".jdf", kJobTypeJdf},        {".ppf", kJobTypePpf},   {".zxm", kJobTypeZxm},
    {".zx", kJobTypeZxm},        {".json", kJobTypeJson},      {".xml", kJobTypeXml},   {".fgl", kJobTypeFileGroupList},
    {"", kJobTypeUnknown},
};

namespace {

bool EqualNoCase(const char* a, const char* b, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
  return true;
}

// The text (NUL-terminated within `length`) begins with `prefix`, ignoring case.
bool BeginsWith(const char* text, size_t length, const char* prefix) {
  size_t count = std::strlen(prefix);
  for (size_t i = 0; i < count; ++i) {
    if (i >= length || text[i] == '\0') return false;
    if (AsciiToLower(text[i]) != AsciiToLower(prefix[i])) return false;
  }
  return true;
}

bool Contains(const char* text, const char* needle) { return std::strstr(text, needle) != nullptr; }

// The four bytes at any offset from 0 to length - 5, NULs included.
bool HasBytesInBody(const char* buffer, size_t length, const char (&bytes)[5]) {
  if (length < 5) return false;
  for (size_t at = 0; at + 5 <= length; ++at)
    if (std::memcmp(buffer + at, bytes, 4) == 0) return true;
  return false;
}

// A CIP3 file opens with a short first line and "%%CIP3-File" on the next: the
// first "%" after byte 0, within bytes 1 to 17, must start a token (up to a
// space, at most 16 characters) that begins with it.
bool LooksLikePpf(const char* buffer, size_t length) {
  constexpr size_t kLastLookedAt = 17;
  constexpr size_t kMaxToken = 16;
  static const char kMarker[] = "%%CIP3-File";
  size_t start = 0;
  for (size_t at = 1; at <= kLastLookedAt && at < length && buffer[at] != '\0'; ++at) {
    if (buffer[at] == '%') {
      start = at;
      break;
    }
  }
  if (start == 0) return false;
  size_t token = 0;
  while (start + token < length && buffer[start + token] != '\0' && buffer[start + token] != ' ') {
    if (++token > kMaxToken) return false;
  }
  constexpr size_t kMarkerLength = sizeof kMarker - 1;
  return token >= kMarkerLength && EqualNoCase(buffer + start, kMarker, kMarkerLength);
}

// The head of an XML file as ASCII text: after a UTF-8 byte-order mark, or for
// UTF-16 (told by its mark) the ASCII characters up to the first other one.
std::string XmlHeadText(const unsigned char* bytes, size_t length) {
  if (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    const bool littleEndian = bytes[0] == 0xFF;
    std::string text;
    for (size_t at = 2; at + 1 < length; at += 2) {
      const unsigned char low = littleEndian ? bytes[at] : bytes[at + 1];
      const unsigned char high = littleEndian ? bytes[at + 1] : bytes[at];
      if (high != 0 || low == 0 || low >= 0x80) break;
      text.push_back(static_cast<char>(low));
    }
    return text;
  }
  const size_t start = length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  const char* text = reinterpret_cast<const char*>(bytes) + start;
  return std::string(text, strnlen(text, length - start));
}

// The name of the root element, after blanks, the XML declaration and other
// processing instructions, comments and a document type; empty when the head
// ends first or holds anything else.
std::string RootElementName(const std::string& text) {
  size_t at = 0;
  for (;;) {
    while (at < text.size() && IsAsciiSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '<') return std::string();
    const char* close = text.compare(at, 4, "<!--") == 0 ? "-->"
                        : text.compare(at, 2, "<?") == 0 ? "?>"
                        : text.compare(at, 2, "<!") == 0 ? ">"
                                                         : nullptr;
    if (close == nullptr) break;
    const size_t end = text.find(close, at + 2);
    if (end == std::string::npos) return std::string();
    at = end + std::strlen(close);
  }
  size_t end = at + 1;
  while (end < text.size() && !IsAsciiSpace(text[end]) && text[end] != '>' && text[end] != '/') ++end;
  if (end >= text.size()) return std::string();  // the name may go on past the head
  return text.substr(at + 1, end - at - 1);
}

// Tickets written by real programs open with an XML declaration or a
// byte-order mark: their root element (with or without a namespace prefix)
// tells a job ticket from other XML.
bool RootElementIsJdf(const unsigned char* bytes, size_t length) {
  const std::string name = RootElementName(XmlHeadText(bytes, length));
  const size_t colon = name.rfind(':');
  return EqualsIgnoringAsciiCase(colon == std::string::npos ? name : name.substr(colon + 1), "JDF");
}

JobType Recognised(JobType type, const char* message) {
  Log(LogLevel::kDetail, "%s", message);
  return type;
}

}  // namespace

JobType RecogniseJobType(char* buffer, size_t length) {
  if (buffer == nullptr || length == 0) return kJobTypeUnknown;
  buffer[length - 1] = '\0';
  const char* text = buffer;
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);

  if (BeginsWith(text, length, "%!PS") && Contains(text, "EPSF")) {
    if (Contains(text, "%%PlateFile:")) return Recognised(kJobTypeDcs, "DCS control or single file DCS recognised.");
    return Recognised(kJobTypeEps, "EPS job recognised.");
  }
  if (RootElementIsJdf(bytes, length)) return Recognised(kJobTypeJdf, "JDF job recognised.");
  if (BeginsWith(text, length, "<?xml")) return Recognised(kJobTypeXml, "XML job recognised.");
  if (BeginsWith(text, length, "<jdf")) return Recognised(kJobTypeJdf, "JDF job recognised.");
  if (BeginsWith(text, length, "PMEC")) return Recognised(kJobTypeZxm, "ZXM job recognised.");
  if (LooksLikePpf(text, length)) return Recognised(kJobTypePpf, "PPF job recognised.");
  if (BeginsWith(text, length, "%!PS")) return Recognised(kJobTypePostScript, "PS job recognised.");
  if (BeginsWith(text, length, "!PDF") || BeginsWith(text, length, "%PDF"))
    return Recognised(kJobTypePdf, "PDF job recognised.");
  if (length >= 2 && bytes[0] == 'I' && bytes[1] == 'I')
    return Recognised(kJobTypeTiff, "Job appears to be Intel-format TIFF.");
  if (length >= 2 && bytes[0] == 'M' && bytes[1] == 'M')
    return Recognised(kJobTypeTiff, "Job appears to be PowerPC-format TIFF.");
  if (length >= 4 && bytes[0] == 0xC5 && bytes[1] == 0xD0 && bytes[2] == 0xD3 && bytes[3] == 0xC6)
    return Recognised(kJobTypeEps, "Binary EPSF job recognised.");
  if (HasBytesInBody(text, length, "JFIF")) return Recognised(kJobTypeJpeg, "Job appears to be JPEG/JFIF format.");
  // JPEGs from cameras (Exif) and some programs (an "Adobe" segment) carry no
  // JFIF marker: the start of image followed by a marker tells them.
  if (length >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    return Recognised(kJobTypeJpeg, "Job appears to be JPEG/JFIF format.");
  if (HasBytesInBody(text, length, "/PGB")) return Recognised(kJobTypePageBuffer, "Job appears to be a PageBuffer.");

  if (Contains(text, "%!PS")) {
    if (Contains(text, "EPSF")) return Recognised(kJobTypeEps, "EPSF job recognised, using fallback id method.");
    return Recognised(kJobTypePostScript, "PS job recognised, using fallback id method.");
  }
  if (Contains(text, "!PDF") || Contains(text, "%PDF"))
    return Recognised(kJobTypePdf, "PDF job recognised, using fallback id method.");
  if (Contains(text, "[FileGroupInfo]"))
    return Recognised(kJobTypeFileGroupList, "FileGroupList recognised, using fallback id method.");
  if (Contains(text, "%!")) return Recognised(kJobTypePostScript, "PS job recognised, using final catch.");
  Log(LogLevel::kProgress, "Job Filetype not recognised. Download may fail.");
  return kJobTypeUnknown;
}

JobType JobTypeFromExtension(std::string_view extension) {
  for (const JobTypeExtension* entry = kJobTypeExtensions; entry->extension[0] != '\0'; ++entry) {
    size_t length = std::strlen(entry->extension);
    if (extension.size() == length && EqualNoCase(extension.data(), entry->extension, length)) return entry->type;
  }
  return kJobTypeTiff;
}

}  // namespace hf
