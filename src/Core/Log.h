#pragma once

#include "Platform/Win32Types.h"

#include <cstdio>
#include <functional>
#include <string_view>

// The diagnostic log. Every platform-error report and script error goes
// through it. Reports are written to stderr (or to a sink a test installs)
// and, once the application has opened it, to log.txt beside the game.
class CPLog {
public:
    using Sink = std::function<void(std::string_view text)>;

    CPLog() = default;
    ~CPLog();
    CPLog(const CPLog&) = delete;
    CPLog& operator=(const CPLog&) = delete;

    bool IsReady() const { return true; }

    // printf-style; level is kept for callers, every report uses 0.
    void Print(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // Also writes every later report to this file (truncated first; a
    // symbolic link there is replaced, never written through).
    bool OpenFile(const char* path);
    void CloseFile();

    // Replaces the stderr sink; an empty sink restores stderr.
    void SetSink(Sink sink);

private:
    void Write(std::string_view text);

    std::FILE* file = nullptr;
    Sink sink;
};

// The process-wide log, created on first use.
CPLog& GetLog();

// Writes the platform-error report "DXError if <module> on line <line>"
// followed by the code's name and description.
void ReportPlatformError(const char* module, int line, HRESULT hr);
