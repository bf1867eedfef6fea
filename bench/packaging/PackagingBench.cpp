// Throughput of the zip writer and reader against the engines underneath them, and the time of a whole
// package build. Run:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLOGORA_BENCH=ON -DLOGORA_TESTS=OFF
//   cmake --build build/bench --target packaging_bench && build/bench/bench/packaging_bench
// The *VsZlib / *VsPoco rows time both sides in the same iterations and report their ratio (goals: writer
// within 1.1x of raw deflate at level 8, reader within 1.05x of raw inflate, each build under 5 ms).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <Poco/Zip/Decompress.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>
#include <sstream>
#include <string>
#include <vector>

#include "packaging/CarrierTemplates.h"
#include "packaging/FileSystem.h"
#include "packaging/PackageBuilder.h"
#include "packaging/Utf8.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipFixture.h"
#include "packaging/ZipReader.h"
#include "packaging/ZipWriter.h"

namespace {

namespace fs = std::filesystem;

// Thread CPU time: the machine is shared, and wall time would charge other processes to whichever side
// happened to run while they did.
struct Clock {
  using time_point = double;
  static double now() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
  }
};

const fs::path& WorkFolder() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("logora-bench-" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// PNG-like bytes of `size`, as a source file and as a finished archive made by the writer.
struct Sample {
  std::string data;
  fs::path source;
  std::string archive;
};

const Sample& SampleOf(size_t size) {
  static std::map<size_t, Sample> samples;
  auto& s = samples[size];
  if (s.data.empty()) {
    s.data = testzip::PngLike(size, 11);
    s.source = WorkFolder() / ("sample" + std::to_string(size) + ".png");
    testfiles::WriteFile(s.source, s.data);
    const fs::path zip = WorkFolder() / ("sample" + std::to_string(size) + ".zip");
    packaging::ZipWriterHandle w;
    packaging::CreateZipFile(zip.wstring(), w);
    packaging::ZipAddFile(w.get(), s.source.wstring(), L"picture.png");
    packaging::CloseZipWriter(w);
    s.archive = testfiles::ReadFile(zip);
  }
  return s;
}

void WriteArchive(const Sample& s) {
  packaging::ZipWriterHandle w;
  packaging::CreateZipFile((WorkFolder() / "out.zip").wstring(), w);
  packaging::ZipAddFile(w.get(), s.source.wstring(), L"picture.png");
  if (packaging::CloseZipWriter(w) != packaging::ZipWriteResult::kOk) std::abort();
}

size_t RawDeflate(const std::string& data, std::vector<unsigned char>& out) {
  z_stream z{};
  deflateInit2(&z, 8, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  const size_t n = z.total_out;
  deflateEnd(&z);
  return n;
}

void ReadArchive(const Sample& s, std::string& out) {
  packaging::ZipReaderHandle r;
  packaging::ZipEntryInfo e;
  packaging::OpenZipFromMemory(s.archive.data(), s.archive.size(), r);
  packaging::FindZipEntry(r.get(), L"picture.png", e);
  out.resize(static_cast<size_t>(e.uncompressedSize));
  if (packaging::UnzipEntryToMemory(r.get(), e, out.data(), out.size()) != packaging::ZipReadResult::kOk) std::abort();
}

void RawInflate(const unsigned char* in, size_t inSize, std::string& out) {
  z_stream z{};
  inflateInit2(&z, -MAX_WBITS);
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = static_cast<uInt>(inSize);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (inflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
  inflateEnd(&z);
}

void PocoDecompress(const Sample& s) {
  std::istringstream in(s.archive);
  Poco::Zip::Decompress d(in, Poco::Path((WorkFolder() / "poco").string() + "/"));
  d.decompressAllFiles();
}

void ZipWriteVsZlib(benchmark::State& state) {
  const Sample& s = SampleOf(static_cast<size_t>(state.range(0)));
  std::vector<unsigned char> out;
  double writer = 0, zlib = 0;
  bool writerFirst = true;
  for (auto _ : state) {
    // The two sides take turns at going first, so neither always meets a cold cache.
    if (writerFirst) {
      auto t0 = Clock::now();
      WriteArchive(s);
      writer += Clock::now() - t0;
    }
    auto t1 = Clock::now();
    benchmark::DoNotOptimize(RawDeflate(s.data, out));
    zlib += Clock::now() - t1;
    if (!writerFirst) {
      auto t0 = Clock::now();
      WriteArchive(s);
      writer += Clock::now() - t0;
    }
    writerFirst = !writerFirst;
  }
  state.counters["writer_ms"] = 1000 * writer / state.iterations();
  state.counters["deflate_ms"] = 1000 * zlib / state.iterations();
  state.counters["ratio"] = writer / zlib;
}

void ZipReadVsZlibAndPoco(benchmark::State& state) {
  const Sample& s = SampleOf(static_cast<size_t>(state.range(0)));
  std::vector<unsigned char> packed;
  packed.resize(RawDeflate(s.data, packed));
  std::string out(s.data.size(), '\0');
  double reader = 0, zlib = 0, poco = 0;
  bool readerFirst = true;
  for (auto _ : state) {
    if (readerFirst) {
      auto t0 = Clock::now();
      ReadArchive(s, out);
      reader += Clock::now() - t0;
    }
    auto t1 = Clock::now();
    RawInflate(packed.data(), packed.size(), out);
    zlib += Clock::now() - t1;
    if (!readerFirst) {
      auto t0 = Clock::now();
      ReadArchive(s, out);
      reader += Clock::now() - t0;
    }
    auto t2 = Clock::now();
    PocoDecompress(s);
    poco += Clock::now() - t2;
    readerFirst = !readerFirst;
  }
  state.counters["reader_ms"] = 1000 * reader / state.iterations();
  state.counters["inflate_ms"] = 1000 * zlib / state.iterations();
  state.counters["poco_ms"] = 1000 * poco / state.iterations();
  state.counters["ratio"] = reader / zlib;
  state.counters["poco_ratio"] = poco / reader;
}

void LoadBenchTemplates() {
  packaging::LoadTemplates([](int id, std::vector<uint8_t>& bytes) {
    const std::string data = testfiles::ReadFile(std::string(LOGORA_GENERATED_DIR) + "/" +
                                                 (id == 134 ? "template_unicom.zip" : "template_cmcc.zip"));
    bytes.assign(data.begin(), data.end());
    return !data.empty();
  });
}

packaging::PicturePaths TemplateLogoFiles(packaging::Carrier carrier) {
  LoadBenchTemplates();
  const auto t = packaging::CachedTemplate(carrier);
  packaging::ZipReaderHandle r;
  packaging::OpenZipFromMemory(t.data, t.size, r);
  packaging::PicturePaths paths;
  for (size_t i = 0; i < 3; ++i) {
    packaging::ZipEntryInfo e;
    packaging::FindZipEntry(r.get(), packaging::Utf8ToWide(packaging::LogoEntryName(carrier, packaging::kLogoVariants[i])), e);
    std::string logo(static_cast<size_t>(e.uncompressedSize), '\0');
    packaging::UnzipEntryToMemory(r.get(), e, logo.data(), logo.size());
    const fs::path p = WorkFolder() / ("logo" + std::to_string(static_cast<int>(carrier)) + std::to_string(i) + ".png");
    testfiles::WriteFile(p, logo);
    paths[i] = p.wstring();
  }
  return paths;
}

template <packaging::BuildResult (*Build)(const packaging::PicturePaths&), packaging::Carrier kCarrier>
void BuildPackage(benchmark::State& state) {
  const auto pictures = TemplateLogoFiles(kCarrier);
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    const auto r = Build(pictures);
    if (!r) std::abort();
    state.PauseTiming();
    packaging::TakePackageFile(r.packagePath, bytes);
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(ZipWriteVsZlib)->Arg(1 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(ZipReadVsZlibAndPoco)->Arg(1 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildPackage<packaging::BuildUnicomPackage, packaging::Carrier::kUnicom>)
    ->Name("BuildUnicomPackage")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BuildPackage<packaging::BuildCmccPackage, packaging::Carrier::kCmcc>)
    ->Name("BuildCmccPackage")
    ->Unit(benchmark::kMillisecond);
