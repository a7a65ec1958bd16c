#pragma once

#include "Platform/Win32Window.h"

#include <functional>
#include <string>

// Opens a document or web address with the desktop's default program
// ("open" is the only verb). The target goes to xdg-open as one argument,
// never through a shell. Nothing is started for an empty target, one with
// control characters or a leading '-', on the headless video driver, or
// when xdg-open is not installed. TRUE when the opener was started.
BOOL ShellExecuteA(HWND parent, const char* verb, const char* file, const char* parameters,
                   const char* directory, int showCommand);

// With a recorder installed (tests), ShellExecuteA hands it the verb and the
// target instead of starting anything; an empty function removes it.
using PlatShellRecorder = std::function<void(const std::string& verb, const std::string& target)>;
void PlatSetShellRecorder(PlatShellRecorder recorder);
