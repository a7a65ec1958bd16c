#include "Core/PTask.h"

bool CPTask::Start() {
    if (running)
        return false;
    killFlag = false;
    running = true;
    return true;
}

void CPTask::Stop() {
    killFlag = true;
    running = false;
}
