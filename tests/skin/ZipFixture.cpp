#include "skin/ZipFixture.h"

#include <zlib.h>

namespace skin_test {
namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace

Bytes MakeStoredZip(const std::vector<std::pair<std::string, Bytes>>& entries) {
  Bytes out, central;
  for (const auto& [name, data] : entries) {
    const uint32_t crc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    const uint32_t offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034b50);
    Put16(out, 20);
    Put16(out, 0x800);  // UTF-8 names
    Put16(out, 0);      // stored
    Put16(out, 0);
    Put16(out, 0x21);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(data.size()));
    Put32(out, static_cast<uint32_t>(data.size()));
    Put16(out, static_cast<uint32_t>(name.size()));
    Put16(out, 0);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());

    Put32(central, 0x02014b50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, 0x800);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0x21);
    Put32(central, crc);
    Put32(central, static_cast<uint32_t>(data.size()));
    Put32(central, static_cast<uint32_t>(data.size()));
    Put16(central, static_cast<uint32_t>(name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0);
    Put32(central, offset);
    central.insert(central.end(), name.begin(), name.end());
  }
  const uint32_t central_offset = static_cast<uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, central_offset);
  Put16(out, 0);
  return out;
}

}  // namespace skin_test
