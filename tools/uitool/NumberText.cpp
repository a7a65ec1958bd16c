#include "uitool/NumberText.h"

#include <charconv>

std::string NumberText(float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof(text), value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}
