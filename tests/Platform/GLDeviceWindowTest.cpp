#include "Platform/Graphics/Direct3D9.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Win32Window.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

LRESULT IgnoreMessages(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

HWND MakeWindow(const char* className, DWORD style) {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = IgnoreMessages;
    windowClass.lpszClassName = className;
    EXPECT_NE(RegisterClass(&windowClass), 0);
    return CreateWindowEx(0, className, "Device", style, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
}

D3DPRESENT_PARAMETERS Presentation(HWND window, BOOL windowed, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = width;
    params.BackBufferHeight = height;
    params.BackBufferFormat = D3DFMT_A8R8G8B8;
    params.hDeviceWindow = window;
    params.Windowed = windowed;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return params;
}

bool IsFullScreen(HWND window) {
    return (SDL_GetWindowFlags(PlatGetSdlWindow(window)) & SDL_WINDOW_FULLSCREEN) != 0;
}

std::pair<int, int> WindowSize(HWND window) {
    int width = 0, height = 0;
    SDL_GetWindowSize(PlatGetSdlWindow(window), &width, &height);
    return {width, height};
}

// The OpenGL device draws into the window it is given and leaves that
// window to its owner when it goes away.
TEST(GLDeviceWindow, DrawsIntoTheApplicationsWindow) {
    HWND window = MakeWindow("DeviceWindow", WS_OVERLAPPED);
    ASSERT_NE(window, nullptr);

    IDirect3D9* direct3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = Presentation(window, TRUE, 64, 48);
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

// A full-screen device covers the whole screen whatever its back-buffer
// size (the back buffer is scaled to it when the display has no mode of
// that size), and gives the screen back when it goes windowed or away.
TEST(GLDeviceWindow, FullScreenCoversTheScreenUntilTheDeviceGoesWindowedOrAway) {
    HWND window = MakeWindow("FullScreenWindow", WS_POPUP);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    const std::pair screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IDirect3D9* direct3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = Presentation(window, FALSE, 800, 600);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                     &device),
              D3D_OK);
    EXPECT_TRUE(IsFullScreen(window));
    EXPECT_EQ(WindowSize(window), screen);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, 0, &backBuffer), D3D_OK);
    D3DSURFACE_DESC description;
    backBuffer->GetDesc(&description);
    backBuffer->Release();
    EXPECT_EQ(description.Width, 800u);
    EXPECT_EQ(description.Height, 600u);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    params = Presentation(window, TRUE, 320, 240);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_FALSE(IsFullScreen(window));
    EXPECT_EQ(WindowSize(window), std::pair(320, 240));

    params = Presentation(window, FALSE, 640, 480);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_TRUE(IsFullScreen(window));
    device->Release();
    direct3D->Release();
    EXPECT_FALSE(IsFullScreen(window));
    EXPECT_EQ(WindowSize(window), std::pair(320, 240)) << "the size it had before";
    PlatReleaseWindows();
}

} // namespace
