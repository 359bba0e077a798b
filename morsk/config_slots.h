// The configuration form's own copy of the child list and the edits it makes
// to it: find a free slot, refuse a library listed twice, remove a slot and
// close the gap, and step a slot's module to the next or previous one.
#pragma once

#include "morsk/slot_table.h"

#include <functional>
#include <string>

namespace morsk {

class ConfigSlots {
public:
    SlotTable Table;

    // The form keeps the count within 1 to 30.
    void ReadSettings(SettingsStore& store) { ReadSlots(store, Table, true); }
    void WriteSettings(SettingsStore& store) const { WriteSlots(store, Table, false); }

    bool IsSlot(int n) const { return n >= 1 && n <= Table.SlotCount; }
    // The lowest slot in use with no library, or -1.
    int FirstFreeSlot() const;
    // True when a slot's library has the file name of path (letter case counts).
    bool IsListed(const std::string& path) const;
    // Empties slot n, then moves the named slots down, in order, over the gaps.
    void RemoveSlot(int n);

    // Steps slot n's module within 0 to 100, wrapping from 100 to 0 (forward)
    // or from 0 to 100 (back), until hasModule accepts the index, 101 steps at
    // the most. False when no index was accepted.
    bool StepModule(int n, bool forward, const std::function<bool(int)>& hasModule);
};

} // namespace morsk
