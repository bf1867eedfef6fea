#include "app/Program.h"

#include <commctrl.h>

#include "app/AppFormMain.h"
#include "install/InstallMessages_win.h"
#include "skin/SkinApi.h"

// The one application object of the process.
Program theProgram;

Program::Program() = default;
Program::~Program() = default;

BOOL Program::InitInstance() {
  // Libraries loaded by name are never looked for in the current folder.
  ::SetDllDirectoryW(L"");

  // The install-family messages are registered by the static initialisation of the object that defines
  // them; reading one here links that object into the program although the main window sends none of them.
  volatile UINT install_messages_registered = install::WM_APP_UPDATE_BEGIN_MESSAGE;
  (void)install_messages_registered;

  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};  // list view, tree view, bars, tabs, up-down, progress, hot key, animate
  ::InitCommonControlsEx(&icc);
  fw::WinApp::InitInstance();

  SkinInit(L"..\\themes");
  SkinLoadFromResource(L"DATA", 133, "");
  SkinSetMenuSkin(L"standard.menu");

  {
    AppFormMain dialog;
    main_window = &dialog;
    dialog.DoModal();
    main_window = nullptr;
  }
  return FALSE;
}
