#pragma once

#include "Platform/Graphics/Unknown.h"

#include <string>

// Records and handles of the effect interface. A handle names a parameter or
// technique: either the handle an effect gave out, or the name itself.
using D3DXHANDLE = const char*;

enum D3DXPARAMETER_CLASS : uint32_t {
    D3DXPC_SCALAR,
    D3DXPC_VECTOR,
    D3DXPC_MATRIX_ROWS,
    D3DXPC_OBJECT,
};

enum D3DXPARAMETER_TYPE : uint32_t {
    D3DXPT_BOOL,
    D3DXPT_INT,
    D3DXPT_FLOAT,
    D3DXPT_TEXTURE,
    D3DXPT_TEXTURE1D,
    D3DXPT_TEXTURE2D,
    D3DXPT_TEXTURE3D,
    D3DXPT_TEXTURECUBE,
};

struct D3DXPARAMETER_DESC {
    const char* Name = nullptr;
    const char* Description = nullptr; // our files' description text ("" when none)
    D3DXPARAMETER_CLASS Class = D3DXPC_SCALAR;
    D3DXPARAMETER_TYPE Type = D3DXPT_FLOAT;
    UINT Rows = 0;
    UINT Columns = 0;
    UINT Bytes = 0;
    BOOL Shared = FALSE;
};

struct D3DXEFFECT_DESC {
    UINT Parameters = 0;
    UINT Techniques = 0;
};

struct D3DXTECHNIQUE_DESC {
    const char* Name = nullptr;
    UINT Passes = 0;
};

// D3DX_DEFAULT in sizes and filters; the mip filters callers combine.
inline constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
inline constexpr DWORD D3DX_FILTER_NONE = 1;
inline constexpr DWORD D3DX_FILTER_POINT = 2;
inline constexpr DWORD D3DX_FILTER_LINEAR = 3;
inline constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
inline constexpr DWORD D3DX_FILTER_BOX = 5;
inline constexpr DWORD D3DX_FILTER_DITHER = 0x80000;

// A block of bytes handed back to the caller (compiler messages).
class ID3DXBuffer : public IUnknown {
public:
    explicit ID3DXBuffer(std::string text) : bytes(std::move(text)) {}
    void* GetBufferPointer() { return bytes.data(); }
    DWORD GetBufferSize() const { return static_cast<DWORD>(bytes.size() + 1); }

private:
    std::string bytes;
};
