#include "Input/KeyNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(KeyNames, TableHasEveryNameAtItsCode) {
    ASSERT_EQ(g_KeyNames.size(), 212u);
    const auto undefined = std::count_if(g_KeyNames.begin(), g_KeyNames.end(), [](const char* name) {
        return std::string(name) == "undefined key";
    });
    EXPECT_EQ(undefined, 94);
    const std::pair<int, const char*> spellings[] = {
        {0, "undefined key"},
        {1, "Esc"},
        {28, "Enter"},
        {39, ";"},
        {41, "`"},
        {43, "\\"},
        {51, ","},
        {57, "Space"},
        {71, "NumPad 7"},
        {84, "undefined key"},
        {86, "undefined key"},
        {87, "F11"},
        {141, "Numpad ="},
        {151, "Unlabeled"},
        {156, "NumPad Enter"},
        {179, "Numpad ,"},
        {181, "Numpad /"},
        {200, "Up"},
        {206, "undefined key"},
        {211, "Del"},
    };
    for (const auto& [code, name] : spellings)
        EXPECT_STREQ(g_KeyNames[code], name) << code;
}

TEST(KeyNames, LookupIsExactAndCodesBeyondTheTableHaveNoName) {
    EXPECT_EQ(FindKeyName("Space"), 57);
    EXPECT_EQ(FindKeyName("space"), -1);
    EXPECT_EQ(FindKeyName("Numpad 7"), -1);
    EXPECT_EQ(FindKeyName("undefined key"), 0);
    EXPECT_EQ(FindKeyName(""), -1);
    EXPECT_STREQ(KeyNameOf(211), "Del");
    for (int code : {212, 219, 255, -1})
        EXPECT_STREQ(KeyNameOf(code), "undefined key") << code;
}

} // namespace
