// CIniDocument: an INI text held in memory as ordered sections of ordered
// entries, so that a file can be read, edited and written back with its
// comments, blank lines and entry order in place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hf {

// Syntax as read (the text is taken as bytes; a CR directly before an LF is
// dropped, a lone CR stays part of its line):
//   - Blanks are space and tab; leading blanks of a line are skipped.
//   - "[name]" starts a section; the name runs to the LAST "]" of the line, or
//     to the end of the line when there is none ("[a]b]" names "a]b").
//   - An empty (or blank-only) line is a blank entry. A line whose first
//     character after the blanks is "#", ";" or another white-space character
//     is a raw line, kept whole (leading blanks included).
//   - Any other line is a key line: the key is either quoted ("My File.tif",
//     where \" stands for a quote and \\ for a backslash) or the run up to the
//     first "=" or blank. Blanks follow; an "=" there sets the document's
//     separator flag and may be followed by more blanks; the rest of the line
//     is the value (trailing blanks included). A key line whose key comes out
//     empty ("=x", "\"\" y") is kept as a raw line.
//   - Entries before the first header belong to an unnamed first section.
//
// Syntax as written (every line ends with CR LF):
//   - Each section but the first is preceded by an empty line; a section with
//     a name is headed "[name]". A nameless section that is not the first is
//     headed "[]", so that its entries are not read back into the one before.
//   - Raw lines are written as they are; blank entries only when a further
//     non-blank entry follows in the same section (trailing blank lines of a
//     section are dropped).
//   - A key entry is key, separator ("=" when the flag is set, else a blank),
//     value. The key is quoted when it holds a blank, "=" or a byte of 0x80 or
//     above, or when it starts with a character that would make the line read
//     as something else ("\"", "[", "#", ";", CR, VT, FF).
// Loading what a save wrote and saving again gives the same bytes.
//
// Look-ups of sections and keys compare names without regard to (ASCII) case
// and find the first match; each section keeps an index of its keys, so
// look-ups do not scan. The key index is built on the first look-up after a
// load or an edit that moves entries, so even a const document must not be
// used by two threads at once.

// One line of a section. An empty key marks a raw line held whole in `value`;
// an empty key with an empty value is a blank line.
struct CIniEntry {
  std::string key;
  std::string value;

  bool IsRaw() const { return key.empty(); }
  bool IsBlank() const { return key.empty() && value.empty(); }
};

class CIniSection {
 public:
  explicit CIniSection(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  size_t EntryCount() const { return entries_.size(); }
  const CIniEntry& Entry(size_t index) const { return entries_[index]; }
  const std::vector<CIniEntry>& entries() const { return entries_; }

  // Position of the first entry with this key; none when there is no such
  // key. An empty key finds nothing (raw lines are not keys).
  std::optional<size_t> FindKey(std::string_view key) const;

  // Appends an entry without searching (an empty key appends a raw line).
  void Append(std::string key, std::string value);

  // Replaces the value of the first entry with the key, or appends one.
  void SetValue(std::string_view key, std::string value);

  // Edits by position (index < EntryCount(); Insert also at EntryCount()).
  void SetValueAt(size_t index, std::string value);
  void ReplaceEntry(size_t index, std::string key, std::string value);
  void InsertEntry(size_t index, std::string key, std::string value);
  void EraseEntry(size_t index);

  // Removes the first entry with the key; false when there is none.
  bool RemoveKey(std::string_view key);

  // Removes every entry.
  void Clear();

 private:
  void EnsureIndex() const;

  std::string name_;
  std::vector<CIniEntry> entries_;
  // Lower-cased key -> position of its first entry; rebuilt lazily after an
  // edit that moves entries.
  mutable std::unordered_map<std::string, size_t> index_;
  mutable bool indexValid_ = false;
};

class CIniDocument {
 public:
  CIniDocument() = default;

  // Empties the document and clears the separator flag; the path stays.
  void Clear();

  // Reads the file and parses it; the path becomes the document's path either
  // way. False (and an empty document) when the file cannot be read.
  bool Load(const std::string& path);

  // Parses text as if it had been read from a file; the path stays.
  void LoadFromBuffer(std::string_view text);

  // Writes the document to its path in one step (a temporary file beside it
  // replaces the old one). False, with the file left as it was, when there is
  // no path or the file cannot be written.
  bool Save() const;

  // The path becomes the document's path, then as Save().
  bool SaveAs(const std::string& path);

  // The text that Save() writes.
  std::string SaveToBuffer() const;

  // Position of the first section with the name; none when there is none.
  std::optional<size_t> FindSection(std::string_view name) const;

  // Appends a new section (even when one of that name exists); its position.
  size_t AddSection(std::string name);

  // Appends an entry to the section (created at the end when missing) without
  // searching. An empty key adds a raw line.
  void AddEntry(std::string_view section, std::string key, std::string value);

  // The value of the first entry with the key, or `defaultValue`.
  std::string GetValue(std::string_view section, std::string_view key, std::string_view defaultValue) const;

  // As GetValue; true when the key is present (value untouched otherwise).
  bool FindValue(std::string_view section, std::string_view key, std::string& value) const;

  // Replaces the value of the first entry with the key or appends an entry;
  // a missing section is first appended at the end of the document. (An
  // empty key matches nothing and so appends a raw line.)
  void SetValue(std::string_view section, std::string_view key, std::string value);

  // Removes every entry of the section (the header stays); false when missing.
  bool ClearSection(std::string_view section);

  // Removes the first entry with the key; false when there is none.
  bool RemoveKey(std::string_view section, std::string_view key);

  size_t SectionCount() const { return sections_.size(); }
  const CIniSection& Section(size_t index) const { return sections_[index]; }
  CIniSection& Section(size_t index) { return sections_[index]; }

  const std::string& path() const { return path_; }
  void SetPath(std::string path) { path_ = std::move(path); }

  // Set: key entries are written with "="; clear: with a blank.
  bool separatorFlag() const { return separatorFlag_; }
  void SetSeparatorFlag(bool set) { separatorFlag_ = set; }

 private:
  void ParseLine(std::string_view line);
  CIniSection& CurrentSection();

  std::string path_;
  std::vector<CIniSection> sections_;
  bool separatorFlag_ = false;
  // Lower-cased name -> position of the first section of that name.
  std::unordered_map<std::string, size_t> sectionIndex_;
};

}  // namespace hf
