#pragma once
// The two carriers the program personalises, their template archives (resources "DATA" 134 and 135 of the
// program) and the process-wide cache of the templates' bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace packaging {

enum class Carrier { kUnicom, kCmcc };

// Logo variants, in slot order.
enum class LogoVariant { kDefault, kFso, kTs };
inline constexpr std::array<LogoVariant, 3> kLogoVariants = {LogoVariant::kDefault, LogoVariant::kFso,
                                                             LogoVariant::kTs};

struct CarrierTemplate {
  Carrier carrier;
  int radioId;           // the carrier's radio button in the main window
  int resourceId;        // "DATA" resource holding the template archive
  const char* bundleFolder;  // "Unicom_cn.bundle"
  const char* logoStem;      // "China-Unicom"
};

const CarrierTemplate& TemplateOf(Carrier carrier);

// "Payload/<bundle>/<variant>_CARRIER_<stem>_1only_@2x.png"
std::string LogoEntryName(Carrier carrier, LogoVariant variant);
// "Payload/<bundle>/<file>", for the property lists ("carrier.plist", "Info.plist", "version.plist").
std::string BundleEntryName(Carrier carrier, const char* file);

// The cached bytes of a carrier's template; empty until LoadTemplates found its resource. The bytes stay
// valid, unchanged, until the process ends.
struct TemplateBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool empty() const { return size == 0; }
};
TemplateBytes CachedTemplate(Carrier carrier);

// Fills every still empty cache entry from `source` (given a resource id; false when it has none). Entries
// once filled are never asked for again.
using TemplateSource = std::function<bool(int resourceId, std::vector<uint8_t>& bytes)>;
void LoadTemplates(const TemplateSource& source);

#ifdef _WIN32
// Fills the cache from the program's own "DATA" resources.
void LoadTemplates();
#endif

}  // namespace packaging
