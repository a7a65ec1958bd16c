#pragma once

#include <string>

class CPObject;

// An engine object as a script sees it: a Lua light userdata holding the
// object's address, passed without taking a reference. Inside command
// parameters the address travels as unsigned decimal text. Addresses that
// come back from a script are looked up among the live objects before use.

// "0" for null.
std::string PointerToString(const void* address);
// C conversion rules (leading blanks, an optional sign, the leading digits;
// 0 when there are none). A negative text gives the address with the same
// bits, so the signed decimal form reads back too.
const void* StringToAddress(const std::string& text);
// The live object at the address, or null for any other address.
CPObject* ResolveHandle(const void* address);
