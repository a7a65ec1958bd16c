#pragma once

#include "Core/PObject.h"

#include <type_traits>

// Counted reference to a CPObject. Taking an object calls AddRef, letting go
// calls Release; it never deletes. Assignment releases the old object before
// adding a reference to the new one, even when both are the same object.
template <class T>
class CPRefPtr {
public:
    CPRefPtr() = default;
    CPRefPtr(T* object) : ptr(object) { AddRefHeld(); }
    CPRefPtr(const CPRefPtr& other) : ptr(other.ptr) { AddRefHeld(); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    CPRefPtr(const CPRefPtr<U>& other) : ptr(other.Get()) {
        AddRefHeld();
    }
    ~CPRefPtr() { ReleaseHeld(); }

    CPRefPtr& operator=(const CPRefPtr& other) {
        Reset(other.ptr);
        return *this;
    }
    CPRefPtr& operator=(T* object) {
        Reset(object);
        return *this;
    }

    void Reset(T* object) {
        ReleaseHeld();
        ptr = object;
        AddRefHeld();
    }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    friend bool operator==(const CPRefPtr& a, const CPRefPtr& b) { return a.ptr == b.ptr; }

private:
    void AddRefHeld() {
        if (ptr)
            ptr->AddRef();
    }
    void ReleaseHeld() {
        if (ptr)
            ptr->Release();
    }

    T* ptr = nullptr;
};
