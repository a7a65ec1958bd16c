#pragma once

#include "CarTestSupport.h"

#include "Core/PFileReader.h"
#include "Game/PCamera.h"
#include "Game/PLevel.h"
#include "Game/PSpline.h"
#include "Vehicles/PPlayer.h"
#include "leveltool/LevelWriter.h"

#include <memory>
#include <vector>

// A race without a level file: a level whose racing line is a circle of
// radius 250 about the origin (four quarter arcs sampled into 124 pieces),
// over the flat car scene ground, with the level's camera. Vehicles
// are 2 x 4 x 0.8 boxes of mass 30 with their car physics; the test names
// the level's cars and camera target.
class VehicleScene : public CarScene {
protected:
    static constexpr float kTrackRadius = 250.0f;

    void SetUp() override {
        CarScene::SetUp();
        BuildGround();
        std::vector<uint8_t> bytes;
        WriteTrackLine(bytes, {"c_path", true, CircleSegments({0, 0, 0}, kTrackRadius, false)});
        CPFileReader reader("memory", false);
        reader.SetData(std::move(bytes));
        ASSERT_TRUE(path.Load(reader));
        level.centrePath = &path;
        level.camera = &camera;
    }
    // The level lets go of what the test lent it; the vehicles go before the
    // world their bodies live in.
    void TearDown() override {
        level.cars.clear();
        level.cameraTarget = nullptr;
        level.player = nullptr;
        level.centrePath = nullptr;
        level.camera = nullptr;
        vehicles.clear();
        CarScene::TearDown();
    }

    // An upright vehicle at rest on the ground, which the physics has seen
    // standing on terrain.
    CPPlayer& AddVehicle(const D3DXVECTOR3& position) {
        auto* vehicle = new CPPlayer();
        vehicles.emplace_back(vehicle);
        auto* description = new CPPhysicData(vehicle);
        description->SetBoxBody(2.0f, 0.8f, 4.0f, 30.0f);
        description->AddBoxShape({0, 0, 0}, {0, 0, 0, 1}, 2.0f, 0.8f, 4.0f, 30.0f);
        vehicle->physicData = description;
        vehicle->description.Parse(CarXml().c_str());
        vehicle->boundingBox = BoundingBox({0, 0, 0}, {1.0f, 2.0f, 0.4f});
        vehicle->castsShadow = false;
        vehicle->SetPosition(position);
        vehicle->UpdateHierarchy();
        physics.AddSyncObject(vehicle);
        physics.RegisterObject(vehicle, true, 1);
        physics.CreateCar(vehicle, false);
        description->terrainQueried = true;
        description->candidateCount = 2;
        return *vehicle;
    }

    // The piece whose centre lies nearest the point in the XY plane.
    const CPLine& NearestPiece(const D3DXVECTOR3& point) const {
        const CPLine* nearest = path.firstLine;
        const auto distance = [&point](const CPLine& piece) {
            return std::hypot(piece.centre.x - point.x, piece.centre.y - point.y);
        };
        const CPLine* piece = path.firstLine;
        do {
            if (distance(*piece) < distance(*nearest))
                nearest = piece;
            piece = piece->next;
        } while (piece != path.firstLine);
        return *nearest;
    }

    CPLevel level;
    CPSpline path;
    CPCamera camera;
    std::vector<std::unique_ptr<CPPlayer>> vehicles;
};
