#pragma once

#include <string>

// Launcher results: the buttons that close the launcher, and LAUNCH_DIALOG
// for a run that shows the launcher to ask.
inline constexpr int LAUNCH_DIALOG = 0;
inline constexpr int LAUNCH_FULLSCREEN = 1000;
inline constexpr int LAUNCH_EXIT = 1002;
inline constexpr int LAUNCH_WINDOWED = 1003;

// What the command line asks of a run:
//   --windowed, --fullscreen  start as the launcher's buttons would, without
//                             showing it
//   --frames N                end the main loop after N frames
//   --input FILE              read the keyboard and mouse from FILE instead
//                             of the devices (see CPInputReplay)
//   --level NAME              load and start the level NAME once the game
//                             has started, as the scripts' InitLevel and
//                             StartLevel would
//   --car MODEL               the player's car model, for --level and for
//                             the game until a script names another
//   --frame-time SECONDS      every frame lasts SECONDS on the frame clock,
//                             so that runs repeat exactly
//   --trace FILE              write every command sent to a script, with
//                             its frame, to FILE at the end of the run
//   --headless                draw nothing: the graphics device logs only
//                             the frame being drawn
//   --timings                 write the time of each stage of the start-up
//                             and of every level's loading to the log
struct SPRunOptions {
    // The launcher's result; with neither option the launcher is shown.
    int launcherResult = LAUNCH_DIALOG;
    // Frames before the main loop is asked to quit; -1 runs until closed.
    int frames = -1;
    // Recorded input to replay; empty for the real devices.
    std::string inputFile;
    // The level to race at once (empty: none) and the player's car.
    std::string level;
    std::string car = "buggy";
    // Seconds per frame of the frame clock; 0 for the real clock.
    double frameTime = 0;
    // Where the command trace goes; empty for none.
    std::string traceFile;
    bool headless = false;
    bool timings = false;
};

// False, with the reason in `error`, for an unknown option, a bad count or
// a frame time that is not a number of seconds above 0 and at most 1.
bool ParseRunOptions(int argc, const char* const* argv, SPRunOptions& options, std::string& error);
