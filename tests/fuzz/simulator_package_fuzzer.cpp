// The simulated installation service's package reading and carrier-bundle check on arbitrary archives.
#include <cstddef>
#include <cstdint>

#include "simulator/core/PackageArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::ArchiveReadResult archive = sim::ReadArchive(data, size);
  if (archive) {
    sim::CheckCarrierBundle(archive.entries);
    sim::CheckAppPackage(archive.entries);
  }
  return 0;
}
