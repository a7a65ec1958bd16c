#pragma once

// The basic Windows types, result codes and handles that the engine's code is
// written against. Only what the engine uses is declared.

#include <cstdint>

using BYTE = uint8_t;
using CHAR = char;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int;
using LONG = int32_t;
using HRESULT = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONGLONG = int64_t;
using ULONG = uint32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);

inline constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// Opaque handles: distinct pointer types so they cannot be mixed up.
struct PlatWindow;
struct PlatModule;
using HWND = PlatWindow*;
using HINSTANCE = PlatModule*;

inline constexpr WORD LOWORD(uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
inline constexpr WORD HIWORD(uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
