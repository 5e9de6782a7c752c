// Parsing, look-up, editing and writing of CIniDocument (syntax in the header).
#include "formats/ini_document.h"
#include "base/ascii.h"

#include "base/file_io.h"

namespace hf {

namespace {

// White-space characters other than the blanks (and the LF that ends lines).
bool IsOtherSpace(char c) { return c == '\r' || c == '\v' || c == '\f'; }

size_t SkipBlanks(std::string_view line, size_t position) {
  while (position < line.size() && IsAsciiBlank(line[position])) ++position;
  return position;
}

// Reads a quoted key starting at the opening quote; returns the position after
// the closing quote (or the line end when there is none).
size_t ReadQuotedKey(std::string_view line, size_t position, std::string& key) {
  ++position;  // the opening quote
  while (position < line.size()) {
    char c = line[position];
    if (c == '\\' && position + 1 < line.size() && (line[position + 1] == '"' || line[position + 1] == '\\')) {
      key.push_back(line[position + 1]);
      position += 2;
      continue;
    }
    ++position;
    if (c == '"') break;
    key.push_back(c);
  }
  return position;
}

// True when the key, written bare, would not read back as the same key.
bool KeyNeedsQuotes(const std::string& key) {
  if (key.empty()) return true;
  char first = key[0];
  if (first == '"' || first == '[' || first == '#' || first == ';' || IsOtherSpace(first)) return true;
  for (char c : key) {
    if (IsAsciiBlank(c) || c == '=' || static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

void AppendQuotedKey(std::string& out, const std::string& key) {
  out.push_back('"');
  for (size_t i = 0; i < key.size(); ++i) {
    char c = key[i];
    if (c == '"') {
      out.append("\\\"");
    } else if (c == '\\' && (i + 1 == key.size() || key[i + 1] == '"' || key[i + 1] == '\\')) {
      // Only a backslash that the reader would take as an escape is doubled,
      // so ordinary paths stay readable.
      out.append("\\\\");
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

const char kLineEnd[] = "\r\n";

}  // namespace

// ---- CIniSection ----

void CIniSection::EnsureIndex() const {
  if (indexValid_) return;
  index_.clear();
  index_.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].key.empty()) index_.emplace(AsciiLowered(entries_[i].key), i);
  }
  indexValid_ = true;
}

std::optional<size_t> CIniSection::FindKey(std::string_view key) const {
  if (key.empty()) return std::nullopt;
  EnsureIndex();
  auto found = index_.find(AsciiLowered(key));
  if (found == index_.end()) return std::nullopt;
  return found->second;
}

void CIniSection::Append(std::string key, std::string value) {
  if (indexValid_ && !key.empty()) index_.emplace(AsciiLowered(key), entries_.size());
  entries_.push_back(CIniEntry{std::move(key), std::move(value)});
}

void CIniSection::SetValue(std::string_view key, std::string value) {
  if (std::optional<size_t> position = FindKey(key)) {
    entries_[*position].value = std::move(value);
  } else {
    Append(std::string(key), std::move(value));
  }
}

void CIniSection::SetValueAt(size_t index, std::string value) { entries_[index].value = std::move(value); }

void CIniSection::ReplaceEntry(size_t index, std::string key, std::string value) {
  entries_[index] = CIniEntry{std::move(key), std::move(value)};
  indexValid_ = false;
}

void CIniSection::InsertEntry(size_t index, std::string key, std::string value) {
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), CIniEntry{std::move(key), std::move(value)});
  indexValid_ = false;
}

void CIniSection::EraseEntry(size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  indexValid_ = false;
}

bool CIniSection::RemoveKey(std::string_view key) {
  std::optional<size_t> position = FindKey(key);
  if (!position) return false;
  EraseEntry(*position);
  return true;
}

void CIniSection::Clear() {
  entries_.clear();
  index_.clear();
  indexValid_ = true;
}

// ---- CIniDocument: reading ----

void CIniDocument::Clear() {
  sections_.clear();
  sectionIndex_.clear();
  separatorFlag_ = false;
}

bool CIniDocument::Load(const std::string& path) {
  Clear();
  path_ = path;
  std::string text;
  if (ReadWholeFile(path, text) != 0) return false;
  LoadFromBuffer(text);
  return true;
}

void CIniDocument::LoadFromBuffer(std::string_view text) {
  Clear();
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    size_t next = end;
    if (end == std::string_view::npos) {
      end = text.size();
      next = end;
    } else {
      ++next;
      // Text-mode reading: the CR of a CR LF pair is not part of the line.
      if (end > position && text[end - 1] == '\r') --end;
    }
    ParseLine(text.substr(position, end - position));
    position = next;
  }
}

void CIniDocument::ParseLine(std::string_view line) {
  size_t position = SkipBlanks(line, 0);
  if (position == line.size()) {
    CurrentSection().Append(std::string(), std::string());
    return;
  }
  char first = line[position];
  if (first == '[') {
    std::string_view name = line.substr(position + 1);
    size_t close = name.rfind(']');
    if (close != std::string_view::npos) name = name.substr(0, close);
    AddSection(std::string(name));
    return;
  }
  CIniSection& section = CurrentSection();
  if (first == '#' || first == ';' || IsOtherSpace(first)) {
    section.Append(std::string(), std::string(line));
    return;
  }
  std::string key;
  if (first == '"') {
    position = ReadQuotedKey(line, position, key);
  } else {
    size_t start = position;
    while (position < line.size() && line[position] != '=' && !IsAsciiBlank(line[position])) ++position;
    key.assign(line.substr(start, position - start));
  }
  position = SkipBlanks(line, position);
  if (position < line.size() && line[position] == '=') {
    separatorFlag_ = true;
    position = SkipBlanks(line, position + 1);
  }
  if (key.empty()) {
    // No usable key: keep the line as it stands.
    section.Append(std::string(), std::string(line));
  } else {
    section.Append(std::move(key), std::string(line.substr(position)));
  }
}

// The section that parsed lines go to: the last one, or a new unnamed first
// section when no header has been seen yet.
CIniSection& CIniDocument::CurrentSection() {
  if (sections_.empty()) AddSection(std::string());
  return sections_.back();
}

// ---- CIniDocument: writing ----

bool CIniDocument::Save() const {
  if (path_.empty()) return false;
  return ReplaceFileContents(path_, SaveToBuffer()) == 0;
}

bool CIniDocument::SaveAs(const std::string& path) {
  path_ = path;
  return Save();
}

std::string CIniDocument::SaveToBuffer() const {
  size_t estimate = 0;
  for (const CIniSection& section : sections_) {
    estimate += section.name().size() + 6;
    for (const CIniEntry& entry : section.entries()) estimate += entry.key.size() + entry.value.size() + 5;
  }
  std::string out;
  out.reserve(estimate);
  const char separator = separatorFlag_ ? '=' : ' ';
  for (size_t s = 0; s < sections_.size(); ++s) {
    const CIniSection& section = sections_[s];
    if (s > 0) out.append(kLineEnd);
    if (s > 0 || !section.name().empty()) {
      out.push_back('[');
      out.append(section.name());
      out.push_back(']');
      out.append(kLineEnd);
    }
    const std::vector<CIniEntry>& entries = section.entries();
    size_t written = entries.size();
    while (written > 0 && entries[written - 1].IsBlank()) --written;
    for (size_t e = 0; e < written; ++e) {
      const CIniEntry& entry = entries[e];
      if (entry.IsRaw()) {
        out.append(entry.value);
      } else {
        if (KeyNeedsQuotes(entry.key)) {
          AppendQuotedKey(out, entry.key);
        } else {
          out.append(entry.key);
        }
        out.push_back(separator);
        out.append(entry.value);
      }
      out.append(kLineEnd);
    }
  }
  return out;
}

// ---- CIniDocument: look-up and editing ----

std::optional<size_t> CIniDocument::FindSection(std::string_view name) const {
  auto found = sectionIndex_.find(AsciiLowered(name));
  if (found == sectionIndex_.end()) return std::nullopt;
  return found->second;
}

size_t CIniDocument::AddSection(std::string name) {
  sectionIndex_.emplace(AsciiLowered(name), sections_.size());
  sections_.emplace_back(std::move(name));
  return sections_.size() - 1;
}

void CIniDocument::AddEntry(std::string_view section, std::string key, std::string value) {
  const size_t index = FindSection(section).value_or(sections_.size());
  if (index == sections_.size()) AddSection(std::string(section));
  sections_[index].Append(std::move(key), std::move(value));
}

std::string CIniDocument::GetValue(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
  std::string value;
  if (!FindValue(section, key, value)) value.assign(defaultValue);
  return value;
}

bool CIniDocument::FindValue(std::string_view section, std::string_view key, std::string& value) const {
  const std::optional<size_t> sectionPosition = FindSection(section);
  if (!sectionPosition) return false;
  const CIniSection& found = sections_[*sectionPosition];
  const std::optional<size_t> entryPosition = found.FindKey(key);
  if (!entryPosition) return false;
  value = found.Entry(*entryPosition).value;
  return true;
}

void CIniDocument::SetValue(std::string_view section, std::string_view key, std::string value) {
  const size_t index = FindSection(section).value_or(sections_.size());
  if (index == sections_.size()) AddSection(std::string(section));
  sections_[index].SetValue(key, std::move(value));
}

bool CIniDocument::ClearSection(std::string_view section) {
  const std::optional<size_t> position = FindSection(section);
  if (!position) return false;
  sections_[*position].Clear();
  return true;
}

bool CIniDocument::RemoveKey(std::string_view section, std::string_view key) {
  const std::optional<size_t> position = FindSection(section);
  return position && sections_[*position].RemoveKey(key);
}

}  // namespace hf
