#include "Platform/Win32Text.h"

namespace {

unsigned char Code(CHAR ch) {
    return static_cast<unsigned char>(ch);
}

bool IsSmallLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7);
}

bool IsCapitalLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

} // namespace

BOOL IsCharAlphaNumericA(CHAR ch) {
    const unsigned char c = Code(ch);
    const bool other = c == 0xAA || c == 0xB5 || c == 0xBA;
    return (c >= '0' && c <= '9') || IsSmallLetter(c) || IsCapitalLetter(c) || other;
}

CHAR CharUpperLatin1(CHAR ch) {
    const unsigned char c = Code(ch);
    if (!IsSmallLetter(c) || c == 0xDF || c == 0xFF)
        return ch;
    return static_cast<CHAR>(c - 0x20);
}
