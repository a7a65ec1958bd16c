#include "Core/PSettings.h"
#include "Game/ProfileFileReader.h"
#include "Support/GameDataFixture.h"

#include <array>
#include <string>

namespace {

class ProfileFilesTest : public GameDataFixture {
protected:
    ~ProfileFilesTest() override { g_CamSpeed = savedCamSpeed; }

    int savedCamSpeed = g_CamSpeed;
};

TEST_F(ProfileFilesTest, PlayerFileFillsBothConfigurationsInItsOwnOrder) {
    Write("DATA/player.dat", "w1\nw2\nw3\nnone\narmor\nbumper\nengine\nsuper\n2\neq1\neq2\n");
    data.LoadPlayer();
    const CarInfo expected{"w1", "w2", "w3", "eq1", "eq2", "bumper", "engine", "armor", "super", 2, ""};
    EXPECT_EQ(data.carInfo, expected);
    EXPECT_EQ(data.realCarInfo, expected);
}

TEST_F(ProfileFilesTest, AShortOrMissingPlayerFileLeavesTheRestEmpty) {
    data.carInfo.armor = "old";
    Write("DATA/player.dat", "lgun\nnone\nrocket\n");
    data.LoadPlayer();
    EXPECT_EQ(data.realCarInfo, (CarInfo{"lgun", "", "rocket", "", "", "", "", "", "", 0, ""}));
    std::filesystem::remove("DATA/player.dat");
    data.LoadPlayer();
    EXPECT_EQ(data.carInfo, CarInfo{});
    EXPECT_EQ(data.realCarInfo, CarInfo{});
}

TEST(ProfileFileReaderTest, NamesNoCatalogueHoldsAreReportedWithTheirLines) {
    ItemCatalogues items;
    WeaponInfo weapon;
    weapon.name = "lgun";
    items.weaponCatalogue.Add(weapon);
    TextProblems problems;
    const std::string text = "lgun\nnone\nrocket\n";
    ReadPlayerFile(text.data(), text.size(), items, problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 3);
    EXPECT_NE(problems[0].message.find("rocket"), std::string::npos);
}

TEST_F(ProfileFilesTest, CoefficientLinesTwoAndThreeGoCrosswise) {
    Write("DATA/coeff.dat", "1\n2\n3\n4\n");
    g_CamSpeed = 0;
    data.difficultFlag = true; // still read: cam_speed is 0
    data.LoadCoefficients();
    EXPECT_EQ(data.coefficients, (std::array<float, 4>{1, 3, 2, 4}));
}

TEST_F(ProfileFilesTest, CamSpeedWithTheDifficultyFlagGivesOnes) {
    Write("DATA/coeff.dat", "1\n2\n3\n4\n");
    g_CamSpeed = 1;
    data.difficultFlag = true;
    data.LoadCoefficients();
    EXPECT_EQ(data.coefficients, (std::array<float, 4>{1, 1, 1, 1}));
    data.difficultFlag = false;
    data.LoadCoefficients();
    EXPECT_EQ(data.coefficients, (std::array<float, 4>{1, 3, 2, 4}));
}

TEST_F(ProfileFilesTest, AMissingCoefficientsFileKeepsTheValues) {
    data.coefficients = {5, 6, 7, 8};
    data.LoadCoefficients();
    EXPECT_EQ(data.coefficients, (std::array<float, 4>{5, 6, 7, 8}));
}

TEST(ProfileFileReaderTest, AShortCoefficientsFileGivesZeroAndSaysSo) {
    std::array<float, 4> coefficients = {9, 9, 9, 9};
    TextProblems problems;
    const std::string text = "0.5\nabc\n2\n";
    ReadCoefficientsFile(text.data(), text.size(), coefficients, problems);
    EXPECT_EQ(coefficients, (std::array<float, 4>{0.5f, 2, 0, 0}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 2); // "abc" reads as 0
    EXPECT_NE(problems[1].message.find("line 4 is missing"), std::string::npos) << problems[1].message;
}

} // namespace
