#include "Platform/Input/InputState.h"

#include <algorithm>
#include <utility>

void PlatInputState::SetKey(int code, bool down) {
    if (code >= 0 && code < static_cast<int>(keys.size()))
        keys[code] = down ? 0x80 : 0;
}

void PlatInputState::SetButton(int button, bool down) {
    if (button >= 0 && button < static_cast<int>(buttons.size()))
        buttons[button] = down ? 0x80 : 0;
}

void PlatInputState::ReleaseAll() {
    keys.fill(0);
    buttons.fill(0);
}

void PlatInputState::CopyKeys(BYTE out[256]) const {
    std::copy(keys.begin(), keys.end(), out);
}

DIMOUSESTATE PlatInputState::TakeMouse() {
    DIMOUSESTATE state;
    state.lX = std::exchange(motionX, 0);
    state.lY = std::exchange(motionY, 0);
    state.lZ = std::exchange(wheel, 0);
    std::copy(buttons.begin(), buttons.end(), state.rgbButtons);
    return state;
}
