#pragma once
// The plain presentation: how the program looks when no theme dresses its windows. Item texts become the
// control's own text (with a separate text while disabled), "image.logo" shows the picture scaled into the
// button, and "menu.logo" shows the device glyph beside the button text. The windows keep their native look.
#include <windows.h>

#include <string>

#include "skin/draw/SkinDrawImage.h"

namespace skin {

// Remembers the theme id a window was meant to wear (it chooses default texts such as the device button's
// "没有插入设备" while disabled) and starts presenting the window plainly.
void PlainAttach(HWND hwnd, const std::wstring& theme_id);
// Returns true when the item is one the plain presentation shows.
bool PlainSetItemProperty(HWND hwnd, const std::wstring& item_id, const std::wstring& value, bool redraw);
// Shows the picture (decoded now when it is not yet) scaled into the control; false when it does not decode.
// The control keeps a copy of the pixels.
bool PlainSetItemImage(HWND hwnd, const std::wstring& item_id, CSkinDrawImage* picture, bool redraw);
// The picture a control shows in the plain presentation (null when none); owned by the presentation.
HBITMAP PlainItemImage(HWND hwnd);

}  // namespace skin
