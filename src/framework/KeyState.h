#pragma once
#include <windows.h>

namespace vb {

// GetAsyncKeyState's signature; tests put in a stand-in, since keys cannot be held down in a
// test (SendInput reaches no window under a bare X server).
using KeyStateFunction = SHORT(WINAPI*)(int virtualKey);

// True while the key is down, as the function in effect reports it.
bool IsKeyDown(int virtualKey);
// What was in effect is returned; null puts the system's back.
KeyStateFunction SetKeyStateFunction(KeyStateFunction function) noexcept;

}  // namespace vb
