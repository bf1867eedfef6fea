#include "skin/SkinWndManager_win.h"

#include <algorithm>

#include "skin/SkinBase_win.h"
#include "skin/SkinIds.h"
#include "skin/SkinMDIClient_win.h"
#include "skin/SkinResourceManager.h"
#include "skin/SkinWndSB_win.h"
#include "skin/hook/ProcedureChain_win.h"
#include "skin/items/ColorAdjust.h"

namespace skin {
namespace {

CSkinWndManager* g_manager = nullptr;

// Frames paint what is behind a control from this colour and, when they have one, their client back buffer.
void FillFromFrame(CSkinWndSB& frame, HWND control, HDC dc, const RECT& rect, BYTE alpha, bool honour_alpha) {
  RECT in_frame = rect;
  ::MapWindowPoints(control, frame.Window(), reinterpret_cast<POINT*>(&in_frame), 2);
  fw::UniqueBrush brush(::CreateSolidBrush(frame.BackgroundColor()));
  ::FillRect(dc, &rect, brush.get());
  HDC buffer = frame.BackBufferDC();
  if (!buffer) return;
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (alpha == 255 && !honour_alpha) {
    ::BitBlt(dc, rect.left, rect.top, w, h, buffer, in_frame.left, in_frame.top, SRCCOPY);
    return;
  }
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, static_cast<BYTE>(honour_alpha ? AC_SRC_ALPHA : 0)};
  ::GdiAlphaBlend(dc, rect.left, rect.top, w, h, buffer, in_frame.left, in_frame.top, w, h, blend);
}

}  // namespace

CSkinWndManager::CSkinWndManager(CSkinResourceManager& theme) : theme_(theme) {
  if (!g_manager) g_manager = this;
  detours_.Hook(*this);
  screen_dc_ = ::GetDC(nullptr);
  screen_memory_dc_.reset(::CreateCompatibleDC(screen_dc_));
  if (HMODULE user32 = ::GetModuleHandleW(L"User32")) {
    update_layered_ = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UpdateLayeredWindow")));
    set_layered_attributes_ = reinterpret_cast<SetLayeredWindowAttributesFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
  }
  OSVERSIONINFOW version{sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (::GetVersionExW(&version)) not_version5_ = version.dwMajorVersion != 5;
#pragma GCC diagnostic pop
  RecomputeThemeColors();
}

CSkinWndManager::~CSkinWndManager() {
  // Skins that outlive the manager must not call back into it.
  for (CSkinBase* skin : AllSkins()) skin->SetManager(nullptr);
  screen_memory_dc_.reset();
  if (screen_dc_) ::ReleaseDC(nullptr, screen_dc_);
  detours_.Unhook();
  if (g_manager == this) g_manager = nullptr;
}

CSkinWndManager& CSkinWndManager::Get() {
  if (!g_manager) new CSkinWndManager(GetSkinResourceManager());  // lives until the process ends
  return *g_manager;
}

CSkinWndManager* CSkinWndManager::Existing() { return g_manager; }

std::vector<CSkinWndManager::Entry>& CSkinWndManager::List(Registry registry) {
  return registry == Registry::kFrames ? frames_ : registry == Registry::kControls ? controls_ : menus_;
}

const std::vector<CSkinWndManager::Entry>& CSkinWndManager::List(Registry registry) const {
  return registry == Registry::kFrames ? frames_ : registry == Registry::kControls ? controls_ : menus_;
}

int CSkinWndManager::Attach(HWND hwnd, const std::wstring& theme_id, const wchar_t* class_name, Registry registry,
                            const SkinFactory& factory) {
  return AttachWithRedress(hwnd, theme_id, class_name, registry, factory,
                           [this, cls = std::wstring(class_name), registry, factory](HWND w, const std::wstring& id) {
                             return Attach(w, id, cls.c_str(), registry, factory);
                           });
}

int CSkinWndManager::AttachWithRedress(HWND hwnd, const std::wstring& theme_id, const wchar_t* class_name,
                                       Registry registry, const SkinFactory& factory,
                                       std::function<int(HWND, const std::wstring&)> redress) {
  if (!::IsWindow(hwnd) || ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) return 0;
  ThemeItem* item = theme_.FindItem(class_name, theme_id);
  const HsbShift& tint = CurrentHsbShift();
  if (CSkinBase* skin = SkinOf(hwnd)) {
    if (!item) return 0;
    if (auto* frame = dynamic_cast<CSkinWndSB*>(skin)) frame->SetThemeItem(*item, theme_);
    else skin->SetPlacement(item->place);
    skin->SetDressing(theme_id, theme_name_);
    skin->ApplyAttributes();
    skin->ApplyColorAdjust(tint.hue, tint.saturation, tint.brightness);
    if (auto* frame = dynamic_cast<CSkinWndSB*>(skin)) frame->Redressed();
    return 1;
  }
  if (!item) {
    last_error_ = 1;
    return 0;
  }
  std::unique_ptr<CSkinBase> made = factory(hwnd);
  if (!made) return 0;
  CSkinBase* skin = made.get();
  skin->SetManager(this);
  List(registry).push_back({hwnd, skin, std::move(redress)});
  dressed_[hwnd] = skin;
  if (auto* frame = dynamic_cast<CSkinWndSB*>(skin)) frame->SetThemeItem(*item, theme_);
  else skin->SetPlacement(item->place);
  skin->SetDressing(theme_id, theme_name_);
  skin->ApplyAttributes();
  skin->ApplyColorAdjust(tint.hue, tint.saturation, tint.brightness);
  skin->SetDressedStyle(static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)));
  hook::ProcedureChain& chain = *skin->Procedures();
  chain.engine = &CSkinWndManager::EngineProcedure;
  if (!hook::InstallEngineProcedure(hwnd, chain)) {
    made.reset();  // its destructor forgets the window
    return 0;
  }
  made.release();  // the window owns its skin now; it is deleted after the non-client destroy message
  return 1;
}

void CSkinWndManager::ForceFrameRecalculation(HWND hwnd) {
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CSkinWndManager::AttachFrame(HWND hwnd, const std::wstring& theme_id) {
  if (!SkinOf(hwnd) && std::find(excluded_.begin(), excluded_.end(), hwnd) != excluded_.end()) return 0;
  const int result = AttachWithRedress(
      hwnd, theme_id, L"window", Registry::kFrames,
      [](HWND w) -> std::unique_ptr<CSkinBase> { return std::make_unique<CSkinWndSB>(w); },
      [this](HWND w, const std::wstring& id) { return AttachFrame(w, id); });
  if (result) ForceFrameRecalculation(hwnd);
  return result;
}

int CSkinWndManager::AttachMDIClient(HWND hwnd, const std::wstring& theme_id) {
  const int result = AttachWithRedress(
      hwnd, theme_id, L"window", Registry::kFrames,
      [](HWND w) -> std::unique_ptr<CSkinBase> { return std::make_unique<CSkinMDIClient>(w); },
      [this](HWND w, const std::wstring& id) { return AttachMDIClient(w, id); });
  if (result) ForceFrameRecalculation(hwnd);
  return result;
}

void CSkinWndManager::ExcludeFromFrames(HWND hwnd) {
  if (std::find(excluded_.begin(), excluded_.end(), hwnd) == excluded_.end()) excluded_.push_back(hwnd);
}

void CSkinWndManager::RedressAll() {
  const HsbShift& tint = CurrentHsbShift();
  for (Registry registry : {Registry::kFrames, Registry::kControls, Registry::kMenus}) {
    // Re-dressing may change the lists (a refusal, a destroyed window): walk a copy, checking each entry.
    std::vector<std::pair<HWND, std::wstring>> work;
    for (const Entry& e : List(registry)) work.emplace_back(e.hwnd, e.skin->ThemeId());
    for (const auto& [hwnd, id] : work) {
      auto& list = List(registry);
      auto it = std::find_if(list.begin(), list.end(), [h = hwnd](const Entry& e) { return e.hwnd == h; });
      if (it == list.end()) continue;
      auto redress = it->redress;
      if (redress) redress(hwnd, id);
      if (CSkinBase* skin = SkinOf(hwnd)) skin->ApplyColorAdjust(tint.hue, tint.saturation, tint.brightness);
    }
  }
  for (const Entry& e : frames_) {
    if (!::IsWindowVisible(e.hwnd)) continue;
    for (HWND child = ::GetWindow(e.hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
      ::InvalidateRect(child, nullptr, TRUE);
    ::RedrawWindow(e.hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void CSkinWndManager::ForgetWindow(HWND hwnd, const CSkinBase* skin) {
  for (Registry registry : {Registry::kFrames, Registry::kControls, Registry::kMenus}) {
    auto& list = List(registry);
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Entry& e) { return e.hwnd == hwnd && e.skin == skin; }),
               list.end());
  }
  auto it = dressed_.find(hwnd);
  if (it != dressed_.end() && it->second == skin) dressed_.erase(it);
  for (const Entry& e : frames_)
    if (auto* frame = dynamic_cast<CSkinWndSB*>(e.skin)) frame->ForgetChild(skin);
  memory_dcs_.erase(std::remove_if(memory_dcs_.begin(), memory_dcs_.end(),
                                   [&](const auto& m) { return m.second == hwnd; }),
                    memory_dcs_.end());
}

CSkinBase* CSkinWndManager::SkinOf(HWND hwnd) const {
  auto it = dressed_.find(hwnd);
  return it == dressed_.end() ? nullptr : it->second;
}

bool CSkinWndManager::IsRegisteredSkin(const void* skin) const {
  if (!skin) return false;
  return std::any_of(dressed_.begin(), dressed_.end(), [&](const auto& e) { return e.second == skin; });
}

CSkinWndSB* CSkinWndManager::FrameOf(HWND hwnd) const {
  CSkinBase* skin = SkinOf(hwnd);
  return skin && skin->IsFrame() ? static_cast<CSkinWndSB*>(skin) : nullptr;
}

size_t CSkinWndManager::RegistrySize(Registry registry) const { return List(registry).size(); }

std::vector<CSkinBase*> CSkinWndManager::AllSkins() const {
  std::vector<CSkinBase*> all;
  for (Registry registry : {Registry::kFrames, Registry::kControls, Registry::kMenus})
    for (const Entry& e : List(registry)) all.push_back(e.skin);
  return all;
}

void CSkinWndManager::AddMemoryDC(HDC dc, HWND hwnd) {
  RemoveMemoryDC(dc);
  memory_dcs_.emplace_back(dc, hwnd);
}

void CSkinWndManager::RemoveMemoryDC(HDC dc) {
  memory_dcs_.erase(std::remove_if(memory_dcs_.begin(), memory_dcs_.end(),
                                   [&](const auto& m) { return m.first == dc; }),
                    memory_dcs_.end());
}

hook::DressedWindow* CSkinWndManager::FindDressed(HWND hwnd) { return SkinOf(hwnd); }

HWND CSkinWndManager::WindowFromMemoryDC(HDC dc) {
  for (const auto& [memory, hwnd] : memory_dcs_)
    if (memory == dc) return hwnd;
  return nullptr;
}

void CSkinWndManager::PaintChildBackground(HWND control, HDC dc, const RECT& rect, BYTE alpha) {
  HWND parent = ::GetParent(control);
  CSkinBase* parent_skin = parent ? SkinOf(parent) : nullptr;
  if (parent_skin && parent_skin->IsFrame()) {
    FillFromFrame(*static_cast<CSkinWndSB*>(parent_skin), control, dc, rect, alpha, false);
    return;
  }
  HWND grandparent = parent ? ::GetParent(parent) : nullptr;
  CSkinWndSB* grand_frame = grandparent ? FrameOf(grandparent) : nullptr;
  if (parent_skin) {
    if (grand_frame) {
      FillFromFrame(*grand_frame, control, dc, rect, alpha, alpha != 255);
    } else {
      ::FillRect(dc, &rect, common_brush_.get());
    }
    return;
  }
  COLORREF colour = ::GetSysColor(COLOR_BTNFACE);
  if (CSkinWndSB* own = FrameOf(control))
    colour = own->BackgroundColor();
  else if (grand_frame)
    colour = grand_frame->BackgroundColor();
  fw::UniqueBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &rect, brush.get());
}

void CSkinWndManager::RecomputeThemeColors() {
  const CommonWindowDefaults& common = theme_.CommonDefaults();
  common_picture_ = common.scrollbar_picture;
  common_border_ = common.present ? common.border_color : 0;
  common_background_ = common.present ? common.background_color : ::GetSysColor(COLOR_BTNFACE);
  const HsbShift& tint = CurrentHsbShift();
  common_border_ = EffectiveColor(common_border_, true, tint);
  common_background_ = EffectiveColor(common_background_, true, tint);
  common_brush_.reset(::CreateSolidBrush(common_background_));
}

LRESULT CALLBACK CSkinWndManager::EngineProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // The registry, not the window property, names the skin: anyone can set a property.
  CSkinBase* skin = g_manager ? g_manager->SkinOf(hwnd) : nullptr;
  if (skin) return skin->WindowProc(msg, wp, lp);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace skin
