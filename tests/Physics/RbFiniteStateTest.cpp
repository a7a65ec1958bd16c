// Degenerate set-ups that must never put a NaN or an infinity into the
// world's state: 300 steps each, every body checked after every step.

#include "RbTestTerrain.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FiniteCase {
    const char* name;
    std::function<void(RbSimulator&, RbTestTerrain&)> build;
};

bool IsFiniteBody(const RbRigidBody& b) {
    return RbIsFinite(b.GetPosition()) && RbIsFinite(b.velocity) && RbIsFinite(b.angularVelocity) &&
           RbIsFinite(b.angularMomentum) && std::isfinite(b.orientation.w) && RbIsFinite(b.orientation);
}

void SensorHitsFinite(const RbBody& b) {
    for (const RbSensor* s = b.sensors.head; s; s = s->poolNext) {
        EXPECT_TRUE(std::isfinite(s->detectDepth));
        EXPECT_TRUE(RbIsFinite(s->detectNormal));
    }
}

void Capsule(RbRigidBody* body, const RbMatrix4& place) {
    RbGeometry* g = body->AddGeometry();
    g->SetCylinder(1, 2);
    g->SetTransform(place);
    body->UpdateBoundingInfo();
}

const FiniteCase Cases[] = {
    {"sliver triangle under a box",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         t.AddTriangle({-2, 0, 0.01f}, {2, 0, 0.01f}, {0, 0, 0.01f});
         t.AddTriangle({0, 0, 0.02f}, {0, 0, 0.02f}, {0, 0, 0.02f});
         RbAddBox(w, {1, 1, 1}, 1, {0, 0, 1});
     }},
    {"capsule through a box",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         RbAddBox(w, {1, 1, 1}, 1, {0, 0, 0.5f});
         RbRigidBody* c = RbAddBox(w, {1, 1, 1}, 1, {0, 0, 0.5f});
         c->geometries.head->SetCylinder(0.4f, 3);
         c->UpdateBoundingInfo();
     }},
    {"coincident capsule axes",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         for (int i = 0; i < 2; ++i) {
             RbRigidBody* body = w.CreateRigidBody();
             body->SetInertiaTensor(1, 1, 1);
             Capsule(body, RbAxisRotation({1, 0, 0}, 1.5707964f));
             body->SetPosition({0, 0, 1.5f});
         }
     }},
    {"mass 0",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         RbAddBox(w, {1, 1, 1}, 0, {0, 0, 0.6f});
         RbAddBox(w, {1, 1, 1}, 1, {0, 0, 1.7f});
     }},
    {"zero quaternion",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         RbAddBox(w, {1, 1, 1}, 1, {0, 0, 1})->SetRotation({0, 0, 0, 0});
     }},
    {"zero-length sensor inside a box",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         RbRigidBody* body = RbAddBox(w, {1, 1, 1}, 1, {0, 0, 0.6f});
         body->AddSensor()->SetLineSensor({0, 0, 0}, {0, 0, 0});
         body->UpdateBoundingInfo();
         RbRigidBody* other = RbAddBox(w, {1, 1, 1}, 1, {0.2f, 0, 0.6f});
         other->AddSensor()->SetLineSensor({0, 0, 0}, {0, 0, 0});
         other->UpdateBoundingInfo();
     }},
    {"body larger than the grid cells",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(60);
         RbAddBox(w, {30, 30, 2}, 10, {0, 0, 1.1f});
     }},
    {"outlier vertex",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         t.AddTriangle({0, 0, 0}, {100000, 0, 0}, {0, 1, 0.5f});
         RbAddBox(w, {1, 1, 1}, 1, {0.5f, 0.2f, 1});
     }},
    {"animated floor without user data",
     [](RbSimulator& w, RbTestTerrain& t) {
         t.AddFloor(8);
         RbAnimatedBody* floor = w.CreateAnimatedBody();
         floor->AddGeometry()->SetBoxSize(4, 4, 1);
         floor->UpdateBoundingInfo();
         floor->SetPosition({0, 0, 1});
         RbAddBox(w, {1, 1, 1}, 1, {0, 0, 2.2f});
     }},
};

TEST(RbFiniteState, DegenerateSetUpsStayFinite) {
    for (const FiniteCase& c : Cases) {
        SCOPED_TRACE(c.name);
        RbWorldPtr world(RbMakeSceneWorld({}));
        world->GetCollisionTable().Set(0, 0, 3);
        world->GetCollisionTable().Set(0, RbCollisionTable::Terrain, 3);
        world->SetCollisionCallback([](RbCollisionInfo* info) {
            EXPECT_TRUE(RbIsFinite(info->relativeVelocity));
            EXPECT_TRUE(RbIsFinite(info->collisionNormal));
        });
        RbTestTerrain terrain;
        c.build(*world, terrain);
        terrain.Install(*world);
        for (int step = 0; step < 300; ++step) {
            world->Advance(1.0f / 60, 1, nullptr);
            for (RbBody* b = world->RigidBodies().active.head; b; b = b->poolNext) {
                ASSERT_TRUE(IsFiniteBody(*static_cast<RbRigidBody*>(b))) << "step " << step;
                SensorHitsFinite(*b);
            }
        }
    }
}

} // namespace
