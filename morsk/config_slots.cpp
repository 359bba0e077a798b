#include "morsk/config_slots.h"

#include "morsk/path_names.h"

namespace morsk {

int ConfigSlots::FirstFreeSlot() const {
    for (int n = 1; n <= Table.SlotCount; ++n)
        if (Table[n].Name.empty()) return n;
    return -1;
}

bool ConfigSlots::IsListed(const std::string& path) const {
    std::string name = ExtractName(path);
    for (int n = 1; n <= Table.SlotCount; ++n)
        if (ExtractName(Table[n].Name) == name) return true;
    return false;
}

void ConfigSlots::RemoveSlot(int n) {
    if (!IsSlot(n)) return;
    Table[n].Name.clear();
    Table[n].Module = 0;
    int to = 1;
    for (int from = 1; from <= Table.SlotCount; ++from) {
        if (Table[from].Name.empty()) continue;
        if (from != to) Table[to] = Table[from];
        ++to;
    }
    for (; to <= Table.SlotCount; ++to) {
        Table[to].Name.clear();
        Table[to].Module = 0;
    }
}

bool ConfigSlots::StepModule(int n, bool forward, const std::function<bool(int)>& hasModule) {
    int& module = Table[n].Module;
    auto step = [&] {
        if (forward)
            module = module < lastModuleIndex ? module + 1 : 0;
        else
            module = module > 0 ? module - 1 : lastModuleIndex;
    };
    step();
    for (int steps = 1; steps < lastModuleIndex + 1 && module >= 0 && module <= lastModuleIndex &&
                        !hasModule(module);
         ++steps)
        step();
    return hasModule(module);
}

} // namespace morsk
