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

// "nextHandle": [first, last], "memoryBytes": [first, last].
void describeResourceUse(JsonWriter& j, const std::array<ResourceUse, 2>& use);

} // namespace testhost
