#pragma once

#include "Core/PValueDator.h"

#include <cstdint>

// A dator over an int setting ("1024 x" reads as 1024).
class CPIntDator final : public CPValueDator<int32_t> {
public:
    explicit CPIntDator(int32_t* target);
    size_t GetSize() const override;
};
