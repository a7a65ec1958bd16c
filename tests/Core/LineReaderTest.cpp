#include "Core/PLineReader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Line {
    std::string text;
    bool plain;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* os) {
    *os << (line.plain ? "" : "section ") << '"' << line.text << '"';
}

// Reads the way the file readers do: until the first false.
std::vector<Line> ReadUntilFalse(CPLineReader& reader) {
    std::vector<Line> lines;
    std::string text = "stale";
    while (reader.ReadLine(text)) {
        lines.push_back({text, reader.IsPlainLine()});
    }
    EXPECT_EQ(text, "");
    return lines;
}

struct LineCase {
    const char* name;
    std::string data;
    std::vector<Line> expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

using namespace std::string_literals;

const LineCase kLineCases[] = {
    {"CommentBlankAndPaddedLines", "a\r\n//x\n\n  b  \n", {{"a", true}, {"b", true}}},
    {"BlockCommentDropsOpenerAndCloserLines", "keep /* gone\nplain\n*/ also gone\nq\n", {{"q", true}}},
    {"OpenerAndCloserOnOneLineLeaveCommentModeOff", "a /* c */ b\nq\n", {{"q", true}}},
    {"CloserOutsideACommentDropsTheLine", "a\nx */ y\nb", {{"a", true}, {"b", true}}},
    {"DoubleSlashInsideQuotesDropsTheLine", "url \"http://host\"\nb\n", {{"b", true}}},
    {"LineDroppedForDoubleSlashOpensNoComment", "// see /*\nq\n", {{"q", true}}},
    {"NulEndsALine", "a\0b\n\0c"s, {{"a", true}, {"b", true}, {"c", true}}},
    {"CrLfAndInnerCr", "one\r\nt\rwo\r\n", {{"one", true}, {"t\rwo", true}}},
    {"WhitespaceOnlyLinesAreSkipped", " \t \n\r\n z", {{"z", true}}},
    {"SectionLineThenPlainLine", "[Name]\nkey\n", {{"Name", false}, {"key", true}}},
    {"EmptySectionStopsReading", "a\n[]\nb\n", {{"a", true}}},
    {"ZeroBytes", "", {}},
    {"OnlyCommentsAndBlanks", "/*\nx\n*/\n\n// y", {}},
};

class LineReaderCases : public testing::TestWithParam<LineCase> {};

TEST_P(LineReaderCases, YieldsTheLogicalLines) {
    const LineCase& c = GetParam();
    CPLineReader reader(c.data.data(), c.data.size());
    EXPECT_EQ(ReadUntilFalse(reader), c.expected);
}

INSTANTIATE_TEST_SUITE_P(LineReader, LineReaderCases, testing::ValuesIn(kLineCases),
                         [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(LineReader, ReadingGoesOnAfterTheEmptySectionStop) {
    const std::string data = "a\n[]\nb\n";
    CPLineReader reader(data.data(), data.size());
    EXPECT_TRUE(reader.NextLine());
    EXPECT_FALSE(reader.NextLine());
    EXPECT_FALSE(reader.IsPlainLine());
    std::string line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "b");
    EXPECT_FALSE(reader.NextLine());
}

TEST(LineReader, NullDataReadsAsEmpty) {
    CPLineReader reader(nullptr, 100);
    EXPECT_FALSE(reader.NextLine());
}

} // namespace
