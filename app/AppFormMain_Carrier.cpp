// Carrier choice and picture slots: the carrier radio buttons fill the three slots (Default, FSO, TS) with
// temporary copies of that carrier's template logos; a click on a slot lets the user put a PNG file of
// their own in its place.
#include <new>
#include <string>

#include "app/AppFormMain.h"
#include "app/PictureFileDialog.h"
#include "framework/MessageBoxes.h"
#include "packaging/CarrierTemplates.h"
#include "packaging/FileSystem.h"
#include "packaging/PackageBuilder.h"
#include "packaging/Utf8.h"
#include "packaging/ZipReader.h"
#include "skin/SkinApi.h"

namespace {

constexpr int kUnicomRadio = 1008, kCmccRadio = 1009;
constexpr wchar_t kLogoItem[] = L"image.logo";
constexpr wchar_t kPngFilter[] = L"png\0*.png\0";
constexpr wchar_t kCaptionNotice[] = L"\u63d0\u793a";  // 提示

app::OpenFileDialogFunction& DialogFunction() {
  static app::OpenFileDialogFunction dialog = nullptr;
  return dialog;
}

}  // namespace

namespace app {

BOOL ShowOpenFileDialog(OPENFILENAMEW* request) {
  const OpenFileDialogFunction replaced = DialogFunction();
  return replaced ? replaced(request) : ::GetOpenFileNameW(request);
}

OpenFileDialogFunction SetOpenFileDialog(OpenFileDialogFunction dialog) {
  const OpenFileDialogFunction previous = DialogFunction();
  DialogFunction() = dialog;
  return previous;
}

}  // namespace app

void AppFormMain::OnCarrierUnicom() { FillSlotsFromTemplate(packaging::Carrier::kUnicom); }
void AppFormMain::OnCarrierCmcc() { FillSlotsFromTemplate(packaging::Carrier::kCmcc); }
void AppFormMain::OnPictureDefault() { PickSlotPicture(0); }
void AppFormMain::OnPictureFso() { PickSlotPicture(1); }
void AppFormMain::OnPictureTs() { PickSlotPicture(2); }

void AppFormMain::FillSlotsFromTemplate(packaging::Carrier carrier) {
  ::CheckRadioButton(hwnd_, kUnicomRadio, kCmccRadio, packaging::TemplateOf(carrier).radioId);
  packaging::LoadTemplates();
  const packaging::TemplateBytes archive = packaging::CachedTemplate(carrier);
  packaging::ZipReaderHandle reader;
  if (packaging::OpenZipFromMemory(archive.data, archive.size, reader) != packaging::ZipReadResult::kOk) return;

  // A failure stops here: the slots done so far keep their new logos, the others what they held.
  for (size_t slot = 0; slot < packaging::kLogoVariants.size(); ++slot) {
    const std::wstring entryName =
        packaging::Utf8ToWide(packaging::LogoEntryName(carrier, packaging::kLogoVariants[slot]));
    packaging::ZipEntryInfo entry;
    if (packaging::FindZipEntry(reader.get(), entryName, entry) != packaging::ZipReadResult::kOk) return;
    std::string logo;
    try {
      logo.resize(static_cast<size_t>(entry.uncompressedSize));
    } catch (const std::bad_alloc&) {
      return;
    }
    if (packaging::UnzipEntryToMemory(reader.get(), entry, logo.data(), logo.size()) !=
        packaging::ZipReadResult::kOk) {
      return;
    }
    const std::wstring path = packaging::MakeTempPicturePath();
    if (packaging::FileExists(path) || !packaging::WriteWholeFile(path, logo.data(), logo.size())) return;
    slotTempFiles.Add(path);
    ShowSlotPicture(slot, path);
  }
}

void AppFormMain::PickSlotPicture(size_t slot) {
  wchar_t chosen[32768] = {};
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd_;
  request.lpstrFilter = kPngFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = chosen;
  request.nMaxFile = static_cast<DWORD>(std::size(chosen));
  request.lpstrDefExt = L"png";
  request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!app::ShowOpenFileDialog(&request) || chosen[0] == L'\0') return;

  const std::wstring path = chosen;
  // The picture goes to the phone as it is: refuse what is not a PNG file of sane size now, while the user
  // can still choose another.
  if (packaging::CheckSlotPicture(path) != packaging::PictureCheck::kOk) {
    fw::ShowMessageBox(hwnd_, app::kNotAPictureText, kCaptionNotice, MB_OK);
    return;
  }
  ShowSlotPicture(slot, path);
}

void AppFormMain::ShowSlotPicture(size_t slot, const std::wstring& path) {
  const std::wstring previous = picturePaths[slot];
  SkinSetItemImage(slotButtons[slot].GetSafeHwnd(), kLogoItem, path.c_str(), 1);
  picturePaths[slot] = path;
  // A temporary logo copy that no slot names any more is of no further use.
  if (previous.empty() || previous == path) return;
  for (const auto& p : picturePaths) {
    if (p == previous) return;
  }
  slotTempFiles.Release(previous);
}
