#include <gtest/gtest.h>

#include <string>

#include "packaging/SlotPictures.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipFixture.h"

using packaging::PictureCheck;

namespace {

TEST(SlotPictures, OnlyReadablePngFilesOfSaneSizeAreAccepted) {
  testfiles::ScopedTempFolder dir;
  const std::string png = testzip::PngLike(5000);
  struct Case {
    const char* name;
    std::string content;  // not written when empty and `create` is false
    bool create;
    PictureCheck expected;
  } const cases[] = {
      {"logo.png", png, true, PictureCheck::kOk},
      {"logo-without-suffix", png, true, PictureCheck::kOk},
      {"photo.png", "\xff\xd8\xff\xe0 JFIF", true, PictureCheck::kNotPng},
      {"short.png", png.substr(0, 7), true, PictureCheck::kNotPng},
      {"empty.png", "", true, PictureCheck::kNotPng},
      {"exactly-the-cap.png", png.substr(0, 8) + std::string((10 << 20) - 8, 'x'), true, PictureCheck::kOk},
      {"huge.png", png.substr(0, 8) + std::string(10 << 20, 'x'), true, PictureCheck::kTooLarge},
      {"missing.png", "", false, PictureCheck::kUnreadable},
  };
  for (const auto& c : cases) {
    const auto path = dir.path() / c.name;
    if (c.create) testfiles::WriteFile(path, c.content);
    EXPECT_EQ(packaging::CheckSlotPicture(path.wstring()), c.expected) << c.name;
  }
  EXPECT_EQ(packaging::CheckSlotPicture(dir.path().wstring()), PictureCheck::kUnreadable);
  EXPECT_EQ(packaging::CheckSlotPicture(L""), PictureCheck::kUnreadable);
}

TEST(SlotPictures, TemporaryCopiesAreRemovedWhenReleasedOrAtTheEnd) {
  testfiles::ScopedTempFolder dir;
  const auto ours1 = dir.path() / "a.png", ours2 = dir.path() / "b.png", users = dir.path() / "user.png";
  for (const auto& p : {ours1, ours2, users}) testfiles::WriteFile(p, "x");
  {
    packaging::TempPictureFiles files;
    files.Add(ours1.wstring());
    files.Add(ours2.wstring());
    EXPECT_FALSE(files.Release(users.wstring()));  // never a file the program did not make
    EXPECT_TRUE(std::filesystem::exists(users));
    EXPECT_TRUE(files.Release(ours1.wstring()));
    EXPECT_FALSE(std::filesystem::exists(ours1));
    EXPECT_FALSE(files.Holds(ours1.wstring()));
    EXPECT_TRUE(std::filesystem::exists(ours2));
  }
  EXPECT_FALSE(std::filesystem::exists(ours2));
  EXPECT_TRUE(std::filesystem::exists(users));
}

}  // namespace
