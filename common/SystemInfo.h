#pragma once
#include <cstdint>

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
uint32_t GetTickCount32();
// The number of processors the system reports (at least 1).
int ProcessorCount();
