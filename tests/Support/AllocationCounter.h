#pragma once

// The program's global operator new counts its calls on the thread that
// switched counting on, while it is on; switching it on starts from zero.
// Linked into the tests and benchmarks that count allocations.
void CountAllocations(bool on);
long AllocationCount();
