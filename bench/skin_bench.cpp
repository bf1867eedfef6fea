// Picture decoding through CxImage beside libpng's own simplified reader on the same bytes, and the load of
// the whole shipped theme.
#include <benchmark/benchmark.h>
#include <png.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "packaging/ZipReader.h"
#include "skin/SkinResourceManager.h"
#include "skin/Utf8.h"
#include "skin/draw/CxImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes& ThemeArchive() {
  static const Bytes bytes = [] {
    std::ifstream in(LOGORA_THEME_ARCHIVE_PATH, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

// The theme's PNG entries by name.
const std::vector<std::pair<std::string, Bytes>>& ThemePngs() {
  static const auto pngs = [] {
    std::vector<std::pair<std::string, Bytes>> out;
    packaging::ZipReaderHandle zip;
    const Bytes& archive = ThemeArchive();
    if (packaging::OpenZipFromMemory(archive.data(), archive.size(), zip) != packaging::ZipReadResult::kOk) return out;
    packaging::ZipEntryInfo count;
    packaging::GetZipEntryAt(zip.get(), -1, count);
    for (int64_t i = 0; i < count.index; ++i) {
      packaging::ZipEntryInfo e;
      if (packaging::GetZipEntryAt(zip.get(), i, e) != packaging::ZipReadResult::kOk) continue;
      if (e.name.size() < 4 || e.name.substr(e.name.size() - 4) != ".png") continue;
      Bytes data(static_cast<size_t>(e.uncompressedSize));
      if (packaging::UnzipEntryToMemory(zip.get(), e, data.data()) == packaging::ZipReadResult::kOk)
        out.emplace_back(e.name, std::move(data));
    }
    packaging::CloseZipReader(zip);
    return out;
  }();
  return pngs;
}

// An RGBA picture with smooth gradients and some texture, as logos and theme pictures have.
Bytes MakePng(uint32_t w, uint32_t h) {
  std::vector<uint8_t> px(static_cast<size_t>(w) * h * 4);
  uint32_t seed = 12345;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      seed = seed * 1103515245 + 12345;
      uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = static_cast<uint8_t>(x * 255 / w);
      p[1] = static_cast<uint8_t>(y * 255 / h);
      p[2] = static_cast<uint8_t>(128 + ((seed >> 16) & 15));
      p[3] = static_cast<uint8_t>(((x + y) & 64) ? 255 : 160);
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_get_memory_size(image, size, 0, px.data(), 0, nullptr);
  Bytes out(size);
  png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr);
  out.resize(size);
  return out;
}

void DecodeCxImage(benchmark::State& state, const Bytes* png) {
  for (auto _ : state) {
    CxImage img(png->data(), png->size(), CXIMAGE_FORMAT_PNG);
    benchmark::DoNotOptimize(img.GetBits());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * png->size()));
}

// libpng alone: the same bytes into a new picture buffer of the same channel layout (BGRA with alpha, else
// BGR), allocated per decode as any decoder's output is.
void DecodeLibpng(benchmark::State& state, const Bytes* png) {
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png->data(), png->size())) {
      state.SkipWithError("libpng refused the picture");
      return;
    }
    image.format = (image.format & PNG_FORMAT_FLAG_ALPHA) ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[PNG_IMAGE_SIZE(image)]);
    png_image_finish_read(&image, nullptr, buffer.get(), 0, nullptr);
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * png->size()));
}

void LoadShippedTheme(benchmark::State& state) {
  const Bytes& archive = ThemeArchive();
  for (auto _ : state) {
    skin::CSkinResourceManager m;
    benchmark::DoNotOptimize(m.LoadArchiveTheme(archive.data(), archive.size(), ""));
  }
}

const int kRegistered = [] {
  static const Bytes small = MakePng(80, 40);
  static const Bytes large = MakePng(2000, 2000);
  benchmark::RegisterBenchmark("png_80x40/cximage", DecodeCxImage, &small);
  benchmark::RegisterBenchmark("png_80x40/libpng", DecodeLibpng, &small);
  benchmark::RegisterBenchmark("png_2000x2000/cximage", DecodeCxImage, &large)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("png_2000x2000/libpng", DecodeLibpng, &large)->Unit(benchmark::kMillisecond);
  for (const auto& [name, bytes] : ThemePngs()) {
    benchmark::RegisterBenchmark((name + "/cximage").c_str(), DecodeCxImage, &bytes);
    benchmark::RegisterBenchmark((name + "/libpng").c_str(), DecodeLibpng, &bytes);
  }
  benchmark::RegisterBenchmark("theme/load_shipped_archive", LoadShippedTheme)->Unit(benchmark::kMillisecond);
  return 0;
}();

}  // namespace
