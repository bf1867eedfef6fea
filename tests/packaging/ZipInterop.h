#pragma once
// Checks of an archive by independent tools (native build only): Info-ZIP's `unzip -t` and Python's
// zipfile, which verifies every entry's CRC.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace interop {

inline void ExpectValidArchive(const std::filesystem::path& archive) {
  const std::string unzip = "unzip -tqq '" + archive.string() + "'";
  EXPECT_EQ(std::system(unzip.c_str()), 0) << unzip;
  const std::string python =
      "python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); sys.exit(z.testzip() is not None)\" '" +
      archive.string() + "'";
  EXPECT_EQ(std::system(python.c_str()), 0) << python;
}

}  // namespace interop
