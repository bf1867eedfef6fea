#include "skin/SkinScrollBars_win.h"

namespace skin {

BarScrollState* SkinScrollBars::Bar(int bar) {
  return bar == SB_HORZ ? &horizontal_ : bar == SB_VERT ? &vertical_ : nullptr;
}

void SkinScrollBars::Update(int bar, bool redraw) {
  BarScrollState* state = Bar(bar);
  if (!state) return;
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  const LONG_PTR bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  const LONG_PTR wanted = state->visible ? (style | bit) : (style & ~bit);
  if (wanted != style) {
    ::SetWindowLongPtrW(window_, GWL_STYLE, wanted);
    ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (redraw) ::RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

std::optional<int> SkinScrollBars::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  ScrollValues in;
  in.minimum = info.nMin;
  in.maximum = info.nMax;
  in.page = info.nPage;
  in.position = info.nPos;
  const ScrollValues before = state->values;
  const bool was_visible = state->visible;
  const int position = state->SetInfo(info.fMask, in);
  const bool changed = before.minimum != state->values.minimum || before.maximum != state->values.maximum ||
                       before.page != state->values.page || before.position != state->values.position ||
                       was_visible != state->visible;
  // The bars are redrawn only when their state changed (controls call this several times per row).
  if (changed) Update(bar, redraw != FALSE);
  return position;
}

std::optional<BOOL> SkinScrollBars::GetScrollInfo(int bar, SCROLLINFO& info) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  ScrollValues out;
  state->GetInfo(info.fMask, out);
  if (info.fMask & kScrollRange) {
    info.nMin = out.minimum;
    info.nMax = out.maximum;
  }
  if (info.fMask & kScrollPage) info.nPage = out.page;
  if (info.fMask & kScrollPosition) info.nPos = out.position;
  if (info.fMask & kScrollTrackPosition) info.nTrackPos = out.track_position;
  return TRUE;
}

std::optional<int> SkinScrollBars::SetScrollPos(int bar, int position, BOOL redraw) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  const int previous = state->SetPosition(position);
  if (previous != state->values.position) Update(bar, redraw != FALSE);
  return previous;
}

std::optional<int> SkinScrollBars::GetScrollPos(int bar) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  return state->values.position;
}

std::optional<BOOL> SkinScrollBars::SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  state->SetRange(minimum, maximum);
  Update(bar, redraw != FALSE);
  return TRUE;
}

std::optional<BOOL> SkinScrollBars::GetScrollRange(int bar, int& minimum, int& maximum) {
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  minimum = state->values.minimum;
  maximum = state->values.maximum;
  return TRUE;
}

std::optional<BOOL> SkinScrollBars::ShowScrollBar(int bar, BOOL show) {
  if (bar == SB_BOTH) {
    ShowScrollBar(SB_HORZ, show);
    return ShowScrollBar(SB_VERT, show);
  }
  BarScrollState* state = Bar(bar);
  if (!state) return std::nullopt;
  state->visible = show != FALSE;
  Update(bar, true);
  return TRUE;
}

std::optional<BOOL> SkinScrollBars::EnableScrollBar(UINT bars, UINT arrows) {
  if (bars != SB_HORZ && bars != SB_VERT && bars != SB_BOTH) return std::nullopt;
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (bars != SB_BOTH && static_cast<int>(bars) != bar) continue;
    Bar(bar)->arrows_disabled = arrows != ESB_ENABLE_BOTH;
    Update(bar, true);
  }
  return TRUE;
}

}  // namespace skin
