#include "Game/ItemsFileReader.h"
#include "Support/GameDataFixture.h"
#include "Support/GameDataTexts.h"

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(ItemsFileTest, ReadsEverySectionInFileOrder) {
    ItemCatalogues items;
    TextProblems problems;
    const std::string text = kItems;
    ReadItemsFile(text.data(), text.size(), items, problems);

    ASSERT_EQ(items.weaponCatalogue.Size(), 2u);
    EXPECT_EQ(items.weaponCatalogue.Items()[0].first, "lgun");
    EXPECT_EQ(items.weaponCatalogue.Items()[1].first, "ssrlauncher");
    const WeaponInfo& ssr = *items.weaponCatalogue.Find("ssrlauncher");
    EXPECT_EQ(ssr.price, 300);
    EXPECT_EQ(ssr.volleySize, 1);
    EXPECT_EQ(ssr.number2, 0.5f);
    EXPECT_EQ(ssr.number3, 2);
    EXPECT_EQ(ssr.shotSpeed, 70.0f);
    EXPECT_EQ(ssr.magazine, 12);
    EXPECT_EQ(ssr.fireRate, 1.0f);
    EXPECT_EQ(ssr.descriptionKey, "ssr;desc");
    EXPECT_EQ(ssr.level, 3);
    // A repeated name keeps the first record.
    EXPECT_EQ(items.weaponCatalogue.Find("lgun")->price, 100);

    const MineInfo& spike = *items.mineCatalogue.Find("spike");
    EXPECT_EQ(spike.number1, 2);
    EXPECT_EQ(spike.number3, 2.5f);
    EXPECT_EQ(spike.number4, 3);
    EXPECT_EQ(spike.number7, 4.0f);
    EXPECT_EQ(spike.level, 2);
    EXPECT_EQ(items.superWeaponCatalogue.Find("nuke")->descriptionKey, "nuke_desc");
    EXPECT_EQ(items.bumperCatalogue.Find("ram")->value, 1.5f);
    EXPECT_EQ(items.equipmentCatalogue.Find("radar")->price, 15);
    EXPECT_EQ(items.armorCatalogue.Size(), 1u);
    const EngineInfo& v8 = *items.engineCatalogue.Find("v8");
    EXPECT_EQ(v8.heatRate, 0.25f);
    EXPECT_EQ(v8.coolRate, 0.5f);

    ASSERT_EQ(items.presetCarInfos.size(), 3u);
    const CarInfo second{"lgun", "ssrlauncher", "", "radar", "", "ram", "v8", "plate", "", 0, "spike"};
    EXPECT_EQ(items.presetCarInfos[1], second);
}

TEST(ItemsFileTest, ReportsEveryBadLineWithItsNumber) {
    ItemCatalogues items;
    TextProblems problems;
    const std::string text = kItems;
    ReadItemsFile(text.data(), text.size(), items, problems);
    std::vector<int> lines;
    for (const TextProblem& problem : problems)
        lines.push_back(problem.line);
    // Before any section; repeated name; bad number; short record; preset
    // with an unknown weapon (reported after the file); unknown section (its
    // record is not reported again); nameless item.
    EXPECT_EQ(lines, (std::vector<int>{1, 5, 6, 19, 24, 27, 23})) << problems.front().message;
    EXPECT_NE(problems[2].message.find("field 2 \"x\""), std::string::npos) << problems[2].message;
    EXPECT_NE(problems[3].message.find("9 fields expected, 3 found"), std::string::npos)
        << problems[3].message;
    EXPECT_NE(problems[6].message.find("ghost"), std::string::npos) << problems[6].message;
}

TEST(ItemsFileTest, EquipmentValueSumsThePricesOfTheNamedItems) {
    ItemCatalogues items;
    TextProblems problems;
    const std::string text = kItems;
    ReadItemsFile(text.data(), text.size(), items, problems);
    const std::pair<CarInfo, float> cases[] = {
        {items.presetCarInfos[0], 240.0f}, // weapon 100 + armor 50 + super weapon 30 x 3
        {CarInfo{}, 0.0f},
        {CarInfo{"nope", "", "", "nope", "", "nope", "nope", "nope", "nope", 2, "nope"}, 0.0f},
        {items.presetCarInfos[1], 100 + 300 + 15 + 20 + 80 + 50 + 40.0f},
    };
    for (const auto& [car, value] : cases)
        EXPECT_EQ(items.GetEquipmentValue(car), value) << car.weapon1;
}

using GameDataItemsTest = GameDataFixture;

TEST_F(GameDataItemsTest, LoadItemsReplacesTheCataloguesWithThoseOfTheFile) {
    Write("Data/items.txt", "[armor]\nplate;50;2;plate_desc;1\n");
    WeaponInfo weapon;
    weapon.name = "old";
    data.weaponCatalogue.Add(weapon);
    data.LoadItems();
    EXPECT_EQ(data.weaponCatalogue.Size(), 0u);
    EXPECT_EQ(data.armorCatalogue.Price("plate"), 50);
}

TEST_F(GameDataItemsTest, CommitCarInfoCopiesTheEditedConfigurationIntoUse) {
    const CarInfo car{"a", "b", "c", "d", "e", "f", "g", "h", "i", 2, "j"};
    data.SetCarInfo(car);
    EXPECT_EQ(data.realCarInfo, CarInfo{});
    data.CommitCarInfo();
    EXPECT_EQ(data.realCarInfo, car);
}

} // namespace
