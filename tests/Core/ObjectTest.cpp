#include "Core/PRefPtr.h"

#include <gtest/gtest.h>

namespace {

class Probe : public CPObject {
public:
    explicit Probe(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~Probe() override {
        if (destroyed)
            *destroyed = true;
    }
    size_t GetSize() const override { return sizeof(Probe); }
    std::string GetClassName() const override { return "Probe"; }

private:
    bool* destroyed;
};

class DerivedProbe : public Probe {};

} // namespace

TEST(RefPtr, CountsAreBookkeepingAndNeverDelete) {
    bool destroyed = false;
    auto* object = new Probe(&destroyed);
    {
        CPRefPtr<Probe> a(object);
        CPRefPtr<Probe> b(a);
        CPRefPtr<Probe> c;
        c = b;
        EXPECT_EQ(object->GetRefCount(), 3);
        b = nullptr; // Release stores 0 although two handles remain
        EXPECT_EQ(object->GetRefCount(), 0);
        EXPECT_FALSE(b);
        EXPECT_EQ(a.Get(), object);
        EXPECT_EQ(c->GetClassName(), "Probe");
    }
    EXPECT_FALSE(destroyed); // the last handle going away does not delete
    delete object;
    EXPECT_TRUE(destroyed);
}

TEST(RefPtr, SelfAssignmentReleasesThenAddsAReference) {
    Probe object;
    CPRefPtr<Probe> handle(&object);
    object.AddRef();
    object.AddRef();
    handle = handle;
    EXPECT_EQ(object.GetRefCount(), 1);
    handle.Reset(&object);
    EXPECT_EQ(object.GetRefCount(), 1);
}

TEST(RefPtr, NullHandlesAndConversionToABase) {
    CPRefPtr<Probe> empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.Get(), nullptr);

    DerivedProbe derived;
    CPRefPtr<DerivedProbe> typed(&derived);
    CPRefPtr<Probe> base(typed);
    EXPECT_EQ(base.Get(), &derived);
    EXPECT_EQ(derived.GetRefCount(), 2);
    EXPECT_EQ(derived.GetClassName(), "Probe"); // inherited from the nearest base
}

TEST(RefPtr, CopiedObjectsStartUncounted) {
    Probe original;
    original.AddRef();
    Probe copy(original);
    EXPECT_EQ(copy.GetRefCount(), 0);
}
