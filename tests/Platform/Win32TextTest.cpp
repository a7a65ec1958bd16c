#include "Platform/Win32Text.h"

#include <gtest/gtest.h>

namespace {

struct CodeCase {
    int code;
    bool alphanumeric;
    int upper;
};

// The Latin-1 table, whatever the locale of the machine.
TEST(Win32TextTest, Latin1ClassificationAndCapitals) {
    const CodeCase cases[] = {
        {'a', true, 'A'},  {'z', true, 'Z'},  {'A', true, 'A'}, {'5', true, '5'},  {' ', false, ' '},
        {'_', false, '_'}, {0, false, 0},     {8, false, 8},    {127, false, 127}, {168, false, 168},
        {184, false, 184}, {170, true, 170},  {181, true, 181}, {186, true, 186},  {178, false, 178},
        {192, true, 192},  {215, false, 215}, {223, true, 223}, {224, true, 192},  {233, true, 201},
        {247, false, 247}, {254, true, 222},  {255, true, 255}, {160, false, 160},
    };
    for (const CodeCase& c : cases) {
        const auto ch = static_cast<CHAR>(c.code);
        EXPECT_EQ(IsCharAlphaNumericA(ch) != FALSE, c.alphanumeric) << c.code;
        EXPECT_EQ(static_cast<unsigned char>(CharUpperLatin1(ch)), c.upper) << c.code;
    }
}

} // namespace
