#include "VehicleTestSupport.h"

#include "Platform/Sound/SoundBackend.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Support/TempGameRoot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <filesystem>
#include <string>

namespace {

// Vehicles stepped frame by frame with the sound manager on the loopback
// device: the player car's sounds and the named impact sound "slam" exist.
class PlayerUpdate : public VehicleScene {
protected:
    void SetUp() override {
        VehicleScene::SetUp();
        const std::vector<uint8_t> bytes = EncodeWave(Oscillator(Waveform::Sine, 440, 2, 22050), {});
        const std::string wave(bytes.begin(), bytes.end());
        for (const char* file : {"main.wav", "vizg.wav", "nitro.wav", "slam.wav"})
            TempGameRoot::WriteFile(std::string("Data/Sounds/") + file, wave);
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "slam;slam.wav;2d\n");
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        ASSERT_EQ(audio.Init(nullptr), S_OK);
    }
    void TearDown() override {
        VehicleScene::TearDown();
        audio.Release();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
    }

    CPRefPtr<CNSound> Slam() { return audio.FindSound("slam"); }

    TempGameRoot root;
    CNAudio audio;
};

TEST_F(PlayerUpdate, TheKeptControlsReachTheCarAtTheUpdate) {
    CPPlayer& vehicle = AddVehicle({0, 0, 1});
    vehicle.SetControls(1, 0.5f);
    EXPECT_FLOAT_EQ(vehicle.GetCar()->throttleForce, 0);
    vehicle.Update(kFrame);
    EXPECT_FLOAT_EQ(vehicle.GetCar()->throttleForce, vehicle.GetCar()->forwardDrive);
    EXPECT_FLOAT_EQ(vehicle.GetCar()->steering, 0.5f);
}

TEST_F(PlayerUpdate, NitroOnAnEmptyReserveStopsTheNitroSound) {
    CPPlayer& vehicle = AddVehicle({0, 0, 1});
    physics.CreateCar(&vehicle, true);
    CPCar& car = *vehicle.GetCar();
    ASSERT_TRUE(car.nitroSound);
    car.nitroSound->Play(0, 0);
    car.nitroReserve = 0;
    vehicle.SetNitro(1);
    EXPECT_FLOAT_EQ(car.nitroDemand, 0);
    EXPECT_FALSE(car.nitroSound->IsPlaying());
}

// Without the sound files the player car has no sounds: the sound controls
// find nothing to stop or turn down.
TEST_F(PlayerUpdate, SoundControlsOfAPlayerCarWithoutSoundsDoNothing) {
    for (const char* file : {"main.wav", "vizg.wav", "nitro.wav"})
        std::filesystem::remove(std::string("Data/Sounds/") + file);
    CPPlayer& vehicle = AddVehicle({0, 0, 1});
    physics.CreateCar(&vehicle, true);
    ASSERT_FALSE(vehicle.GetCar()->nitroSound);
    vehicle.GetCar()->nitroReserve = 0;
    vehicle.SetNitro(1);
    vehicle.SetSoundVolume(0.5f);
    EXPECT_FLOAT_EQ(vehicle.GetCar()->nitroDemand, 0);
}

// The physics starts "slam" on a crash; the human car's update cuts it off
// once more than half a second has passed, and starts timing again.
TEST_F(PlayerUpdate, TheHumanCarCutsOffTheImpactSoundEveryHalfSecond) {
    ASSERT_TRUE(Slam());
    for (bool human : {false, true}) {
        SCOPED_TRACE(human ? "human" : "computer");
        CPPlayer& vehicle = AddVehicle({0, 0, 1});
        vehicle.human = human;
        Slam()->Rewind();
        Slam()->Play(0, 0);
        vehicle.Update(0.3f);
        EXPECT_TRUE(Slam()->IsPlaying());
        vehicle.Update(0.3f);
        EXPECT_EQ(Slam()->IsPlaying(), !human);
        EXPECT_FLOAT_EQ(vehicle.slamTime, human ? 0.0f : 0.6f);
        Slam()->Stop();
    }
}

TEST_F(PlayerUpdate, WithoutTheImpactSoundTheHumanCarStillKeepsTime) {
    CNSound* slam = Slam().Get();
    audio.sounds["slam"] = nullptr;
    delete slam;
    CPPlayer& vehicle = AddVehicle({0, 0, 1});
    vehicle.human = true;
    vehicle.Update(0.6f);
    EXPECT_FLOAT_EQ(vehicle.slamTime, 0.0f);
}

// A car dropped onto the ground touches it: the contact marks the car,
// and its next update clears the mark.
TEST_F(PlayerUpdate, AContactMarksTheCarCollidedUntilItsNextUpdate) {
    CPPlayer& vehicle = AddVehicle({0, 0, 1.5f});
    CPPlayer& bystander = AddVehicle({20, 0, 30});
    bool touched = false;
    for (int frame = 0; frame < 60 && !touched; ++frame) {
        ++g_FrameCounter;
        physics.Update();
        touched = vehicle.collided;
    }
    EXPECT_TRUE(touched);
    EXPECT_FALSE(bystander.collided) << "still falling";
    vehicle.Update(kFrame);
    EXPECT_FALSE(vehicle.collided);
}

TEST_F(PlayerUpdate, ThePhysicsPlayerIsTheLevelsPlayerCar) {
    CPPlayer& human = AddVehicle({0, 0, 1});
    CPPlayer& computer = AddVehicle({10, 0, 1});
    EXPECT_FALSE(g_PhysicsServices.isPlayer(&human));
    level.player = &human;
    EXPECT_TRUE(g_PhysicsServices.isPlayer(&human));
    EXPECT_FALSE(g_PhysicsServices.isPlayer(&computer));
    EXPECT_FALSE(g_PhysicsServices.isPlayer(nullptr));
}

// The update respawns before it counts the cool-down down: a vehicle off the
// terrain after a respawn waits a full second of updates.
TEST_F(PlayerUpdate, AfterARespawnTheVehicleWaitsOneSecond) {
    CPPlayer& vehicle = AddVehicle({262, 6, 1});
    vehicle.Respawn(true);
    const D3DXVECTOR3 away(262, 30, 5);
    for (float expectedCoolDown : {0.5f, 0.0f}) {
        vehicle.SetPosition(away);
        vehicle.physicData->candidateCount = 0;
        vehicle.Update(0.5f);
        ExpectNear(vehicle.GetPosition(), away);
        EXPECT_FLOAT_EQ(vehicle.respawnCoolDown, expectedCoolDown);
    }
    vehicle.Update(0.5f);
    ExpectNear(vehicle.GetPosition(), NearestPiece(away).start + D3DXVECTOR3(0, 0, 2));
    EXPECT_FLOAT_EQ(vehicle.respawnCoolDown, 0.5f);
}

TEST_F(PlayerUpdate, ADefeatedVehicleNeitherRespawnsNorDrives) {
    CPPlayer& vehicle = AddVehicle({262, 6, 1});
    vehicle.defeated = true;
    vehicle.SetControls(1, 0);
    vehicle.Update(kFrame);
    ExpectNear(vehicle.GetPosition(), {262, 6, 1});
    EXPECT_FLOAT_EQ(vehicle.GetCar()->throttleForce, 0);
}

} // namespace
