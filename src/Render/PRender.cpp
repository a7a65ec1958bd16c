#include "Render/PRender.h"

#include "Core/CallRecorder.h"

CPRender* g_Render = nullptr;

CPRender::CPRender() {
    g_Render = this;
}

CPRender::~CPRender() {
    if (g_Render == this)
        g_Render = nullptr;
}

bool CPRender::Start() {
    RecordCall("CPRender::Start");
    if (IsCallRefused("CPRender::Start"))
        return false;
    return CPTask::Start();
}

void CPRender::Stop() {
    RecordCall("CPRender::Stop");
    CPTask::Stop();
}

void CPRender::DrawLoadingScreen(int percent) {
    RecordCall("CPRender::DrawLoadingScreen " + std::to_string(percent));
}

void CPRender::ResetDevice() {
    RecordCall("CPRender::ResetDevice");
}
