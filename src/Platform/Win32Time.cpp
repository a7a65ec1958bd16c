#include "Platform/Win32Time.h"

#include <time.h>

namespace {

constexpr LONGLONG kNanosecondsPerSecond = 1000000000;

class MonotonicClock : public PlatClockSource {
public:
    bool Frequency(LONGLONG& frequency) override {
        frequency = kNanosecondsPerSecond;
        return true;
    }
    LONGLONG Counter() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<LONGLONG>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    }
    DWORD Milliseconds() override { return static_cast<DWORD>(Counter() / 1000000); }
};

MonotonicClock g_MonotonicClock;
PlatClockSource* g_ClockSource = &g_MonotonicClock;

} // namespace

void PlatSetClockSource(PlatClockSource* source) {
    g_ClockSource = source ? source : &g_MonotonicClock;
}

BOOL QueryPerformanceFrequency(LONGLONG* frequency) {
    LONGLONG value = 0;
    const bool available = g_ClockSource->Frequency(value) && value > 0;
    *frequency = available ? value : 0;
    return available ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LONGLONG* count) {
    *count = g_ClockSource->Counter();
    return TRUE;
}

DWORD timeGetTime() {
    return g_ClockSource->Milliseconds();
}

void Sleep(DWORD milliseconds) {
    timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

namespace {

std::function<SYSTEMTIME()> g_LocalTimeSource;

SYSTEMTIME SystemLocalTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    time.wSecond = static_cast<WORD>(local.tm_sec);
    time.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
    return time;
}

} // namespace

void GetLocalTime(SYSTEMTIME* time) {
    *time = g_LocalTimeSource ? g_LocalTimeSource() : SystemLocalTime();
}

void PlatSetLocalTimeSource(std::function<SYSTEMTIME()> source) {
    g_LocalTimeSource = std::move(source);
}
