#include "Core/LiveObjects.h"

#include <unordered_set>

namespace {

std::unordered_set<const void*>& Registry() {
    static std::unordered_set<const void*> registry;
    return registry;
}

} // namespace

void RegisterLiveObject(CPObject* object) {
    if (object)
        Registry().insert(object);
}

void UnregisterLiveObject(CPObject* object) {
    Registry().erase(object);
}

CPObject* FindLiveObject(const void* address) {
    if (!address || !Registry().count(address))
        return nullptr;
    return static_cast<CPObject*>(const_cast<void*>(address));
}
