#include "skin/ThemeValues.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace skin {
namespace {

// Splits at "," into at most `max` integers.
std::vector<int32_t> SplitInts(std::wstring_view text, size_t max) {
  std::vector<int32_t> out;
  size_t start = 0;
  while (out.size() < max && start <= text.size()) {
    const size_t comma = text.find(L',', start);
    const size_t end = comma == std::wstring_view::npos ? text.size() : comma;
    out.push_back(ParseInt(text.substr(start, end - start)));
    if (comma == std::wstring_view::npos) break;
    start = comma + 1;
  }
  return out;
}

bool Contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != std::wstring_view::npos; }

}  // namespace

int32_t ParseInt(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n' ||
                             text[i] == L'\v' || text[i] == L'\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

int32_t ParsePosition(std::wstring_view text) { return text == L"center" ? kCenter : ParseInt(text); }

uint32_t ParseRgb(std::wstring_view text, uint32_t fallback) {
  if (text.size() < 6) return fallback;
  const auto parts = SplitInts(text.substr(4, text.size() - 5), 3);
  uint32_t c[3] = {0, 0, 0};
  for (size_t i = 0; i < parts.size(); ++i) c[i] = static_cast<uint32_t>(parts[i]) & 0xFF;
  return c[0] | (c[1] << 8) | (c[2] << 16);
}

Quad ParseQuad(std::wstring_view text, const Quad& fallback) {
  if (text.size() < 3) return fallback;
  Quad q = {-1, -1, -1, -1};
  const auto parts = SplitInts(text.substr(1, text.size() - 2), 4);
  for (size_t i = 0; i < parts.size(); ++i) q[i] = parts[i];
  return q;
}

Pair ParsePair(std::wstring_view text, const Pair& fallback) {
  if (text.size() < 3) return fallback;
  Pair p = {0, 0};
  const auto parts = SplitInts(text.substr(1, text.size() - 2), 2);
  for (size_t i = 0; i < parts.size(); ++i) p[i] = parts[i];
  return p;
}

uint32_t ParseStateList(std::wstring_view text) {
  if (text.empty() || text == L"all") return kStateAll;
  uint32_t s = 0;
  if (Contains(text, L"unchecknormal")) {
    s |= kStateUncheckNormal;
  } else if (Contains(text, L"checkednormal")) {
    s |= kStateCheckedNormal;
  } else if (Contains(text, L"normal")) {
    s |= kStateNormal;
  }
  if (Contains(text, L"uncheckover")) {
    s |= kStateUncheckOver;
  } else if (Contains(text, L"checkedover")) {
    s |= kStateCheckedOver;
  } else if (Contains(text, L"over")) {
    s |= kStateOver;
  }
  if (Contains(text, L"down")) s |= kStateDown;
  if (Contains(text, L"disable")) s |= kStateDisable;
  if (Contains(text, L"checkeddisable")) s |= kStateCheckedDisable;
  if (text == L"checked") s |= kStateCheckedNormal;
  return s;
}

std::wstring AsciiUpper(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
  return out;
}

FileKind FileKindFromName(std::wstring_view name) {
  if (name.size() < 3) return FileKind::kUnknown;
  const std::wstring tail = AsciiUpper(name.substr(name.size() - 3));
  if (tail == L"BMP") return FileKind::kBmp;
  if (tail == L"PNG") return FileKind::kPng;
  if (tail == L"JPG") return FileKind::kJpg;
  if (tail == L"ICO") return FileKind::kIco;
  if (tail == L"GIF") return FileKind::kGif;
  if (tail == L"XML") return FileKind::kXml;
  return FileKind::kUnknown;
}

std::optional<Rect> Place(const Placement& p, const Rect& ref) {
  if (p.left == 0 && p.top == 0 && p.right == 0 && p.bottom == 0) return std::nullopt;
  // 64-bit intermediates: theme values are untrusted and may be near the 32-bit limits.
  const int64_t x0 = ref.left, y0 = ref.top, x1 = ref.right, y1 = ref.bottom;
  int64_t x, y, r, b;
  if (p.left < 0) {
    x = x1 + p.left;
  } else if (p.left == kCenter) {
    x = x0 + (x1 - p.width - x0) / 2;
  } else {
    x = x0 + p.left;
  }
  if (p.top < 0) {
    y = y1 + p.top;
  } else if (p.top == kCenter) {
    y = y0 + (y1 - p.height - y0) / 2;
  } else {
    y = y0 + p.top;
  }
  if (p.width != 0) {
    r = x + p.width;
  } else {
    r = p.right > 0 ? p.right + x0 : p.right + x1;
  }
  if (p.height >= 1) {
    b = y + p.height;
  } else {
    b = p.bottom < 1 ? p.bottom + y1 : p.bottom + y0;
  }
  auto clamp = [](int64_t v) {
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
  };
  return Rect{clamp(x), clamp(y), clamp(r), clamp(b)};
}

}  // namespace skin
