#pragma once
// Fills the template cache for tests: from the program's resources in the Windows build (the test
// executable embeds them as the program does), from the generated archives in the native build.
#include <string>
#include <vector>

#include "packaging/CarrierTemplates.h"
#include "packaging/TestFiles.h"

namespace templates {

inline std::string GeneratedTemplate(int resourceId) {
  return testfiles::ReadFile(std::string(LOGORA_BINARY_DIR) + "/generated/" +
                             (resourceId == 134 ? "template_unicom.zip" : "template_cmcc.zip"));
}

inline void Load() {
#ifdef _WIN32
  packaging::LoadTemplates();
#else
  packaging::LoadTemplates([](int id, std::vector<uint8_t>& bytes) {
    const std::string data = GeneratedTemplate(id);
    bytes.assign(data.begin(), data.end());
    return !data.empty();
  });
#endif
}

inline std::string Bytes(packaging::Carrier carrier) {
  const auto t = packaging::CachedTemplate(carrier);
  return std::string(reinterpret_cast<const char*>(t.data), t.size);
}

}  // namespace templates
