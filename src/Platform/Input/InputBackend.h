#pragma once

#include "Platform/Input/InputChange.h"
#include "Platform/Win32Types.h"

#include <vector>

struct DIMOUSESTATE;

enum class PlatInputBackendKind { Sdl, Scripted };

// Chooses the backend of the input objects created after this call
// (default SDL).
void PlatSetInputBackendKind(PlatInputBackendKind kind);

// Replays recorded input instead of reading devices: chooses the scripted
// backend, cleared, with the changes scheduled in pass order.
void PlatReplayInput(std::vector<PlatInputChange> changes);
// While input is replayed: the passes read so far, and a key pressed or
// released for the passes to come as if the recording said so.
int PlatGetReplayPass();
void PlatSetReplayKey(int code, bool down);

// A device of the input layer: the keyboard, the mouse, or the game
// controller with the given index among the attached ones.
struct PlatInputDevice {
    enum Kind { Keyboard, Mouse, Controller } kind = Keyboard;
    int controller = 0;
};

// What the input devices read. The state the backend keeps between reads
// is its own: the keys held, the buttons held, the motion and wheel turns
// gathered since the last mouse read.
class PlatInputBackend {
public:
    virtual ~PlatInputBackend() = default;

    // False when the device cannot be opened.
    virtual bool Open(const PlatInputDevice& device) = 0;
    virtual void Close(const PlatInputDevice& device) = 0;
    // Takes the device's cooperative level (`exclusive` or shared, while the
    // window has the focus); a failure is the device's.
    virtual HRESULT SetUp(const PlatInputDevice& device, bool exclusive) = 0;
    // S_OK, or the failure the device reports (DIERR_INPUTLOST while the
    // device is out of reach). `exclusive` is the device's cooperative level.
    virtual HRESULT Acquire(const PlatInputDevice& device, bool exclusive) = 0;
    virtual void Unacquire(const PlatInputDevice& device) = 0;
    virtual HRESULT Poll(const PlatInputDevice& device) = 0;
    // 256 key bytes indexed by key code; false when the state cannot be read.
    virtual bool ReadKeys(BYTE keys[256]) = 0;
    // The motion and wheel since the last read, and the buttons held; false
    // when the state cannot be read (the gathered motion is then kept).
    virtual bool ReadMouse(DIMOUSESTATE& state) = 0;
    virtual int ControllerCount() = 0;
    // Number of axes of an opened controller.
    virtual int ControllerAxes(int controller) = 0;
};

// The backend of the chosen kind.
PlatInputBackend& PlatGetInputBackend();
