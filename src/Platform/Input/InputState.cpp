#include "Platform/Input/InputState.h"

#include <algorithm>
#include <utility>

void PlatInputState::SetKey(int code, bool down) {
    if (code < 0 || code >= static_cast<int>(keys.size()))
        return;
    keys[code] = down ? 0x80 : 0;
    if (down)
        pressedSinceRead[code] = 0x80;
}

void PlatInputState::SetButton(int button, bool down) {
    if (button >= 0 && button < static_cast<int>(buttons.size()))
        buttons[button] = down ? 0x80 : 0;
}

void PlatInputState::ReleaseAll() {
    keys.fill(0);
    pressedSinceRead.fill(0);
    buttons.fill(0);
}

void PlatInputState::TakeKeys(BYTE out[256]) {
    for (std::size_t code = 0; code < keys.size(); ++code)
        out[code] = keys[code] | pressedSinceRead[code];
    pressedSinceRead.fill(0);
}

DIMOUSESTATE PlatInputState::TakeMouse() {
    DIMOUSESTATE state;
    state.lX = std::exchange(motionX, 0);
    state.lY = std::exchange(motionY, 0);
    state.lZ = std::exchange(wheel, 0);
    std::copy(buttons.begin(), buttons.end(), state.rgbButtons);
    return state;
}
