#include "skin/draw/AnimationHost_win.h"

#include <map>
#include <utility>

#include "skin/SkinIds.h"

namespace skin {
namespace {

struct RunningTimer {
  const void* player;
  WindowAnimationHost::StepFn step;
};

// Timers started through a host and not yet released, by window and timer id. Painting thread only.
std::map<std::pair<HWND, UINT_PTR>, RunningTimer>& Running() {
  static auto* running = new std::map<std::pair<HWND, UINT_PTR>, RunningTimer>();
  return *running;
}

void CALLBACK AnimationTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  const auto it = Running().find({hwnd, id});
  if (it == Running().end() || ::GetPropW(hwnd, kPropAnimate) != it->second.player) {
    ::KillTimer(hwnd, id);
    return;
  }
  const RunningTimer timer = it->second;
  timer.step(const_cast<void*>(timer.player));
}

}  // namespace

bool WindowAnimationHost::Claim(const void* player) {
  if (!host_ || !::IsWindow(host_)) return false;
  if (const HANDLE holder = ::GetPropW(host_, kPropAnimate); holder && holder != player && !take_over_) return false;
  if (!::SetPropW(host_, kPropAnimate, const_cast<void*>(player))) return false;
  claimed_ = player;
  return true;
}

bool WindowAnimationHost::StartTimer(unsigned timer_id, unsigned period_ms) {
  if (!claimed_ || ::GetPropW(host_, kPropAnimate) != claimed_) return false;
  if (!::SetTimer(host_, timer_id, period_ms, AnimationTimer)) return false;
  Running()[{host_, timer_id}] = RunningTimer{claimed_, step_};
  return true;
}

void WindowAnimationHost::Release(const void* player, unsigned timer_id) {
  const auto it = Running().find({host_, timer_id});
  const bool own_timer = it != Running().end() && it->second.player == player;
  if (own_timer) Running().erase(it);
  if (host_ && ::IsWindow(host_)) {
    if (own_timer) ::KillTimer(host_, timer_id);
    if (::GetPropW(host_, kPropAnimate) == player) ::RemovePropW(host_, kPropAnimate);
  }
  if (claimed_ == player) claimed_ = nullptr;
}

void WindowAnimationHost::Repaint() {
  if (target_) ::InvalidateRect(target_, &target_rect_, FALSE);
}

}  // namespace skin
