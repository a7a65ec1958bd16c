#pragma once

// A request to end the game that is seen even while the game's frame is
// busy: SIGINT, SIGTERM and SIGHUP set it from the signal itself, and the
// game sets it when its main window is closed.

// Starts a watch with no request: installs handlers of SIGINT, SIGTERM and
// SIGHUP that set the request and pass the signal on to the handler in
// place before (the window system's, which turns it into a quit message); a
// signal that had no handler then takes its default action. False when a
// handler cannot be installed.
bool PlatWatchQuitSignals();
// Puts back the handlers that were in place before.
void PlatUnwatchQuitSignals();

void PlatRequestQuit();
bool PlatQuitRequested();
