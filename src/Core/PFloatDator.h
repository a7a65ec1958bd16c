#pragma once

#include "Core/PValueDator.h"

// A dator over a float setting, written with six significant digits in the
// shortest form (0.2 is written "0.2").
class CPFloatDator final : public CPValueDator<float> {
public:
    explicit CPFloatDator(float* target);
    size_t GetSize() const override;
};
