#include "engine/core/memory_status.h"

#include <algorithm>

#include "platform/system.h"

namespace {

uint32_t Saturate(uint64_t bytes) { return static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX)); }

}  // namespace

void GetMemoryStatus(uint32_t* total, uint32_t* available) {
    const platform::MemoryStatus memory = platform::GetPhysicalMemory();
    if (total) *total = Saturate(memory.totalBytes);
    if (available) *available = Saturate(memory.availableBytes);
}
