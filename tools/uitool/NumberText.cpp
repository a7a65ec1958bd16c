#include "uitool/NumberText.h"

#include <charconv>

std::string NumberText(float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof(text), value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

bool ParseArgb(const std::string& text, uint32_t& argb) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, argb, 16);
    return !text.empty() && text.size() <= 8 && error == std::errc() && stop == end;
}
