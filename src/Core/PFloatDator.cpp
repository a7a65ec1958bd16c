#include "Core/PFloatDator.h"

CPFloatDator::CPFloatDator(float* target) : CPValueDator(target) {}

size_t CPFloatDator::GetSize() const {
    return sizeof(CPFloatDator);
}
