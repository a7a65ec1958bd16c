#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"

#include "Platform/Random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Random bytes, most of them drawn from the characters the readers treat
// specially so that comments, sections, quotes and separators all occur.
std::string RandomText(size_t length) {
    static const char kSpecial[] = {'\n', '\0', '\r', ' ', '\t', '/', '*', '[', ']', '"', ';', '-', 'a'};
    std::string text(length, '\0');
    for (char& c : text) {
        const int pick = PlatRand();
        c = pick % 4 == 0 ? static_cast<char>(pick >> 2) : kSpecial[(pick >> 2) % sizeof(kSpecial)];
    }
    return text;
}

// The bytes go into a heap block of exactly their size, so a read past the
// end is caught by the sanitizer build.
std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), copy.get());
    return copy;
}

bool IsTrimmed(const std::string& text) {
    return text.empty() || (!IsSpaceChar(text.front()) && !IsSpaceChar(text.back()));
}

TEST(TextReadingRobustness, LineReaderEndsAndKeepsItsInvariantsOnRandomBytes) {
    PlatSRand(1108);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(static_cast<size_t>(PlatRand() % 200));
        const auto bytes = ExactCopy(text);
        CPLineReader reader(bytes.get(), text.size());
        std::string line;
        // Every call consumes at least one byte while data is left.
        for (size_t call = 0; call <= text.size(); ++call) {
            reader.ReadLine(line);
            EXPECT_EQ(line.find_first_of(std::string("\n\0", 2)), std::string::npos);
            EXPECT_EQ(line.find("//"), std::string::npos);
            EXPECT_TRUE(!reader.IsPlainLine() || IsTrimmed(line));
        }
        EXPECT_FALSE(reader.ReadLine(line));
        EXPECT_EQ(line, "");
    }
}

TEST(TextReadingRobustness, TokenizerEndsAndNoFieldHoldsTheSeparatorOnRandomText) {
    PlatSRand(2108);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(static_cast<size_t>(PlatRand() % 120));
        const std::string separator = RandomText(static_cast<size_t>(1 + PlatRand() % 3));
        const bool quotes = PlatRand() % 2 == 0;
        CPTokenizer tokenizer(text, separator, quotes);
        std::string field;
        size_t fields = 0;
        while (tokenizer.NextToken(field)) {
            ASSERT_LE(++fields, text.size());
            EXPECT_TRUE(field == " " || IsTrimmed(field));
            if (!quotes) {
                EXPECT_EQ(field.find(separator), std::string::npos);
            }
        }
    }
}

} // namespace
