#include "VellbrookApp.h"

#include <commctrl.h>

#include "OleSession.h"
#include "Resources.h"
#include "ScreenDpi.h"
#include "UniqueHandle.h"
#include "VellbrookDlg.h"

CVellbrookApp theApp;

BOOL CVellbrookApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Every icon size follows the screen read once, before the first window.
    vb::ScreenPixelsPerInch();
    // The rich edit 2 class is registered for as long as its library stays loaded.
    vb::UniqueModule richEdit(::LoadLibraryW(L"riched20.dll"));
    // A failed OLE start only leaves out what needs it.
    vb::OleSession ole;
    // The busy and not-responding boxes come from a message filter of the thread's own; the
    // program registers none, so a call into a busy server never raises them. The folder
    // browser needs no shell manager object, and nothing is kept under a registry key.
    {
        CVellbrookDlg dialog;
        dialog.DoModal();
        vb::SetMainWindow(nullptr);
    }
    return FALSE;
}
