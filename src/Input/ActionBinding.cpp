#include "Input/ActionBinding.h"

#include "Input/KeyNames.h"

#include <cctype>
#include <climits>
#include <cstdint>

ActionBinding::ActionBinding(const std::string& keyText, const std::string& label, bool isNumeric)
    : keyName(keyText), text(label), bound(true), numeric(isNumeric) {
    if (numeric) {
        code = static_cast<uint8_t>(static_cast<unsigned>(LeadingInteger(keyText)) & 0xFF);
    } else if (const int index = FindKeyName(keyText); index >= 0) {
        code = static_cast<uint8_t>(index);
    }
}

void ActionBinding::Assign(const std::string& name, const std::string& bindingText) {
    keyName = name;
    text = bindingText;
    bound = true;
    if (const int index = FindKeyName(name); index >= 0)
        code = static_cast<uint8_t>(index);
}

int LeadingInteger(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    int64_t value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1)
            value = static_cast<int64_t>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}
