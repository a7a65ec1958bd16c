#pragma once

#include "Platform/Win32Types.h"

#include <utility>

// Reference counting of device objects: an object starts with one
// reference, AddRef adds one, Release drops one and destroys the object when
// none is left. Objects that live inside a container (a texture's surfaces,
// the back buffer) forward both calls to the container.
class IUnknown {
public:
    IUnknown() = default;
    IUnknown(const IUnknown&) = delete;
    IUnknown& operator=(const IUnknown&) = delete;

    virtual ULONG AddRef() { return ++references; }
    virtual ULONG Release() {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~IUnknown() = default;

private:
    ULONG references = 1;
};

// Releases the caller's reference to the object, if any, and forgets it.
template <class T>
void PlatReleaseAndClear(T*& object) {
    if (object)
        object->Release();
    object = nullptr;
}

// Holds one reference to a device object.
template <class T>
class PlatComPtr {
public:
    PlatComPtr() = default;
    // Takes over a reference the caller already owns.
    static PlatComPtr Adopt(T* object) {
        PlatComPtr pointer;
        pointer.object = object;
        return pointer;
    }
    // Adds a reference of its own.
    explicit PlatComPtr(T* shared) : object(shared) {
        if (object)
            object->AddRef();
    }
    PlatComPtr(const PlatComPtr& other) : PlatComPtr(other.object) {}
    PlatComPtr(PlatComPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    PlatComPtr& operator=(PlatComPtr other) noexcept {
        std::swap(object, other.object);
        return *this;
    }
    ~PlatComPtr() {
        if (object)
            object->Release();
    }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    bool operator==(const PlatComPtr& other) const { return object == other.object; }

private:
    T* object = nullptr;
};
