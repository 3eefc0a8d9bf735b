#pragma once
// Latchwire.dll, the hook library, as the program binds it: by ordinal, through the import
// library that hooklib/Latchwire.def describes (never loaded by name at run time).
#include <windows.h>

// The message the library sends to the notify window, with a code in wParam (lParam unused).
constexpr UINT kLatchwireMessage = WM_USER + 0x100;
enum LatchwireCode : WPARAM {
    kLatchwireInjected = 0,     // text: the process
    kLatchwireSubstituted = 1,  // text: the library
    kLatchwireFileCreated = 2,  // text: the file's full path
    kLatchwireInfo = 3,         // text: the information
};
// The buffer the program reads the text of a notification into.
constexpr int kLatchwireTextSize = 520;

extern "C" {

// Ordinal 2: mode 0 watches the files the loaded driver library creates in this process; mode 1
// stands for substituting the library a printing server loads, which no server here takes up,
// so it only announces that (code 3); >= 0 on success.
int __stdcall LatchwireStart(HWND notifyWindow, const wchar_t* substitutePath, const wchar_t* driverLibraryPath,
                             int mode);
// Ordinal 3: ends whatever ordinal 2 started (nothing to end is success too); >= 0 on success.
int __stdcall LatchwireStop();
// Ordinal 4: the active mode, negative when no hooking is active (a watch ends when its driver
// library is freed); the argument is not used.
int __stdcall LatchwireState(int query);
// Ordinal 5: copies the text of the notification just announced, cut to fit and zero-terminated
// within `size` characters; the number of characters copied, negative without a buffer.
int __stdcall LatchwireLastText(wchar_t* buffer, int size);

}  // extern "C"
