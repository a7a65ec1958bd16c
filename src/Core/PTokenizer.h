#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Splits a text into fields at every occurrence of a separator of one or
// more characters. With quoting on, double quotes group characters (a
// separator inside them does not split) and a doubled double quote inside
// them stands for one. Fields are trimmed, except a field of exactly one
// space. Two separators in a row give an empty field; a separator at the
// very end gives no further field. An empty separator never splits.
class CPTokenizer {
public:
    CPTokenizer(std::string source, std::string separatorText, bool useQuotes);
    virtual ~CPTokenizer() = default;

    // The next field; false (and an empty `token`) when none is left.
    bool NextToken(std::string& token);

private:
    bool AtSeparator() const;
    void ReadQuote(std::string& token, bool& quoting);

    std::string text;
    std::string separator;
    std::size_t cursor = 0;
    bool quotes;
};

// The fields of a value split at the separator, double quotes grouping.
std::vector<std::string> SplitFields(const std::string& text, const std::string& separator);
