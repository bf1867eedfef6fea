// Carrier choice and picture slots in the real main window: the slots hold temporary copies of the chosen
// carrier's template logos, and a picked file replaces one slot's picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/AppFormMain.h"
#include "app/PictureFileDialog.h"
#include "packaging/CarrierTemplates.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipReader.h"
#include "support/WinTestSupport.h"

namespace {

namespace fs = std::filesystem;
using packaging::Carrier;

constexpr int kUnicomRadio = 1008, kCmccRadio = 1009;
constexpr int kSlotIds[3] = {1015, 1016, 1017};

// What the replaced open-file dialog answers, and what it was asked.
struct DialogScript {
  bool confirm = false;
  std::wstring answer;
  int shown = 0;
  std::wstring filter;  // with its embedded terminators
  std::wstring defaultExtension;
  DWORD flags = 0;
};
DialogScript script;

BOOL WINAPI ScriptedDialog(OPENFILENAMEW* request) {
  ++script.shown;
  const wchar_t* f = request->lpstrFilter;
  script.filter.clear();
  while (f && (f[0] || f[1])) script.filter.push_back(*f++);
  if (f) script.filter += std::wstring(2, L'\0');
  script.defaultExtension = request->lpstrDefExt ? request->lpstrDefExt : L"";
  script.flags = request->Flags;
  if (!script.confirm) return FALSE;
  wcsncpy(request->lpstrFile, script.answer.c_str(), request->nMaxFile - 1);
  return TRUE;
}

std::string TemplateLogo(Carrier carrier, size_t slot) {
  const auto t = packaging::CachedTemplate(carrier);
  packaging::ZipReaderHandle reader;
  packaging::ZipEntryInfo info;
  if (packaging::OpenZipFromMemory(t.data, t.size, reader) != packaging::ZipReadResult::kOk ||
      packaging::FindZipEntry(reader.get(),
                              packaging::Utf8ToWide(packaging::LogoEntryName(carrier, packaging::kLogoVariants[slot])),
                              info) != packaging::ZipReadResult::kOk) {
    return {};
  }
  std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
  packaging::UnzipEntryToMemory(reader.get(), info, out.data(), out.size());
  return out;
}

class CarrierSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    script = DialogScript{};
    previousDialog = app::SetOpenFileDialog(&ScriptedDialog);
    dialog = std::make_unique<AppFormMain>();
    ASSERT_TRUE(dialog->Create());
    hwnd = dialog->GetSafeHwnd();
    testing_support::PumpFor(20);
  }
  void TearDown() override {
    if (dialog && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    dialog.reset();
    app::SetOpenFileDialog(previousDialog);
  }
  std::array<std::wstring, 3> Paths() const { return dialog->PicturePaths(); }
  void Click(int id) { ::SendMessageW(::GetDlgItem(hwnd, id), BM_CLICK, 0, 0); }
  void ExpectTemplateLogos(Carrier carrier) {
    const auto paths = Paths();
    for (size_t i = 0; i < 3; ++i) {
      const fs::path p(paths[i]);
      EXPECT_EQ(p.parent_path(), tmp.path()) << i;
      EXPECT_EQ(p.extension(), ".png") << i;
      EXPECT_EQ(p.stem().wstring().size(), 36u) << i;
      EXPECT_EQ(testfiles::ReadFile(p), TemplateLogo(carrier, i)) << i;
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_NE(paths[1], paths[2]);
    EXPECT_NE(paths[0], paths[2]);
  }
  fs::path UserPicture(const std::string& name, const std::string& content) {
    const auto p = userFiles / name;
    testfiles::WriteFile(p, content);
    return p;
  }

  testfiles::ScopedTempFolder tmp;  // the program's temporary folder during the test
  fs::path userFiles = tmp.path().parent_path() / ("user-" + tmp.path().filename().string());
  testing_support::RecordingMessageBoxes boxes;
  app::OpenFileDialogFunction previousDialog = nullptr;
  std::unique_ptr<AppFormMain> dialog;
  HWND hwnd = nullptr;

 public:
  CarrierSlots() { fs::create_directories(userFiles); }
  ~CarrierSlots() override {
    std::error_code ec;
    fs::remove_all(userFiles, ec);
  }
};

TEST_F(CarrierSlots, WindowOpensWithChinaUnicomLogos) {
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kUnicomRadio), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kCmccRadio), BST_UNCHECKED);
  ExpectTemplateLogos(Carrier::kUnicom);
  EXPECT_EQ(tmp.CountFiles(".png"), 3u);
}

TEST_F(CarrierSlots, ChinaMobileReplacesAllThreeEvenAPickedPicture) {
  const auto mine = UserPicture("mine.png", TemplateLogo(Carrier::kCmcc, 2));
  script.confirm = true;
  script.answer = mine.wstring();
  Click(kSlotIds[0]);
  ASSERT_EQ(Paths()[0], mine.wstring());

  const auto before = Paths();
  Click(kCmccRadio);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kCmccRadio), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, kUnicomRadio), BST_UNCHECKED);
  ExpectTemplateLogos(Carrier::kCmcc);
  // The copies no slot names are gone; the user's own file is never touched.
  EXPECT_FALSE(fs::exists(before[1]));
  EXPECT_FALSE(fs::exists(before[2]));
  EXPECT_TRUE(fs::exists(mine));
  EXPECT_EQ(tmp.CountFiles(".png"), 3u);

  // Choosing the chosen carrier again gives fresh copies.
  const auto cmcc = Paths();
  Click(kCmccRadio);
  ExpectTemplateLogos(Carrier::kCmcc);
  for (size_t i = 0; i < 3; ++i) EXPECT_NE(Paths()[i], cmcc[i]);
  EXPECT_EQ(tmp.CountFiles(".png"), 3u);
}

TEST_F(CarrierSlots, PickingForFsoChangesOnlyTheSecondSlot) {
  const auto before = Paths();
  const auto mine = UserPicture("fso.png", TemplateLogo(Carrier::kCmcc, 1));
  script.confirm = true;
  script.answer = mine.wstring();
  Click(kSlotIds[1]);
  EXPECT_EQ(script.shown, 1);
  const auto after = Paths();
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], mine.wstring());
  EXPECT_EQ(after[2], before[2]);
  EXPECT_FALSE(fs::exists(before[1]));
  EXPECT_TRUE(boxes.boxes.empty());
  // The dialog offers PNG files only.
  EXPECT_EQ(script.filter, std::wstring(L"png\0*.png\0\0", 11));
  EXPECT_EQ(script.defaultExtension, L"png");
  EXPECT_EQ(script.flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), DWORD{OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT});
}

TEST_F(CarrierSlots, CancellingChangesNothing) {
  const auto before = Paths();
  script.confirm = false;
  for (int id : kSlotIds) Click(id);
  EXPECT_EQ(script.shown, 3);
  EXPECT_EQ(Paths(), before);
  for (const auto& p : before) EXPECT_TRUE(fs::exists(p));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CarrierSlots, FilesThatAreNoPngPictureAreRefused) {
  const std::string png = TemplateLogo(Carrier::kUnicom, 0);
  struct Case {
    const char* what;
    fs::path path;
  } const cases[] = {
      {"JPEG named .png", UserPicture("photo.png", "\xff\xd8\xff\xe0\x00\x10JFIF")},
      {"empty file", UserPicture("empty.png", "")},
      {"larger than 10 MB", UserPicture("huge.png", png + std::string(10 << 20, '\0'))},
      {"missing file", userFiles / "gone.png"},
  };
  const auto before = Paths();
  script.confirm = true;
  for (const auto& c : cases) {
    boxes.boxes.clear();
    script.answer = c.path.wstring();
    Click(kSlotIds[2]);
    EXPECT_EQ(Paths(), before) << c.what;
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxes.boxes[0].text, L"请选择不超过10MB的PNG图片!");
    EXPECT_EQ(boxes.boxes[0].caption, L"提示");
  }
  EXPECT_TRUE(fs::exists(before[2]));
}

TEST_F(CarrierSlots, ClosingRemovesTheTemporaryCopiesOnly) {
  const auto mine = UserPicture("ts.png", TemplateLogo(Carrier::kUnicom, 2));
  script.confirm = true;
  script.answer = mine.wstring();
  Click(kSlotIds[2]);
  const auto paths = Paths();
  ::DestroyWindow(hwnd);
  dialog.reset();
  EXPECT_FALSE(fs::exists(paths[0]));
  EXPECT_FALSE(fs::exists(paths[1]));
  EXPECT_TRUE(fs::exists(mine));
  EXPECT_EQ(tmp.CountFiles(".png"), 0u);
}

// The system's own dialog: one filter, named "png"; cancelling it changes nothing.
TEST_F(CarrierSlots, SystemDialogOffersPngOnlyAndCancelChangesNothing) {
  app::SetOpenFileDialog(nullptr);
  const auto before = Paths();
  struct Seen {
    HWND owner;
    HWND box = nullptr;
  } seen{hwnd};
  std::vector<std::wstring> filters;
  std::thread watcher([&] {
    for (int i = 0; i < 400 && !seen.box; ++i) {
      ::Sleep(25);
      ::EnumWindows(
          [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Seen*>(lp);
            if (::GetWindow(w, GW_OWNER) != s->owner || testing_support::ClassNameOf(w) != L"#32770") return TRUE;
            s->box = w;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&seen));
    }
    if (!seen.box) return;
    HWND types = nullptr;  // the file-type combo box, once the dialog has filled it
    LRESULT count = 0;
    for (int i = 0; i < 200 && count <= 0; ++i) {
      ::Sleep(25);
      types = ::GetDlgItem(seen.box, 0x470);
      count = types ? ::SendMessageW(types, CB_GETCOUNT, 0, 0) : 0;
    }
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t text[256] = {};
      ::SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      filters.push_back(text);
    }
    ::PostMessageW(seen.box, WM_COMMAND, IDCANCEL, 0);
  });
  Click(kSlotIds[0]);
  watcher.join();
  ASSERT_NE(seen.box, nullptr) << "no open-file dialog appeared";
  EXPECT_EQ(filters, std::vector<std::wstring>{L"png"});
  EXPECT_EQ(Paths(), before);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
