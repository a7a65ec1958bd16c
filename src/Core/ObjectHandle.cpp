#include "Core/ObjectHandle.h"

#include "Core/LiveObjects.h"

#include <cstdint>
#include <cstdlib>

std::string PointerToString(const void* address) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(address));
}

const void* StringToAddress(const std::string& text) {
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(value));
}

CPObject* ResolveHandle(const void* address) {
    return FindLiveObject(address);
}
