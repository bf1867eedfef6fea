// Reading theme documents and packages into the resource manager's tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "skin/ImageFixtures.h"
#include "skin/SkinResourceManager.h"
#include "skin/ZipFixture.h"
#include "xml/XmlDocument.h"

using namespace skin;
using namespace skin_test;

namespace {

// Loads `document` (UTF-8) as the only entry of an archive, after the given pictures.
int LoadArchive(CSkinResourceManager& m, const std::string& document,
                std::vector<std::pair<std::string, Bytes>> pictures = {}) {
  pictures.emplace_back("skin.xml", AsBytes(document));
  const Bytes zip = MakeStoredZip(pictures);
  return m.LoadArchiveTheme(zip.data(), zip.size(), "");
}

std::string Theme(const std::string& body) { return "<?xml version=\"1.0\"?><theme version=\"3.0\">" + body + "</theme>"; }

TEST(XmlAttributes, ValuesQuotesReferencesAndStepping) {
  xml::XmlDocument doc;
  doc.LoadText(L"<a x=\"1\" y='two' z=\"&lt;&amp;&#65;&#x42;&bogus;\" empty=\"\"><b k=\"v\"/><c/></a>");
  ASSERT_TRUE(doc.FindNextElement(L"a"));
  EXPECT_EQ(doc.Attribute(L"x"), L"1");
  EXPECT_EQ(doc.Attribute(L"y"), L"two");
  EXPECT_EQ(doc.Attribute(L"z"), L"<&AB&bogus;");
  EXPECT_EQ(doc.Attribute(L"empty"), L"");
  EXPECT_EQ(doc.Attribute(L"X"), L"") << "names compare with case";
  EXPECT_EQ(doc.Attribute(L"missing"), L"");
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindNextElement(L"b"));
  EXPECT_EQ(doc.Attribute(L"k"), L"v");
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.TagName(), L"a");
  EXPECT_FALSE(doc.LeaveElement());
}

TEST(ThemeDocument, SectionSearchOrderSkipsEarlierSections) {
  const std::string cursor = "<cursor><item id=\"hand\" value=\"#32649\"/></cursor>";
  const std::string color = "<color><item id=\"c\" value=\"RGB(1,2,3)\"/></color>";
  const std::string font = "<font><item id=\"f\" fontface=\"Tahoma\" fontsize=\"12\"/></font>";
  {
    CSkinResourceManager m;
    ASSERT_EQ(LoadArchive(m, Theme(font + cursor + color)), 1);
    EXPECT_EQ(m.Cursors().Size(), 0u) << "a cursor section before the colour section is never read";
    ASSERT_NE(m.FindColor(L"c"), nullptr);
    EXPECT_EQ(*m.FindColor(L"c"), Rgb(1, 2, 3));
  }
  {
    CSkinResourceManager m;
    ASSERT_EQ(LoadArchive(m, Theme(font + color + cursor)), 1);
    EXPECT_EQ(m.Cursors().Size(), 1u);
    EXPECT_EQ(m.Colors().Size(), 1u);
  }
  {
    // The font section is searched first: once found last in the file, no other section is seen.
    CSkinResourceManager m;
    ASSERT_EQ(LoadArchive(m, Theme(color + cursor + font)), 1);
    EXPECT_EQ(m.Fonts().Size(), 1u);
    EXPECT_EQ(m.Colors().Size(), 0u);
    EXPECT_EQ(m.Cursors().Size(), 0u);
  }
  {
    // Only the first section of a kind counts; only `item` children are read.
    CSkinResourceManager m;
    ASSERT_EQ(LoadArchive(m, Theme("<color><manifest id=\"m\" value=\"RGB(9,9,9)\"/><item id=\"a\" value=\"RGB(1,1,1)\"/>"
                                   "<item id=\"a\" value=\"RGB(2,2,2)\"/></color>"
                                   "<color><item id=\"b\" value=\"RGB(3,3,3)\"/></color>")),
              1);
    EXPECT_EQ(m.Colors().Size(), 1u);
    EXPECT_EQ(*m.FindColor(L"a"), Rgb(2, 2, 2)) << "a later colour with the same id replaces the earlier";
    EXPECT_EQ(m.FindColor(L"m"), nullptr);
  }
}

TEST(ThemeDocument, NoThemeRootLoadsNothing) {
  CSkinResourceManager m;
  const Bytes png = MakePng(4, 4, PngKind::kRgba);
  EXPECT_EQ(LoadArchive(m, "<skin><color><item id=\"c\" value=\"RGB(1,2,3)\"/></color></skin>", {{"skin/a.png", png}}),
            1);
  EXPECT_EQ(m.Colors().Size(), 0u);
  EXPECT_NE(m.GetPicture(L"skin/a.png"), nullptr) << "archive pictures stay under their entry names";
}

TEST(ThemeDocument, FontsKeepTheirSpecifications) {
  CSkinResourceManager m;
  ASSERT_EQ(LoadArchive(m, Theme("<font><item id=\"t\" fontface=\"Tahoma\" fontsize=\"15\" bold=\"true\"/>"
                                 "<item id=\"e\" fontface=\"\" fontsize=\"12\"/>"
                                 "<item id=\"t\" fontface=\"Tahoma\" fontsize=\"9\" underline=\"true\"/></font>")),
            1);
  EXPECT_EQ(m.Fonts().Size(), 2u);
  const FontSpec* t = m.GetFont(L"t");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->size, 9) << "a font whose id exists is re-created in place";
  EXPECT_FALSE(t->bold);
  EXPECT_TRUE(t->underline);
  EXPECT_FALSE(m.GetFont(L"e")->Creatable());
}

const char* kItems = R"x(<constrol>
  <item class="button" id="button" width="10"/>
  <item class="button" id="b1" left="center" top="-3" width="20" height="5">
    <text id="t"/>
    <image id="i" picFile="p" state="over"/>
    <rectangle id="r" round="(2,2)" unknownAttr="x"/>
    <eventitem id="e" cursor="hand">
      <text id="et"/>
      <drawitem id="ed"/>
      <rectangle id="er"/>
    </eventitem>
    <line id="l" visible="false"/>
    <attribute toolTip="tip" bogus="1"/>
    <something id="skipped"/>
  </item>
  <item class="button" id="dup" width="1"/>
  <item class="button" id="dup" width="2"/>
  <item class="nosuchclass" id="n"/>
  <item id="noclass"/>
  <item class="groupbutton" id="g1"><attribute textColor="RGB(0,64,128)"/></item>
  <item class="groupbutton" id="g2"><attribute textColor="RGB(0,64,128)" borderColor="#standard.border"/></item>
  <item class="comwnd"><attribute borderColor="RGB(1,2,3)"/></item>
</constrol>)x";

TEST(ThemeDocument, ItemsPlacementChildrenAndFallback) {
  CSkinResourceManager m;
  ASSERT_EQ(LoadArchive(m, Theme(kItems)), 1);
  ThemeItem* b = m.FindItem(L"button", L"b1");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->place.left, kCenter);
  EXPECT_EQ(b->place.top, -3);
  EXPECT_EQ(b->place.width, 20);
  EXPECT_EQ(b->Element(L"attribute").Text(L"toolTip"), L"tip");
  EXPECT_EQ(b->Element(L"attribute").Find(L"bogus"), nullptr) << "attributes the class does not know are not kept";
  // Children grouped by kind: rectangle, line, animate, drawitem, image, eventitem, text.
  std::vector<std::wstring> order;
  for (const ChildItem& c : b->children) order.push_back(c.id);
  EXPECT_EQ(order, (std::vector<std::wstring>{L"r", L"l", L"i", L"e", L"t"}));
  const ChildItem* e = b->FindChild(L"e");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->attrs.Text(L"cursor"), L"hand");
  std::vector<std::wstring> nested;
  for (const ChildItem& c : e->children) nested.push_back(c.id);
  EXPECT_EQ(nested, (std::vector<std::wstring>{L"er", L"et", L"ed"})) << "event items: rectangle, image, text, ..., drawitem";
  EXPECT_FALSE(b->FindChild(L"l")->visible);
  EXPECT_EQ(b->FindChild(L"i")->state, kStateOver);
  EXPECT_EQ(b->FindChild(L"t")->state, kStateAll);
  EXPECT_EQ(b->FindChild(L"r")->attrs.PairValue(L"round", {0, 0}), (Pair{2, 2}));
  EXPECT_EQ(b->FindChild(L"skipped"), nullptr);
  // Class defaults of absent attributes.
  EXPECT_EQ(b->Raw(L"attribute", L"textOffset"), L"(1,1)");
  EXPECT_EQ(b->Raw(L"attribute", L"border9grid"), L"(5,5,5,5)");

  // Unknown ids fall back to the item named after the class; last definition wins.
  ThemeItem* fallback = m.FindItem(L"button", L"unknown");
  ASSERT_NE(fallback, nullptr);
  EXPECT_EQ(fallback->id, L"button");
  EXPECT_EQ(m.FindItem(L"button", L"dup")->place.width, 2);
  EXPECT_EQ(m.FindItem(L"static", L"unknown"), nullptr);
  EXPECT_EQ(m.FindItem(L"nosuchclass", L"n"), nullptr);

  // A group box without its own border colour keeps its text colour for the border.
  EXPECT_EQ(m.FindItem(L"groupbutton", L"g1")->Raw(L"attribute", L"borderColor"), L"RGB(0,64,128)");
  EXPECT_EQ(m.FindItem(L"groupbutton", L"g2")->Raw(L"attribute", L"borderColor"), L"#standard.border");

  EXPECT_TRUE(m.CommonDefaults().present);
  EXPECT_EQ(m.CommonDefaults().border_color, Rgb(1, 2, 3));
  EXPECT_EQ(m.CommonDefaults().background_color, Rgb(240, 240, 240));
}

TEST(ThemeArchive, PicturesAreKeyedByEntryThenReKeyedById) {
  const Bytes png = MakePng(6, 4, PngKind::kRgba);
  const Bytes bmp = MakeBmp(5, 3, 24);
  const Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 1}, {0, 0, 4, 4, 2}});
  const std::string doc = Theme(R"x(<image>
      <item id="first" value="skin\a.png"/>
      <item id="second" value="skin\a.png"/>
      <item id="bitmap" value="skin\b.bmp" adjusthsb="false" clipcolor="RGB(1,2,3)"/>
      <item id="anim" value="skin\spin.gif"/>
      <item id="jpeg" value="skin\c.jpeg"/>
      <item id="" value="skin\d.png"/>
      <item id="missing" value="skin\none.png"/>
    </image>
    <command><item id="cmd" image="first"/><item id="cmd2" image="nosuch"/></command>)x");
  CSkinResourceManager m;
  ASSERT_EQ(LoadArchive(m, doc,
                        {{"skin/", {}},
                         {"/skin/a.png", png},
                         {"skin/b.bmp", bmp},
                         {"skin/spin.gif", gif},
                         {"skin/c.jpeg", png},
                         {"skin/d.PNG", png},
                         {"C:skin/broken.png", AsBytes("not a png")},
                         {"../../top.ico", MakeIco(16, 16, 32)},
                         {"skin/Thumbs.db", AsBytes("junk")}}),
            1);
  CSkinDrawImage* first = m.GetPicture(L"first");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Kind(), CXIMAGE_FORMAT_PNG);
  EXPECT_EQ(first->GetWidth(), 6u);
  EXPECT_TRUE(first->Decoded().HasAlpha());
  EXPECT_EQ(m.GetPicture(L"skin/a.png"), nullptr) << "re-keyed under the id";
  EXPECT_EQ(m.GetPicture(L"second"), nullptr) << "a second item naming the same file finds nothing";

  CSkinDrawImage* bitmap = m.Pictures().Find(L"bitmap");
  ASSERT_NE(bitmap, nullptr);
  EXPECT_FALSE(bitmap->IsRealised()) << "BMP bytes stay raw until first looked up";
  EXPECT_EQ(bitmap->RawBytes().size(), bmp.size());
  EXPECT_FALSE(bitmap->Tint());
  EXPECT_EQ(bitmap->KeyColor(), Rgb(1, 2, 3));
  ASSERT_EQ(m.GetPicture(L"bitmap"), bitmap);
  EXPECT_EQ(bitmap->GetWidth(), 5u);

  EXPECT_NE(m.GetAnimation(L"skin/spin.gif"), nullptr) << "animations keep their entry names";
  EXPECT_EQ(m.GetAnimation(L"anim"), nullptr);
  EXPECT_TRUE(m.GetAnimation(L"skin/spin.gif")->IsLoaded());
  EXPECT_EQ(m.GetPicture(L"jpeg"), nullptr);
  EXPECT_EQ(m.Pictures().Find(L"skin/c.jpeg"), nullptr) << ".jpeg entries are not pictures";
  EXPECT_NE(m.GetPicture(L"skin/d.PNG"), nullptr) << "the suffix test is on the upper-cased name";
  CSkinDrawImage* broken = m.GetPicture(L"skin/broken.png");
  ASSERT_NE(broken, nullptr) << "an entry that fails to decode still gets its picture";
  EXPECT_EQ(broken->GetWidth(), 0u);
  ASSERT_NE(m.GetPicture(L"top.ico"), nullptr);
  EXPECT_EQ(m.GetPicture(L"top.ico")->GetWidth(), 16u);
  EXPECT_EQ(m.Pictures().Find(L"skin/Thumbs.db"), nullptr);
  ASSERT_NE(m.GetCommand(L"cmd"), nullptr);
  EXPECT_EQ(*m.GetCommand(L"cmd"), L"first");
  EXPECT_EQ(m.GetCommand(L"cmd2"), nullptr);
}

TEST(ThemeArchive, LaterDocumentWinsAndByteOrderMarkIsHarmless) {
  CSkinResourceManager m;
  const std::string bom = "\xEF\xBB\xBF";
  const Bytes zip = MakeStoredZip({{"a.xml", AsBytes(Theme("<color><item id=\"a\" value=\"RGB(1,1,1)\"/></color>"))},
                                   {"b.XML", AsBytes(bom + Theme("<color><item id=\"b\" value=\"RGB(2,2,2)\"/></color>"))}});
  ASSERT_EQ(m.LoadArchiveTheme(zip.data(), zip.size(), nullptr), 1);
  EXPECT_EQ(m.FindColor(L"a"), nullptr);
  ASSERT_NE(m.FindColor(L"b"), nullptr);
}

TEST(ThemeArchive, EntryClaimingAHugeSizeIsSkippedAndTheRestLoads) {
  // The central directory claims 2 GiB for the first picture; the loader refuses it before allocating and
  // still takes the rest of the archive.
  const Bytes png = MakePng(4, 4, PngKind::kRgb);
  Bytes zip = MakeStoredZip({{"skin/huge.png", png}, {"skin/ok.png", png},
                             {"skin.xml", AsBytes(Theme("<color><item id=\"c\" value=\"RGB(1,2,3)\"/></color>"))}});
  size_t central = 0;
  for (size_t i = 0; i + 4 <= zip.size(); ++i)
    if (zip[i] == 0x50 && zip[i + 1] == 0x4B && zip[i + 2] == 0x01 && zip[i + 3] == 0x02) {
      central = i;
      break;
    }
  ASSERT_NE(central, 0u);
  zip[central + 24] = 0xFF, zip[central + 25] = 0xFF, zip[central + 26] = 0xFF, zip[central + 27] = 0x7F;
  CSkinResourceManager m;
  ASSERT_EQ(m.LoadArchiveTheme(zip.data(), zip.size(), ""), 1);
  const CSkinDrawImage* huge = m.Pictures().Find(L"skin/huge.png");
  EXPECT_TRUE(huge == nullptr || huge->GetWidth() == 0u);
  ASSERT_NE(m.GetPicture(L"skin/ok.png"), nullptr);
  EXPECT_EQ(m.GetPicture(L"skin/ok.png")->GetWidth(), 4u);
  EXPECT_NE(m.FindColor(L"c"), nullptr);
}

TEST(ThemeArchive, UnopenableArchiveChangesNothing) {
  CSkinResourceManager m;
  int changed = 0;
  m.SetThemeChangedCallback([&] { ++changed; });
  const Bytes junk = AsBytes("this is not a zip archive at all");
  EXPECT_EQ(m.LoadArchiveTheme(junk.data(), junk.size(), ""), 0);
  EXPECT_EQ(m.LoadArchiveTheme(nullptr, 0, ""), 0);
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(LoadArchive(m, Theme("")), 1);
  EXPECT_EQ(changed, 1);
}

TEST(ThemeArchive, UnicodeTextIsDecodedWithoutTheLocale) {
  CSkinResourceManager m;
  ASSERT_EQ(LoadArchive(m, Theme("<constrol><item class=\"button\" id=\"b\"><attribute toolTip=\"\xE5\x85\xB3\xE9\x97\xAD\"/>"
                                 "<text id=\"t\" string=\"bad\xFFtext\"/></item></constrol>")),
            1);
  ThemeItem* b = m.FindItem(L"button", L"b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Element(L"attribute").Text(L"toolTip"), L"\x5173\x95ED");
  EXPECT_EQ(b->FindChild(L"t")->attrs.Text(L"string"), L"bad?text");
}

class ThemeFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("skin_theme_folder_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "skin");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const Bytes& data) {
    std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
  }
  std::filesystem::path dir_;
};

TEST_F(ThemeFolder, LoadsOnceAndReadsPicturesFromTheFolder) {
  Write("skin/a.png", MakePng(7, 3, PngKind::kRgb));
  Write("skin/b.bmp", MakeBmp(2, 2, 24));
  Write("skin/s.gif", MakeGif(4, 4, {{0, 0, 4, 4, 1}}));
  Write("theme.XmL", AsBytes(Theme(R"x(<image><item id="a" value="skin\a.png"/><item id="b" value="skin\b.bmp"/>
                                     <item id="s" value="skin\s.gif"/><item id="gone" value="skin\gone.png"/></image>)x")));
  CSkinResourceManager m;
  ASSERT_EQ(m.LoadFolderTheme(dir_.wstring()), 1);
  EXPECT_EQ(m.ThemeFolder(), dir_.wstring());
  ASSERT_NE(m.GetPicture(L"a"), nullptr);
  EXPECT_EQ(m.GetPicture(L"a")->GetWidth(), 7u);
  CSkinDrawImage* b = m.Pictures().Find(L"b");
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->IsFromFile());
  EXPECT_FALSE(b->IsRealised()) << "folder bitmaps are read on first look-up";
  EXPECT_EQ(m.GetPicture(L"b")->GetWidth(), 2u);
  ASSERT_NE(m.GetAnimation(L"s"), nullptr) << "folder animations go under the item id";
  ASSERT_NE(m.GetPicture(L"gone"), nullptr) << "a missing file leaves an empty picture";
  EXPECT_EQ(m.GetPicture(L"gone")->GetWidth(), 0u);

  EXPECT_EQ(m.LoadFolderTheme(dir_.wstring()), 0) << "the same theme file is never loaded twice";
}

TEST_F(ThemeFolder, FolderWithoutDocumentOrMissingFails) {
  Write("skin/a.png", MakePng(7, 3, PngKind::kRgb));
  CSkinResourceManager m;
  EXPECT_EQ(m.LoadFolderTheme(dir_.wstring()), 0);
  EXPECT_EQ(m.LoadFolderTheme((dir_ / "absent").wstring()), 0);
  EXPECT_TRUE(m.ThemeFolder().empty());
}

TEST(FilePictures, KindFromPathAndReuse) {
  const auto dir = std::filesystem::temp_directory_path();
  const auto png = dir / "skin_file_picture.png";
  const auto jpeg = dir / "skin_file_picture.jpeg";
  const Bytes data = MakePng(3, 3, PngKind::kRgba);
  std::ofstream(png, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
  const Bytes jdata = MakeJpeg(8, 8, false);
  std::ofstream(jpeg, std::ios::binary).write(reinterpret_cast<const char*>(jdata.data()), jdata.size());

  CSkinResourceManager m;
  CSkinDrawImage* p = m.RegisterFilePicture(png.wstring());
  EXPECT_EQ(p->Kind(), CXIMAGE_FORMAT_PNG);
  EXPECT_EQ(m.RegisterFilePicture(png.wstring()), p);
  EXPECT_EQ(m.GetPicture(png.wstring())->GetWidth(), 3u);
  // A changed file is not read again.
  std::ofstream(png, std::ios::binary) << "changed";
  EXPECT_EQ(m.GetPicture(png.wstring())->GetWidth(), 3u);

  CSkinDrawImage* j = m.RegisterFilePicture(jpeg.wstring());
  EXPECT_EQ(j->Kind(), CXIMAGE_FORMAT_BMP) << "only .jpg names are JPEG";
  EXPECT_EQ(m.GetPicture(jpeg.wstring())->GetWidth(), 0u) << "the bitmap decoder refuses the JPEG bytes";
  std::filesystem::remove(png);
  std::filesystem::remove(jpeg);
}

}  // namespace
