#include "Core/StringFunctions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StringFunctions, SpaceCharsAreTabLfCrAndSpaceOnly) {
    for (int c = -128; c < 128; ++c) {
        const bool expected = c == 9 || c == 10 || c == 13 || c == 32;
        EXPECT_EQ(IsSpaceChar(static_cast<char>(c)), expected) << c;
    }
}

TEST(StringFunctions, TrimRemovesSpaceCharsFromBothEndsOnly) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"", ""}, {" \t\r\n", ""}, {"\t a b \r\n", "a b"}, {"\va\f", "\va\f"}, {"x", "x"},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        TrimString(text);
        EXPECT_EQ(text, c.out) << '"' << c.in << '"';
    }
}

TEST(StringFunctions, CaseFoldingIsAsciiOnly) {
    const std::string mixed = "Data\\TEXTUREs/Back2.JPG @[`{ \xC4\xE4\xFF";
    std::string lower = mixed;
    ToLowerString(lower);
    EXPECT_EQ(lower, "data\\textures/back2.jpg @[`{ \xC4\xE4\xFF");
    std::string upper = mixed;
    ToUpperString(upper);
    EXPECT_EQ(upper, "DATA\\TEXTURES/BACK2.JPG @[`{ \xC4\xE4\xFF");
}

TEST(StringFunctions, NumberTestsCheckTheCharacterSetOnly) {
    struct Case {
        const char* text;
        bool number;
        bool integer;
    };
    const Case cases[] = {
        {"", true, true},     {"0123456789", true, true}, {"-12", true, true},     {"1-2", true, true},
        {"1.5", true, false}, {"..-", true, false},       {"1.5e3", false, false}, {"+1", false, false},
        {" 1", false, false}, {"\xD9", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNumberString(c.text), c.number) << '"' << c.text << '"';
        EXPECT_EQ(IsIntegerString(c.text), c.integer) << '"' << c.text << '"';
    }
}

} // namespace
