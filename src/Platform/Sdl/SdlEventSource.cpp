#include "Platform/Sdl/SdlEventSource.h"

#include "Platform/Sdl/SdlInput.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Win32Window.h"

#include <csignal>

namespace {

HWND WindowOf(Uint32 sdlWindowId) {
    HWND hwnd = PlatFindWindow(sdlWindowId);
    return hwnd ? hwnd : PlatGetFirstWindow();
}

// The character a key gives that SDL's text events do not carry; 0 for none.
WPARAM ControlCharacter(SDL_Keycode key) {
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_ESCAPE:
        return 27;
    default:
        return 0;
    }
}

// Length of the UTF-8 sequence a lead byte starts; 0 for a byte that
// cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    return (lead & 0xF8) == 0xF0 ? 4 : 0;
}

volatile std::sig_atomic_t g_HangUp = 0;

void OnHangUp(int) {
    g_HangUp = 1;
}

// SDL turns SIGINT and SIGTERM into a quit event; a closed terminal
// (SIGHUP) would kill the game without its shut-down, so it is treated the
// same way. True when the handler is in place.
bool CatchHangUp() {
    struct sigaction action {};
    action.sa_handler = OnHangUp;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGHUP, &action, nullptr) == 0;
}

} // namespace

std::vector<unsigned char> PlatUtf8ToLatin1(const char* text) {
    std::vector<unsigned char> out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes) {
        const int length = SequenceLength(*bytes);
        if (length == 0) {
            ++bytes;
            continue;
        }
        unsigned codePoint = length == 1 ? *bytes : *bytes & (0x7F >> length);
        int taken = 1;
        for (; taken < length && (bytes[taken] & 0xC0) == 0x80; ++taken)
            codePoint = (codePoint << 6) | (bytes[taken] & 0x3F);
        if (taken == length && codePoint <= 0xFF)
            out.push_back(static_cast<unsigned char>(codePoint));
        bytes += taken;
    }
    return out;
}

PlatSdlEventSource::PlatSdlEventSource() : hangUpCaught(CatchHangUp()) {}

void PlatSdlEventSource::Pump() {
    if (hangUpCaught && g_HangUp) {
        g_HangUp = 0;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        PlatGetSdlInput().HandleEvent(event);
        for (const MSG& msg : Translate(event))
            PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    }
}

void PlatSdlEventSource::Wait(int timeoutMilliseconds) {
    SDL_WaitEventTimeout(nullptr, timeoutMilliseconds);
}

std::vector<MSG> PlatSdlEventSource::Translate(const SDL_Event& event) {
    std::vector<MSG> out;
    switch (event.type) {
    case SDL_QUIT:
        if (HWND hwnd = PlatGetFirstWindow())
            out.push_back(MSG{hwnd, WM_CLOSE, 0, 0});
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window, out);
        break;
    case SDL_TEXTINPUT:
        if (HWND hwnd = WindowOf(event.text.windowID))
            for (unsigned char code : PlatUtf8ToLatin1(event.text.text))
                out.push_back(MSG{hwnd, WM_CHAR, code, 0});
        break;
    case SDL_KEYDOWN:
        if (HWND hwnd = WindowOf(event.key.windowID))
            if (WPARAM code = ControlCharacter(event.key.keysym.sym))
                out.push_back(MSG{hwnd, WM_CHAR, code, 0});
        break;
    default:
        break;
    }
    return out;
}

void PlatSdlEventSource::TranslateWindowEvent(const SDL_WindowEvent& event, std::vector<MSG>& out) {
    HWND hwnd = PlatFindWindow(event.windowID);
    if (!hwnd)
        return;
    // WM_SIZE carries the client size, except for a minimised window.
    const auto size = [&](WPARAM kind) {
        int width = 0, height = 0;
        if (kind != SIZE_MINIMIZED)
            SDL_GetWindowSize(PlatGetSdlWindow(hwnd), &width, &height);
        out.push_back(MSG{hwnd, WM_SIZE, kind, MAKELPARAM(width, height)});
    };
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        out.push_back(MSG{hwnd, WM_CLOSE, 0, 0});
        break;
    case SDL_WINDOWEVENT_HIDDEN:
        hiddenWindows.insert(hwnd);
        size(SIZE_MINIMIZED);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        size(SIZE_MINIMIZED);
        break;
    case SDL_WINDOWEVENT_SHOWN:
        if (hiddenWindows.erase(hwnd))
            size(SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        size(SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        size(SIZE_MAXIMIZED);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        size(SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back(MSG{hwnd, WM_ACTIVATE, WA_ACTIVE, 0});
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out.push_back(MSG{hwnd, WM_ACTIVATE, WA_INACTIVE, 0});
        break;
    case SDL_WINDOWEVENT_ENTER:
        out.push_back(MSG{hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), HTCLIENT});
        break;
    default:
        break;
    }
}
