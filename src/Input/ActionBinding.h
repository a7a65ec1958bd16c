#pragma once

#include <cstdint>
#include <string>

// One key binding of the input task: a key (or a numeric code) and the text
// it carries (the action name in the tables the update reads, the label in
// the record written back to Actions.cfg).
struct ActionBinding {
    ActionBinding() = default;
    // From a line's key field: a numeric code (the decimal number at the
    // start of the text, kept modulo 256) or the code of the key name; an
    // unknown name leaves the code at 0.
    ActionBinding(const std::string& keyText, const std::string& label, bool isNumeric);

    // Takes the key name and text and binds; the code follows the name when
    // it is a key name, else it stays.
    void Assign(const std::string& name, const std::string& bindingText);

    uint8_t code = 0;
    std::string keyName;
    std::string text;
    bool bound = false;
    bool numeric = false;
};

// The decimal integer at the start of the text after leading blanks, with an
// optional sign; 0 when there is none. Values beyond int's range saturate.
int LeadingInteger(const std::string& text);
