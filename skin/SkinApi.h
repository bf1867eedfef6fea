#pragma once
// The skin engine's interface to the application: seven functions, all called on the user-interface thread.
// Each returns 1 on success and 0 on failure.
#include <windows.h>

// Loads a folder theme from `folder` (relative folders are taken from the executable's folder).
int SkinInit(const wchar_t* folder);
// Loads the theme archive held in the executable's resource of the given type and id.
int SkinLoadFromResource(const wchar_t* type, WORD id, const char* password);
// Chooses the theme item that dresses pop-up menus.
int SkinSetMenuSkin(const wchar_t* id);
// Dresses a window (dialog or control) with a theme item.
int SkinSetWindowSkin(HWND hwnd, const wchar_t* id);
// Sets a text or picture item of a dressed control; redraws when `redraw` is nonzero.
int SkinSetItemProperty(HWND hwnd, const wchar_t* item_id, const wchar_t* value, int redraw);
// Shows the picture file `path` in a picture item of a dressed control.
int SkinSetItemImage(HWND hwnd, const wchar_t* item_id, const wchar_t* path, int redraw);
// Turns the pop-up menu hook of the calling thread on or off; 1 only when this call installed it.
int SkinEnableMenuHook(int flag);
