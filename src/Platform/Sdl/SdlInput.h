#pragma once

#include "Platform/Input/InputBackend.h"
#include "Platform/Input/InputState.h"

#include <SDL.h>

#include <map>

// The input devices on SDL. The event source hands every event to
// HandleEvent, which keeps the key bytes (SDL's own keyboard state misses
// events pushed by a program), the buttons, and the motion and wheel turns
// gathered until the next mouse read:
// - scancodes become key codes by the table of KeyCodeOf; keys without a
//   code set no byte, and repeats are ignored;
// - losing the keyboard focus releases every key and button;
// - buttons left, right and middle are 0, 1 and 2;
// - a wheel turn away from the user is positive, whatever the system's
//   scrolling direction.
// An acquired exclusive mouse puts SDL in relative mouse mode; drivers
// without a display refuse that, and the mouse still works. Controllers stay
// open until their device is released.
class PlatSdlInput : public PlatInputBackend {
public:
    void HandleEvent(const SDL_Event& event);
    // Forgets the keys, buttons and gathered motion.
    void Reset();

    // The key code of a scancode; 0 for a key that has none.
    static BYTE KeyCodeOf(SDL_Scancode scancode);

    bool Open(const PlatInputDevice& device) override;
    void Close(const PlatInputDevice& device) override;
    HRESULT SetUp(const PlatInputDevice&, bool) override { return S_OK; }
    HRESULT Acquire(const PlatInputDevice& device, bool exclusive) override;
    void Unacquire(const PlatInputDevice& device) override;
    HRESULT Poll(const PlatInputDevice& device) override;
    bool ReadKeys(BYTE keys[256]) override;
    bool ReadMouse(DIMOUSESTATE& state) override;
    int ControllerCount() override;
    int ControllerAxes(int controller) override;

    // The opened controller of that index, or null.
    SDL_GameController* GetController(int controller) const;

private:
    // SDL's joystick index of the controller with this index among the
    // attached game controllers; -1 when there is none.
    int JoystickIndexOf(int controller);

    PlatInputState state;
    std::map<int, SDL_GameController*> controllers;
    bool controllersStarted = false;
};

PlatSdlInput& PlatGetSdlInput();
