#pragma once
// CSkinWndManager: the process-wide registry of dressed windows. It attaches skin objects to windows (one
// common attach procedure for every kind), routes each dressed window's messages to its skin through one
// engine procedure, keeps the memory device contexts skins hand out, re-dresses every window after a theme
// change and forgets windows as they are destroyed. It is the interception's engine: the intercepted
// functions ask it whether a window is dressed.
//
// Kinds attached here: the window frame and the MDI client. Control kinds (buttons, scroll bars, the other
// controls) attach through Attach() with their own factory; their attach-by-kind functions are added beside
// AttachFrame as their skins are built.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "skin/hook/HookEngine_win.h"
#include "skin/hook/SkinDetours_win.h"

class CSkinBase;
class CSkinWndSB;

namespace skin {

class CSkinResourceManager;

class CSkinWndManager : public hook::HookEngine {
 public:
  enum class Registry { kFrames, kControls, kMenus };
  // Makes the skin object of a kind for a window; the skin is constructed on the window.
  using SkinFactory = std::function<std::unique_ptr<CSkinBase>(HWND)>;
  using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                              DWORD);
  using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  // Installs the interceptions (answering for this manager) on the calling thread, the user-interface
  // thread. `theme` is the theme skins are dressed from.
  explicit CSkinWndManager(CSkinResourceManager& theme);
  // Removes the interceptions. Skins still attached stay with their windows.
  ~CSkinWndManager() override;
  CSkinWndManager(const CSkinWndManager&) = delete;
  CSkinWndManager& operator=(const CSkinWndManager&) = delete;

  // The process-wide manager over the process-wide theme, created on first call.
  static CSkinWndManager& Get();
  // The process-wide manager when it exists, else null.
  static CSkinWndManager* Existing();

  // The common attach procedure. A dressed window gets the new theme item (found under `class_name` with its
  // class-name fallback) and keeps its skin, procedure and registry entry; 0 when the item is unknown. An
  // undressed window gets a skin from `factory`, registered in `registry` and subclassed by the engine
  // procedure; 0 with last error 1 when the item is unknown. Returns 1 on success.
  int Attach(HWND hwnd, const std::wstring& theme_id, const wchar_t* class_name, Registry registry,
             const SkinFactory& factory);
  // Attach-by-kind: a dialog or top-level window's frame (not for excluded windows), an MDI client or
  // frame-or-view window. Both force a frame recalculation so the new client rectangle holds before the window
  // is first shown.
  int AttachFrame(HWND hwnd, const std::wstring& theme_id);
  int AttachMDIClient(HWND hwnd, const std::wstring& theme_id);
  // Windows never given a frame.
  void ExcludeFromFrames(HWND hwnd);

  // Dresses every registered window again with its recorded theme id (frames through AttachFrame, every other
  // window through the attach it was dressed with), applies the current tint, then repaints the visible
  // frames' children and non-client areas.
  void RedressAll();
  // Removes the window from its registry and from its parent frame's layout list. `skin` is the object
  // that is going away (the entry is kept when the window has since been dressed by another object).
  void ForgetWindow(HWND hwnd, const CSkinBase* skin);
  // The skin of a dressed window, or null. Only objects in the registries are ever returned.
  CSkinBase* SkinOf(HWND hwnd) const;
  // True when `skin` is an object in the registries.
  bool IsRegisteredSkin(const void* skin) const;
  // The frame skin of a dressed frame window, or null.
  CSkinWndSB* FrameOf(HWND hwnd) const;
  size_t RegistrySize(Registry registry) const;
  // Every registered skin, in registration order within each registry.
  std::vector<CSkinBase*> AllSkins() const;

  // Memory device contexts handed out by skins, so WindowFromDC finds their window. Entries leave the list
  // when the memory context is freed.
  void AddMemoryDC(HDC dc, HWND hwnd);
  void RemoveMemoryDC(HDC dc);
  size_t MemoryDCCount() const { return memory_dcs_.size(); }

  // The area behind a control: the parent frame's background colour and client back buffer (blended with
  // `alpha` when under 255), else the common or system colours.
  void PaintChildBackground(HWND control, HDC dc, const RECT& rect, BYTE alpha);

  // Theme colours from the `comwnd` item, tinted by the current shifts.
  void RecomputeThemeColors();
  COLORREF CommonBackgroundColor() const { return common_background_; }
  COLORREF CommonBorderColor() const { return common_border_; }
  HBRUSH CommonBackgroundBrush() const { return common_brush_.get(); }
  const std::wstring& CommonBackgroundPicture() const { return common_picture_; }

  // While set, children asking their frame to place them are recorded but not moved.
  bool Batch() const { return batch_; }
  void SetBatch(bool batch) { batch_ = batch; }

  UpdateLayeredWindowFn UpdateLayeredWindowFunction() const { return update_layered_; }
  SetLayeredWindowAttributesFn SetLayeredWindowAttributesFunction() const { return set_layered_attributes_; }
  bool NotVersion5() const { return not_version5_; }
  HDC ScreenDC() const { return screen_dc_; }
  HDC ScreenMemoryDC() const { return screen_memory_dc_.get(); }
  int LastError() const { return last_error_; }
  void SetThemeName(std::wstring name) { theme_name_ = std::move(name); }
  CSkinResourceManager& Theme() const { return theme_; }
  hook::CSkinDetours& Detours() { return detours_; }

  // hook::HookEngine
  hook::DressedWindow* FindDressed(HWND hwnd) override;
  HWND WindowFromMemoryDC(HDC dc) override;

  // The procedure of every dressed window: hands the message to the window's skin.
  static LRESULT CALLBACK EngineProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  struct Entry {
    HWND hwnd;
    CSkinBase* skin;
    // How the window was dressed, for re-dressing: the attach-by-kind that made it.
    std::function<int(HWND, const std::wstring&)> redress;
  };
  std::vector<Entry>& List(Registry registry);
  const std::vector<Entry>& List(Registry registry) const;
  int AttachWithRedress(HWND hwnd, const std::wstring& theme_id, const wchar_t* class_name, Registry registry,
                        const SkinFactory& factory, std::function<int(HWND, const std::wstring&)> redress);
  static void ForceFrameRecalculation(HWND hwnd);

  hook::CSkinDetours detours_;  // first member: constructed first, destroyed last
  CSkinResourceManager& theme_;
  std::vector<Entry> frames_, controls_, menus_;
  std::unordered_map<HWND, CSkinBase*> dressed_;
  std::vector<HWND> excluded_;
  std::vector<std::pair<HDC, HWND>> memory_dcs_;
  std::wstring theme_name_;
  int last_error_ = 0;
  HDC screen_dc_ = nullptr;
  fw::UniqueMemDC screen_memory_dc_;
  UpdateLayeredWindowFn update_layered_ = nullptr;
  SetLayeredWindowAttributesFn set_layered_attributes_ = nullptr;
  bool not_version5_ = true;
  std::wstring common_picture_;
  COLORREF common_border_ = 0;
  COLORREF common_background_ = 0;
  fw::UniqueBrush common_brush_;
  bool batch_ = false;
};

}  // namespace skin
