#pragma once
// The eleven registered messages of the install and uninstall workers, registered at process start. Each
// is sent (not posted) to the request's window with the request as wParam; what lParam carries is valid
// only while the message is handled.
#include <windows.h>

namespace install {

// lParam: const TransferProgress* {total, 0}.
extern const UINT WM_APP_UPDATE_BEGIN_MESSAGE;
// lParam: const TransferProgress* {total, done}, after each written block.
extern const UINT WM_APP_UPDATE_PROGRESS_MESSAGE;
// lParam: 1 when every block was written, 0 otherwise.
extern const UINT WM_APP_UPDATE_END_MESSAGE;
// lParam: 0. The upload succeeded; the request is about to be sent.
extern const UINT WM_INSTALL_BEGIN_MESSAGE;
// lParam: const InstallStatus*, for each reply that carried a percent.
extern const UINT WM_INSTALL_PROGRESS_MESSAGE;
// lParam: 1. The service finished.
extern const UINT WM_INSTALL_END_MESSAGE;
// lParam: const wchar_t* text of the failure.
extern const UINT WM_INSTALL_ABORT_MESSAGE;
// lParam: 1. The uninstall request was sent.
extern const UINT WM_UNINSTALL_BEGIN_MESSAGE;
extern const UINT WM_UNINSTALL_PROGRESS_MESSAGE;
extern const UINT WM_UNINSTALL_END_MESSAGE;
extern const UINT WM_UNINSTALL_ABORT_MESSAGE;

}  // namespace install
