#pragma once

#include "Platform/Graphics/Unknown.h"
#include "Platform/Input/InputBackend.h"
#include "Platform/Win32Event.h"
#include "Platform/Win32Types.h"

// The input devices the engine reads: the keyboard as 256 key bytes indexed
// by key code (0x80 = down), the mouse as relative motion, wheel and three
// buttons, and the first game controller, which is only opened, polled and
// acquired. A device gives its state only while acquired; the backend
// chosen with PlatSetInputBackendKind supplies what it reads.

inline constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// The device cannot be read until it is acquired again.
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);

// Names a device: the system keyboard, the system mouse, or a controller
// by its index among the attached ones.
struct GUID {
    uint32_t kind = 0;
    uint32_t instance = 0;
    bool operator==(const GUID&) const = default;
};
inline constexpr GUID GUID_SysKeyboard{1, 0};
inline constexpr GUID GUID_SysMouse{2, 0};
inline constexpr uint32_t kPlatControllerGuidKind = 3;

inline constexpr DWORD DISCL_EXCLUSIVE = 1;
inline constexpr DWORD DISCL_NONEXCLUSIVE = 2;
inline constexpr DWORD DISCL_FOREGROUND = 4;

inline constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
inline constexpr DWORD DIEDFL_ATTACHEDONLY = 1;
inline constexpr BOOL DIENUM_STOP = 0;
inline constexpr BOOL DIENUM_CONTINUE = 1;

inline constexpr DWORD DIDFT_RELAXIS = 1;
inline constexpr DWORD DIDFT_ABSAXIS = 2;
inline constexpr DWORD DIDFT_AXIS = DIDFT_RELAXIS | DIDFT_ABSAXIS;

inline constexpr DWORD DIPH_DEVICE = 0;
inline constexpr DWORD DIPH_BYID = 2;
inline constexpr DWORD DIPROPAXISMODE_ABS = 0;
inline constexpr DWORD DIPROPAXISMODE_REL = 1;

// The layout of the state GetDeviceState fills: its size in bytes.
struct DIDATAFORMAT {
    DWORD dwDataSize = 0;
};
inline constexpr DIDATAFORMAT c_dfDIKeyboard{256};
inline constexpr DIDATAFORMAT c_dfDIMouse{16};
inline constexpr DIDATAFORMAT c_dfDIJoystick2{272};

struct DIMOUSESTATE {
    LONG lX = 0;
    LONG lY = 0;
    // Positive when the wheel turns away from the user.
    LONG lZ = 0;
    // Left, right, middle and a fourth button; 0x80 = down.
    BYTE rgbButtons[4] = {0, 0, 0, 0};
};
static_assert(sizeof(DIMOUSESTATE) == 16);

enum DIPROPID { DIPROP_BUFFERSIZE = 1, DIPROP_AXISMODE = 2, DIPROP_RANGE = 4 };

struct DIPROPHEADER {
    DWORD dwSize = 0;
    DWORD dwHeaderSize = sizeof(DIPROPHEADER);
    DWORD dwObj = 0;
    DWORD dwHow = DIPH_DEVICE;
};
struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData = 0;
};
struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin = 0;
    LONG lMax = 0;
};

struct DIDEVICEINSTANCE {
    GUID guidInstance;
};
struct DIDEVICEOBJECTINSTANCE {
    // The axis bits, and the axis number in bits 8 to 23.
    DWORD dwType = 0;
};
using LPDIENUMDEVICESCALLBACK = BOOL (*)(const DIDEVICEINSTANCE* instance, void* context);
using LPDIENUMDEVICEOBJECTSCALLBACK = BOOL (*)(const DIDEVICEOBJECTINSTANCE* object, void* context);

class IDirectInputDevice8 : public IUnknown {
public:
    IDirectInputDevice8(PlatInputBackend& backend, PlatInputDevice device);

    // E_INVALIDARG for a format of another size than the device's state.
    HRESULT SetDataFormat(const DIDATAFORMAT* format);
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetEventNotification(HANDLE event);
    // DIPROP_BUFFERSIZE and DIPROP_AXISMODE for the whole device take a
    // DIPROPDWORD, DIPROP_RANGE by object id a DIPROPRANGE.
    HRESULT SetProperty(DIPROPID property, const DIPROPHEADER* header);
    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACK callback, void* context, DWORD flags);
    // Needs a data format and a cooperative level; S_FALSE when already
    // acquired. An exclusive mouse takes the pointer for relative motion.
    HRESULT Acquire();
    // S_FALSE when the device was not acquired.
    HRESULT Unacquire();
    HRESULT Poll();
    // DIERR_NOTACQUIRED when not acquired; a failed read leaves `data` as it was.
    HRESULT GetDeviceState(DWORD size, void* data);

    bool IsAcquired() const { return acquired; }

protected:
    ~IDirectInputDevice8() override;

private:
    PlatInputBackend& backend;
    PlatInputDevice device;
    DWORD dataSize = 0;
    DWORD cooperation = 0;
    bool acquired = false;
};

class IDirectInput8 : public IUnknown {
public:
    explicit IDirectInput8(PlatInputBackend& backend) : backend(backend) {}

    // DIERR_DEVICENOTREG for a device the backend cannot open.
    HRESULT CreateDevice(const GUID& guid, IDirectInputDevice8** device, IUnknown* outer);
    // Calls back with each attached game controller, first to last, until
    // the callback returns DIENUM_STOP.
    HRESULT EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACK callback, void* context, DWORD flags);

private:
    PlatInputBackend& backend;
};

// The input object on the chosen backend; E_INVALIDARG for another version.
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, IDirectInput8** out, IUnknown* outer);
