#include "Core/PTokenizer.h"

#include "Core/StringFunctions.h"

#include <utility>

CPTokenizer::CPTokenizer(std::string source, std::string separatorText, bool useQuotes)
    : text(std::move(source)), separator(std::move(separatorText)), quotes(useQuotes) {
    TrimString(text);
}

bool CPTokenizer::NextToken(std::string& token) {
    token.clear();
    if (cursor >= text.size()) {
        return false;
    }
    bool quoting = false;
    while (cursor < text.size()) {
        const char c = text[cursor];
        if (quotes && c == '"') {
            ReadQuote(token, quoting);
        } else if (!quoting && AtSeparator()) {
            cursor += separator.size();
            break;
        } else {
            token += c;
            ++cursor;
        }
    }
    if (token != " ") {
        TrimString(token);
    }
    return true;
}

// The whole separator is matched at each position, so a partial match that
// fails leaves its characters in the field and a separator that starts
// inside a failed match is still found.
bool CPTokenizer::AtSeparator() const {
    return !separator.empty() && text.compare(cursor, separator.size(), separator) == 0;
}

// At a double quote: opens quoting, closes it, or inside quoting turns a
// doubled quote into one. The quote characters themselves are not kept.
void CPTokenizer::ReadQuote(std::string& token, bool& quoting) {
    ++cursor;
    if (!quoting) {
        quoting = true;
    } else if (cursor < text.size() && text[cursor] == '"') {
        token += '"';
        ++cursor;
    } else {
        quoting = false;
    }
}

std::vector<std::string> SplitFields(const std::string& text, const std::string& separator) {
    std::vector<std::string> fields;
    CPTokenizer tokenizer(text, separator, true);
    std::string field;
    while (tokenizer.NextToken(field))
        fields.push_back(field);
    return fields;
}
