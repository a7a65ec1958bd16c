#pragma once

#include "Core/PObject.h"

// Stands in for a loaded sound until the sound subsystem lands.
class CNSound : public CPObject {
public:
    size_t GetSize() const override { return sizeof(CNSound); }
    std::string GetClassName() const override { return "CNSound"; }
};
