#pragma once

#include "Core/PTask.h"

class CPMusic;
extern CPMusic* g_Music;

// Stands in for the music task until the sound subsystem lands.
class CPMusic : public CPTask {
public:
    CPMusic();
    ~CPMusic() override;

    void Update() override {}
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPMusic); }
    std::string GetClassName() const override { return "CPMusic"; }
};
