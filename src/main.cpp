#include "Application/PApplication.h"
#include "Core/Log.h"
#include "Platform/Win32Window.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    SPRunOptions options;
    std::string error;
    if (!ParseRunOptions(argc, argv, options, error)) {
        std::fprintf(
            stderr,
            "kestrovar: %s\nusage: kestrovar [--windowed | --fullscreen] [--frames N] [--input FILE]\n"
            "                 [--level NAME] [--car MODEL] [--frame-time SECONDS] [--trace FILE] "
            "[--headless]\n",
            error.c_str());
        return 2;
    }
    if (!GetLog().OpenFile("log.txt"))
        std::fprintf(stderr, "kestrovar: log.txt could not be created; the log goes to this terminal only\n");
    return ApplicationMain(nullptr, SW_SHOWNORMAL, options);
}
