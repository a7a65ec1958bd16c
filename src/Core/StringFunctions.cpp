#include "Core/StringFunctions.h"

#include "Platform/FileSystem.h"

#include <algorithm>
#include <charconv>

namespace {

// Skips leading white space and a plus sign, as atof and atoi do.
const char* NumberStart(const std::string& text) {
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    if (*p == '+' && p[1] != '-')
        ++p;
    return p;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool IsSpaceChar(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

void TrimString(std::string& text) {
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsSpaceChar);
    text.erase(last.base(), text.end());
    const auto first = std::find_if_not(text.begin(), text.end(), IsSpaceChar);
    text.erase(text.begin(), first);
}

void ToLowerString(std::string& text) {
    std::transform(text.begin(), text.end(), text.begin(), PlatFoldCase);
}

void ToUpperString(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

bool IsNumberString(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '-' || c == '.'; });
}

bool IsIntegerString(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == '-'; });
}

const std::string& FieldAt(const std::vector<std::string>& fields, std::size_t index) {
    static const std::string empty;
    return index < fields.size() ? fields[index] : empty;
}

float TextToFloat(const std::string& text) {
    const char* start = NumberStart(text);
    float value = 0;
    std::from_chars(start, text.c_str() + text.size(), value);
    return value;
}

int TextToInt(const std::string& text) {
    const char* start = NumberStart(text);
    int value = 0;
    std::from_chars(start, text.c_str() + text.size(), value);
    return value;
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find("..") == std::string::npos &&
           name.find_first_of("\\/") == std::string::npos;
}
