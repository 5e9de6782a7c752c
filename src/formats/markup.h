// CMarkup: the plug-in's small XML reader (job tickets). A whole document is
// parsed once into a flat array of element positions; the caller then walks the
// element tree with a cursor: find an element among the siblings, step into it,
// step out, read its tag name and its attributes. Documents are only read.
//
// What is read:
//   - Tokens: white space (" \t\n\r") is skipped; a token in double or single
//     quotes runs to the matching quote (to the end when it is missing); any
//     other token runs up to one of " \t\n\r<>=\/?!" and is at least one
//     character long. A double-byte character (per the lead-byte test given at
//     construction) is stepped over whole.
//   - Only the first top-level element is parsed; text outside tags is skipped.
//     "<?...?>", "<![CDATA[...]]>", "<!--...-->" and "<!...>" (a ">" inside
//     square brackets does not end it) are skipped where elements may stand.
//   - A start tag runs from its "<" to the next ">"; a "/" just before that ">"
//     makes it an empty element.
//   - Names (tags, attributes) match when the name given equals the document's
//     name and continues after it with nothing, a blank (space, tab), "=", "/"
//     or "[" ("Part[2]" finds <Part>). Case matters.
//   - An attribute is a name token, "=" and a quoted value; a value is decoded
//     for &lt; &amp; &gt; &apos; &quot; only, any other "&" stays as written.
//
// Parse failures, as GetError gives them: "Element tag not found", "Abrupt end
// within tag", "Tag starts with quote", "Invalid node", "End of tag not found",
// "End tag does not correspond to <name>" (naming the element left open),
// "End tag not completed for element <name>"; a document whose first tag is an
// end tag also gives "Element tag not found", and one over kMaxDocumentBytes
// "Document too large".
//
// Parsing keeps its own stack of open elements instead of recursing, so any
// depth of nesting is read; time is linear in the length of the document.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hf {

using LeadByteTest = bool (*)(unsigned char byte);

// One element: character indices into the document and indices into the array.
struct ElemPos {
  int32_t startLeft = 0;    // the "<" of the start tag
  int32_t startRight = 0;   // the ">" of the start tag
  int32_t endLeft = 0;      // where the end tag begins (the "/" of an empty element)
  int32_t endRight = 0;     // the ">" that ends the element
  int32_t parentIndex = 0;  // the parent entry
  int32_t firstChild = 0;   // 0 = none
  int32_t next = 0;         // next sibling, 0 = none
};

class CMarkup {
 public:
  // Character indices are 32-bit: longer documents are refused.
  static constexpr size_t kMaxDocumentBytes = 0x7FFFFFF0;

  // An empty document. `isLeadByte` (may be null: single-byte text) tells the
  // first byte of a double-byte character of the document's code page.
  explicit CMarkup(LeadByteTest isLeadByte = nullptr);
  CMarkup(const CMarkup&) = default;
  CMarkup& operator=(const CMarkup&) = default;
  virtual ~CMarkup() = default;

  // Parses `text`; true when a top-level element was found and parsed without
  // error. On failure GetError tells why and no element is left to walk. The
  // cursor is at the top level with no current element either way.
  bool SetDocument(std::string_view text = {});

  // Moves to the next sibling after the current element (the first element of
  // the cursor's level when there is none) whose tag matches `name`; null or
  // empty matches any. False, with the cursor unchanged, when there is none.
  bool FindElement(const char* name = nullptr);
  // Steps into the current element: its children become the cursor's level,
  // with the child last left (none at first) as the current element.
  bool EnterElement();
  // Steps out to the parent level: the parent becomes the current element.
  bool LeaveElement();

  // The current element's tag name; empty when there is none.
  std::string GetTagName() const;
  // The decoded value of the current element's attribute `name`; empty when
  // there is no current element, `name` is null, or the attribute is absent or
  // has an unquoted value. An empty `name` gives the first attribute's name.
  std::string GetAttribute(const char* name) const;
  const std::string& GetError() const { return error_; }

 private:
  struct Token {
    size_t start = 0, end = 0;  // the token's text (inside the quotes when quoted)
    size_t after = 0;           // where the next token is looked for
    bool quoted = false;
  };
  enum class Opened { kElement, kEmpty, kParentEnd, kError };
  // One unquoted token of a start tag after its name, with its "=" and quoted
  // value when it has them.
  struct AttributeToken {
    Token name;
    bool hasValue = false;
    Token value;
  };

  bool FindToken(size_t from, Token& token) const;
  std::string_view TokenText(const Token& token) const;
  size_t NextChar(size_t at) const;
  bool NameMatches(std::string_view given, const Token& token) const;
  bool SkipNode(size_t at, size_t& end) const;
  int32_t Parse();
  Opened OpenElement(int32_t index);
  bool CloseElement(int32_t index);
  int32_t NewEntry(int32_t parentIndex);
  void Fail(const std::string& message) { error_ = message; }
  void ResetCursor();
  const std::vector<AttributeToken>& AttributesOfCurrent() const;

  LeadByteTest isLeadByte_;
  std::string document_;
  std::string error_;
  std::vector<ElemPos> positions_;
  int32_t parent_ = 0;
  int32_t current_ = 0;
  int32_t child_ = 0;
  int32_t nextFree_ = 1;
  int32_t nodeType_ = 0;
  // The current element's start tag read once for all its attribute look-ups.
  mutable int32_t attributesOf_ = 0;  // the element they belong to; 0 = none
  mutable std::vector<AttributeToken> attributes_;
};

}  // namespace hf
