// Opens arbitrary bytes as an archive, walks every entry by position and by name and extracts it, in one
// piece and in small steps.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "packaging/Utf8.h"
#include "packaging/ZipReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  packaging::ZipReaderHandle reader;
  if (packaging::OpenZipFromMemory(data, size, reader) != packaging::ZipReadResult::kOk) return 0;
  packaging::ZipEntryInfo entry;
  if (packaging::GetZipEntryAt(reader.get(), -1, entry) != packaging::ZipReadResult::kOk) return 0;
  const int64_t count = entry.index < 64 ? entry.index : 64;
  std::vector<uint8_t> buffer;
  for (int64_t i = 0; i < count; ++i) {
    if (packaging::GetZipEntryAt(reader.get(), i, entry) != packaging::ZipReadResult::kOk) continue;
    // Whole, into a buffer of the declared size (capped so the fuzzer stays fast).
    const size_t want = entry.uncompressedSize < (1u << 20) ? static_cast<size_t>(entry.uncompressedSize) : (1u << 20);
    buffer.assign(want, 0);
    packaging::UnzipEntryToMemory(reader.get(), entry, buffer.data(), buffer.size());
    // Again by name, in steps of 7 bytes.
    const std::wstring name = packaging::Utf8ToWide(entry.name);
    if (packaging::FindZipEntry(reader.get(), name, entry) != packaging::ZipReadResult::kOk) continue;
    uint8_t step[7];
    for (int k = 0; k < 4096; ++k) {
      if (packaging::UnzipEntryToMemory(reader.get(), entry, step, sizeof step) != packaging::ZipReadResult::kMoreData) {
        break;
      }
    }
  }
  return 0;
}
