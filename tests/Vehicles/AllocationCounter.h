#pragma once

// This test program's global operator new counts its calls while counting
// is on.
void CountAllocations(bool on);
long AllocationCount();
