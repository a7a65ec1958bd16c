#pragma once

#include <string>
#include <string_view>
#include <vector>

// String helpers shared by every text-file reader. Case folding and the
// character classes are plain ASCII, whatever the user's locale.

// True for TAB, LF, CR and space only.
bool IsSpaceChar(char c);

// Removes IsSpaceChar characters from both ends, in place.
void TrimString(std::string& text);

// Fold only the letters A-Z / a-z; every other byte, including bytes of
// 128 and above, stays as it is.
void ToLowerString(std::string& text);
void ToUpperString(std::string& text);

// Character-set tests only: the order of the characters is not checked, so
// "1-2" passes both, and both are true for the empty string.
bool IsNumberString(std::string_view text);  // digits, '-' and '.'
bool IsIntegerString(std::string_view text); // digits and '-'

// The field at the index, or the empty text past the end.
const std::string& FieldAt(const std::vector<std::string>& fields, std::size_t index);
// The leading number of the text as the C library's atof and atoi read it
// (C locale): white space skipped, 0 when no number starts the text.
float TextToFloat(const std::string& text);
int TextToInt(const std::string& text);

// True for a name that can only name a file directly inside a folder: not
// empty, without either separator and without "..".
bool IsPlainFileName(const std::string& name);
