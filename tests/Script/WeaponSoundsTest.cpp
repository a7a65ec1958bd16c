#include "LuaRunner.h"

#include "Game/PGameData.h"
#include "Sound/SoundFixture.h"
#include "Vehicles/PPlayer.h"

#include <gtest/gtest.h>

namespace {

// The sound manager on the loopback device with the two weapon sounds, the
// game data with only the second weapon fitted, and a car.
class WeaponSounds : public SoundFixture, public LuaRunner {
protected:
    using LuaRunner::Run;
    void SetUp() override {
        SoundFixture::SetUp();
        WriteSound("change.wav", Tone(440, 1));
        WriteSound("undo.wav", Tone(880, 1));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "change_weapon;change.wav\nundo_weapon;undo.wav\n");
        StartAudio();
        data.realCarInfo.weapon2 = "gun";
        SetHandle("car", &car);
    }
    bool Playing(const char* name) { return audio->FindSound(name)->IsPlaying(); }

    CPGameData data;
    CPPlayer car;
};

} // namespace

TEST_F(WeaponSounds, ChangingToTheSameWeaponSoundsTheUndo) {
    for (int slot : {0, 2, -1}) {
        SCOPED_TRACE(slot);
        car.weaponSlot = slot;
        ASSERT_EQ(Run("SetNextWeapon(car)"), "");
        EXPECT_EQ(car.weaponSlot, 1);
        EXPECT_TRUE(Playing("change_weapon"));
        EXPECT_FALSE(Playing("undo_weapon"));
        audio->FindSound("change_weapon")->Stop();
    }
    ASSERT_EQ(Run("SetPrevWeapon(car)"), "");
    EXPECT_EQ(car.weaponSlot, 1);
    EXPECT_TRUE(Playing("undo_weapon"));
    EXPECT_FALSE(Playing("change_weapon"));
}
