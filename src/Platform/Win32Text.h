#pragma once

#include "Platform/Win32Types.h"

// Character classification of the single-byte code page the window layer
// turns typed characters into (Latin-1): the same table on every system,
// whatever the user's locale.

// Letters (including the accented ones, ª, µ and º) and the digits 0-9.
BOOL IsCharAlphaNumericA(CHAR ch);
// The capital of a small letter; every other code as it is (ß, µ and ÿ
// have no capital in the code page).
CHAR CharUpperLatin1(CHAR ch);
