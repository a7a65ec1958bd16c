#include "Platform/Graphics/Direct3D9.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Win32Window.h"

#include <gtest/gtest.h>

namespace {

LRESULT IgnoreMessages(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// The OpenGL device draws into the window it is given and leaves that
// window to its owner when it goes away.
TEST(GLDeviceWindow, DrawsIntoTheApplicationsWindow) {
    WNDCLASS windowClass;
    windowClass.lpfnWndProc = IgnoreMessages;
    windowClass.lpszClassName = "DeviceWindow";
    ASSERT_NE(RegisterClass(&windowClass), 0);
    HWND window = CreateWindowEx(0, "DeviceWindow", "Device", WS_OVERLAPPED, 0, 0, 64, 48, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(window, nullptr);

    IDirect3D9* direct3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params;
    params.BackBufferWidth = 64;
    params.BackBufferHeight = 48;
    params.BackBufferFormat = D3DFMT_A8R8G8B8;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                     &device),
              D3D_OK);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), PlatGetSdlWindow(window));
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    device->Release();
    direct3D->Release();
    EXPECT_NE(PlatGetSdlWindow(window), nullptr);
    PlatReleaseWindows();
}

} // namespace
