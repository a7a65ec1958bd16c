#pragma once

#include "Core/PObject.h"

// The base of the cars' physics: an engine object that adds nothing of its
// own, so that game code can hold a car without knowing its class.
class CPCarBase : public CPObject {
public:
    CPCarBase() = default;
    ~CPCarBase() override = default;
};
