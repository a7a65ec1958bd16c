#pragma once

#include <cstddef>
#include <string>

// Root of every engine class. The reference count is bookkeeping only:
// Release never deletes, and nothing decides anything from the count.
// Objects are deleted explicitly by their owners.
class CPObject {
public:
    CPObject() = default;
    CPObject(const CPObject&) {}
    CPObject& operator=(const CPObject&) { return *this; }
    virtual ~CPObject() = default;

    virtual void AddRef() { ++refCount; }
    // Stores 0 (not a decrement) and never deletes.
    virtual void Release() { refCount = 0; }
    virtual size_t GetSize() const = 0;
    virtual std::string GetClassName() const = 0;

    int GetRefCount() const { return refCount; }

private:
    int refCount = 0;
};
