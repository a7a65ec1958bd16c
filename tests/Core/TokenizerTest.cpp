#include "Core/PTokenizer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct TokenCase {
    const char* name;
    const char* separator;
    bool quotes;
    const char* text;
    std::vector<std::string> expected;
};

void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::string> Split(const TokenCase& c) {
    CPTokenizer tokenizer(c.text, c.separator, c.quotes);
    std::vector<std::string> fields;
    std::string field;
    while (tokenizer.NextToken(field)) {
        fields.push_back(field);
        field = "stale";
    }
    EXPECT_EQ(field, "");
    EXPECT_FALSE(tokenizer.NextToken(field));
    return fields;
}

const TokenCase kTokenCases[] = {
    {"QuotedSeparatorEmptyFieldDoubledQuotes",
     ";",
     true,
     R"(a;"b;c";;"say ""hi""")",
     {"a", "b;c", "", R"(say "hi")"}},
    {"SpaceSeparatorGivesEmptyFields", " ", false, "x   y", {"x", "", "", "y"}},
    {"QuotedSingleSpaceIsKeptTwoSpacesTrimmed", ";", true, R"(" ";"  ")", {" ", ""}},
    {"UnquotedSingleSpaceIsKept", ";", false, "a; ;b", {"a", " ", "b"}},
    {"TrailingSeparatorGivesNoFurtherField", ";", false, "a;b;", {"a", "b"}},
    {"LoneSeparatorGivesOneEmptyField", ";", false, ";", {""}},
    {"DoubledQuoteOnly", ";", true, R"("x""y")", {R"(x"y)"}},
    {"UnclosedQuoteRunsToTheEnd", ";", true, R"(a;"b;c)", {"a", "b;c"}},
    {"QuotesAreTextWhenQuotingIsOff", ";", false, R"("a;b")", {R"("a)", R"(b")"}},
    {"TextAndFieldsAreTrimmed", ";", false, " \t a ;\r b \n", {"a", "b"}},
    {"EmptyText", ";", true, "", {}},
    {"BlankText", ";", true, " \t\r\n", {}},
    {"MultiSeparator", "--", false, "a--b--c", {"a", "b", "c"}},
    {"PartialSeparatorAtTheEndIsKept", "--", false, "x-", {"x-"}},
    {"PartialSeparatorInsideIsKept", "--", false, "a-b", {"a-b"}},
    {"MismatchStartsANewMatch", "ab", false, "xaab", {"xa"}},
    {"LongerFailedMatchStartsANewMatch", "aab", false, "aaab;c", {"a", ";c"}},
    {"QuotedMultiSeparator", "--", true, R"(a"--"b--c)", {"a--b", "c"}},
    {"QuoteBreaksAPartialMatch", "--", true, R"(-"x"--y)", {"-x", "y"}},
    {"EmptySeparatorNeverSplits", "", false, "a;b", {"a;b"}},
};

class TokenizerCases : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerCases, SplitsIntoTheFields) {
    EXPECT_EQ(Split(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, TokenizerCases, testing::ValuesIn(kTokenCases),
                         [](const testing::TestParamInfo<TokenCase>& info) { return info.param.name; });

} // namespace
