#include "Input/FieldQuoting.h"

std::string QuoteField(const std::string& field, char separator) {
    if (field.find(separator) == std::string::npos && field.find('"') == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}
