#include "xml/XmlDocument.h"

#include <algorithm>
#include <new>

#include "xml/Utf8.h"
#include "xml/XmlEntities.h"

namespace xml {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// Characters that end a tag name in the text.
bool EndsTagName(wchar_t c) {
  switch (c) {
    case L'!': case L'"': case L'\'': case L'/': case L';': case L'<':
    case L'=': case L'>': case L'?': case L'\\':
      return true;
    default:
      return IsSpace(c);
  }
}

// Characters that end a name given to FindNextElement.
bool EndsWantedName(wchar_t c) { return c == L' ' || c == L'/' || c == L'=' || c == L'[' || c == L']'; }

// "<" followed by one of these starts a start tag: upper-case ASCII letters, ":", "_" and everything above
// the grave accent (lower-case letters and all non-ASCII characters).
bool StartsTagName(wchar_t c) { return (c >= L'A' && c <= L'Z') || c == L':' || c == L'_' || c > L'`'; }

bool StartsWith(std::wstring_view text, size_t at, std::wstring_view prefix) {
  return at <= text.size() && text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

std::wstring Number(size_t value) { return std::to_wstring(value); }

std::wstring EscapeAttribute(std::wstring_view value) {
  // Tag names in entries are cut, so that one entry cannot grow the report without bound.
  constexpr size_t kMaxShown = 100;
  std::wstring out;
  for (wchar_t c : value.substr(0, kMaxShown)) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The code point of a numeric reference body ("#65", "#x4e2d", folded to lower case), or 0 when it is not
// a valid one: no digits, a non-digit, 0, a surrogate or above U+10FFFF.
char32_t NumericReference(std::string_view ref) {
  const bool hex = ref.size() > 1 && ref[1] == 'x';
  std::string_view digits = ref.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  uint64_t value = 0;  // at most 8 digits fit in the reference length, no overflow
  for (char c : digits) {
    const int d = hex ? HexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return 0;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(d);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return static_cast<char32_t>(value);
}

}  // namespace

XmlDocument::XmlDocument() = default;

bool XmlDocument::LoadText(const wchar_t* text) {
  if (!text) {
    text_.clear();
    text_.shrink_to_fit();
    result_.clear();
    elements_.clear();
    ResetCursor();
    return false;
  }
  std::wstring copy;
  try {
    copy = text;
  } catch (const std::bad_alloc&) {
    return LoadText(std::wstring());  // reports the empty text, as one that could not be taken
  }
  return LoadText(std::move(copy));
}

bool XmlDocument::LoadText(std::wstring text) {
  try {
    return Load(std::move(text));
  } catch (const std::bad_alloc&) {
    // Out of memory part-way: the document is left empty and not well-formed, and says why if it can.
    text_.clear();
    text_.shrink_to_fit();
    elements_.clear();
    elements_.shrink_to_fit();
    result_.clear();
    ResetCursor();
    try {
      elements_.resize(1);
      elements_[0].flags |= kNotWellFormed;
      AddEntry(L"out_of_memory", {});
    } catch (const std::bad_alloc&) {
      elements_.clear();
    }
    return false;
  }
}

bool XmlDocument::Load(std::wstring text) {
  text_ = std::move(text);
  result_.clear();
  ResetCursor();
  elements_.clear();
  if (text_.size() > kMaxTextLength) {
    text_.clear();
    elements_.resize(1);
    elements_[0].flags |= kNotWellFormed;
    AddEntry(L"text_too_long", {});
    return false;
  }
  // At most one element per two "<" in well-formed text (start and end tag); reserving that once spares
  // the copies of a growing index on large documents. The guess is capped, so that text made of little
  // but "<" cannot reserve hundreds of megabytes: badly formed text grows the index by half as needed.
  const size_t markup = static_cast<size_t>(std::count(text_.begin(), text_.end(), L'<'));
  elements_.reserve(std::max(text_.size() / 64, std::min(markup / 2, kMaxReservedElements)) + 8);
  elements_.resize(1);
  Parse();
  ResetCursor();
  return IsWellFormed();
}

bool XmlDocument::IsWellFormed() const {
  return !elements_.empty() && elements_[0].first_child != 0 && !(elements_[0].flags & kNotWellFormed);
}

void XmlDocument::ResetCursor() {
  parent_ = 0;
  current_ = 0;
  child_ = 0;
}

void XmlDocument::AddEntry(std::wstring_view name,
                           std::initializer_list<std::pair<std::wstring_view, std::wstring>> attrs) {
  if (result_.size() > kMaxResultLength) return;
  result_ += L'<';
  result_ += name;
  for (const auto& [key, value] : attrs) {
    result_ += L' ';
    result_ += key;
    result_ += L"=\"";
    result_ += EscapeAttribute(value);
    result_ += L'"';
  }
  result_ += L"/>";
}

std::wstring_view XmlDocument::ElementName(const Element& e) const {
  std::wstring_view tag(text_.data() + e.start, e.start_tag_length);
  size_t end = 1;
  while (end < tag.size() && !EndsTagName(tag[end])) ++end;
  return tag.substr(1, end - 1);
}

bool XmlDocument::NameMatches(std::wstring_view tag, std::wstring_view wanted) const {
  if (tag.size() != wanted.size()) return false;
  bool fold = (flags_ & kIgnoreCase) != 0;
  for (size_t i = 0; i < tag.size(); ++i) {
    wchar_t a = tag[i];
    wchar_t b = wanted[i];
    if (a == b) {
      if (a > 0x7F) fold = false;  // after a non-ASCII match the comparison is exact
      continue;
    }
    if (!fold) return false;
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; };
    if (lower(a) != lower(b)) return false;
  }
  return true;
}

void XmlDocument::AppendChild(uint32_t parent, uint32_t child) {
  Element& p = elements_[parent];
  Element& c = elements_[child];
  c.parent = parent;
  c.next = 0;
  if (p.first_child == 0) {
    p.first_child = child;
    c.prev = child;
  } else {
    Element& first = elements_[p.first_child];
    const uint32_t last = first.prev;
    elements_[last].next = child;
    c.prev = last;
    first.prev = child;
  }
}

void XmlDocument::CloseImplicitly(uint32_t index, size_t closed_at) {
  Element& e = elements_[index];
  AddEntry(L"unended_start_tag",
           {{L"tagname", std::wstring(ElementName(e))}, {L"offset", Number(e.start)}, {L"offset2", Number(closed_at)}});
  e.length = e.start_tag_length;
  e.end_tag_length = 0;
  e.flags |= kNotEnded;
  if (e.first_child == 0) return;

  // Its children become its following siblings, in order, under its parent.
  const uint32_t first = e.first_child;
  const uint32_t last = elements_[first].prev;
  const uint32_t parent = e.parent;
  for (uint32_t c = first; c != 0; c = elements_[c].next) elements_[c].parent = parent;
  const uint32_t after = e.next;
  e.first_child = 0;
  e.next = first;
  elements_[first].prev = index;
  elements_[last].next = after;
  if (after != 0) {
    elements_[after].prev = last;
  } else {
    elements_[elements_[parent].first_child].prev = last;
  }
}

void XmlDocument::Parse() {
  const std::wstring_view t(text_);
  const size_t n = t.size();
  std::vector<uint32_t> open;
  auto unterminated = [&](const wchar_t* type, size_t at) {
    AddEntry(L"unterminated_tag_syntax", {{L"type", type}, {L"offset", Number(at)}});
  };

  size_t i = 0;
  while (i < n) {
    const size_t lt = t.find(L'<', i);
    if (lt == std::wstring_view::npos) break;
    i = lt;
    if (lt + 1 >= n) {
      AddEntry(L"first_tag_syntax", {{L"offset", Number(lt)}});
      break;
    }
    const wchar_t c = t[lt + 1];
    if (c == L'/') {
      const size_t gt = t.find(L'>', lt + 2);
      if (gt == std::wstring_view::npos) {
        unterminated(L"end_tag", lt);
        break;
      }
      size_t name_end = lt + 2;
      while (name_end < gt && !EndsTagName(t[name_end])) ++name_end;
      const std::wstring_view name = t.substr(lt + 2, name_end - (lt + 2));
      size_t k = open.size();
      while (k > 0 && !NameMatches(ElementName(elements_[open[k - 1]]), name)) --k;
      if (k == 0) {
        AddEntry(L"lone_end_tag", {{L"tagname", std::wstring(name)}, {L"offset", Number(lt)}});
        elements_[0].flags |= kNotWellFormed;
      } else {
        while (open.size() > k) {
          CloseImplicitly(open.back(), lt);
          open.pop_back();
        }
        Element& e = elements_[open.back()];
        e.length = static_cast<uint32_t>(gt + 1 - e.start);
        e.end_tag_length = static_cast<uint32_t>(gt + 1 - lt);
        open.pop_back();
      }
      i = gt + 1;
    } else if (c == L'?') {
      const size_t end = t.find(L"?>", lt + 2);
      if (end == std::wstring_view::npos) {
        unterminated(L"processing_instruction", lt);
        break;
      }
      i = end + 2;
    } else if (c == L'!') {
      if (StartsWith(t, lt, L"<!--")) {
        const size_t end = t.find(L"-->", lt + 4);
        if (end == std::wstring_view::npos) {
          unterminated(L"comment", lt);
          break;
        }
        i = end + 3;
      } else if (StartsWith(t, lt, L"<!-")) {
        AddEntry(L"comment_tag_syntax", {{L"offset", Number(lt)}});
        i = lt + 1;
      } else if (StartsWith(t, lt, L"<![")) {
        if (!StartsWith(t, lt, L"<![CDATA[")) {
          AddEntry(L"cdata_section_syntax", {{L"offset", Number(lt)}});
          i = lt + 1;
          continue;
        }
        const size_t end = t.find(L"]]>", lt + 9);
        if (end == std::wstring_view::npos) {
          unterminated(L"cdata_section", lt);
          break;
        }
        i = end + 3;
      } else if (StartsWith(t, lt, L"<!D")) {
        if (!StartsWith(t, lt, L"<!DOCTYPE") || lt + 9 >= n || !IsSpace(t[lt + 9])) {
          AddEntry(L"doctype_tag_syntax", {{L"offset", Number(lt)}});
          i = lt + 1;
          continue;
        }
        // Ends at the ">" outside the internal subset and outside quoted literals.
        size_t j = lt + 9;
        bool subset = false;
        wchar_t quote = 0;
        for (; j < n; ++j) {
          const wchar_t d = t[j];
          if (quote) {
            if (d == quote) quote = 0;
          } else if (d == L'"' || d == L'\'') {
            quote = d;
          } else if (d == L'[') {
            subset = true;
          } else if (d == L']') {
            subset = false;
          } else if (d == L'>' && !subset) {
            break;
          }
        }
        if (j >= n) {
          unterminated(L"document_type", lt);
          break;
        }
        i = j + 1;
      } else {
        AddEntry(L"exclamation_tag_syntax", {{L"offset", Number(lt)}});
        i = lt + 1;
      }
    } else if (StartsTagName(c)) {
      size_t j = lt + 1;
      wchar_t quote = 0;
      for (; j < n; ++j) {
        const wchar_t d = t[j];
        if (quote) {
          if (d == quote) quote = 0;
        } else if (d == L'"' || d == L'\'') {
          quote = d;
        } else if (d == L'>') {
          break;
        }
      }
      if (j >= n) {
        unterminated(L"start_tag", lt);
        break;
      }
      const bool empty = t[j - 1] == L'/';
      if (elements_.size() == elements_.capacity()) elements_.reserve(elements_.size() + elements_.size() / 2);
      const uint32_t index = static_cast<uint32_t>(elements_.size());
      elements_.emplace_back();
      Element& e = elements_.back();
      e.start = static_cast<uint32_t>(lt);
      e.start_tag_length = static_cast<uint32_t>(j + 1 - lt);
      e.length = e.start_tag_length;
      AppendChild(open.empty() ? 0 : open.back(), index);
      i = j + 1;
      if (!empty) {
        if (open.size() >= kMaxDepth) {
          AddEntry(L"depth_limit", {{L"offset", Number(lt)}});
          elements_[0].flags |= kNotWellFormed;
          break;
        }
        open.push_back(index);
      }
    } else {
      AddEntry(L"first_tag_syntax", {{L"offset", Number(lt)}});
      i = lt + 1;
    }
  }

  while (!open.empty()) {
    CloseImplicitly(open.back(), n);
    open.pop_back();
  }

  const uint32_t root = elements_[0].first_child;
  if (root == 0) {
    AddEntry(L"no_root_element", {});
    elements_[0].flags |= kNotWellFormed;
  } else if (elements_[root].next != 0) {
    AddEntry(L"root_has_sibling", {});
    elements_[0].flags |= kNotWellFormed;
  }
}

bool XmlDocument::FindNextElement(std::wstring_view name) {
  if (elements_.empty()) return false;
  if (!name.empty()) {
    if (name[0] == L'/' || !StartsTagName(name[0])) return false;
    size_t end = 0;
    while (end < name.size() && !EndsWantedName(name[end])) ++end;
    name = name.substr(0, end);
  }
  uint32_t candidate = current_ ? elements_[current_].next : elements_[parent_].first_child;
  for (; candidate != 0; candidate = elements_[candidate].next) {
    if (name.empty() || NameMatches(ElementName(elements_[candidate]), name)) {
      current_ = candidate;
      parent_ = elements_[candidate].parent;
      child_ = 0;
      return true;
    }
  }
  return false;
}

bool XmlDocument::EnterElement() {
  if (current_ == 0) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlDocument::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = elements_[current_].parent;
  return true;
}

std::wstring XmlDocument::Attribute(std::wstring_view name) const try {
  if (current_ == 0 || name.empty()) return {};
  const Element& e = elements_[current_];
  const std::wstring_view tag(text_.data() + e.start, e.start_tag_length);
  const auto space = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
  size_t i = 1;
  while (i < tag.size() && !EndsTagName(tag[i])) ++i;
  while (i < tag.size()) {
    while (i < tag.size() && space(tag[i])) ++i;
    if (i >= tag.size() || tag[i] == L'>' || tag[i] == L'/') break;
    const size_t name_start = i;
    while (i < tag.size() && !space(tag[i]) && tag[i] != L'=' && tag[i] != L'>' && tag[i] != L'/') ++i;
    const std::wstring_view attr = tag.substr(name_start, i - name_start);
    while (i < tag.size() && space(tag[i])) ++i;
    if (attr.empty()) {
      ++i;  // a stray character; step over it
      continue;
    }
    if (i >= tag.size() || tag[i] != L'=') {
      if (NameMatches(attr, name)) return {};
      continue;
    }
    ++i;
    while (i < tag.size() && space(tag[i])) ++i;
    std::wstring_view value;
    if (i < tag.size() && (tag[i] == L'"' || tag[i] == L'\'')) {
      const wchar_t quote = tag[i++];
      const size_t end = tag.find(quote, i);
      const size_t stop = end == std::wstring_view::npos ? tag.size() : end;
      value = tag.substr(i, stop - i);
      i = end == std::wstring_view::npos ? tag.size() : end + 1;
    } else {
      const size_t value_start = i;
      while (i < tag.size() && !space(tag[i]) && tag[i] != L'>') ++i;
      value = tag.substr(value_start, i - value_start);
    }
    if (NameMatches(attr, name)) {
      std::wstring out;
      AppendDecoded(value, out);
      return out;
    }
  }
  return {};
} catch (const std::bad_alloc&) {
  return {};  // out of memory: no data rather than an exception
}

std::wstring XmlDocument::TagName() const try {
  if (current_ == 0) return {};
  return std::wstring(ElementName(elements_[current_]));
} catch (const std::bad_alloc&) {
  return {};  // out of memory: no data rather than an exception
}

std::wstring XmlDocument::ElementData() const try {
  if (current_ == 0) return {};
  const Element& e = elements_[current_];
  if (e.length == e.start_tag_length || e.first_child != 0) return {};
  const std::wstring_view content(text_.data() + e.start + e.start_tag_length,
                                  e.length - e.start_tag_length - e.end_tag_length);
  std::wstring out;
  size_t i = 0;
  while (i < content.size()) {
    const size_t lt = content.find(L'<', i);
    AppendDecoded(content.substr(i, lt == std::wstring_view::npos ? std::wstring_view::npos : lt - i), out);
    if (lt == std::wstring_view::npos) break;
    if (StartsWith(content, lt, L"<![CDATA[")) {
      const size_t end = content.find(L"]]>", lt + 9);
      out += content.substr(lt + 9, end == std::wstring_view::npos ? std::wstring_view::npos : end - (lt + 9));
      if (end == std::wstring_view::npos) break;
      i = end + 3;
    } else if (StartsWith(content, lt, L"<!--")) {
      const size_t end = content.find(L"-->", lt + 4);
      if (end == std::wstring_view::npos) break;
      i = end + 3;
    } else if (StartsWith(content, lt, L"<?")) {
      const size_t end = content.find(L"?>", lt + 2);
      if (end == std::wstring_view::npos) break;
      i = end + 2;
    } else {
      // Any other markup left in the content (a lone end tag, say) is not data.
      const size_t end = content.find(L'>', lt + 1);
      if (end == std::wstring_view::npos) break;
      i = end + 1;
    }
  }
  return ApplyWhitespaceFlags(std::move(out));
} catch (const std::bad_alloc&) {
  return {};  // out of memory: no data rather than an exception
}

std::wstring XmlDocument::DecodeText(std::wstring_view raw) const try {
  std::wstring out;
  AppendDecoded(raw, out);
  return ApplyWhitespaceFlags(std::move(out));
} catch (const std::bad_alloc&) {
  return {};  // out of memory: no data rather than an exception
}

void XmlDocument::AppendDecoded(std::wstring_view raw, std::wstring& out) const {
  constexpr size_t kMaxReference = 9;
  out.reserve(out.size() + raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    const wchar_t c = raw[i];
    if (c != L'&') {
      out.push_back(c);
      continue;
    }
    size_t semi = i + 1;
    while (semi < raw.size() && semi - (i + 1) <= kMaxReference && raw[semi] != L';') ++semi;
    if (semi >= raw.size() || raw[semi] != L';' || semi - (i + 1) > kMaxReference) {
      out.push_back(c);
      continue;
    }
    std::string ref;
    bool ascii = true;
    for (size_t k = i + 1; k < semi; ++k) {
      wchar_t r = raw[k];
      if (r > 0x7F) {
        ascii = false;
        break;
      }
      if (r >= L'A' && r <= L'Z') r = static_cast<wchar_t>(r + 32);
      ref.push_back(static_cast<char>(r));
    }
    char32_t cp = 0;
    if (ascii && !ref.empty()) cp = ref[0] == '#' ? NumericReference(ref) : LookupEntity(ref);
    if (cp == 0) {
      out.push_back(c);
      continue;
    }
    AppendCodePoint(cp, out);
    i = semi;
  }
}

std::wstring XmlDocument::ApplyWhitespaceFlags(std::wstring data) const {
  if (flags_ & kTrimWhitespace) {
    size_t b = 0;
    while (b < data.size() && IsSpace(data[b])) ++b;
    size_t e = data.size();
    while (e > b && IsSpace(data[e - 1])) --e;
    data = data.substr(b, e - b);
  }
  if (flags_ & kCollapseWhitespace) {
    std::wstring out;
    out.reserve(data.size());
    bool in_space = false;
    for (wchar_t c : data) {
      if (IsSpace(c)) {
        if (!in_space) out.push_back(L' ');
        in_space = true;
      } else {
        out.push_back(c);
        in_space = false;
      }
    }
    data = std::move(out);
  }
  return data;
}

}  // namespace xml
