#pragma once

#include "Platform/Input/DirectInput8.h"

#include <array>

// What a backend keeps between reads: the keys and buttons held, the keys
// pressed since the keys were last read, and the motion and wheel turns
// gathered since the mouse was last read.
class PlatInputState {
public:
    // Codes outside 0-255 and buttons outside 0-2 are ignored.
    void SetKey(int code, bool down);
    void SetButton(int button, bool down);
    void Move(LONG dx, LONG dy) {
        motionX += dx;
        motionY += dy;
    }
    void Turn(LONG notches) { wheel += notches; }
    // Lets go of every key and button.
    void ReleaseAll();

    // The keys held, and those pressed and released again since the last
    // read: a tap between two reads is seen down once, and released by the
    // read after.
    void TakeKeys(BYTE out[256]);
    // The buttons, and the motion and wheel gathered, which start again at 0.
    DIMOUSESTATE TakeMouse();

private:
    std::array<BYTE, 256> keys{};
    std::array<BYTE, 256> pressedSinceRead{};
    std::array<BYTE, 3> buttons{};
    LONG motionX = 0;
    LONG motionY = 0;
    LONG wheel = 0;
};
