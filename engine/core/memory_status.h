#pragma once
#include <cstdint>

// Total and available physical memory in bytes (either pointer may be null),
// held at 0xFFFFFFFF on machines with more than the 32-bit figures can show.
void GetMemoryStatus(uint32_t* total, uint32_t* available);
