#include "KeyState.h"

#include <utility>

namespace vb {

namespace {

KeyStateFunction g_keyState = ::GetAsyncKeyState;

}  // namespace

bool IsKeyDown(int virtualKey) { return g_keyState(virtualKey) < 0; }

KeyStateFunction SetKeyStateFunction(KeyStateFunction function) noexcept {
    return std::exchange(g_keyState, function ? function : ::GetAsyncKeyState);
}

}  // namespace vb
