#include "Application/PWebHost.h"

#include "Core/AppState.h"
#include "Core/Log.h"
#include "Platform/Win32Dialogs.h"

CPWebHost* g_WebHost = nullptr;

HRESULT CPWebHost::Create(HWND host) {
    hostWindow = host;
    browser = PlatCreateWebBrowser(host);
    if (!browser) {
        GetLog().Print(0, "The launcher page cannot be shown: no web browser\n");
        return E_FAIL;
    }
    RECT client;
    GetClientRect(host, &client);
    browser->SetBounds(0, 0, client.right, client.bottom);
    browser->Navigate(g_LauncherPageUrl);
    return S_OK;
}

void CPWebHost::CloseBrowser() {
    if (!browser)
        return;
    browser->Close();
    browser.reset();
}

ULONG CPWebHost::Release() {
    if (--refCount > 0)
        return refCount;
    delete this;
    return 0;
}
