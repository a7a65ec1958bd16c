#include "Platform/ErrorText.h"

#include "Platform/Graphics/D3D9Types.h"
#include "Platform/Sound/DirectSound8.h"

#include <array>
#include <cstdio>

namespace {

struct ErrorEntry {
    HRESULT code;
    const char* name;
    const char* description;
};

constexpr std::array kErrors{
    ErrorEntry{S_OK, "S_OK", "The operation completed successfully."},
    ErrorEntry{S_FALSE, "S_FALSE", "The operation completed with nothing to do."},
    ErrorEntry{E_FAIL, "E_FAIL", "Unspecified error."},
    ErrorEntry{E_OUTOFMEMORY, "E_OUTOFMEMORY", "Ran out of memory."},
    ErrorEntry{E_INVALIDARG, "E_INVALIDARG", "An invalid parameter was passed."},
    ErrorEntry{E_NOTIMPL, "E_NOTIMPL", "Not implemented."},
    ErrorEntry{D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY", "Out of video memory."},
    ErrorEntry{D3DERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT",
               "The texture format is not supported."},
    ErrorEntry{D3DERR_NOTFOUND, "D3DERR_NOTFOUND", "The requested item was not found."},
    ErrorEntry{D3DERR_DEVICELOST, "D3DERR_DEVICELOST", "The device is lost and cannot be reset yet."},
    ErrorEntry{D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET", "The device is lost and can be reset."},
    ErrorEntry{D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE", "The requested format or mode is not available."},
    ErrorEntry{D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL",
               "Invalid call: a parameter or the device state is wrong."},
    ErrorEntry{D3DXERR_INVALIDDATA, "D3DXERR_INVALIDDATA", "The data is invalid."},
    ErrorEntry{DSERR_INVALIDCALL, "DSERR_INVALIDCALL", "This call is not valid for this sound object."},
    ErrorEntry{DSERR_BADFORMAT, "DSERR_BADFORMAT", "The sound format is not supported."},
    ErrorEntry{DSERR_NODRIVER, "DSERR_NODRIVER", "No sound device is available."},
    ErrorEntry{DSERR_BUFFERLOST, "DSERR_BUFFERLOST", "The sound buffer was lost."},
};

const ErrorEntry* FindError(HRESULT hr) {
    for (const ErrorEntry& entry : kErrors)
        if (entry.code == hr)
            return &entry;
    return nullptr;
}

} // namespace

const char* PlatGetErrorString(HRESULT hr) {
    const ErrorEntry* entry = FindError(hr);
    return entry ? entry->name : "Unknown";
}

const char* PlatGetErrorDescription(HRESULT hr) {
    if (const ErrorEntry* entry = FindError(hr))
        return entry->description;
    static thread_local char text[48];
    std::snprintf(text, sizeof text, "Unknown error 0x%08X.", static_cast<unsigned>(hr));
    return text;
}
