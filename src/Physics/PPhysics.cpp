#include "Physics/PPhysics.h"

#include "Core/CallRecorder.h"

CPPhysics* g_Physics = nullptr;

CPPhysics::CPPhysics() {
    g_Physics = this;
    RecordCall("CPPhysics()");
}

CPPhysics::~CPPhysics() {
    RecordCall("~CPPhysics()");
    if (g_Physics == this)
        g_Physics = nullptr;
}

CPPhysics* GetPhysics() {
    return g_Physics;
}
