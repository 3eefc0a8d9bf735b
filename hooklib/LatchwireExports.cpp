// The ordinals of Latchwire.dll (Latchwire.def); the session does the work.
#include "HookLibrary.h"
#include "HookSession.h"

using latchwire::Session;

extern "C" {

int __stdcall LatchwireStart(HWND notifyWindow, const wchar_t* substitutePath, const wchar_t* driverLibraryPath,
                             int mode) {
    return Session().Start(notifyWindow, substitutePath, driverLibraryPath, mode);
}

int __stdcall LatchwireStop() { return Session().Stop(); }

int __stdcall LatchwireState(int) { return Session().ActiveMode(); }

int __stdcall LatchwireLastText(wchar_t* buffer, int size) { return Session().CopyLastText(buffer, size); }

}  // extern "C"
