// Counts the blocks that operator new has handed out and delete has not yet
// taken back, across the whole test program, so that a test can show that a
// piece of work left nothing allocated behind.
#pragma once

#include <cstddef>

namespace umbrek::test {

long liveAllocations();

} // namespace umbrek::test
