#pragma once

#include "Platform/WebBrowser.h"
#include "Platform/Win32Types.h"

#include <memory>

class CPWebHost;
// The launcher's web host, created when the launcher opens and released by
// the application once it has closed.
extern CPWebHost* g_WebHost;

// Holds the web browser shown in the launcher: embeds it in a host window,
// sizes it to the host and opens the launcher page. Counted: it starts at
// one reference and deletes itself when the last is released.
class CPWebHost {
public:
    CPWebHost() = default;
    CPWebHost(const CPWebHost&) = delete;
    CPWebHost& operator=(const CPWebHost&) = delete;

    // Embeds a browser in the host window, sized to its client area, and
    // opens g_LauncherPageUrl. E_FAIL when no browser could be made: the
    // host then stays empty.
    HRESULT Create(HWND host);
    // Closes the browser without saving and lets it go.
    void CloseBrowser();
    // The count left; at 0 the host is deleted.
    ULONG Release();

    HWND hostWindow = nullptr;

private:
    ~CPWebHost() = default;

    ULONG refCount = 1;
    std::unique_ptr<PlatWebBrowser> browser;
};
