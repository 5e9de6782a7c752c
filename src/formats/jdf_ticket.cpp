// Reading JDF job tickets: text decoding, the run-list walk, FileSpec URLs.
#include "formats/jdf_ticket.h"

#include "base/ascii.h"
#include "base/code_page.h"
#include "base/leading_integer.h"
#include "base/path_utils.h"

#include <vector>

namespace hf {

namespace {

void AppendUtf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16 after its byte-order mark to UTF-8; false on an odd byte count or an
// unpaired surrogate.
bool Utf16ToUtf8(std::string_view bytes, bool littleEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return false;
  out.clear();
  out.reserve(bytes.size());
  auto unit = [&](size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<uint32_t>(littleEndian ? first | (second << 8) : (first << 8) | second);
  };
  for (size_t at = 0; at < bytes.size(); at += 2) {
    uint32_t code = unit(at);
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (at + 2 >= bytes.size()) return false;
      const uint32_t low = unit(at + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(code, out);
  }
  return true;
}

// Length of the well-formed UTF-8 sequence at `at` (2 to 4), or 0.
size_t Utf8SequenceAt(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  const auto second = static_cast<unsigned char>(text[at + 1]);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 0;  // over-long forms, surrogates, beyond U+10FFFF
  return length;
}

// 0: pure ASCII; 1: UTF-8 with at least one sequence; -1: not UTF-8.
int Utf8Kind(std::string_view text) {
  int kind = 0;
  for (size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return -1;
    kind = 1;
    at += length;
  }
  return kind;
}

int HexValue(char c) {
  if (IsAsciiDigit(c)) return c - '0';
  const char lower = AsciiToLower(c);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    // "%00" stays as written: a NUL would end the path the system sees
    // before the end of the path the folder rules judged.
    if (text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 && HexValue(text[at + 2]) >= 0 &&
        HexValue(text[at + 1]) + HexValue(text[at + 2]) > 0) {
      out += static_cast<char>(HexValue(text[at + 1]) * 16 + HexValue(text[at + 2]));
      at += 2;
    } else {
      out += text[at];
    }
  }
  return out;
}

// The tag name without a namespace prefix.
std::string_view LocalName(std::string_view tag) {
  const size_t colon = tag.rfind(':');
  return colon == std::string_view::npos ? tag : tag.substr(colon + 1);
}

void VisitElement(const CMarkup& markup, JdfTicket& ticket, JdfSubJob*& current) {
  const std::string tag = markup.GetTagName();
  const std::string_view name = LocalName(tag);
  if (EqualsIgnoringAsciiCase(name, "RunList")) {
    std::string copies = markup.GetAttribute("DocCopies");
    if (copies.empty()) return;
    JdfSubJob& subJob = ticket.subJobs[LeadingInteger(markup.GetAttribute("Run"))];
    subJob = JdfSubJob{std::string(), JdfValueToAnsi(markup.GetAttribute("Pages")), JdfValueToAnsi(copies)};
    current = &subJob;
  } else if (EqualsIgnoringAsciiCase(name, "FileSpec")) {
    if (current != nullptr) current->file = JdfUrlToPath(markup.GetAttribute("URL"));
  } else if (EqualsIgnoringAsciiCase(name, "JDF")) {
    ticket.custom1 = JdfValueToAnsi(markup.GetAttribute("DescriptiveName"));
    ticket.custom2 = JdfValueToAnsi(markup.GetAttribute("ID"));
  }
}

}  // namespace

bool JdfTicketText(std::string_view bytes, std::string& text, std::string& error) {
  text.clear();
  error.clear();
  if (bytes.empty()) {
    error = "File is empty";
    return false;
  }
  const auto byte = [&](size_t at) { return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u; };
  if ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)) {
    if (!Utf16ToUtf8(bytes.substr(2), byte(0) == 0xFF, text) || text.empty()) {
      text.clear();
      error = "Error converting XML file";
      return false;
    }
    return true;
  }
  if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) bytes.remove_prefix(3);
  text.assign(bytes.data(), bytes.size());
  return true;
}

bool ReadJdfTicket(std::string_view bytes, LeadByteTest isLeadByte, JdfTicket& ticket, std::string& error) {
  ticket = JdfTicket();
  std::string text;
  if (!JdfTicketText(bytes, text, error)) return false;
  // UTF-8 never puts an ASCII byte inside a character: no lead-byte test then.
  CMarkup markup(Utf8Kind(text) < 0 ? isLeadByte : nullptr);
  if (!markup.SetDocument(text)) {
    error = "Error processing settings: " + markup.GetError();
    return false;
  }
  CollectRunLists(markup, ticket);
  return true;
}

void CollectRunLists(CMarkup& markup, JdfTicket& ticket) {
  // The current sub-job of each level entered, the starting level first.
  std::vector<JdfSubJob*> current{nullptr};
  for (;;) {
    if (markup.FindElement()) {
      VisitElement(markup, ticket, current.back());
      JdfSubJob* const inherited = current.back();
      if (markup.EnterElement()) current.push_back(inherited);
      continue;
    }
    if (current.size() == 1 || !markup.LeaveElement()) break;
    current.pop_back();
  }
}

std::string JdfUrlToPath(std::string_view url) {
  std::string_view rest = url;
  std::string prefix;
  if (StartsWithIgnoringAsciiCase(rest, "file:")) {
    rest.remove_prefix(5);
    if (StartsWithIgnoringAsciiCase(rest, "//localhost/")) {
      rest.remove_prefix(12);
    } else if (rest.substr(0, 4) == "////") {
      rest.remove_prefix(4);
      prefix = "\\\\";  // file:////server/share/...
    } else if (rest.substr(0, 3) == "///") {
      rest.remove_prefix(3);
    } else if (rest.substr(0, 2) == "//") {
      rest.remove_prefix(2);
      prefix = "\\\\";  // file://server/share/... is a network path
    } else if (rest.size() >= 3 && rest[0] == '/' && IsAsciiLetter(rest[1]) && rest[2] == ':') {
      rest.remove_prefix(1);  // file:/C:/...
    }
  }
  std::string path = prefix + PercentDecoded(rest);
  for (char& c : path)
    if (c == '/') c = '\\';
  return JdfValueToAnsi(path);
}

std::string JdfValueToAnsi(const std::string& value) {
  if (Utf8Kind(value) != 1) return value;
  std::string ansi;
  return Utf8ToAnsiCodePage(value, ansi) ? ansi : value;
}

std::string JdfReferencedPath(const std::string& ticketFolder, const std::string& file) {
  if (file.empty()) return file;
  if (file.size() >= 2 && ((IsAsciiLetter(file[0]) && file[1] == ':') || (file[0] == '\\' && file[1] == '\\')))
    return file;
  if (file[0] == '\\') {  // the root of the ticket's drive
    const bool onDrive = ticketFolder.size() >= 2 && IsAsciiLetter(ticketFolder[0]) && ticketFolder[1] == ':';
    return onDrive ? ticketFolder.substr(0, 2) + file : file;
  }
  return JoinPath(ticketFolder, file);
}

}  // namespace hf
