// Decoder tables: every fixture decodes to the expected size and pixels, and its truncated, corrupted and
// absurdly sized variants fail cleanly with an empty picture.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>

#include "skin/ImageFixtures.h"
#include "skin/draw/CxImage.h"

using namespace skin_test;

namespace {

void SetBe32(Bytes& b, size_t at, uint32_t v) {
  b[at] = v >> 24, b[at + 1] = (v >> 16) & 0xFF, b[at + 2] = (v >> 8) & 0xFF, b[at + 3] = v & 0xFF;
}
void SetLe32(Bytes& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF, b[at + 2] = (v >> 16) & 0xFF, b[at + 3] = v >> 24;
}
void SetLe16(Bytes& b, size_t at, uint16_t v) { b[at] = v & 0xFF, b[at + 1] = v >> 8; }

// PNG with a new IHDR size and a correct chunk CRC, so that only the size checks can refuse it.
Bytes PngWithSize(Bytes b, uint32_t w, uint32_t h) {
  SetBe32(b, 16, w);
  SetBe32(b, 20, h);
  SetBe32(b, 29, static_cast<uint32_t>(crc32(0, b.data() + 12, 17)));
  return b;
}

// Position of the first marker `m` (0xFF m) in a JPEG stream.
size_t FindMarker(const Bytes& b, uint8_t m) {
  for (size_t i = 2; i + 1 < b.size(); ++i) {
    if (b[i] == 0xFF && b[i + 1] == m) return i;
  }
  return 0;
}
size_t FindSof(const Bytes& b) {
  const size_t s = FindMarker(b, 0xC0);
  return s ? s : FindMarker(b, 0xC2);
}

using Check = std::function<void(const CxImage&)>;

struct DecoderCase {
  const char* name;
  Bytes bytes;
  int kind;
  uint32_t width, height;
  bool alpha;
  Check check;
  std::function<Bytes(Bytes)> corrupt;
  std::function<Bytes(Bytes)> absurd;
};

void PrintTo(const DecoderCase& c, std::ostream* os) { *os << c.name; }

void ExpectPattern(const CxImage& img, int tolerance, bool check_alpha) {
  for (uint32_t y = 0; y < img.GetHeight(); y += 3) {
    for (uint32_t x = 0; x < img.GetWidth(); x += 3) {
      const Rgba want = Pattern(x, y);
      const uint32_t got = img.GetPixelColor(x, y);
      ASSERT_NEAR(got & 0xFF, want.r, tolerance) << x << "," << y;
      ASSERT_NEAR((got >> 8) & 0xFF, want.g, tolerance) << x << "," << y;
      ASSERT_NEAR(got >> 16, want.b, tolerance) << x << "," << y;
      if (check_alpha) {
        ASSERT_EQ(img.GetPixelAlpha(x, y), want.a) << x << "," << y;
      }
    }
  }
}

std::vector<DecoderCase> Cases() {
  const auto exact = [](const CxImage& i) { ExpectPattern(i, 0, false); };
  const auto exact_alpha = [](const CxImage& i) { ExpectPattern(i, 0, true); };
  const auto lossy = [](const CxImage& i) { ExpectPattern(i, 12, false); };
  const auto bmp_depth = [](Bytes b) { return SetLe16(b, 28, 7), b; };
  const auto bmp_size = [](Bytes b) { return SetLe32(b, 18, 100000), b; };
  const auto png_crc = [](Bytes b) {
    // A flipped byte inside the image data breaks the chunk's CRC.
    for (size_t i = 8; i + 8 < b.size(); ++i)
      if (b[i] == 'I' && b[i + 1] == 'D' && b[i + 2] == 'A' && b[i + 3] == 'T') return b[i + 6] ^= 0x55, b;
    return b;
  };
  const auto png_size = [](Bytes b) { return PngWithSize(std::move(b), 20000, 20000); };
  const auto jpeg_components = [](Bytes b) { return b[FindSof(b) + 9] = 0, b; };
  const auto jpeg_size = [](Bytes b) {
    const size_t s = FindSof(b);
    b[s + 5] = 0x9C, b[s + 6] = 0x40, b[s + 7] = 0x9C, b[s + 8] = 0x40;  // 40000 x 40000: libjpeg takes it
    return b;
  };
  const auto ico_offset = [](Bytes b) { return SetLe32(b, 18, 0x7FFFFFF0), b; };
  const auto ico_size = [](Bytes b) { return SetLe32(b, 22 + 4, 100000), b; };
  const auto ico_png_size = [](Bytes b) {
    // The PNG stream inside the icon claims 20000 x 20000.
    const Bytes inner = PngWithSize(Bytes(b.begin() + 22, b.end()), 20000, 20000);
    std::copy(inner.begin(), inner.end(), b.begin() + 22);
    return b;
  };
  const auto gif_code_size = [](Bytes b) {
    // The LZW minimum code size follows the first image descriptor.
    for (size_t i = 0; i + 10 < b.size(); ++i)
      if (b[i] == 0x2C) return b[i + 10] = 12, b;
    return b;
  };
  const auto gif_size = [](Bytes b) { return SetLe16(b, 6, 65535), SetLe16(b, 8, 65535), b; };
  const auto palette_check = [](const CxImage& i) {
    // Index (x + y) % 4: 0 transparent black, 1 red, 2 green, 3 half-transparent blue.
    EXPECT_EQ(i.GetPixelAlpha(0, 0), 0);
    EXPECT_EQ(i.GetPixelColor(1, 0), 0x0000FFu);
    EXPECT_EQ(i.GetPixelAlpha(1, 0), 255);
    EXPECT_EQ(i.GetPixelColor(2, 0), 0x00FF00u);
    EXPECT_EQ(i.GetPixelColor(3, 0), 0xFF0000u);
    EXPECT_EQ(i.GetPixelAlpha(3, 0), 128);
  };
  const auto grey_check = [](const CxImage& i) {
    for (uint32_t x = 0; x < i.GetWidth(); ++x) {
      const uint32_t v = Pattern(x, 0).r;
      EXPECT_EQ(i.GetPixelColor(x, 0), v | v << 8 | v << 16);
    }
  };
  const auto bmp8_check = [](const CxImage& i) {
    EXPECT_EQ(i.GetPixelColor(0, 0), Bgr(Pattern(0, 0)));
    EXPECT_EQ(i.GetPixelColor(1, 0), Bgr(Pattern(i.GetWidth() - 1, 0)));
    EXPECT_EQ(i.GetPixelColor(0, 1), Bgr(Pattern(0, i.GetHeight() - 1)));
    EXPECT_EQ(i.GetPixelColor(1, 1), Bgr(Pattern(i.GetWidth() - 1, i.GetHeight() - 1)));
  };
  const auto ico24_check = [](const CxImage& i) {
    ExpectPattern(i, 0, false);
    EXPECT_EQ(i.GetPixelAlpha(0, 0), 0);
    EXPECT_EQ(i.GetPixelAlpha(i.GetWidth() / 2 - 1, 5), 0);
    EXPECT_EQ(i.GetPixelAlpha(i.GetWidth() / 2, 5), 255);
  };
  const auto gif_check = [](const CxImage& i) {
    // Row y has index y % 4 (black, red, green, blue); the interlaced frame must land on the right rows.
    const uint32_t colours[4] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    for (uint32_t y = 0; y < i.GetHeight(); ++y) EXPECT_EQ(i.GetPixelColor(3, y), colours[y % 4]) << y;
  };
  GifFrame interlaced{0, 0, 7, 13, 0, 0, -1, true, true};
  return {
      {"png_rgba", MakePng(13, 7, PngKind::kRgba), CXIMAGE_FORMAT_PNG, 13, 7, true, exact_alpha, png_crc, png_size},
      {"png_rgb", MakePng(13, 7, PngKind::kRgb), CXIMAGE_FORMAT_PNG, 13, 7, false, exact, png_crc, png_size},
      {"png_palette_trns", MakePng(8, 8, PngKind::kPaletteTrns), CXIMAGE_FORMAT_PNG, 8, 8, true, palette_check,
       png_crc, png_size},
      {"png_grey", MakePng(9, 4, PngKind::kGrey), CXIMAGE_FORMAT_PNG, 9, 4, false, grey_check, png_crc, png_size},
      {"jpeg_baseline", MakeJpeg(16, 16, false), CXIMAGE_FORMAT_JPG, 16, 16, false, lossy, jpeg_components,
       jpeg_size},
      {"jpeg_progressive", MakeJpeg(16, 16, true), CXIMAGE_FORMAT_JPG, 16, 16, false, lossy, jpeg_components,
       jpeg_size},
      {"jpeg_grey", MakeJpeg(16, 8, false, true), CXIMAGE_FORMAT_JPG, 16, 8, false, nullptr, jpeg_components,
       jpeg_size},
      {"ico_32", MakeIco(16, 16, 32), CXIMAGE_FORMAT_ICO, 16, 16, true, exact_alpha, ico_offset, ico_size},
      {"ico_24_mask", MakeIco(16, 16, 24), CXIMAGE_FORMAT_ICO, 16, 16, true, ico24_check, ico_offset, ico_size},
      {"ico_png", MakePngIco(16, 16), CXIMAGE_FORMAT_ICO, 16, 16, true, exact_alpha, ico_offset, ico_png_size},
      {"bmp_24", MakeBmp(11, 5, 24), CXIMAGE_FORMAT_BMP, 11, 5, false, exact, bmp_depth, bmp_size},
      {"bmp_24_top_down", MakeBmp(11, 5, 24, true), CXIMAGE_FORMAT_BMP, 11, 5, false, exact, bmp_depth, bmp_size},
      {"bmp_32", MakeBmp(11, 5, 32), CXIMAGE_FORMAT_BMP, 11, 5, true, exact_alpha, bmp_depth, bmp_size},
      {"bmp_8", MakeBmp(11, 5, 8), CXIMAGE_FORMAT_BMP, 11, 5, false, bmp8_check, bmp_depth, bmp_size},
      {"gif_interlaced", MakeGif(7, 13, {interlaced}), CXIMAGE_FORMAT_GIF, 7, 13, false, gif_check, gif_code_size,
       gif_size},
  };
}

class DecoderTable : public ::testing::TestWithParam<DecoderCase> {};

TEST_P(DecoderTable, DecodesFixture) {
  const DecoderCase& c = GetParam();
  ASSERT_FALSE(c.bytes.empty());
  CxImage img(c.bytes.data(), c.bytes.size(), c.kind);
  ASSERT_TRUE(img.IsValid()) << img.GetLastError();
  EXPECT_EQ(img.GetWidth(), c.width);
  EXPECT_EQ(img.GetHeight(), c.height);
  EXPECT_EQ(img.HasAlpha(), c.alpha);
  EXPECT_EQ(img.GetType(), c.kind);
  if (c.check) c.check(img);

  // Detection finds the same picture.
  CxImage detected(c.bytes.data(), c.bytes.size(), CXIMAGE_FORMAT_UNKNOWN);
  EXPECT_EQ(detected.GetWidth(), c.width);
  EXPECT_EQ(detected.GetType(), c.kind);
}

TEST_P(DecoderTable, TruncatedFailsEmpty) {
  const DecoderCase& c = GetParam();
  for (size_t keep : {c.bytes.size() / 2, c.bytes.size() * 3 / 4, size_t{10}, size_t{0}}) {
    Bytes cut(c.bytes.begin(), c.bytes.begin() + keep);
    CxImage img(cut.data(), cut.size(), c.kind);
    EXPECT_FALSE(img.IsValid()) << "kept " << keep;
    EXPECT_EQ(img.GetBits(), nullptr);
    EXPECT_FALSE(img.GetLastError().empty());
  }
}

TEST_P(DecoderTable, CorruptFailsEmpty) {
  const DecoderCase& c = GetParam();
  const Bytes bad = c.corrupt(c.bytes);
  CxImage img(bad.data(), bad.size(), c.kind);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.GetBits(), nullptr);
}

TEST_P(DecoderTable, AbsurdSizeRefusedBeforeAllocation) {
  const DecoderCase& c = GetParam();
  const Bytes big = c.absurd(c.bytes);
  CxImage img(big.data(), big.size(), c.kind);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.GetBits(), nullptr);
  // Refused by the size caps, not by running out of data after allocating the pixels.
  EXPECT_NE(img.GetLastError().find("size out of range"), std::string::npos) << img.GetLastError();
}

INSTANTIATE_TEST_SUITE_P(Formats, DecoderTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CxImageBmpHeader, RejectsInconsistentHeaders) {
  struct Row {
    const char* what;
    size_t at;
    uint32_t value;
    int width;  // 4: 32-bit field, 2: 16-bit field
  };
  const Row rows[] = {
      {"pixel offset past the end", 10, 0x10000, 4},
      {"pixel offset inside the file header", 10, 4, 4},
      {"info header larger than the file", 14, 0x1000, 4},
      {"unknown info header size", 14, 20, 4},
      {"zero width", 18, 0, 4},
      {"negative width", 18, 0xFFFFFFF0, 4},
      {"zero height", 22, 0, 4},
      {"two planes", 26, 2, 2},
      {"rle compression", 30, 1, 4},
      {"bit fields on 24 bits", 30, 3, 4},
      {"height beyond the data", 22, 50, 4},
      {"most negative height", 22, 0x80000000, 4},
  };
  for (const Row& r : rows) {
    Bytes b = MakeBmp(11, 5, 24);
    if (r.width == 4) {
      SetLe32(b, r.at, r.value);
    } else {
      SetLe16(b, r.at, static_cast<uint16_t>(r.value));
    }
    CxImage img(b.data(), b.size(), CXIMAGE_FORMAT_BMP);
    EXPECT_FALSE(img.IsValid()) << r.what;
  }
}

TEST(CxImageBmpHeader, PaletteCountCappedByDepth) {
  Bytes b = MakeBmp(4, 4, 8);
  SetLe32(b, 46, 0xFFFFFFFF);  // colours used: absurd; the table is then the full 256 entries, past the data
  CxImage img(b.data(), b.size(), CXIMAGE_FORMAT_BMP);
  EXPECT_FALSE(img.IsValid());
}

TEST(CxImageIco, DirectoryCountBeyondFileIsRefused) {
  Bytes b = MakeIco(16, 16, 32);
  SetLe16(b, 4, 60000);
  CxImage img(b.data(), b.size(), CXIMAGE_FORMAT_ICO);
  EXPECT_FALSE(img.IsValid());
}

TEST(CxImageIco, PicksLargestEntry) {
  // Two entries: 8x8 then 16x16; the larger one is decoded.
  const Bytes small = MakeIco(8, 8, 32), large = MakeIco(16, 16, 32);
  const Bytes small_dib(small.begin() + 22, small.end()), large_dib(large.begin() + 22, large.end());
  Bytes b;
  b.insert(b.end(), {0, 0, 1, 0, 2, 0});
  const uint32_t first = 6 + 32;
  const uint32_t second = first + static_cast<uint32_t>(small_dib.size());
  for (auto [w, size, off] : {std::tuple{8u, small_dib.size(), first}, std::tuple{16u, large_dib.size(), second}}) {
    b.insert(b.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w), 0, 0, 1, 0, 32, 0});
    Bytes le(8);
    SetLe32(le, 0, static_cast<uint32_t>(size));
    SetLe32(le, 4, off);
    b.insert(b.end(), le.begin(), le.end());
  }
  b.insert(b.end(), small_dib.begin(), small_dib.end());
  b.insert(b.end(), large_dib.begin(), large_dib.end());
  CxImage img(b.data(), b.size(), CXIMAGE_FORMAT_ICO);
  ASSERT_TRUE(img.IsValid()) << img.GetLastError();
  EXPECT_EQ(img.GetWidth(), 16u);
}

TEST(CxImageDecode, UnknownKindFailsWithText) {
  const Bytes png = MakePng(4, 4, PngKind::kRgb);
  CxImage img(png.data(), png.size(), 7);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(CxImageLoad, WrongKindFallsBackToDetectionOnce) {
  const auto dir = std::filesystem::temp_directory_path();
  const auto png_path = dir / "cximage_load_test.bmp";
  const auto junk_path = dir / "cximage_load_junk.png";
  const Bytes png = MakePng(5, 3, PngKind::kRgba);
  std::ofstream(png_path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
  std::ofstream(junk_path, std::ios::binary) << "not a picture at all";

  CxImage ok;
  EXPECT_TRUE(ok.Load(png_path.wstring(), CXIMAGE_FORMAT_BMP));
  EXPECT_EQ(ok.GetWidth(), 5u);
  EXPECT_EQ(ok.GetType(), CXIMAGE_FORMAT_PNG);

  CxImage bad;
  EXPECT_FALSE(bad.Load(junk_path.wstring(), CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(bad.GetLastError().rfind("PNG:", 0), 0u) << "first error text kept: " << bad.GetLastError();

  CxImage missing;
  EXPECT_FALSE(missing.Load((dir / "no_such_picture.png").wstring(), CXIMAGE_FORMAT_PNG));
  EXPECT_FALSE(missing.IsValid());
  std::filesystem::remove(png_path);
  std::filesystem::remove(junk_path);
}

TEST(CxImageCrop, KeepsRectangleWithAlpha) {
  const Bytes png = MakePng(13, 7, PngKind::kRgba);
  CxImage img(png.data(), png.size(), CXIMAGE_FORMAT_PNG);
  CxImage part;
  part.Copy(img);
  ASSERT_TRUE(part.Crop({3, 2, 9, 6}));
  ASSERT_EQ(part.GetWidth(), 6u);
  ASSERT_EQ(part.GetHeight(), 4u);
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 6; ++x) {
      EXPECT_EQ(part.GetPixelColor(x, y), Bgr(Pattern(x + 3, y + 2)));
      EXPECT_EQ(part.GetPixelAlpha(x, y), Pattern(x + 3, y + 2).a);
    }
  // The bottom-up alpha address of the top-left pixel is in the last row.
  ASSERT_NE(part.AlphaAddress(0, 3), nullptr);
  EXPECT_EQ(*part.AlphaAddress(0, 3), Pattern(3, 2).a);

  CxImage clipped;
  clipped.Copy(img);
  EXPECT_TRUE(clipped.Crop({10, -5, 100, 3}));
  EXPECT_EQ(clipped.GetWidth(), 3u);
  EXPECT_EQ(clipped.GetHeight(), 3u);
  CxImage outside;
  outside.Copy(img);
  EXPECT_FALSE(outside.Crop({20, 0, 30, 5}));
  EXPECT_FALSE(outside.IsValid());
}

}  // namespace
