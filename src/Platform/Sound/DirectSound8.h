#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Graphics/Unknown.h"
#include "Platform/Win32Types.h"

// The sound device the engine is written against: static sound buffers
// filled whole through Lock/Unlock and played, paused (Stop keeps the play
// position), rewound, pitched and attenuated in hundredths of a decibel;
// 3D buffers and a listener in the game's left-handed coordinates.

inline constexpr HRESULT DS_OK = S_OK;
inline constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
inline constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
inline constexpr HRESULT DSERR_UNSUPPORTED = E_NOTIMPL;

inline constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
// The format header of a WAVE file ("fmt " chunk), extra bytes not included.
struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};
#pragma pack(pop)

inline constexpr DWORD DSSCL_EXCLUSIVE = 3;

inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr DWORD DSBCAPS_CTRL3D = 0x10;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;

inline constexpr DWORD DSBSTATUS_PLAYING = 0x1;
inline constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr DWORD DSBPLAY_LOOPING = 0x1;

inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 100000;
// SetFrequency(DSBFREQUENCY_ORIGINAL) plays at the sample rate of the data.
inline constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;

inline constexpr DWORD DS3D_IMMEDIATE = 0;
inline constexpr DWORD DS3DMODE_NORMAL = 0;

// How a 3D buffer is spatialised; the mixer may treat them all alike.
enum class DS3DALG { Default, HrtfFull, HrtfLight };

struct DSBUFFERDESC {
    DWORD dwSize = sizeof(DSBUFFERDESC);
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr;
    DS3DALG guid3DAlgorithm = DS3DALG::Default;
};

struct DS3DBUFFER {
    D3DXVECTOR3 vPosition;
    D3DXVECTOR3 vVelocity;
    DWORD dwInsideConeAngle = 360;
    DWORD dwOutsideConeAngle = 360;
    D3DXVECTOR3 vConeOrientation{0, 0, 1};
    LONG lConeOutsideVolume = 0;
    float flMinDistance = 1;
    float flMaxDistance = 1e9f;
    DWORD dwMode = DS3DMODE_NORMAL;
};

struct DS3DLISTENER {
    D3DXVECTOR3 vPosition;
    D3DXVECTOR3 vVelocity;
    D3DXVECTOR3 vOrientFront{0, 0, 1};
    D3DXVECTOR3 vOrientTop{0, 1, 0};
    float flDistanceFactor = 1;
    float flRolloffFactor = 1;
    float flDopplerFactor = 1;
};

// Position, velocity and distances of a 3D buffer.
class IDirectSound3DBuffer8 : public IUnknown {
public:
    virtual HRESULT GetAllParameters(DS3DBUFFER* parameters) = 0;
    virtual HRESULT SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) = 0;
};

// The one listener of a device, taken from a primary buffer made with
// DSBCAPS_CTRL3D.
class IDirectSound3DListener8 : public IUnknown {
public:
    virtual HRESULT GetAllParameters(DS3DLISTENER* parameters) = 0;
    virtual HRESULT SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) = 0;
};

// A sound buffer. A secondary buffer holds sample data in the format it was
// created with; the primary buffer stands for the device's output, whose
// format SetFormat chooses. Calls that do not fit the kind of buffer fail
// with DSERR_INVALIDCALL.
class IDirectSoundBuffer8 : public IUnknown {
public:
    // Lock returns the whole requested range as the first part; the second
    // part is always empty, as the buffers do not wrap.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;
    // Plays from the current position; DSBPLAY_LOOPING repeats the data.
    // A buffer that played to its end starts again from 0.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    // Pauses: the current position is kept.
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(DWORD bytes) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    virtual HRESULT SetFrequency(DWORD hz) = 0;
    virtual HRESULT GetFrequency(DWORD* hz) = 0;
    // Hundredths of a decibel, DSBVOLUME_MIN to DSBVOLUME_MAX.
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // The 3D interface of a buffer made with DSBCAPS_CTRL3D (fails for any
    // other buffer); the caller owns the returned reference.
    virtual HRESULT Get3DBuffer(IDirectSound3DBuffer8** buffer) = 0;
    // The listener of a primary buffer made with DSBCAPS_CTRL3D.
    virtual HRESULT GetListener(IDirectSound3DListener8** listener) = 0;
};

class IDirectSound8 : public IUnknown {
public:
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer8** buffer) = 0;
};

// Opens the output device chosen by PlatSetSoundBackendKind. Fails with
// DSERR_NODRIVER when no device opens; objects made from a device stay
// safe to use and release after the device itself was released.
HRESULT DirectSoundCreate8(IDirectSound8** device);
