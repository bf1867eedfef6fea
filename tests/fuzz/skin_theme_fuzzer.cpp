// Theme documents: the first byte chooses between an archive (the rest are zip bytes) and a bare document
// read as UTF-8; then every table is looked through as the drawing engine would.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/SkinResourceManager.h"
#include "skin/Utf8.h"
#include "xml/XmlDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  skin::CSkinResourceManager m;
  if (data[0] & 1) {
    m.LoadArchiveTheme(data + 1, size - 1, "");
  } else {
    xml::XmlDocument doc;
    doc.LoadText(skin::Utf8ToWide({reinterpret_cast<const char*>(data + 1), size - 1}));
    m.ReadTheme(doc, false);
  }
  for (int i = 0; i < skin::kThemeClassCount; ++i) {
    m.ClassTable(i).ForEach([&](const std::wstring&, const skin::ThemeItem& item) {
      for (const auto& [element, attrs] : item.elements)
        for (const auto& [name, value] : attrs.All()) {
          m.ResolveColor(value, 0);
          skin::ParseQuad(value, {});
          skin::ParsePair(value, {});
        }
      for (const skin::ChildItem& c : item.children) skin::Place(c.place, skin::Rect{0, 0, 400, 300});
      skin::Place(item.place, skin::Rect{0, 0, 400, 300});
    });
  }
  std::vector<std::wstring> keys;
  m.Pictures().ForEach([&](const std::wstring& key, const CSkinDrawImage&) { keys.push_back(key); });
  for (const std::wstring& key : keys) m.GetPicture(key);
  return 0;
}
