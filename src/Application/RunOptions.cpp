#include "Application/RunOptions.h"

#include <charconv>
#include <cstring>

namespace {

bool ParseFrameCount(const char* text, int& frames) {
    const char* end = text + std::strlen(text);
    auto [stop, failure] = std::from_chars(text, end, frames);
    return failure == std::errc() && stop == end && *text != '\0' && frames >= 0;
}

// A frame time above 0 and at most a second.
bool ParseFrameTime(const char* text, double& seconds) {
    const char* end = text + std::strlen(text);
    auto [stop, failure] = std::from_chars(text, end, seconds);
    return failure == std::errc() && stop == end && *text != '\0' && seconds > 0 && seconds <= 1;
}

// The non-empty text after the option, which is then skipped.
bool TakeText(int argc, const char* const* argv, int& i, std::string& value) {
    if (i + 1 >= argc || *argv[i + 1] == '\0')
        return false;
    value = argv[++i];
    return true;
}

} // namespace

bool ParseRunOptions(int argc, const char* const* argv, SPRunOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--windowed") {
            options.launcherResult = LAUNCH_WINDOWED;
        } else if (option == "--fullscreen") {
            options.launcherResult = LAUNCH_FULLSCREEN;
        } else if (option == "--headless") {
            options.headless = true;
        } else if (option == "--timings") {
            options.timings = true;
        } else if (option == "--frames") {
            if (i + 1 >= argc || !ParseFrameCount(argv[i + 1], options.frames)) {
                error = "--frames needs a whole number of frames";
                return false;
            }
            ++i;
        } else if (option == "--frame-time") {
            if (i + 1 >= argc || !ParseFrameTime(argv[i + 1], options.frameTime)) {
                error = "--frame-time needs a number of seconds above 0 and at most 1";
                return false;
            }
            ++i;
        } else if (option == "--trace") {
            if (!TakeText(argc, argv, i, options.traceFile)) {
                error = "--trace needs a file to write";
                return false;
            }
        } else if (option == "--input") {
            if (!TakeText(argc, argv, i, options.inputFile)) {
                error = "--input needs a file of recorded input";
                return false;
            }
        } else if (option == "--level" || option == "--car") {
            if (!TakeText(argc, argv, i, option == "--level" ? options.level : options.car)) {
                error = option + " needs a name";
                return false;
            }
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    return true;
}
