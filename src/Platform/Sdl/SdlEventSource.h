#pragma once

#include "Platform/Win32Messages.h"

#include <SDL.h>

#include <set>
#include <vector>

// Feeds the message queue from SDL's events, the way the window system
// sends a window its messages:
//   window closed, or the process asked to quit  -> WM_CLOSE
//   minimised, hidden                            -> WM_SIZE SIZE_MINIMIZED
//   restored, shown again, resized               -> WM_SIZE SIZE_RESTORED
//   maximised                                    -> WM_SIZE SIZE_MAXIMIZED
//   keyboard focus gained / lost                 -> WM_ACTIVATE WA_ACTIVE / WA_INACTIVE
//   pointer entered the window                   -> WM_SETCURSOR
//   typed text                                   -> WM_CHAR per character
//   Backspace, Tab, Return, Escape pressed       -> WM_CHAR 8, 9, 13, 27
// Every SDL event is taken off SDL's queue and also handed to the SDL input
// devices, which keep the key, button, motion and wheel state.
class PlatSdlEventSource : public PlatEventSource {
public:
    // Catches the hang-up signal from the start, so that one arriving while
    // the game is still starting ends it through its shut-down too.
    PlatSdlEventSource();

    void Pump() override;
    void Wait(int timeoutMilliseconds) override;

    // The messages one SDL event stands for, in order; none for events no
    // window procedure needs.
    std::vector<MSG> Translate(const SDL_Event& event);

    // Forgets which windows were hidden.
    void Reset() { hiddenWindows.clear(); }

private:
    void TranslateWindowEvent(const SDL_WindowEvent& event, std::vector<MSG>& out);

    // Windows hidden by the window system: showing them again is a restore.
    // The show that the program itself asks for already sent its WM_SIZE.
    std::set<HWND> hiddenWindows;
    bool hangUpCaught;
};

// Converts UTF-8 text to the single-byte Latin-1 codes the fonts are indexed
// by; characters outside Latin-1 and malformed bytes are dropped.
std::vector<unsigned char> PlatUtf8ToLatin1(const char* text);
