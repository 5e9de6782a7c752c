// CMarkup: parsing a document into element positions and walking them.
#include "formats/markup.h"

#include <algorithm>

namespace hf {

namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Token ends, as a table: tokens are scanned a character at a time.
struct DelimiterTable {
  bool ends[256] = {};
  constexpr DelimiterTable() {
    for (const char c : {' ', '\t', '\n', '\r', '<', '>', '=', '\\', '/', '?', '!'})
      ends[static_cast<unsigned char>(c)] = true;
  }
};
constexpr DelimiterTable kDelimiters;

bool IsDelimiter(char c) { return kDelimiters.ends[static_cast<unsigned char>(c)]; }

// The five predefined entities; every other "&" stays as written.
std::string DecodeText(std::string_view text) {
  static const struct {
    std::string_view entity;
    char character;
  } kEntities[] = {{"&lt;", '<'}, {"&amp;", '&'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    bool replaced = false;
    if (text[at] == '&') {
      for (const auto& e : kEntities) {
        if (text.compare(at, e.entity.size(), e.entity) == 0) {
          decoded.push_back(e.character);
          at += e.entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) decoded.push_back(text[at++]);
  }
  return decoded;
}

}  // namespace

CMarkup::CMarkup(LeadByteTest isLeadByte) : isLeadByte_(isLeadByte) { SetDocument(); }

void CMarkup::ResetCursor() { parent_ = current_ = child_ = nodeType_ = attributesOf_ = 0; }

bool CMarkup::SetDocument(std::string_view text) {
  nextFree_ = 1;
  ResetCursor();
  error_.clear();
  if (text.size() > kMaxDocumentBytes) {
    text = {};
    Fail("Document too large");
  }
  document_.assign(text.data(), text.size());
  const size_t wanted = text.size() / 64 + 8;
  if (positions_.size() < wanted) positions_.resize(wanted);
  positions_[0] = ElemPos();
  if (document_.empty()) return false;
  const int32_t root = Parse();
  positions_[0] = ElemPos();
  ResetCursor();
  if (root > 0) {
    positions_[0].firstChild = root;
    return true;
  }
  nextFree_ = 1;
  if (root == 0) Fail("Element tag not found");  // the first tag is an end tag
  return false;
}

size_t CMarkup::NextChar(size_t at) const {
  const bool pair =
      isLeadByte_ != nullptr && at + 1 < document_.size() && isLeadByte_(static_cast<unsigned char>(document_[at]));
  return at + (pair ? 2 : 1);
}

bool CMarkup::FindToken(size_t from, Token& token) const {
  const size_t size = document_.size();
  size_t at = from;
  while (at < size && IsWhite(document_[at])) ++at;
  if (at >= size) return false;
  const char first = document_[at];
  size_t end = at + 1;
  if (first == '"' || first == '\'') {
    if (isLeadByte_ == nullptr) {  // single-byte text: the quote is found at once
      end = std::min(document_.find(first, end), size);
    } else {
      while (end < size && document_[end] != first) end = NextChar(end);
    }
    token = {at + 1, end, end < size ? end + 1 : end, true};
    return true;
  }
  if (!IsDelimiter(first)) {
    end = at;
    if (isLeadByte_ == nullptr) {
      while (end < size && !IsDelimiter(document_[end])) ++end;
    } else {
      while (end < size && !IsDelimiter(document_[end])) end = NextChar(end);
    }
  }
  token = {at, end, end, false};
  return true;
}

std::string_view CMarkup::TokenText(const Token& token) const {
  return std::string_view(document_).substr(token.start, token.end - token.start);
}

bool CMarkup::NameMatches(std::string_view given, const Token& token) const {
  const std::string_view name = TokenText(token);
  if (given.size() < name.size() || given.compare(0, name.size(), name) != 0) return false;
  return given.size() == name.size() || std::string_view(" \t=/[").find(given[name.size()]) != std::string_view::npos;
}

// `at` is the "?" or "!" after a "<"; `end` becomes the index after the node.
bool CMarkup::SkipNode(size_t at, size_t& end) const {
  std::string_view close;
  size_t from = at + 1;
  if (document_[at] == '?') {
    close = "?>";
  } else if (document_.compare(at, 8, "![CDATA[") == 0) {
    close = "]]>", from = at + 8;
  } else if (document_.compare(at, 3, "!--") == 0) {
    close = "-->", from = at + 3;
  } else {
    int depth = 0;
    for (size_t p = from; p < document_.size(); ++p) {
      const char c = document_[p];
      if (c == '[') {
        ++depth;
      } else if (c == ']' && depth > 0) {
        --depth;
      } else if (c == '>' && depth == 0) {
        end = p + 1;
        return true;
      }
    }
    return false;
  }
  const size_t found = document_.find(close, from);
  if (found == std::string::npos) return false;
  end = found + close.size();
  return true;
}

int32_t CMarkup::NewEntry(int32_t parentIndex) {
  if (static_cast<size_t>(nextFree_) >= positions_.size()) positions_.resize(positions_.size() * 3 / 2);
  const int32_t index = nextFree_++;
  positions_[index] = ElemPos();
  positions_[index].startLeft = positions_[parentIndex].endLeft;
  positions_[index].parentIndex = parentIndex;
  return index;
}

// Finds the next tag for a new entry, skipping nodes; the entry is released
// again unless it becomes an element.
CMarkup::Opened CMarkup::OpenElement(int32_t index) {
  ElemPos& parent = positions_[positions_[index].parentIndex];
  ElemPos& element = positions_[index];
  auto error = [&](const char* message) {
    Fail(message);
    --nextFree_;
    return Opened::kError;
  };
  size_t from = static_cast<size_t>(element.startLeft);
  for (;;) {
    const size_t open = document_.find('<', from);
    if (open == std::string::npos) return error("Element tag not found");
    parent.endLeft = element.startLeft = static_cast<int32_t>(open);
    Token token;
    if (!FindToken(open + 1, token)) return error("Abrupt end within tag");
    if (token.quoted) return error("Tag starts with quote");
    const std::string_view name = TokenText(token);
    if (name == "?" || name == "!") {
      if (!SkipNode(token.start, from)) return error("Invalid node");
      continue;
    }
    if (name == "/") {
      --nextFree_;
      return Opened::kParentEnd;
    }
    const size_t close = document_.find('>', token.start);
    if (close == std::string::npos) return error("End of tag not found");
    element.startRight = static_cast<int32_t>(close);
    if (document_[close - 1] == '/') {
      element.endLeft = element.startRight - 1;
      element.endRight = element.startRight;
      return Opened::kEmpty;
    }
    element.endLeft = element.startRight + 1;
    return Opened::kElement;
  }
}

// Reads the end tag at the element's endLeft, where its last child's scan
// stopped at "</".
bool CMarkup::CloseElement(int32_t index) {
  ElemPos& element = positions_[index];
  Token tag, token;
  FindToken(static_cast<size_t>(element.startLeft) + 1, tag);
  const std::string tagName(TokenText(tag));
  FindToken(static_cast<size_t>(element.endLeft) + 1, token);  // the "/"
  if (!FindToken(token.after, token)) return Fail("End tag not completed for element " + tagName), false;
  if (!NameMatches(tagName, token)) return Fail("End tag does not correspond to " + tagName), false;
  do {
    if (!FindToken(token.after, token)) return Fail("End tag not completed for element " + tagName), false;
  } while (token.quoted || TokenText(token) != ">");
  element.endRight = static_cast<int32_t>(token.start);
  return true;
}

// Parses the first element at the top level with its descendants; returns its
// index, 0 when an end tag comes first, -1 on error. Open elements are kept on
// a stack of their last children, so nesting depth costs no call depth.
int32_t CMarkup::Parse() {
  std::vector<int32_t> lastChild;
  int32_t parent = 0;
  for (;;) {
    const int32_t index = NewEntry(parent);
    int32_t done = index;
    switch (OpenElement(index)) {
      case Opened::kError: return -1;
      case Opened::kElement:
        lastChild.push_back(0);
        parent = index;
        continue;
      case Opened::kEmpty: break;
      case Opened::kParentEnd:
        if (parent == 0) return 0;
        if (!CloseElement(parent)) return -1;
        done = parent;
        lastChild.pop_back();
        break;
    }
    parent = positions_[done].parentIndex;
    if (parent == 0) return done;
    int32_t& last = lastChild.back();
    (last == 0 ? positions_[parent].firstChild : positions_[last].next) = done;
    last = done;
    positions_[parent].endLeft = positions_[done].endRight + 1;
  }
}

bool CMarkup::FindElement(const char* name) {
  const bool anyName = name == nullptr || *name == '\0';
  int32_t at = current_ != 0 ? positions_[current_].next : positions_[parent_].firstChild;
  for (; at != 0; at = positions_[at].next) {
    Token tag;
    FindToken(static_cast<size_t>(positions_[at].startLeft) + 1, tag);
    if (!anyName && !NameMatches(name, tag)) continue;
    current_ = at;
    parent_ = positions_[at].parentIndex;
    child_ = 0;
    nodeType_ = 1;
    return true;
  }
  return false;
}

bool CMarkup::EnterElement() {
  if (current_ == 0 || nodeType_ != 1) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  nodeType_ = current_ != 0 ? 1 : 0;
  return true;
}

bool CMarkup::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = positions_[current_].parentIndex;
  nodeType_ = 1;
  return true;
}

std::string CMarkup::GetTagName() const {
  if (current_ == 0) return {};
  Token tag;
  FindToken(static_cast<size_t>(positions_[current_].startLeft) + 1, tag);
  return std::string(TokenText(tag));
}

const std::vector<CMarkup::AttributeToken>& CMarkup::AttributesOfCurrent() const {
  if (attributesOf_ == current_) return attributes_;
  attributes_.clear();
  attributesOf_ = current_;
  Token token;
  FindToken(static_cast<size_t>(positions_[current_].startLeft) + 1, token);  // the tag name
  for (size_t from = token.after; FindToken(from, token);) {
    from = token.after;
    if (token.quoted) continue;
    const char first = document_[token.start];
    if (first == '>' || first == '/' || first == '?') break;
    AttributeToken attribute{token, false, {}};
    Token equals;
    attribute.hasValue = FindToken(token.after, equals) && !equals.quoted && TokenText(equals) == "=" &&
                         FindToken(equals.after, attribute.value) && attribute.value.quoted;
    attributes_.push_back(attribute);
    if (attribute.hasValue) from = attribute.value.after;
  }
  return attributes_;
}

std::string CMarkup::GetAttribute(const char* name) const {
  if (name == nullptr || current_ == 0 || nodeType_ != 1) return {};
  const std::string_view given(name);
  for (const AttributeToken& attribute : AttributesOfCurrent()) {
    if (!given.empty() && !NameMatches(given, attribute.name)) continue;
    if (attribute.hasValue)
      return given.empty() ? std::string(TokenText(attribute.name)) : DecodeText(TokenText(attribute.value));
  }
  return {};
}

}  // namespace hf
