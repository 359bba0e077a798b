#include "testhost/resource_use.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>

namespace testhost {

ResourceUse resourceUse() {
    ResourceUse r;
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    r.nextHandle = int64_t(reinterpret_cast<uintptr_t>(probe));
    CloseHandle(probe);
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc))
        r.memoryBytes = int64_t(pmc.PagefileUsage);
    return r;
}

int64_t peakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
    return int64_t(std::max(pmc.PeakWorkingSetSize, pmc.PeakPagefileUsage));
}

void describeResourceUse(JsonWriter& j, const std::array<ResourceUse, 2>& use) {
    j.key("nextHandle").beginArray().value(use[0].nextHandle).value(use[1].nextHandle).endArray();
    j.key("memoryBytes")
        .beginArray()
        .value(use[0].memoryBytes)
        .value(use[1].memoryBytes)
        .endArray();
}

} // namespace testhost
