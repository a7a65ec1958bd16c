#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Hands out the fields of one record in order, converting numbers strictly:
// a number field must hold a whole number (or a decimal one for a float) and
// nothing else. The first field that fails, or a record with more or fewer
// fields than were taken, makes the record bad; IsValid says why.
class RecordFields {
public:
    explicit RecordFields(std::vector<std::string> fields);

    std::string Text();
    int32_t Int();
    float Float();

    // True when every field was taken and converted; otherwise `error`
    // describes the first problem.
    bool IsValid(std::string& error) const;

private:
    const std::string& Next();
    void Fail(const std::string& text, const char* expected);

    std::vector<std::string> fields;
    std::size_t next = 0;
    std::string firstError;
};
