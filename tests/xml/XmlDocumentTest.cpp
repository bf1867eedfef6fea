#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

#include "xml/Utf8.h"

namespace {

using xml::XmlDocument;

std::wstring Cp(char32_t cp) {
  std::wstring s;
  xml::AppendCodePoint(cp, s);
  return s;
}

// Data of the first element named `name` anywhere on the path root > children.
std::wstring DataOfChild(XmlDocument& doc, const wchar_t* name) {
  doc.ResetCursor();
  if (!doc.FindNextElement() || !doc.EnterElement() || !doc.FindNextElement(name)) return L"<missing>";
  return doc.ElementData();
}

TEST(XmlDocument, WalksStatusReply) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadText(
      L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      L"<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      L"<plist version=\"1.0\">\n<dict>\n\t<key>Status</key>\n\t<string>Complete</string>\n</dict>\n</plist>\n"));
  EXPECT_EQ(doc.Result(), L"");
  ASSERT_TRUE(doc.FindNextElement());
  EXPECT_EQ(doc.TagName(), L"plist");
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindNextElement(L"dict"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindNextElement(L"key"));
  EXPECT_EQ(doc.ElementData(), L"Status");
  ASSERT_TRUE(doc.FindNextElement(L"string"));
  EXPECT_EQ(doc.ElementData(), L"Complete");
  EXPECT_FALSE(doc.FindNextElement());
  EXPECT_EQ(doc.ElementData(), L"Complete") << "a failed search leaves the cursor where it was";
}

TEST(XmlDocument, FindSkipsOtherNamesAndFailsWithoutMoving) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadText(L"<d><key>k</key><integer>5</integer><string>s</string><key>z</key></d>"));
  ASSERT_TRUE(doc.FindNextElement() && doc.EnterElement());
  ASSERT_TRUE(doc.FindNextElement(L"key"));
  ASSERT_TRUE(doc.FindNextElement(L"string"));
  EXPECT_EQ(doc.ElementData(), L"s");
  EXPECT_FALSE(doc.FindNextElement(L"integer"));
  EXPECT_EQ(doc.ElementData(), L"s");
  ASSERT_TRUE(doc.FindNextElement(L"key"));
  EXPECT_EQ(doc.ElementData(), L"z");
}

TEST(XmlDocument, NamesThatCannotMatch) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadText(L"<r><dict/><dictx/></r>"));
  struct Case {
    const wchar_t* name;
    bool found;
    const wchar_t* tag;
  } cases[] = {
      {L"/r", false, L""},        // paths are not names
      {L"//dict", false, L""},
      {L"1dict", false, L""},     // cannot start a name
      {L"dic", false, L""},       // a prefix of a tag name is not the name
      {L"dict/key", true, L"dict"},
      {L"dict[1]", true, L"dict"},
      {L"dictx", true, L"dictx"},
  };
  for (const Case& c : cases) {
    doc.ResetCursor();
    ASSERT_TRUE(doc.FindNextElement() && doc.EnterElement());
    EXPECT_EQ(doc.FindNextElement(c.name), c.found) << c.name;
    EXPECT_EQ(doc.TagName(), c.tag) << c.name;
  }
}

TEST(XmlDocument, IgnoreCaseFoldsAsciiUntilNonAsciiMatched) {
  XmlDocument doc;
  doc.SetFlags(XmlDocument::kIgnoreCase);
  ASSERT_TRUE(doc.LoadText(L"<Root><DICT/><\u00e9A/></ROOT>"));
  ASSERT_TRUE(doc.FindNextElement(L"root") && doc.EnterElement());
  EXPECT_TRUE(doc.FindNextElement(L"dict"));
  EXPECT_FALSE(doc.FindNextElement(L"\u00e9a")) << "after a non-ASCII match the comparison is exact";
  EXPECT_TRUE(doc.FindNextElement(L"\u00e9A"));

  XmlDocument exact;
  ASSERT_TRUE(exact.LoadText(L"<Root><DICT/></Root>"));
  ASSERT_TRUE(exact.FindNextElement() && exact.EnterElement());
  EXPECT_FALSE(exact.FindNextElement(L"dict"));
}

TEST(XmlDocument, ImplicitlyClosedElementShrinksAndItsChildrenMoveUp) {
  XmlDocument doc;
  EXPECT_TRUE(doc.LoadText(L"<a><b><c>x</c><d/></a>"));
  EXPECT_EQ(doc.Result(), L"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"18\"/>");
  ASSERT_TRUE(doc.FindNextElement(L"a") && doc.EnterElement());
  ASSERT_TRUE(doc.FindNextElement());
  EXPECT_EQ(doc.TagName(), L"b");
  EXPECT_EQ(doc.ElementData(), L"");
  EXPECT_FALSE(doc.EnterElement() && doc.FindNextElement()) << "b has no children any more";
  doc.ResetCursor();
  ASSERT_TRUE(doc.FindNextElement(L"a") && doc.EnterElement() && doc.FindNextElement(L"b"));
  ASSERT_TRUE(doc.FindNextElement());
  EXPECT_EQ(doc.TagName(), L"c");
  EXPECT_EQ(doc.ElementData(), L"x");
  ASSERT_TRUE(doc.FindNextElement());
  EXPECT_EQ(doc.TagName(), L"d");
  EXPECT_FALSE(doc.FindNextElement());
}

TEST(XmlDocument, ChildrenMovedUpKeepTheParentsLaterChildrenInOrder) {
  // b is closed by the end tag of a; its children follow it, after the earlier child x.
  XmlDocument doc;
  doc.LoadText(L"<a><x/><b><c/><d/></a>");
  ASSERT_TRUE(doc.FindNextElement() && doc.EnterElement());
  std::wstring order;
  while (doc.FindNextElement()) order += doc.TagName();
  EXPECT_EQ(order, L"xbcd");
}

TEST(XmlDocument, ResultEntries) {
  struct Case {
    const wchar_t* text;
    const wchar_t* result;
    bool well_formed;
  } cases[] = {
      {L"", L"<no_root_element/>", false},
      {L"just text", L"<no_root_element/>", false},
      {L"<a/><b/>", L"<root_has_sibling/>", false},
      {L"<a></b></a>", L"<lone_end_tag tagname=\"b\" offset=\"3\"/>", false},
      {L"<a", L"<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"/><no_root_element/>", false},
      {L"<a></a", L"<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>"
                  L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>", true},
      {L"<a><!-- x", L"<unterminated_tag_syntax type=\"comment\" offset=\"3\"/>"
                     L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"9\"/>", true},
      {L"<a><![CDATA[x", L"<unterminated_tag_syntax type=\"cdata_section\" offset=\"3\"/>"
                         L"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"13\"/>", true},
      {L"<?xml ", L"<unterminated_tag_syntax type=\"processing_instruction\" offset=\"0\"/><no_root_element/>",
       false},
      {L"<!DOCTYPE p [<!ENTITY x \">\">",
       L"<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/><no_root_element/>", false},
      {L"<a>< b</a>", L"<first_tag_syntax offset=\"3\"/>", true},
      {L"<a>1<2</a>", L"<first_tag_syntax offset=\"4\"/>", true},
      {L"<a><!x></a>", L"<exclamation_tag_syntax offset=\"3\"/>", true},
      {L"<a><!-x></a>", L"<comment_tag_syntax offset=\"3\"/>", true},
      {L"<a><![x></a>", L"<cdata_section_syntax offset=\"3\"/>", true},
      {L"<a><!DOCTYPEx></a>", L"<doctype_tag_syntax offset=\"3\"/>", true},
      {L"<!DOCTYPE p [<!ENTITY x \"a>b\">]><p t='>'/>", L"", true},
      {L"<a&b></a&b></c\"d>", L"<lone_end_tag tagname=\"c\" offset=\"11\"/>", false},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    EXPECT_EQ(doc.LoadText(c.text), c.well_formed) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(doc.Result(), c.result) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(XmlDocument, ResultStopsGrowingPastItsLimit) {
  std::wstring text = L"<a>";
  for (int i = 0; i < 1000; ++i) text += L"</b>";
  text += L"</a>";
  XmlDocument doc;
  EXPECT_FALSE(doc.LoadText(text));
  EXPECT_GT(doc.Result().size(), XmlDocument::kMaxResultLength);
  EXPECT_LT(doc.Result().size(), XmlDocument::kMaxResultLength + 60);
}

TEST(XmlDocument, ElementData) {
  struct Case {
    const wchar_t* text;
    std::wstring data;
  } cases[] = {
      {L"<s>a &amp;lt; b</s>", L"a &lt; b"},
      {L"<s>&#x4E2D;&#20013;</s>", Cp(0x4E2D) + Cp(0x4E2D)},
      {L"<s>&lt;&GT;&Quot;&apos;&AMP;</s>", L"<>\"'&"},
      {L"<s>&Alpha;&alpha;&eacute;</s>", Cp(0x391) + Cp(0x391) + Cp(0xC9)},
      {L"<s>&nosuch; &#65</s>", L"&nosuch; &#65"},
      {L"<s>&#x10FFFF;</s>", Cp(0x10FFFF)},
      // Not references: 0, surrogates, beyond U+10FFFF, empty, too long, non-ASCII, bad digits.
      {L"<s>&#0;&#x0;&#xD800;&#57343;&#x110000;&#99999999;</s>", L"&#0;&#x0;&#xD800;&#57343;&#x110000;&#99999999;"},
      {L"<s>&;&#;&#x;&#12a;&#xG1;</s>", L"&;&#;&#x;&#12a;&#xG1;"},
      {L"<s>&thetasyym;&thetasyymx;</s>", L"&thetasyym;&thetasyymx;"},
      {L"<s>&\u00e9;&amp</s>", L"&\u00e9;&amp"},
      {L"<s>x<![CDATA[<&amp;>]]>y<!--c-->z<?p q?></s>", L"x<&amp;>yz"},
      {L"<s>x</t>y</s>", L"xy"},
      {L"<s><i>1</i></s>", L""},
      {L"<s/>", L""},
      {L"<s>  a \t\n b  </s>", L"  a \t\n b  "},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    doc.LoadText(c.text);
    ASSERT_TRUE(doc.FindNextElement(L"s")) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(doc.ElementData(), c.data) << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(XmlDocument, WhitespaceFlags) {
  struct Case {
    unsigned flags;
    const wchar_t* data;
  } cases[] = {
      {XmlDocument::kTrimWhitespace, L"a \t\n b"},
      {XmlDocument::kCollapseWhitespace, L" a b "},
      {XmlDocument::kTrimWhitespace | XmlDocument::kCollapseWhitespace, L"a b"},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    doc.SetFlags(c.flags);
    doc.LoadText(L"<s>  a \t\n b  </s>");
    ASSERT_TRUE(doc.FindNextElement());
    EXPECT_EQ(doc.ElementData(), c.data) << c.flags;
  }
}

TEST(XmlDocument, LongTagsKeepTheirFullLength) {
  // A start tag longer than 2^22 characters and an end tag longer than 2^10 characters.
  const std::wstring value(5'000'000, L'v');
  const std::wstring name(3000, L'n');
  std::wstring text = L"<r><a v=\"" + value + L"\">data</a><" + name + L">x</" + name + L"><z>last</z></r>";
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadText(text));
  EXPECT_EQ(DataOfChild(doc, L"a"), L"data");
  EXPECT_EQ(DataOfChild(doc, name.c_str()), L"x");
  EXPECT_EQ(DataOfChild(doc, L"z"), L"last");
}

TEST(XmlDocument, NestingIsCapped) {
  std::wstring deep;
  for (size_t i = 0; i < XmlDocument::kMaxDepth; ++i) deep += L"<a>";
  deep += L"x";
  for (size_t i = 0; i < XmlDocument::kMaxDepth; ++i) deep += L"</a>";
  XmlDocument doc;
  EXPECT_TRUE(doc.LoadText(deep));
  EXPECT_EQ(doc.Result(), L"");

  std::wstring hostile;
  for (int i = 0; i < 500'000; ++i) hostile += L"<a>";
  for (int i = 0; i < 500'000; ++i) hostile += L"</b>";
  EXPECT_FALSE(doc.LoadText(hostile));
  EXPECT_NE(doc.Result().find(L"<depth_limit offset=\"768\"/>"), std::wstring::npos) << doc.Result().substr(0, 200);
}

TEST(XmlDocument, EmptyAndNullDocuments) {
  XmlDocument doc;
  EXPECT_FALSE(doc.FindNextElement());
  EXPECT_FALSE(doc.EnterElement());
  EXPECT_EQ(doc.ElementData(), L"");
  ASSERT_TRUE(doc.LoadText(L"<a/>"));
  EXPECT_FALSE(doc.LoadText(static_cast<const wchar_t*>(nullptr)));
  EXPECT_EQ(doc.Result(), L"");
  EXPECT_FALSE(doc.FindNextElement());
}

TEST(XmlDocument, LoadReplacesEverything) {
  XmlDocument doc;
  doc.LoadText(L"<a></b></a>");
  ASSERT_TRUE(doc.FindNextElement() && doc.EnterElement());
  ASSERT_TRUE(doc.LoadText(L"<c><d>1</d></c>"));
  EXPECT_EQ(doc.Result(), L"");
  EXPECT_EQ(DataOfChild(doc, L"d"), L"1");
}

}  // namespace
