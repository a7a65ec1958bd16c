#pragma once

#include "Core/PDator.h"

#include <locale>
#include <sstream>
#include <type_traits>

// A dator over one number. Text is parsed by stream extraction (leading
// white space skipped, reading stops at the first character that cannot
// continue the number; no number gives 0) and written by stream insertion
// with the default format. Both use the C locale, whatever the user's.
template <class T>
class CPValueDator : public CPDator {
public:
    explicit CPValueDator(T* target) : target(target) {}

    void Assign(const std::string& text) override { *target = Parse(text); }
    void Add(const std::string& text) override { *target = Combine(*target, Parse(text), false); }
    void Subtract(const std::string& text) override { *target = Combine(*target, Parse(text), true); }

    std::string ToString() const override {
        std::ostringstream stream;
        stream.imbue(std::locale::classic());
        stream << *target;
        return stream.str();
    }

private:
    static T Parse(const std::string& text) {
        std::istringstream stream(text);
        stream.imbue(std::locale::classic());
        T value{};
        stream >> value;
        return value;
    }

    // Integers wrap around instead of overflowing.
    static T Combine(T a, T b, bool subtract) {
        if constexpr (std::is_integral_v<T>) {
            using U = std::make_unsigned_t<T>;
            return static_cast<T>(subtract ? U(a) - U(b) : U(a) + U(b));
        } else {
            return subtract ? a - b : a + b;
        }
    }

    T* target;
};
