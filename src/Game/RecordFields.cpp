#include "Game/RecordFields.h"

#include <charconv>
#include <utility>

namespace {

// The whole text as a number of type T, in the C locale.
template <class T>
bool ParseWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

} // namespace

RecordFields::RecordFields(std::vector<std::string> fields) : fields(std::move(fields)) {}

const std::string& RecordFields::Next() {
    static const std::string missing;
    const std::string& field = next < fields.size() ? fields[next] : missing;
    ++next;
    return field;
}

void RecordFields::Fail(const std::string& text, const char* expected) {
    if (firstError.empty())
        firstError = "field " + std::to_string(next) + " \"" + text + "\" is not " + expected;
}

std::string RecordFields::Text() {
    return Next();
}

int32_t RecordFields::Int() {
    int32_t value = 0;
    if (const std::string& text = Next(); !ParseWhole(text, value))
        Fail(text, "a whole number");
    return value;
}

float RecordFields::Float() {
    float value = 0;
    if (const std::string& text = Next(); !ParseWhole(text, value))
        Fail(text, "a number");
    return value;
}

bool RecordFields::IsValid(std::string& error) const {
    if (next != fields.size())
        error = std::to_string(next) + " fields expected, " + std::to_string(fields.size()) + " found";
    else
        error = firstError;
    return error.empty();
}
