#pragma once

class CPObject;

// The engine objects that scripts may name by handle. Scripts hold plain
// addresses (and can write any number as one), so an address is used only
// after it is found here: an object registers itself when it is built and
// leaves when it is destroyed, and every other address is refused.

void RegisterLiveObject(CPObject* object);
void UnregisterLiveObject(CPObject* object);

// The live object at that address, or null.
CPObject* FindLiveObject(const void* address);
