#include "packaging/CarrierTemplates.h"

#include <memory>
#include <mutex>

namespace packaging {

namespace {
constexpr CarrierTemplate kTemplates[] = {
    {Carrier::kUnicom, 1008, 134, "Unicom_cn.bundle", "China-Unicom"},
    {Carrier::kCmcc, 1009, 135, "CMCC_cn.bundle", "China-Mobile"},
};

const char* VariantName(LogoVariant v) {
  switch (v) {
    case LogoVariant::kDefault: return "Default";
    case LogoVariant::kFso: return "FSO";
    case LogoVariant::kTs: return "TS";
  }
  return "Default";
}

struct Cache {
  std::mutex mutex;
  std::vector<uint8_t> bytes[2];
};
Cache& TheCache() {
  static Cache* cache = new Cache;  // kept until the process ends, like the templates it holds
  return *cache;
}
size_t Slot(Carrier c) { return c == Carrier::kUnicom ? 0 : 1; }
}  // namespace

const CarrierTemplate& TemplateOf(Carrier carrier) { return kTemplates[Slot(carrier)]; }

std::string BundleEntryName(Carrier carrier, const char* file) {
  return std::string("Payload/") + TemplateOf(carrier).bundleFolder + "/" + file;
}

std::string LogoEntryName(Carrier carrier, LogoVariant variant) {
  return BundleEntryName(carrier, "") + VariantName(variant) + "_CARRIER_" + TemplateOf(carrier).logoStem +
         "_1only_@2x.png";
}

TemplateBytes CachedTemplate(Carrier carrier) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  const auto& b = cache.bytes[Slot(carrier)];
  return TemplateBytes{b.data(), b.size()};
}

void LoadTemplates(const TemplateSource& source) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  for (const CarrierTemplate& t : kTemplates) {
    auto& bytes = cache.bytes[Slot(t.carrier)];
    if (!bytes.empty()) continue;
    std::vector<uint8_t> loaded;
    if (source && source(t.resourceId, loaded)) bytes = std::move(loaded);
  }
}

}  // namespace packaging
