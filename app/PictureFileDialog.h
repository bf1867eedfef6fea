#pragma once
// The open-file dialog of the picture slots, behind a replaceable function so that tests can answer it
// without a real dialog on the screen.
#include <windows.h>
#include <commdlg.h>

namespace app {

using OpenFileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW* request);

// Shows the dialog described by `request` (GetOpenFileNameW unless replaced); the chosen path is written
// into request->lpstrFile. Returns nonzero when the user confirmed.
BOOL ShowOpenFileDialog(OPENFILENAMEW* request);
// Replaces the dialog (null restores the system's). Returns the function replaced.
OpenFileDialogFunction SetOpenFileDialog(OpenFileDialogFunction dialog);

}  // namespace app
