#include "Core/PIntDator.h"

CPIntDator::CPIntDator(int32_t* target) : CPValueDator(target) {}

size_t CPIntDator::GetSize() const {
    return sizeof(CPIntDator);
}
