// The XML document under memory pressure: what it reserves for hostile text, and that running out of
// memory never throws out of it. The program reads device replies and theme files with it on the window
// thread, where an exception would end the process.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "xml/XmlDocument.h"

namespace {

// While set, any single allocation larger than this fails as on an exhausted heap.
std::atomic<size_t> g_largest_allowed{0};

class ScopedAllocationCap {
 public:
  explicit ScopedAllocationCap(size_t bytes) { g_largest_allowed = bytes; }
  ~ScopedAllocationCap() { g_largest_allowed = 0; }
};

void* Allocate(std::size_t n) {
  const size_t cap = g_largest_allowed.load();
  if (cap != 0 && n > cap) throw std::bad_alloc();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// The longest text the document takes, all of it "<": the index reserved for it stays small.
TEST(XmlDocumentMemory, MarkupHeavyTextReservesLittle) {
  std::wstring text(xml::XmlDocument::kMaxTextLength, L'<');
  xml::XmlDocument doc;
  bool loaded = true;
  {
    ScopedAllocationCap cap(size_t{32} << 20);
    EXPECT_NO_THROW(loaded = doc.LoadText(std::move(text)));
  }
  EXPECT_FALSE(loaded);
  EXPECT_EQ(doc.Result().find(L"out_of_memory"), std::wstring::npos) << "it had all the memory it needed";
}

// With too little memory to parse, the document ends empty and says why; its readers give empty texts.
TEST(XmlDocumentMemory, OutOfMemoryLeavesAnEmptyDocumentAndThrowsNothing) {
  std::wstring text = L"<plist><dict>";
  for (int i = 0; i < 20000; ++i) text += L"<key>Status</key><string>Complete &amp; done</string>";
  text += L"</dict></plist>";
  xml::XmlDocument doc;
  bool loaded = true;
  {
    ScopedAllocationCap cap(4096);
    EXPECT_NO_THROW(loaded = doc.LoadText(std::move(text)));
  }
  EXPECT_FALSE(loaded);
  EXPECT_FALSE(doc.IsWellFormed());
  EXPECT_NE(doc.Result().find(L"out_of_memory"), std::wstring::npos) << doc.Result();
  EXPECT_FALSE(doc.FindNextElement());

  ASSERT_TRUE(doc.LoadText(L"<a><b>" + std::wstring(10000, L'x') + L"</b></a>"));
  ASSERT_TRUE(doc.FindNextElement() && doc.EnterElement() && doc.FindNextElement(L"b"));
  std::wstring data = L"unchanged";
  {
    ScopedAllocationCap cap(1024);
    EXPECT_NO_THROW(data = doc.ElementData());
  }
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(doc.ElementData(), std::wstring(10000, L'x'));
}

}  // namespace
