// Theme packagings: a folder holding the document and its pictures, or a zip archive in memory.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "packaging/ZipReader.h"
#include "skin/SkinResourceManager.h"
#include "skin/Utf8.h"
#include "xml/XmlDocument.h"

namespace skin {

std::wstring CleanEntryName(std::wstring name) {
  static constexpr std::wstring_view kParentSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  for (;;) {
    if (name.size() >= 2 && name[1] == L':') {
      name.erase(0, 2);
      continue;
    }
    if (!name.empty() && (name[0] == L'\\' || name[0] == L'/')) {
      name.erase(0, 1);
      continue;
    }
    size_t first = std::wstring::npos;
    size_t length = 0;
    for (std::wstring_view step : kParentSteps) {
      const size_t at = name.find(step);
      if (at < first) first = at, length = step.size();
    }
    if (first != std::wstring::npos) {
      name.erase(0, first + length);
      continue;
    }
    return name;
  }
}

int CSkinResourceManager::LoadFolderTheme(const std::wstring& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return 0;
  std::wstring file;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return 0;
    std::error_code type_ec;
    if (it->is_directory(type_ec)) continue;
    const std::wstring name = it->path().filename().wstring();
    if (name.size() >= 4 && AsciiUpper(name.substr(name.size() - 4)) == L".XML") {
      file = it->path().wstring();
      break;
    }
  }
  if (file.empty()) return 0;
  const std::wstring key = AsciiUpper(file);
  if (std::find(loaded_files_.begin(), loaded_files_.end(), key) != loaded_files_.end()) return 0;
  loaded_files_.push_back(key);
  theme_folder_ = folder;

  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(file, bytes, kMaxThemeEntrySize)) return 1;
  xml::XmlDocument doc;
  doc.LoadText(Utf8ToWide({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
  ReadTheme(doc, false);
  return 1;
}

void CSkinResourceManager::AddArchiveEntry(packaging::ZipReader* zip, int64_t index,
                                           std::unique_ptr<xml::XmlDocument>& doc) {
  packaging::ZipEntryInfo entry;
  if (packaging::GetZipEntryAt(zip, index, entry) != packaging::ZipReadResult::kOk) return;
  const std::wstring name = CleanEntryName(Utf8ToWide(entry.name));
  const FileKind kind = FileKindFromName(name);
  if (kind == FileKind::kUnknown) return;

  // The size is checked before anything is allocated for it; an entry that cannot be extracted leaves an
  // empty picture under its name.
  std::vector<uint8_t> bytes;
  bool extracted = false;
  if (entry.uncompressedSize <= kMaxThemeEntrySize) {
    bytes.resize(static_cast<size_t>(entry.uncompressedSize));
    extracted = packaging::UnzipEntryToMemory(zip, entry, bytes.data(), bytes.size()) ==
                packaging::ZipReadResult::kOk;
  }
  if (!extracted) bytes.clear();

  switch (kind) {
    case FileKind::kXml:
      if (extracted) {
        doc = std::make_unique<xml::XmlDocument>();
        doc->LoadText(Utf8ToWide({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
      }
      return;
    case FileKind::kGif: {
      CSkinGifPlayer* player = animations_.Find(name);
      if (!player) player = animations_.Append(name, std::make_unique<CSkinGifPlayer>());
      player->LoadFromMemory(bytes.data(), bytes.size());
      return;
    }
    default: {
      const int picture_kind = kind == FileKind::kBmp   ? CXIMAGE_FORMAT_BMP
                               : kind == FileKind::kPng ? CXIMAGE_FORMAT_PNG
                               : kind == FileKind::kJpg ? CXIMAGE_FORMAT_JPG
                                                        : CXIMAGE_FORMAT_ICO;
      auto picture = std::make_unique<CSkinDrawImage>();
      picture->SetFromBytes(bytes, picture_kind);
      pictures_.Insert(name, std::move(picture));
      return;
    }
  }
}

int CSkinResourceManager::LoadArchiveTheme(const void* bytes, size_t size, const char* password) {
  packaging::ZipReaderHandle zip;
  if (!bytes || packaging::OpenZipFromMemory(bytes, size, password ? password : "", zip) !=
                    packaging::ZipReadResult::kOk) {
    return 0;
  }
  packaging::ZipEntryInfo count;
  std::unique_ptr<xml::XmlDocument> doc;
  if (packaging::GetZipEntryAt(zip.get(), -1, count) == packaging::ZipReadResult::kOk) {
    for (int64_t i = 0; i < count.index; ++i) AddArchiveEntry(zip.get(), i, doc);
  }
  if (doc) ReadTheme(*doc, true);
  packaging::CloseZipReader(zip);
  if (theme_changed_) theme_changed_();
  return 1;
}

}  // namespace skin
