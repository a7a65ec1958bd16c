#include "Platform/Win32Shell.h"

#include "Platform/Win32Window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>

extern char** environ;

namespace {

PlatShellRecorder g_Recorder;

bool IsSafeTarget(const std::string& target) {
    if (target.empty() || target.front() == '-')
        return false;
    return std::none_of(target.begin(), target.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 0x20 || code == 0x7F;
    });
}

} // namespace

BOOL ShellExecuteA(HWND, const char* verb, const char* file, const char*, const char*, int) {
    const std::string target = file ? file : "";
    if (!verb || std::strcmp(verb, "open") != 0 || !IsSafeTarget(target))
        return FALSE;
    if (g_Recorder) {
        g_Recorder(verb, target);
        return TRUE;
    }
    // Decided from the environment, without starting the video.
    if (PlatIsHeadlessVideoDriver(std::getenv("SDL_VIDEODRIVER"))) {
        std::fprintf(stderr, "Not opening %s without a desktop\n", target.c_str());
        return FALSE;
    }
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(target.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "Cannot open %s: xdg-open is not available\n", target.c_str());
        return FALSE;
    }
    return TRUE;
}

void PlatSetShellRecorder(PlatShellRecorder recorder) {
    g_Recorder = std::move(recorder);
}
