#pragma once

#include "Platform/Win32Types.h"

#include <memory>
#include <string>

// A web browser shown in place inside a window: a control of an open dialog.
class PlatWebBrowser {
public:
    virtual ~PlatWebBrowser() = default;
    // Pixels within the host window.
    virtual HRESULT SetBounds(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT Navigate(const std::string& url) = 0;
    // Removes the browser from its host; it shows nothing afterwards.
    virtual void Close() = 0;
};

// Null when the host is no control of an open dialog, or when the browser
// cannot be made (no web engine; a script that refuses it).
std::unique_ptr<PlatWebBrowser> PlatCreateWebBrowser(HWND host);
