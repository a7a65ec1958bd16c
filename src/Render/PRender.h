#pragma once

#include "Core/PTask.h"

class CPRender;
extern CPRender* g_Render;

// Stands in for the render task until the renderer lands: it records the
// calls the application makes and draws nothing.
class CPRender : public CPTask {
public:
    CPRender();
    ~CPRender() override;

    // Refuses when the device cannot be created.
    bool Start() override;
    void Update() override {}
    void Stop() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPRender); }
    std::string GetClassName() const override { return "CPRender"; }

    // Draws one loading-screen frame with the bar at `percent`.
    void DrawLoadingScreen(int percent);
    // Re-creates the device after the window was restored or re-activated.
    void ResetDevice();
};
