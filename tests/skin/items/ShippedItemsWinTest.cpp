// The shipped theme's items drawn on memory surfaces: one picture and one text per button state, the device
// button at natural size with its logo, and renders of every item saved for looking at.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "skin/ImageFixtures.h"
#include "skin/SkinResourceManager.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/items/ItemSurface_win.h"
#include "skin/items/ItemTheme_win.h"

using namespace items_test;

namespace {

constexpr uint32_t kHostStates[] = {skin::kStateNormal, skin::kStateOver, skin::kStateDown, skin::kStateDisable};
const char* StateName(uint32_t s) {
  return s == skin::kStateNormal ? "normal"
         : s == skin::kStateOver ? "over"
         : s == skin::kStateDown ? "down"
                                 : "disable";
}

// A skin dressed with a shipped theme item over a control of the item's size.
struct DressedControl {
  DressedControl(const wchar_t* class_name, const wchar_t* id, int width, int height, const wchar_t* text)
      : windows(width, height, text), skin(windows.control()), font(CrispFont(12)) {
    skin::ThemeItem* item = ShippedTheme().FindItem(class_name, id);
    EXPECT_NE(item, nullptr) << "theme item missing";
    if (item) skin.BuildItems(*item, ShippedTheme());
    skin.SetFont(font.get());
  }
  void Draw(Surface& s, uint32_t state) {
    skin.SetHostState(state);
    skin.DrawItems(s.dc(), 0, 0, s.width(), s.height());
  }
  HostWindows windows;
  CSkinBase skin;
  fw::UniqueFont font;
};

// The theme picture `id` drawn alone at natural size.
void DrawReference(Surface& s, const wchar_t* id, int x = 0, int y = 0) {
  CSkinDrawImage* pic = ShippedTheme().GetPicture(id);
  ASSERT_NE(pic, nullptr);
  skin::DrawBitBlt(s.dc(), *pic, x, y, 0, 0, static_cast<int>(pic->GetWidth()), static_cast<int>(pic->GetHeight()));
}

TEST(ShippedItems, StandardButtonShowsOnePictureAndOneTextPerState) {
  const wchar_t* pictures[] = {L"standard.button_normal", L"standard.button_hot", L"standard.button_down",
                               L"standard.button_disable"};
  const COLORREF black = RGB(0, 0, 0), gray = RGB(143, 143, 143);
  DressedControl button(L"button", L"standard.button", 69, 26, L"Write");
  for (int i = 0; i < 4; ++i) {
    const uint32_t state = kHostStates[i];
    Surface drawn(69, 26), reference(69, 26);
    button.Draw(drawn, state);
    DrawReference(reference, pictures[i]);
    // Left of the text (x < 24) only the state's own picture shows: a second picture would blend over it.
    EXPECT_EQ(Differences(drawn, reference, 0, 0, 24, 26), 0) << StateName(state);
    EXPECT_GT(Differences(drawn, reference, 24, 0, 69, 26), 0) << StateName(state) << ": no text";
    const bool disabled = state == skin::kStateDisable;
    EXPECT_GT(CountColor(drawn, disabled ? gray : black, 24, 0, 69, 26), 0) << StateName(state);
    EXPECT_EQ(CountColor(drawn, disabled ? black : gray, 24, 0, 69, 26), 0) << StateName(state) << ": both texts drawn";
  }
}

TEST(ShippedItems, DeviceButtonDrawsAtNaturalSizeWithItsLogo) {
  DressedControl device(L"button", L"btnChoseDevice", 200, 40, L"");
  ASSERT_TRUE(device.skin.SetItemProperty(L"menu.logo", L"icon_device_iphone", false));
  Surface drawn(200, 40), reference(200, 40);
  device.Draw(drawn, skin::kStateNormal);
  DrawReference(reference, L"btn_device_normal");
  DrawReference(reference, L"icon_device_iphone", 6, 3);
  // "bitbltblt" is no style name: the 142 x 25 picture is not stretched over the 200 x 40 control.
  EXPECT_EQ(CountColor(drawn, RGB(255, 255, 255), 142, 0, 200, 40), 58 * 40);
  EXPECT_EQ(CountColor(drawn, RGB(255, 255, 255), 0, 25, 142, 40), 142 * 15);
  // The 17 x 18 logo lies at (6, 3) over the button picture, left of the text at x = 26.
  EXPECT_EQ(Differences(drawn, reference, 0, 0, 26, 25), 0);
  Surface without_logo(200, 40);
  DrawReference(without_logo, L"btn_device_normal");
  EXPECT_GT(Differences(reference, without_logo, 6, 3, 23, 21), 0) << "the logo must show";
  EXPECT_EQ(Differences(reference, without_logo, 0, 0, 142, 3), 0);
  // The theme's "iPhone4" in white is the text of the normal state.
  EXPECT_GT(CountColor(drawn, RGB(255, 255, 255), 26, 0, 142, 25),
            CountColor(reference, RGB(255, 255, 255), 26, 0, 142, 25));
}

// The user's logos of any size, and a broken one, drawn by the picture slot's item: nothing outside the slot.
TEST(ShippedItems, UserLogosStayInsideTheSlot) {
  using skin_test::MakePng;
  using skin_test::PngKind;
  const skin_test::Bytes whole = MakePng(80, 40, PngKind::kRgba);
  const struct {
    const char* name;
    skin_test::Bytes png;
    bool draws;
  } logos[] = {{"1x1", MakePng(1, 1, PngKind::kRgba), false},
               {"3x3", MakePng(3, 3, PngKind::kRgba), false},
               {"80x40", whole, true},
               {"2000x2000", MakePng(2000, 2000, PngKind::kRgb), true},
               {"truncated", skin_test::Bytes(whole.begin(), whole.begin() + whole.size() / 2), false}};
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const COLORREF fill = RGB(1, 2, 3);
  for (const auto& logo : logos) {
    const std::wstring path =
        std::wstring(temp) + L"logora_items_logo_" + std::wstring(logo.name, logo.name + strlen(logo.name)) + L".png";
    {
      std::ofstream out(path.c_str(), std::ios::binary);
      out.write(reinterpret_cast<const char*>(logo.png.data()), static_cast<std::streamsize>(logo.png.size()));
    }
    for (auto [w, h] : {std::pair{47, 24}, {71, 39}}) {
      DressedControl slot(L"button", L"standard.imageBox", w, h, L"");
      ASSERT_TRUE(slot.skin.SetItemImage(L"image.logo", path, false)) << logo.name;
      Surface s(w + 30, h + 30, fill);
      slot.skin.SetHostState(skin::kStateNormal);
      slot.skin.DrawItems(s.dc(), 0, 0, w, h);  // the slot's client area inside a larger surface
      EXPECT_EQ(s.ChangedOutside(RECT{0, 0, w, h}, fill), 0) << logo.name << " in " << w << "x" << h;
      if (logo.draws) EXPECT_GT(s.ChangedInside(RECT{0, 0, w, h}, fill), w * h / 2) << logo.name;
      if (std::string(logo.name) == "truncated") EXPECT_EQ(s.ChangedInside(RECT{0, 0, w, h}, fill), 0);
    }
    ::DeleteFileW(path.c_str());
  }
}

TEST(ShippedItems, RendersOfEveryItemForLookingAt) {
  const std::string folder = RenderFolder();
  {
    DressedControl dialog(L"window", L"PromptDialog", 425, 250, L"");
    Surface s(425, 250, RGB(90, 120, 160));
    dialog.Draw(s, skin::kStateNormal);
    EXPECT_TRUE(SavePng(s, folder + "PromptDialog.png"));
    // The window title in white over the band, the client rectangle filled light blue.
    EXPECT_GT(CountColor(s, RGB(255, 255, 255), 170, 0, 370, 29), 0);
    EXPECT_EQ(s.At(200, 120), RGB(243, 247, 255));
  }
  const struct {
    const wchar_t* id;
    int width, height;
    const wchar_t* text;
    const char* file;
  } buttons[] = {{L"standard.button", 69, 26, L"\x5199\x5165", "standard.button"},
                 {L"btnChoseDevice", 142, 25, L"iPhone", "btnChoseDevice"},
                 {L"sysbtn.close", 51, 32, L"", "sysbtn.close"},
                 {L"sysbtn.min", 33, 32, L"", "sysbtn.min"},
                 {L"standard.imageBox", 80, 80, L"", "standard.imageBox"}};
  for (const auto& b : buttons) {
    DressedControl button(L"button", b.id, b.width, b.height, b.text);
    button.skin.SetItemProperty(L"menu.logo", L"icon_device_ipad", false);
    button.skin.SetItemProperty(L"image.logo", L"standard.main_logo", false);
    for (uint32_t state : kHostStates) {
      Surface s(b.width, b.height, RGB(243, 247, 255));
      button.Draw(s, state);
      EXPECT_TRUE(SavePng(s, folder + b.file + "." + StateName(state) + ".png"));
    }
  }
}

}  // namespace
