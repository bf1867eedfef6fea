// Parsing speed of the XML document against tinyxml2 and pugixml on the texts it reads: a status reply of
// the installation service and a 1 MB property list. Each parser gets the UTF-8 bytes and produces a
// walkable tree; the XML document also converts them to wide text, as reply reading does.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <string>

#include "xml/Utf8.h"
#include "xml/XmlDocument.h"

namespace {

const std::string& Reply() {
  static const std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
      "\t<key>PercentComplete</key>\n\t<integer>60</integer>\n\t<key>Status</key>\n"
      "\t<string>InstallingApplication</string>\n</dict>\n</plist>\n";
  return text;
}

// A property list of about 1 MB: an array of dicts as a device's application list looks.
const std::string& LargePlist() {
  static const std::string text = [] {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n";
    for (int i = 0; s.size() < (1u << 20); ++i) {
      s += "\t<dict>\n\t\t<key>CFBundleIdentifier</key>\n\t\t<string>com.example.app" + std::to_string(i) +
           "</string>\n\t\t<key>CFBundleDisplayName</key>\n\t\t<string>App &amp; Co " + std::to_string(i) +
           "</string>\n\t\t<key>StaticDiskUsage</key>\n\t\t<integer>" + std::to_string(i * 4096) +
           "</integer>\n\t\t<key>Enabled</key>\n\t\t<true/>\n\t</dict>\n";
    }
    return s + "</array>\n</plist>\n";
  }();
  return text;
}

void XmlDocumentFromUtf8(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    xml::XmlDocument doc;
    benchmark::DoNotOptimize(doc.LoadText(xml::Utf8ToWide(text)));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void XmlDocumentFromWide(benchmark::State& state, const std::string& text) {
  const std::wstring wide = xml::Utf8ToWide(text);
  for (auto _ : state) {
    xml::XmlDocument doc;
    benchmark::DoNotOptimize(doc.LoadText(wide));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void TinyXml2(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    benchmark::DoNotOptimize(doc.Parse(text.data(), text.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void PugiXml(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK_CAPTURE(XmlDocumentFromUtf8, reply, Reply());
BENCHMARK_CAPTURE(XmlDocumentFromWide, reply, Reply());
BENCHMARK_CAPTURE(TinyXml2, reply, Reply());
BENCHMARK_CAPTURE(PugiXml, reply, Reply());
BENCHMARK_CAPTURE(XmlDocumentFromUtf8, plist_1mb, LargePlist());
BENCHMARK_CAPTURE(XmlDocumentFromWide, plist_1mb, LargePlist());
BENCHMARK_CAPTURE(TinyXml2, plist_1mb, LargePlist());
BENCHMARK_CAPTURE(PugiXml, plist_1mb, LargePlist());

}  // namespace
