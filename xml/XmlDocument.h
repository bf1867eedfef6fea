#pragma once
// A forgiving XML document: holds one text, indexes its elements in a single pass without copying the
// text, and lets the caller walk the elements like a cursor. Badly formed input is indexed as far as it
// goes; every problem becomes an entry in Result() instead of a failure.
//
//   xml::XmlDocument doc;
//   doc.LoadText(reply);
//   if (doc.FindNextElement() && doc.EnterElement() && doc.FindNextElement(L"dict") && doc.EnterElement())
//     while (doc.FindNextElement(L"key")) { ... doc.ElementData() ... }
//
// Platform-free; the text is wide (UTF-16 on Windows, UTF-32 elsewhere).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xml {

class XmlDocument {
 public:
  enum Flags : unsigned {
    kIgnoreCase = 1u << 0,          // ASCII letters of tag names compare without regard to case
    kTrimWhitespace = 1u << 1,      // ElementData drops leading and trailing white space
    kCollapseWhitespace = 1u << 2,  // ElementData turns every run of white space into one space
  };
  // Guards against hostile input: deeper nesting ends the parse (entry "depth_limit"); a longer text is
  // not parsed at all (entry "text_too_long").
  static constexpr size_t kMaxDepth = 256;
  static constexpr size_t kMaxTextLength = size_t{16} << 20;
  // The most index records reserved ahead of a parse, whatever the text; the index grows beyond as needed.
  static constexpr size_t kMaxReservedElements = size_t{1} << 18;
  // No entry is added to the result once it is longer than this.
  static constexpr size_t kMaxResultLength = 999;

  XmlDocument();

  // Replaces the text and its index. True when the document is well-formed: it has exactly one root
  // element and no end tag was left unmatched. A null text empties the document. Nothing here throws:
  // out of memory leaves an empty document that is not well-formed (entry "out_of_memory"), and the
  // readers below give empty texts.
  bool LoadText(std::wstring text);
  bool LoadText(const wchar_t* text);

  // Moves the cursor to the next sibling element named `name` (any element when empty), or to the first
  // such child of the parent when there is no current element. False, cursor unchanged, when none.
  bool FindNextElement(std::wstring_view name = {});
  // Steps into the current element: it becomes the parent and there is no current element.
  bool EnterElement();
  // Data of the current element: its text with references decoded and CDATA kept, comments and
  // processing instructions left out. Empty for an empty element or one with child elements.
  std::wstring ElementData() const;
  // Tag name of the current element; empty when there is none.
  std::wstring TagName() const;
  // Back to the document: no parent, no current element.
  void ResetCursor();
  // Steps out of the parent: the parent becomes the current element again and its siblings the search
  // level. False at the document level.
  bool LeaveElement();
  // Value of attribute `name` of the current element, with references decoded as element data does;
  // empty when there is no current element or no such attribute. Names compare like tag names.
  std::wstring Attribute(std::wstring_view name) const;

  // The report of the last parse, itself XML: one empty element per problem, in the order found.
  const std::wstring& Result() const { return result_; }
  bool IsWellFormed() const;
  const std::wstring& Text() const { return text_; }

  void SetFlags(unsigned flags) { flags_ = flags; }
  unsigned GetFlags() const { return flags_; }

  // Decodes character references in `raw` as element data does (one level, "&amp;lt;" gives "&lt;").
  std::wstring DecodeText(std::wstring_view raw) const;

 private:
  bool Load(std::wstring text);
  // One record per element; record 0 stands for the whole document.
  struct Element {
    uint32_t start = 0;          // offset of the "<" of the start tag
    uint32_t length = 0;         // to the end of the end tag, or of the start tag when there is none
    uint32_t start_tag_length = 0;
    uint32_t end_tag_length = 0;
    uint32_t flags = 0;
    uint32_t parent = 0;
    uint32_t first_child = 0;
    uint32_t next = 0;           // 0 for the last child
    uint32_t prev = 0;           // the first child's prev is the last child
  };
  enum ElementFlags : uint32_t {
    kNotEnded = 1u << 16,       // closed implicitly; shrunk to its start tag
    kNotWellFormed = 1u << 17,  // record 0 only
  };

  void Parse();
  void AppendChild(uint32_t parent, uint32_t child);
  void CloseImplicitly(uint32_t index, size_t closed_at);
  void AddEntry(std::wstring_view name, std::initializer_list<std::pair<std::wstring_view, std::wstring>> attrs);
  std::wstring_view ElementName(const Element& e) const;
  bool NameMatches(std::wstring_view tag, std::wstring_view wanted) const;
  void AppendDecoded(std::wstring_view raw, std::wstring& out) const;
  std::wstring ApplyWhitespaceFlags(std::wstring data) const;

  std::wstring text_;
  std::wstring result_;
  std::vector<Element> elements_;
  uint32_t parent_ = 0;
  uint32_t current_ = 0;
  uint32_t child_ = 0;
  unsigned flags_ = 0;
};

}  // namespace xml
