#include "DemoVehicleScene.h"

#include "Core/PFileReader.h"
#include "Game/PLevel.h"
#include "Game/PSpline.h"
#include "Support/TempGameRoot.h"
#include "Vehicles/AI_Task.h"
#include "leveltool/LevelBuild.h"
#include "leveltool/LevelWriter.h"

#include <cmath>
#include <vector>

namespace {

// The demo's rival cars (mass 20, drive 12) racing a ring of radius 250
// about the origin (four quarter arcs, 124 pieces) on flat ground with their
// physics, frame by frame in the game's pass order: the drivers decide, the
// physics steps, then the level's part steps each car and gives the drivers
// their cars' states. The race started, so the nitro reserve drains.
class AiRace : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo.BuildWorld());
        std::vector<uint8_t> bytes;
        WriteTrackLine(bytes, {"c_path", true, CircleSegments({0, 0, 0}, 250, false)});
        CPFileReader reader("memory", false);
        reader.SetData(std::move(bytes));
        ASSERT_TRUE(path.Load(reader));
        ASSERT_EQ(CountPieces(path.firstLine), kPieces);
        level.centrePath = &path;
    }
    void TearDown() override {
        level.centrePath = nullptr;
        drivers.ReleaseVehicles();
    }

    // A rival at the point facing -y, the race direction there, standing on
    // the ground as the physics will see it.
    void AddRacer(const D3DXVECTOR3& at) {
        CPPlayer& racer = demo.AddVehicle(at, "roadster1_enemy.rdf");
        racer.physicData->terrainQueried = true;
        racer.physicData->candidateCount = 2;
        drivers.SetVehiclePath(static_cast<int>(racers.size()), 0, path.firstLine);
        racers.push_back(&racer);
        FeedDrivers();
    }
    void Frame() {
        drivers.Update();
        demo.Frames(1);
        for (CPPlayer* racer : racers)
            racer->Update(kFrame);
        FeedDrivers();
    }
    void FeedDrivers() {
        for (std::size_t i = 0; i < racers.size(); ++i) {
            float velocity[4];
            racers[i]->GetCarVelocity(velocity);
            drivers.SetVehicleState(static_cast<int>(i), racers[i], Forward(*racers[i]),
                                    std::hypot(velocity[0], velocity[1], velocity[2]), 10, 20);
        }
    }
    // The car's forward direction: the -y axis of its body.
    static D3DXVECTOR3 Forward(const CPPlayer& racer) {
        const D3DXMATRIX& m = racer.GetWorldMatrix();
        return {-m._21, -m._22, -m._23};
    }
    const CPLine& NearestPiece(const D3DXVECTOR3& point) const {
        const auto distance = [&point](const CPLine& piece) {
            return std::hypot(piece.centre.x - point.x, piece.centre.y - point.y);
        };
        const CPLine* nearest = path.firstLine;
        for (const CPLine* piece = path.firstLine->next; piece != path.firstLine; piece = piece->next) {
            if (distance(*piece) < distance(*nearest))
                nearest = piece;
        }
        return *nearest;
    }
    // The nearest piece's place in the ring, counted along next from the
    // first piece.
    int PieceIndex(const D3DXVECTOR3& point) const {
        const CPLine* nearest = &NearestPiece(point);
        int index = 0;
        for (const CPLine* piece = path.firstLine; piece != nearest; piece = piece->next)
            ++index;
        return index;
    }

    static constexpr int kPieces = 124;
    TempGameRoot root;
    DemoVehicleScene demo{PlatGraphicsBackendKind::Recording, 64, 64};
    LevelStarted started{true};
    CPLevel level;
    CPSpline path;
    AI_Task drivers;
    std::vector<CPPlayer*> racers;
};

// Pieces passed in the race direction (along prev, toward lower indexes),
// counted from the nearest piece frame by frame.
class LapCounter {
public:
    LapCounter(int start, int count) : last(start), pieces(count) {}
    void Pass(int index) {
        int step = last - index;
        if (step > pieces / 2)
            step -= pieces;
        if (step < -pieces / 2)
            step += pieces;
        progress += step;
        last = index;
    }
    int Laps() const { return progress / pieces; }

private:
    int last;
    int pieces;
    int progress = 0;
};

TEST_F(AiRace, OneCarDrivesTwoLapsAlongTheRaceDirection) {
    AddRacer({250, 0, 1.5f});
    CPPlayer& racer = *racers[0];
    LapCounter laps(PieceIndex(racer.GetPosition()), kPieces);
    float lastCoolDown = 0;
    int frame = 0;
    for (; frame < 120 * 60 && laps.Laps() < 2; ++frame) {
        Frame();
        laps.Pass(PieceIndex(racer.GetPosition()));
        if (frame >= 60) {
            ASSERT_LE(racer.respawnCoolDown, lastCoolDown) << "respawned at frame " << frame;
        }
        lastCoolDown = racer.respawnCoolDown;
        if (frame >= 5 * 60) {
            const float angle = NearestPiece(racer.GetPosition()).angle;
            const D3DXVECTOR3 along(std::cos(angle), std::sin(angle), 0), forward = Forward(racer);
            ASSERT_GT(D3DXVec3Dot(&along, &forward), 0) << "turned away from the race at frame " << frame;
        }
    }
    EXPECT_EQ(laps.Laps(), 2) << "after " << frame / 60 << " s";
}

TEST_F(AiRace, ThreeCarsNeverStandStill) {
    for (const D3DXVECTOR3& at :
         {D3DXVECTOR3(250, 0, 1.5f), D3DXVECTOR3(244, 10, 1.5f), D3DXVECTOR3(256, 20, 1.5f)})
        AddRacer(at);
    std::vector<D3DXVECTOR3> lastMoved;
    for (const CPPlayer* racer : racers)
        lastMoved.push_back(racer->GetPosition());
    std::vector<int> movedAt(racers.size(), 0);
    for (int frame = 0; frame < 60 * 60; ++frame) {
        Frame();
        for (std::size_t i = 0; i < racers.size(); ++i) {
            const D3DXVECTOR3 moved = racers[i]->GetPosition() - lastMoved[i];
            if (D3DXVec3Length(&moved) >= 1) {
                lastMoved[i] = racers[i]->GetPosition();
                movedAt[i] = frame;
            }
            ASSERT_LT(frame - movedAt[i], 4 * 60) << "car " << i << " stood still at frame " << frame;
        }
    }
}

} // namespace
