#pragma once

#include "Core/PObject.h"

#include <string>

// Binds one setting's text to a program variable: the settings registry
// reads config.cfg into variables and writes them back through dators.
class CPDator : public CPObject {
public:
    std::string GetClassName() const override { return "CPDator"; }

    // The variable takes (adds, subtracts) the value parsed from the text.
    virtual void Assign(const std::string& text) = 0;
    virtual void Add(const std::string& text) = 0;
    virtual void Subtract(const std::string& text) = 0;
    // Compares the text with ToString's, character for character.
    virtual bool Equals(const std::string& text) const { return text == ToString(); }
    virtual bool NotEquals(const std::string& text) const { return !Equals(text); }
    virtual bool IsList() const { return false; }
    virtual std::string ToString() const = 0;
};
