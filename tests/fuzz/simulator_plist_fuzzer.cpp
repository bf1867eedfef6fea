// The simulated libraries' property-list readers on arbitrary bytes (requests the program sends, lists the
// core-foundation library is asked to read): no crash, no read outside the input, and whatever is read
// writes out and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/XmlPlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto v = plist::ParseAny(data, size);
  if (!v) return 0;
  plist::Bytes bin = plist::WriteBinary(*v);
  auto back = plist::ParseBinary(bin.data(), bin.size());
  // Compared as text: a NaN read from the input is not equal to itself as a value.
  if (!back || plist::WriteXml(*back) != plist::WriteXml(*v)) std::abort();
  return 0;
}
