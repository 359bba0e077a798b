// What the process holds, measured between rounds of starting and stopping a
// plug-in: a round that leaks handles or memory shows as growth between the
// first and the last round.
#pragma once

#include "testhost/json_writer.h"

#include <array>
#include <cstdint>

namespace testhost {

struct ResourceUse {
    int64_t nextHandle = 0; // grows when handles are left open
    int64_t memoryBytes = 0;
};

ResourceUse resourceUse();

// The most memory the process has held so far: the larger of its peak
// working set and its peak committed memory, in bytes.
int64_t peakMemoryBytes();

// "nextHandle": [first, last], "memoryBytes": [first, last].
void describeResourceUse(JsonWriter& j, const std::array<ResourceUse, 2>& use);

} // namespace testhost
