#include "Application/PFrameLimit.h"

#include "Core/PGlobalTimer.h"

#include <chrono>
#include <thread>

CPFrameLimit::CPFrameLimit(int frameCount) : inner(PlatGetEventSource()), frames(frameCount) {
    PlatSetEventSource(this);
}

CPFrameLimit::~CPFrameLimit() {
    PlatSetEventSource(inner);
}

void CPFrameLimit::Pump() {
    if (inner)
        inner->Pump();
    if (!quitPosted && g_FrameCounter >= frames) {
        PostQuitMessage(0);
        quitPosted = true;
    }
}

void CPFrameLimit::Wait(int timeoutMilliseconds) {
    if (inner)
        inner->Wait(timeoutMilliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMilliseconds));
}
