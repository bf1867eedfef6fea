#include "simulator/plist/XmlPlist.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "simulator/plist/Utf.h"

namespace plist {
namespace {

constexpr char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// ---- reader --------------------------------------------------------------------------------------------------

struct Tag {
  std::string name;
  bool closing = false;
  bool empty = false;  // <name/>
};

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}

  std::optional<Value> Document() {
    if (!SkipProlog()) return Fail("no root element");
    Tag root;
    if (!ReadTag(root) || root.closing) return Fail("bad root element");
    std::optional<Value> v;
    if (root.name == "plist") {
      if (root.empty) return Fail("empty plist");
      if (!SkipMisc()) return Fail("unexpected text in plist");
      Tag inner;
      if (!ReadTag(inner) || inner.closing) return Fail("plist holds no value");
      v = ValueFor(inner, 1);
      if (!v) return std::nullopt;
      if (!SkipMisc()) return Fail("unexpected text after value");
      Tag end;
      if (!ReadTag(end) || !end.closing || end.name != "plist") return Fail("plist not closed");
    } else {
      v = ValueFor(root, 1);  // a bare value without the plist element
      if (!v) return std::nullopt;
    }
    SkipMisc();
    if (pos_ != s_.size()) return Fail("text after the document");
    return v;
  }

  std::string error;

 private:
  std::nullopt_t Fail(const char* why) {
    if (error.empty()) error = std::string(why) + " at offset " + std::to_string(pos_);
    return std::nullopt;
  }

  bool StartsWith(std::string_view p) const { return s_.substr(pos_, p.size()) == p; }

  // Skips white space, comments and processing instructions; false on unterminated markup.
  bool SkipMisc() {
    for (;;) {
      while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
      if (StartsWith("<!--")) {
        size_t e = s_.find("-->", pos_ + 4);
        if (e == std::string_view::npos) return false;
        pos_ = e + 3;
      } else if (StartsWith("<?")) {
        size_t e = s_.find("?>", pos_ + 2);
        if (e == std::string_view::npos) return false;
        pos_ = e + 2;
      } else {
        return true;
      }
    }
  }

  bool SkipProlog() {
    if (StartsWith("\xEF\xBB\xBF")) pos_ += 3;
    for (;;) {
      if (!SkipMisc()) return false;
      if (!StartsWith("<!")) break;
      // A document type declaration; quoted texts may hold anything but their own quote.
      pos_ += 2;
      char quote = 0;
      int bracket = 0;
      while (pos_ < s_.size()) {
        char c = s_[pos_++];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '[') {
          ++bracket;
        } else if (c == ']') {
          --bracket;
        } else if (c == '>' && bracket <= 0) {
          break;
        }
      }
    }
    return pos_ < s_.size() && s_[pos_] == '<';
  }

  // Reads "<name ...>", "</name>" or "<name .../>" at the current position.
  bool ReadTag(Tag& tag) {
    if (pos_ >= s_.size() || s_[pos_] != '<') return false;
    ++pos_;
    tag = Tag{};
    if (pos_ < s_.size() && s_[pos_] == '/') {
      tag.closing = true;
      ++pos_;
    }
    size_t start = pos_;
    while (pos_ < s_.size() && !IsSpace(s_[pos_]) && s_[pos_] != '>' && s_[pos_] != '/') ++pos_;
    tag.name.assign(s_.substr(start, pos_ - start));
    if (tag.name.empty()) return false;
    char quote = 0;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        tag.empty = !tag.closing && pos_ >= 2 && s_[pos_ - 2] == '/';
        return true;
      }
    }
    return false;
  }

  // Character data up to the closing tag of `name`, with entities and CDATA sections resolved.
  std::optional<std::string> Text(const std::string& name) {
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) return Fail("unterminated element");
      char c = s_[pos_];
      if (c == '<') {
        if (StartsWith("<![CDATA[")) {
          size_t e = s_.find("]]>", pos_ + 9);
          if (e == std::string_view::npos) return Fail("unterminated CDATA");
          out.append(s_.substr(pos_ + 9, e - pos_ - 9));
          pos_ = e + 3;
          continue;
        }
        if (StartsWith("<!--")) {
          size_t e = s_.find("-->", pos_ + 4);
          if (e == std::string_view::npos) return Fail("unterminated comment");
          pos_ = e + 3;
          continue;
        }
        Tag end;
        if (!ReadTag(end) || !end.closing || end.name != name) return Fail("element not closed");
        return out;
      }
      if (c == '&') {
        size_t e = s_.find(';', pos_);
        if (e == std::string_view::npos || e - pos_ > 12) return Fail("bad entity");
        std::string_view ent = s_.substr(pos_ + 1, e - pos_ - 1);
        pos_ = e + 1;
        if (ent == "amp") out += '&';
        else if (ent == "lt") out += '<';
        else if (ent == "gt") out += '>';
        else if (ent == "quot") out += '"';
        else if (ent == "apos") out += '\'';
        else if (ent.size() > 1 && ent[0] == '#') {
          bool hex = ent[1] == 'x' || ent[1] == 'X';
          std::string digits(ent.substr(hex ? 2 : 1));
          if (digits.empty()) return Fail("bad character reference");
          char* end = nullptr;
          unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
          if (*end != '\0' || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Fail("bad character reference");
          AppendUtf8(out, static_cast<char32_t>(cp));
        } else {
          return Fail("unknown entity");
        }
        continue;
      }
      out += c;
      ++pos_;
    }
  }

  std::optional<Value> ValueFor(const Tag& tag, int depth) {
    if (depth > kMaxDepth) return Fail("nesting too deep");
    const std::string& n = tag.name;
    if (n == "true" || n == "false") {
      if (!tag.empty) {
        auto t = Text(n);
        if (!t) return std::nullopt;
      }
      return Value(n == "true");
    }
    if (n == "dict" || n == "array") {
      if (tag.empty) return n == "dict" ? Value(Dictionary{}) : Value(Array{});
      return n == "dict" ? Dict(depth) : List(depth);
    }
    std::string text;
    if (!tag.empty) {
      auto t = Text(n);
      if (!t) return std::nullopt;
      text = std::move(*t);
    }
    if (n == "string") {
      if (!IsValidUtf8(text)) return Fail("string is not UTF-8");
      return Value(std::move(text));
    }
    if (n == "integer") return IntegerValue(text);
    if (n == "real") {
      std::string t = Trim(text);
      if (t == "nan") return Value(Real{NAN});
      if (t == "+infinity" || t == "infinity") return Value(Real{INFINITY});
      if (t == "-infinity") return Value(Real{-INFINITY});
      char* end = nullptr;
      double d = std::strtod(t.c_str(), &end);
      if (t.empty() || *end != '\0') return Fail("bad real");
      return Value(Real{d});
    }
    if (n == "data") {
      auto bytes = DecodeBase64(text);
      if (!bytes) return Fail("bad base64 data");
      return Value(std::move(*bytes));
    }
    if (n == "date") {
      auto d = ParseDate(Trim(text));
      if (!d) return Fail("bad date");
      return Value(Date{*d});
    }
    return Fail("unknown element");
  }

  std::optional<Value> Dict(int depth) {
    Dictionary dict;
    for (;;) {
      if (!SkipMisc()) return Fail("unterminated markup");
      Tag t;
      if (!ReadTag(t)) return Fail("expected a key");
      if (t.closing) {
        if (t.name != "dict") return Fail("mismatched closing tag");
        return Value(std::move(dict));
      }
      if (t.name != "key") return Fail("expected a key");
      std::string key;
      if (!t.empty) {
        auto k = Text("key");
        if (!k) return std::nullopt;
        key = std::move(*k);
      }
      if (!IsValidUtf8(key)) return Fail("key is not UTF-8");
      if (!SkipMisc()) return Fail("unterminated markup");
      Tag vt;
      if (!ReadTag(vt) || vt.closing) return Fail("key without a value");
      auto v = ValueFor(vt, depth + 1);
      if (!v) return std::nullopt;
      dict.emplace_back(std::move(key), std::move(*v));
    }
  }

  std::optional<Value> List(int depth) {
    Array arr;
    for (;;) {
      if (!SkipMisc()) return Fail("unterminated markup");
      Tag t;
      if (!ReadTag(t)) return Fail("expected a value");
      if (t.closing) {
        if (t.name != "array") return Fail("mismatched closing tag");
        return Value(std::move(arr));
      }
      auto v = ValueFor(t, depth + 1);
      if (!v) return std::nullopt;
      arr.push_back(std::move(*v));
    }
  }

  static std::string Trim(const std::string& t) {
    size_t b = 0, e = t.size();
    while (b < e && IsSpace(t[b])) ++b;
    while (e > b && IsSpace(t[e - 1])) --e;
    return t.substr(b, e - b);
  }

  std::optional<Value> IntegerValue(const std::string& raw) {
    std::string t = Trim(raw);
    if (t.empty()) return Fail("empty integer");
    bool neg = t[0] == '-';
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    int base = 10;
    if (t.size() > i + 2 && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
    if (i >= t.size()) return Fail("bad integer");
    // The magnitude in 64 bits (no 128-bit type on 32-bit targets): more than that is out of range.
    uint64_t acc = 0;
    for (; i < t.size(); ++i) {
      int d;
      char c = t[i];
      if (c >= '0' && c <= '9') d = c - '0';
      else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return Fail("bad integer");
      if (acc > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base))
        return Fail("integer out of range");
      acc = acc * base + d;
    }
    if (neg) {
      constexpr uint64_t kMinMagnitude = uint64_t{1} << 63;
      if (acc > kMinMagnitude) return Fail("integer out of range");
      return Value(Integer{acc == kMinMagnitude ? INT64_MIN : -static_cast<int64_t>(acc)});
    }
    // Values above INT64_MAX keep their bits, as the platform's library stores them.
    return Value(Integer{static_cast<int64_t>(acc)});
  }

  static std::optional<double> ParseDate(const std::string& t) {
    int y, mo, d, h, mi, se;
    char z = 0;
    if (std::sscanf(t.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &z) != 7 || z != 'Z' ||
        t.size() != 20)
      return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 60) return std::nullopt;
    return DaysFromCivil(y, mo, d) * 86400.0 + h * 3600 + mi * 60 + se - DaysFromCivil(2001, 1, 1) * 86400.0;
  }

 public:
  // Days since 1970-01-01 of a proleptic Gregorian date.
  static int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

// ---- writer --------------------------------------------------------------------------------------------------

void Escape(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

std::string FormatReal(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "+infinity" : "-infinity";
  if (d == std::floor(d) && std::fabs(d) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", d);
    return buf;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  return buf;
}

std::string FormatDate(double seconds) {
  // Beyond about 300,000 years either way (or not a number) the calendar arithmetic below would overflow.
  if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13) seconds = 0;
  int64_t total = static_cast<int64_t>(std::floor(seconds)) + Reader::DaysFromCivil(2001, 1, 1) * 86400;
  int64_t days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
  int64_t rem = total - days * 86400;
  // Civil date from days since 1970-01-01.
  int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02d:%02d:%02dZ", static_cast<long long>(y), m, d,
                static_cast<int>(rem / 3600), static_cast<int>(rem % 3600 / 60), static_cast<int>(rem % 60));
  return buf;
}

void WriteValue(std::string& out, const Value& v, int depth) {
  std::string indent(depth, '\t');
  out += indent;
  if (auto* s = v.As<std::string>()) {
    out += "<string>";
    Escape(out, *s);
    out += "</string>\n";
  } else if (auto* i = v.As<Integer>()) {
    out += "<integer>" + std::to_string(i->value) + "</integer>\n";
  } else if (auto* r = v.As<Real>()) {
    out += "<real>" + FormatReal(r->value) + "</real>\n";
  } else if (auto* b = v.As<bool>()) {
    out += *b ? "<true/>\n" : "<false/>\n";
  } else if (auto* d = v.As<Bytes>()) {
    out += "<data>\n";
    std::string enc = EncodeBase64(*d);
    // Lines of base64 keep within 76 columns, counting a tab as eight.
    size_t width = std::max<int>(16, 76 - depth * 8) / 4 * 4;
    for (size_t p = 0; p < enc.size(); p += width) out += indent + enc.substr(p, width) + "\n";
    out += indent + "</data>\n";
  } else if (auto* dt = v.As<Date>()) {
    out += "<date>" + FormatDate(dt->seconds) + "</date>\n";
  } else if (auto* u = v.As<Uid>()) {
    // XML has no UID element; the platform writes it as a one-key dictionary.
    out += "<dict>\n" + indent + "\t<key>CF$UID</key>\n" + indent + "\t<integer>" + std::to_string(u->value) +
           "</integer>\n" + indent + "</dict>\n";
  } else if (auto* a = v.As<Array>()) {
    if (a->empty()) {
      out += "<array/>\n";
      return;
    }
    out += "<array>\n";
    for (const auto& e : *a) WriteValue(out, e, depth + 1);
    out += indent + "</array>\n";
  } else if (auto* dict = v.As<Dictionary>()) {
    if (dict->empty()) {
      out += "<dict/>\n";
      return;
    }
    out += "<dict>\n";
    std::vector<const std::pair<std::string, Value>*> entries;
    for (const auto& e : *dict) entries.push_back(&e);
    // The platform's writer sorts keys by their UTF-16 code units.
    std::stable_sort(entries.begin(), entries.end(), [](auto* x, auto* y) {
      return Utf8ToUtf16(x->first) < Utf8ToUtf16(y->first);
    });
    for (auto* e : entries) {
      out += indent + "\t<key>";
      Escape(out, e->first);
      out += "</key>\n";
      WriteValue(out, e->second, depth + 1);
    }
    out += indent + "</dict>\n";
  }
}

constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::optional<Value> ParseXml(std::string_view text, std::string* error) {
  Reader r(text);
  auto v = r.Document();
  if (!v && error) *error = r.error;
  return v;
}

std::string WriteXml(const Value& value) {
  std::string out = kHeader;
  WriteValue(out, value, 0);
  out += "</plist>\n";
  return out;
}

std::string EncodeBase64(const Bytes& b) {
  std::string out;
  out.reserve((b.size() + 2) / 3 * 4);
  for (size_t i = 0; i < b.size(); i += 3) {
    uint32_t n = b[i] << 16;
    if (i + 1 < b.size()) n |= b[i + 1] << 8;
    if (i + 2 < b.size()) n |= b[i + 2];
    out += kB64[(n >> 18) & 63];
    out += kB64[(n >> 12) & 63];
    out += i + 1 < b.size() ? kB64[(n >> 6) & 63] : '=';
    out += i + 2 < b.size() ? kB64[n & 63] : '=';
  }
  return out;
}

std::optional<Bytes> DecodeBase64(std::string_view text) {
  Bytes out;
  uint32_t acc = 0;
  int bits = 0;
  bool padding = false;
  for (char c : text) {
    if (IsSpace(c)) continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    if (padding) return std::nullopt;  // data after padding
    const char* p = c ? std::char_traits<char>::find(kB64, 64, c) : nullptr;
    if (!p) return std::nullopt;
    acc = (acc << 6) | static_cast<uint32_t>(p - kB64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>((acc >> bits) & 0xFF));
    }
  }
  return out;
}

}  // namespace plist
