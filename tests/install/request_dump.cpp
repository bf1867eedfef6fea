// Writes the three request texts to the folder given, for checks by independent property-list readers.
#include <cstdio>
#include <string>

#include "install/Requests.h"

namespace {
bool Write(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  const bool ok = Write(dir + "/carrier.plist", install::CarrierBundleInstallRequest("01234567")) &&
                  Write(dir + "/package.plist", install::PackageInstallRequest("01234567.ipa")) &&
                  Write(dir + "/uninstall.plist", install::UninstallRequest("com.example.a&b"));
  return ok ? 0 : 1;
}
