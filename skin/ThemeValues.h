#pragma once
// Value syntaxes of the theme document and the placement rule. Malformed values never fail: they read as 0,
// -1 or the caller's default. Values too short for their fixed-width syntax take the default.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skin {

// Colours are 0x00BBGGRR: red in the low byte, then green, then blue.
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (static_cast<uint32_t>(b) << 16); }
inline constexpr uint32_t kKeyColor = Rgb(255, 0, 255);

// The leading decimal number (white space and a sign allowed), saturated to 32 bits; 0 when there is none.
int32_t ParseInt(std::wstring_view text);
// "center" reads as kCenter for the left and top placement values.
inline constexpr int32_t kCenter = 10000;
int32_t ParsePosition(std::wstring_view text);

// The RGB form: four leading characters and the last one are dropped, the rest split at "," into red, green
// and blue (missing ones 0), each cut to 8 bits. Values shorter than six characters give `fallback`.
uint32_t ParseRgb(std::wstring_view text, uint32_t fallback);

using Quad = std::array<int32_t, 4>;
using Pair = std::array<int32_t, 2>;
// "(a,b,c,d)": first and last characters dropped; missing numbers are -1. Shorter than three characters gives
// `fallback`.
Quad ParseQuad(std::wstring_view text, const Quad& fallback);
// "(a,b)": as above with at most two numbers; missing ones are 0.
Pair ParsePair(std::wstring_view text, const Pair& fallback);

// Item state bits.
enum StateBits : uint32_t {
  kStateNormal = 1,
  kStateOver = 2,
  kStateDown = 4,
  kStateDisable = 8,
  kStateCheckedDisable = 16,
  kStateCheckedNormal = 32,
  kStateCheckedOver = 64,
  kStateUncheckNormal = 128,
  kStateUncheckOver = 256,
  kStateAll = 512,
};
// A state list tested by substring ("normal|over|down"); "all" or empty means every state.
uint32_t ParseStateList(std::wstring_view text);

// Picture and entry kinds chosen by the last three characters of a name, upper-cased. Names shorter than
// three characters are unknown.
enum class FileKind { kUnknown, kBmp, kPng, kJpg, kIco, kGif, kXml };
FileKind FileKindFromName(std::wstring_view name);

std::wstring AsciiUpper(std::wstring_view text);

struct Placement {
  int32_t left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
};
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};
// Where a control (or child item) goes inside `ref`; none when left, top, right and bottom are all 0 (the
// control is not moved).
std::optional<Rect> Place(const Placement& p, const Rect& ref);

}  // namespace skin
