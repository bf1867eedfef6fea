// Archives exchanged with independent tools: Info-ZIP's zip/unzip and Python's zipfile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "packaging/ZipReader.h"
#include "packaging/ZipWriter.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipFixture.h"
#include "packaging/ZipInterop.h"

namespace {

namespace fs = std::filesystem;

struct Item {
  std::string name;
  std::string content;
};

const std::vector<Item>& Items() {
  static const std::vector<Item> items = {
      {"Payload/X.bundle/Default.png", testzip::PngLike(70000, 3)},
      {"Payload/X.bundle/carrier.plist", std::string(3000, 'p') + "end"},
      {"empty.txt", ""},
  };
  return items;
}

void ExpectReaderSees(const fs::path& archive, const std::vector<Item>& items, const char* maker) {
  const std::string z = testfiles::ReadFile(archive);
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(z.data(), z.size(), reader), packaging::ZipReadResult::kOk) << maker;
  for (const auto& item : items) {
    packaging::ZipEntryInfo info;
    ASSERT_EQ(packaging::FindZipEntry(reader.get(), packaging::Utf8ToWide(item.name), info),
              packaging::ZipReadResult::kOk)
        << maker << " " << item.name;
    std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
    EXPECT_EQ(packaging::UnzipEntryToMemory(reader.get(), info, out.data(), out.size()),
              packaging::ZipReadResult::kOk)
        << maker << " " << item.name;
    EXPECT_EQ(out, item.content) << maker << " " << item.name;
  }
}

TEST(ZipInterop, WriterOutputPassesIndependentChecks) {
  testfiles::ScopedTempFolder dir;
  const auto archive = dir.path() / "w.zip";
  packaging::ZipWriterHandle writer;
  ASSERT_EQ(packaging::CreateZipFile(archive.wstring(), writer), packaging::ZipWriteResult::kOk);
  int i = 0;
  for (const auto& item : Items()) {
    const auto src = dir.path() / ("s" + std::to_string(i++));
    testfiles::WriteFile(src, item.content);
    ASSERT_EQ(packaging::ZipAddFile(writer.get(), src.wstring(), packaging::Utf8ToWide(item.name)),
              packaging::ZipWriteResult::kOk);
  }
  const auto stored = dir.path() / "inner.zip";
  testfiles::WriteFile(stored, "already packed");
  ASSERT_EQ(packaging::ZipAddFile(writer.get(), stored.wstring(), L"inner.zip"), packaging::ZipWriteResult::kOk);
  ASSERT_EQ(packaging::CloseZipWriter(writer), packaging::ZipWriteResult::kOk);
  interop::ExpectValidArchive(archive);
}

TEST(ZipInterop, ReaderReadsInfoZipArchives) {
  testfiles::ScopedTempFolder dir;
  const auto src = dir.path() / "src";
  for (const auto& item : Items()) {
    fs::create_directories((src / item.name).parent_path());
    testfiles::WriteFile(src / item.name, item.content);
  }
  struct Case {
    const char* what;
    const char* options;
  } const cases[] = {
      {"deflated, with extra fields", "-q -r"},
      {"stored, with extra fields", "-q -r -0"},
      {"deflated, no extra fields", "-q -r -X"},
      {"stored, no extra fields", "-q -r -0 -X"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto archive = dir.path() / ("z" + std::to_string(n++) + ".zip");
    const std::string command = "cd '" + src.string() + "' && zip " + c.options + " '" + archive.string() + "' .";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ExpectReaderSees(archive, Items(), c.what);
  }
}

TEST(ZipInterop, ReaderReadsPythonArchives) {
  testfiles::ScopedTempFolder dir;
  fs::path contents = dir.path() / "contents";
  fs::create_directories(contents);
  std::string listing;
  int i = 0;
  for (const auto& item : Items()) {
    const auto file = contents / std::to_string(i++);
    testfiles::WriteFile(file, item.content);
    listing += "('" + item.name + "', '" + file.string() + "'),";
  }
  struct Case {
    const char* what;
    const char* method;
    const char* extra;
  } const cases[] = {
      {"stored", "ZIP_STORED", "b''"},
      {"deflated", "ZIP_DEFLATED", "b''"},
      {"deflated with an extra field", "ZIP_DEFLATED", "b'UT\\x05\\x00\\x01\\x00\\x00\\x00\\x60'"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto archive = dir.path() / ("p" + std::to_string(n++) + ".zip");
    const std::string script = "import zipfile\n"
                               "with zipfile.ZipFile('" + archive.string() + "', 'w') as z:\n"
                               "  for name, path in [" + listing + "]:\n"
                               "    info = zipfile.ZipInfo(name, (2020, 1, 2, 3, 4, 6))\n"
                               "    info.compress_type = zipfile." + c.method + "\n"
                               "    info.extra = " + c.extra + "\n"
                               "    z.writestr(info, open(path, 'rb').read())\n";
    const auto scriptFile = dir.path() / "make.py";
    testfiles::WriteFile(scriptFile, script);
    ASSERT_EQ(std::system(("python3 '" + scriptFile.string() + "'").c_str()), 0) << c.what;
    ExpectReaderSees(archive, Items(), c.what);
  }
}

}  // namespace
