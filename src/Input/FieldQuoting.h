#pragma once

#include <string>

// The field as a quoting tokenizer reads it back whole: in double quotes,
// with its quotes doubled, when it holds the separator or a double quote;
// unchanged otherwise.
std::string QuoteField(const std::string& field, char separator);
