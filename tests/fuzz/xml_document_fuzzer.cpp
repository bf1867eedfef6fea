// Parses arbitrary UTF-8 text and walks every element, reading data, names and attributes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xml/Utf8.h"
#include "xml/XmlDocument.h"

namespace {

void Walk(xml::XmlDocument& doc, int depth) {
  while (doc.FindNextElement()) {
    doc.ElementData();
    doc.TagName();
    doc.Attribute(L"id");
    if (depth < 64 && doc.EnterElement()) {
      Walk(doc, depth + 1);
      doc.LeaveElement();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  xml::XmlDocument doc;
  doc.SetFlags(data[0] & 7u);
  doc.LoadText(xml::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));
  Walk(doc, 0);
  doc.ResetCursor();
  doc.FindNextElement(L"plist");
  doc.EnterElement();
  doc.FindNextElement(L"dict");
  return 0;
}
