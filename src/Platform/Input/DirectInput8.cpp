#include "Platform/Input/DirectInput8.h"

#include <cstring>

namespace {

DWORD StateSize(const PlatInputDevice& device) {
    switch (device.kind) {
    case PlatInputDevice::Keyboard:
        return c_dfDIKeyboard.dwDataSize;
    case PlatInputDevice::Mouse:
        return c_dfDIMouse.dwDataSize;
    default:
        return c_dfDIJoystick2.dwDataSize;
    }
}

bool IsWholeDevice(const DIPROPHEADER& header) {
    return header.dwHow == DIPH_DEVICE && header.dwObj == 0;
}

} // namespace

IDirectInputDevice8::IDirectInputDevice8(PlatInputBackend& inputBackend, PlatInputDevice inputDevice)
    : backend(inputBackend), device(inputDevice) {}

IDirectInputDevice8::~IDirectInputDevice8() {
    Unacquire();
    backend.Close(device);
}

HRESULT IDirectInputDevice8::SetDataFormat(const DIDATAFORMAT* format) {
    if (!format || format->dwDataSize != StateSize(device))
        return E_INVALIDARG;
    dataSize = format->dwDataSize;
    return S_OK;
}

HRESULT IDirectInputDevice8::SetCooperativeLevel(HWND, DWORD flags) {
    const DWORD sharing = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    if (sharing != DISCL_EXCLUSIVE && sharing != DISCL_NONEXCLUSIVE)
        return E_INVALIDARG;
    const HRESULT result = backend.SetUp(device, sharing == DISCL_EXCLUSIVE);
    if (SUCCEEDED(result))
        cooperation = flags;
    return result;
}

HRESULT IDirectInputDevice8::SetEventNotification(HANDLE) {
    return S_OK;
}

HRESULT IDirectInputDevice8::SetProperty(DIPROPID property, const DIPROPHEADER* header) {
    if (!header || acquired)
        return E_INVALIDARG;
    switch (property) {
    case DIPROP_BUFFERSIZE:
    case DIPROP_AXISMODE:
        return IsWholeDevice(*header) && header->dwSize == sizeof(DIPROPDWORD) ? S_OK : E_INVALIDARG;
    case DIPROP_RANGE: {
        const bool axis = device.kind == PlatInputDevice::Controller && header->dwHow == DIPH_BYID &&
                          (header->dwObj & DIDFT_AXIS) &&
                          static_cast<int>(header->dwObj >> 8) < backend.ControllerAxes(device.controller);
        return axis && header->dwSize == sizeof(DIPROPRANGE) ? S_OK : E_INVALIDARG;
    }
    }
    return E_INVALIDARG;
}

HRESULT IDirectInputDevice8::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACK callback, void* context, DWORD flags) {
    if (!callback)
        return E_INVALIDARG;
    if (device.kind != PlatInputDevice::Controller || !(flags & DIDFT_AXIS))
        return S_OK;
    const int axes = backend.ControllerAxes(device.controller);
    for (int axis = 0; axis < axes; ++axis) {
        const DIDEVICEOBJECTINSTANCE object{DIDFT_ABSAXIS | (static_cast<DWORD>(axis) << 8)};
        if (callback(&object, context) == DIENUM_STOP)
            break;
    }
    return S_OK;
}

HRESULT IDirectInputDevice8::Acquire() {
    if (dataSize == 0 || cooperation == 0)
        return E_INVALIDARG;
    if (acquired)
        return S_FALSE;
    const HRESULT result = backend.Acquire(device, (cooperation & DISCL_EXCLUSIVE) != 0);
    acquired = SUCCEEDED(result);
    return result;
}

HRESULT IDirectInputDevice8::Unacquire() {
    if (!acquired)
        return S_FALSE;
    backend.Unacquire(device);
    acquired = false;
    return S_OK;
}

HRESULT IDirectInputDevice8::Poll() {
    return acquired ? backend.Poll(device) : DIERR_NOTACQUIRED;
}

HRESULT IDirectInputDevice8::GetDeviceState(DWORD size, void* data) {
    if (!data || size != dataSize)
        return E_INVALIDARG;
    if (!acquired)
        return DIERR_NOTACQUIRED;
    if (device.kind == PlatInputDevice::Keyboard) {
        BYTE keys[256];
        if (!backend.ReadKeys(keys))
            return DIERR_INPUTLOST;
        std::memcpy(data, keys, sizeof(keys));
        return S_OK;
    }
    if (device.kind == PlatInputDevice::Mouse) {
        DIMOUSESTATE state;
        if (!backend.ReadMouse(state))
            return DIERR_INPUTLOST;
        std::memcpy(data, &state, sizeof(state));
        return S_OK;
    }
    // The controller's state is never read.
    return E_NOTIMPL;
}

HRESULT IDirectInput8::CreateDevice(const GUID& guid, IDirectInputDevice8** out, IUnknown*) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    PlatInputDevice device;
    if (guid == GUID_SysMouse)
        device.kind = PlatInputDevice::Mouse;
    else if (guid.kind == kPlatControllerGuidKind)
        device = {PlatInputDevice::Controller, static_cast<int>(guid.instance)};
    else if (!(guid == GUID_SysKeyboard))
        return DIERR_DEVICENOTREG;
    if (!backend.Open(device))
        return DIERR_DEVICENOTREG;
    *out = new IDirectInputDevice8(backend, device);
    return S_OK;
}

HRESULT IDirectInput8::EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACK callback, void* context,
                                   DWORD) {
    if (!callback)
        return E_INVALIDARG;
    if (deviceClass != DI8DEVCLASS_GAMECTRL)
        return S_OK;
    const int count = backend.ControllerCount();
    for (int index = 0; index < count; ++index) {
        const DIDEVICEINSTANCE instance{GUID{kPlatControllerGuidKind, static_cast<uint32_t>(index)}};
        if (callback(&instance, context) == DIENUM_STOP)
            break;
    }
    return S_OK;
}

HRESULT DirectInput8Create(HINSTANCE, DWORD version, IDirectInput8** out, IUnknown*) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (version != DIRECTINPUT_VERSION)
        return E_INVALIDARG;
    *out = new IDirectInput8(PlatGetInputBackend());
    return S_OK;
}
