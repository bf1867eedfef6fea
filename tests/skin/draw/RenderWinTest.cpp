// Renders of the shipped theme's pictures through the primitives, saved under the build folder as PNGs to be
// looked at (build/windows/renders/): the menu drawn as its skin draws it, the dialog background at the main
// window's client size, the button pictures per state, and user logos of odd sizes in the logo slot. Each
// render is also probed where its pixels are known.
#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "skin/ImageFixtures.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeResource.h"
#include "skin/draw/DrawSurface_win.h"
#include "skin/draw/GdiOps_win.h"
#include "skin/draw/Glyphs.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/draw/SkinFont_win.h"
#include "skin/draw/SkinText_win.h"

using namespace skin_test;

namespace {

const std::string kRenderDir = LOGORA_BINARY_DIR "/renders";

bool SavePng(const DrawSurface& s, const std::string& name) {
  ::GdiFlush();
  ::CreateDirectoryA(kRenderDir.c_str(), nullptr);
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(s.width()) * s.height() * 4);
  for (int i = 0; i < s.width() * s.height(); ++i) {
    const uint32_t v = s.bits()[i];
    rgba.insert(rgba.end(), {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), 255});
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(s.width());
  image.height = static_cast<png_uint_32>(s.height());
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, (kRenderDir + "/" + name).c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

class ShippedRenders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    theme_ = new skin::CSkinResourceManager();
    ASSERT_EQ(skin::LoadThemeResource(*theme_, ::GetModuleHandleW(nullptr), L"DATA", 133, ""), 1);
  }
  static void TearDownTestSuite() {
    delete theme_;
    theme_ = nullptr;
  }
  static CSkinDrawImage& Picture(const wchar_t* id) {
    CSkinDrawImage* p = theme_->GetPicture(id);
    EXPECT_NE(p, nullptr) << "picture of the shipped theme";
    static CSkinDrawImage empty;
    return p ? *p : empty;
  }
  static skin::CSkinResourceManager* theme_;
};
skin::CSkinResourceManager* ShippedRenders::theme_ = nullptr;

TEST_F(ShippedRenders, MenuAsItsSkinDrawsIt) {
  // Three items of the hot picture's height and a separator, 3-pixel borders, 9-grid (30,6,6,6), part offset 5.
  CSkinDrawImage& background = Picture(L"standard.menu.bk");
  CSkinDrawImage& hot = Picture(L"standard.menu.hot");
  CSkinDrawImage& separator = Picture(L"standard.menu.sep");
  const int item_h = static_cast<int>(hot.GetHeight()), w = 180;
  const int h = 3 + item_h * 3 + static_cast<int>(separator.GetHeight()) + 6 + 3;
  DrawSurface s(w, h, RGB(255, 0, 255));
  ::SetStretchBltMode(s.dc(), HALFTONE);
  const int bw = static_cast<int>(background.GetWidth()), bh = static_cast<int>(background.GetHeight());
  ASSERT_TRUE(skin::DrawFill9Grid(s.dc(), background, 0, 0, w, h, 30, 6, 6, 6, 3, 3, bw - 3, bh - 3));
  CSkinFont font;
  ASSERT_TRUE(font.Create(L"Tahoma", 12, false, false));
  fw::ScopedSelectObject select(s.dc(), font.GetHandle());
  ::SetBkMode(s.dc(), TRANSPARENT);
  int y = 3;
  const wchar_t* items[] = {L"iPhone 4", L"iPad 2", L"iPhone 3GS"};
  for (int i = 0; i < 3; ++i) {
    if (i == 1) ASSERT_TRUE(skin::Draw9Grid(s.dc(), hot, 3, y, w - 3, y + item_h, 5, 5, 5, 5));
    ::SetTextColor(s.dc(), i == 1 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    RECT text{30 + 2, y, w - 3, y + item_h};
    ::DrawTextW(s.dc(), items[i], -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    y += item_h;
    if (i == 1) {
      skin::Draw9Grid(s.dc(), separator, 30, y + 3, w - 3, y + 3 + static_cast<int>(separator.GetHeight()), 5, 0, 5, 0);
      y += static_cast<int>(separator.GetHeight()) + 6;
    }
  }
  skin::DrawGlyph(s.dc(), w - 20, 3, w - 6, 3 + item_h, skin::kGlyphSubmenuArrow, RGB(60, 60, 60));
  EXPECT_TRUE(SavePng(s, "menu.png"));
  EXPECT_NE(s.At(w / 2, h / 2), RGB(255, 0, 255)) << "the background covers the menu";
  EXPECT_EQ(s.ChangedInside(RECT{0, 0, w, h}, RGB(255, 0, 255)), w * h) << "no hole in the nine-grid";
}

TEST_F(ShippedRenders, DialogBackgroundAtTheMainWindowsClientSize) {
  CSkinDrawImage& frame = Picture(L"standard.Dialog.Background");
  ASSERT_NE(skin::BitmapForm(frame), nullptr);
  for (auto [w, h, name] : {std::tuple{495, 266, "dialog_bk_client.png"}, std::tuple{1024, 768, "dialog_bk_1024.png"},
                            std::tuple{20, 20, "dialog_bk_small.png"}}) {
    DrawSurface s(w, h, RGB(0, 160, 0));
    ASSERT_TRUE(skin::Draw9Grid(s.dc(), frame, 0, 0, w, h, 15, 15, 15, 15));
    EXPECT_TRUE(SavePng(s, name));
    EXPECT_EQ(s.At(0, 0), RGB(0, 160, 0)) << name << ": the rounded corner is magenta in the picture";
    EXPECT_NE(s.At(w / 2, h / 2), RGB(0, 160, 0)) << name;
  }
}

TEST_F(ShippedRenders, ButtonPicturesPerState) {
  const wchar_t* ids[] = {L"standard.button_normal", L"standard.button_hot", L"standard.button_down",
                          L"standard.button_disable", L"btn_device_normal", L"btn_device_hot", L"btn_device_down",
                          L"btn_device_dis"};
  DrawSurface s(160 * 4, 40 * 2, RGB(236, 240, 244));
  for (int i = 0; i < 8; ++i) {
    CSkinDrawImage& p = Picture(ids[i]);
    const int x = (i % 4) * 160 + 4, y = (i / 4) * 40 + 4;
    ASSERT_TRUE(skin::DrawAt(s.dc(), p, x, y)) << i;
    EXPECT_NE(s.At(x + static_cast<int>(p.GetWidth()) / 2, y + static_cast<int>(p.GetHeight()) / 2),
              RGB(236, 240, 244))
        << "picture drawn at natural size";
  }
  EXPECT_TRUE(SavePng(s, "buttons.png"));
}

TEST_F(ShippedRenders, LogosInTheSlot) {
  const auto gradient = [](uint32_t w, uint32_t h) {
    return [w, h](uint32_t x, uint32_t y) {
      return Rgba{static_cast<uint8_t>(x * 255 / (w > 1 ? w - 1 : 1)), static_cast<uint8_t>(y * 255 / (h > 1 ? h - 1 : 1)),
                  160, static_cast<uint8_t>((x + y) % 3 ? 255 : 128)};
    };
  };
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {3, 3}, {47, 24}, {80, 40}, {2000, 2000}};
  DrawSurface s(5 * 60, 36, RGB(236, 240, 244));
  int x = 6;
  for (auto [w, h] : sizes) {
    CSkinDrawImage p;
    p.SetFromBytes(MakePngOf(w, h, gradient(w, h)), CXIMAGE_FORMAT_PNG);
    EXPECT_TRUE(skin::Draw9Grid(s.dc(), p, x, 6, x + 47, 30, 2, 2, 2, 2));
    x += 60;
  }
  EXPECT_TRUE(SavePng(s, "logos.png"));
  EXPECT_EQ(s.ChangedOutside(RECT{6, 6, 6 + 4 * 60 + 47, 30}, RGB(236, 240, 244)), 0);
}

}  // namespace
