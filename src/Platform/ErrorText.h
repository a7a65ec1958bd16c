#pragma once

#include "Platform/Win32Types.h"

// Symbolic name and description of a result code, for error reports.
// Unknown codes give "Unknown" and a description with the code in hex.
const char* PlatGetErrorString(HRESULT hr);
const char* PlatGetErrorDescription(HRESULT hr);
