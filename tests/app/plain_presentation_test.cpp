// Without a theme, the skin functions still present item texts and pictures on the native controls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "skin/SkinApi.h"
#include "support/WinTestSupport.h"

using testing_support::TextOf;

namespace {

// A 2 x 1 RGBA PNG: one opaque red pixel, one transparent one.
const unsigned char kTinyPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00,
    0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x44, 0x0C, 0x0C, 0x00, 0x0C, 0xFC,
    0x01, 0xFF, 0x5C, 0xFD, 0x14, 0x95, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

std::wstring WriteTempFile(const wchar_t* name, const void* bytes, size_t size) {
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + name;
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return L"";
  fwrite(bytes, 1, size, f);
  fclose(f);
  return path;
}

class PlainPresentation : public ::testing::Test {
 protected:
  void SetUp() override {
    button = ::CreateWindowExW(0, L"Button", L"", WS_POPUP | BS_PUSHBUTTON, 0, 0, 94, 48, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(button, nullptr);
  }
  void TearDown() override { ::DestroyWindow(button); }
  HWND button = nullptr;
};

TEST_F(PlainPresentation, ItemTextFollowsTheEnabledState) {
  SkinSetWindowSkin(button, L"btnChoseDevice");
  ::EnableWindow(button, FALSE);
  EXPECT_EQ(TextOf(button), L"没有插入设备");
  EXPECT_EQ(SkinSetItemProperty(button, L"item.text", L"小明的 iPhone", 1), 1);
  EXPECT_EQ(TextOf(button), L"没有插入设备");  // still disabled
  ::EnableWindow(button, TRUE);
  EXPECT_EQ(TextOf(button), L"小明的 iPhone");
  EXPECT_EQ(SkinSetItemProperty(button, L"no.such.item", L"x", 1), 0);
  EXPECT_EQ(SkinSetItemProperty(button, nullptr, L"x", 1), 0);
}

TEST_F(PlainPresentation, SlotPictureIsShownAndUnreadablePicturesAreRefused) {
  SkinSetWindowSkin(button, L"standard.imageBox");
  const std::wstring png = WriteTempFile(L"logora-plain-test.png", kTinyPng, sizeof(kTinyPng));
  const char not_png[] = "GIF89a definitely not a PNG";
  const std::wstring bogus = WriteTempFile(L"logora-plain-test.bmp", not_png, sizeof(not_png));
  ASSERT_FALSE(png.empty());

  EXPECT_EQ(SkinSetItemImage(button, L"image.logo", bogus.c_str(), 1), 0);
  EXPECT_EQ(::SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  EXPECT_EQ(SkinSetItemImage(button, L"image.logo", L"C:\\no\\such\\file.png", 1), 0);

  EXPECT_EQ(SkinSetItemImage(button, L"image.logo", png.c_str(), 1), 1);
  auto shown = reinterpret_cast<HBITMAP>(::SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(shown, nullptr);
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(shown, sizeof(bm), &bm));
  EXPECT_GT(bm.bmWidth, 0);
  EXPECT_LE(bm.bmWidth, 94);
  EXPECT_LE(bm.bmHeight, 48);
  ::DeleteFileW(png.c_str());
  ::DeleteFileW(bogus.c_str());
}

TEST(SkinInterface, MenuHookReportsOnlyTheCallThatInstalledIt) {
  EXPECT_EQ(SkinEnableMenuHook(0), 0);
  EXPECT_EQ(SkinEnableMenuHook(1), 1);
  EXPECT_EQ(SkinEnableMenuHook(1), 0);
  EXPECT_EQ(SkinEnableMenuHook(0), 0);
  EXPECT_EQ(SkinEnableMenuHook(1), 1);
  EXPECT_EQ(SkinEnableMenuHook(0), 0);
}

TEST(SkinInterface, MenuSkinNeedsTheThemeThatTheProgramCarries) {
  EXPECT_EQ(SkinSetMenuSkin(L"standard.menu"), 0);  // no theme loaded yet
  ASSERT_EQ(SkinLoadFromResource(L"DATA", 133, ""), 1);
  EXPECT_EQ(SkinSetMenuSkin(L"standard.menu"), 1);
  EXPECT_EQ(SkinSetMenuSkin(nullptr), 0);
}

TEST(SkinInterface, InitAcceptsRelativeAndAbsoluteFoldersAndMissingResourcesFail) {
  EXPECT_EQ(SkinInit(L"..\\themes"), 1);
  EXPECT_EQ(SkinInit(L"C:\\no-such-theme-folder"), 1);
  EXPECT_EQ(SkinLoadFromResource(L"DATA", 4321, ""), 0);
}

}  // namespace
