// The child list of the multiplexer as "plugin.ini" holds it: up to 30 slots,
// each a library path and a module index, and the compatibility mode. Both the
// running multiplexer and its configuration form keep one such table and meet
// only through the settings file.
#pragma once

#include "host/vis_module.h"

#include <cstddef>
#include <string>

namespace morsk {

constexpr int maxSlots = 30;
constexpr int defaultSlotCount = 4;
constexpr int lastModuleIndex = 100; // modules are looked for at 0 to 100

// The longest text the multiplexer keeps from its settings or hands to the
// system: 32,766 characters. The system carries every path and profile text
// as a counted UTF-16 string of at most 65,535 bytes with its terminator, so
// no longer text can name a file (the longest path it takes at all), and the
// profile functions fault on one. MAX_PATH is not the bound: a longer path only
// fails to load, like any library that is missing, and loads on systems that
// take long paths, so it is kept as the user wrote it.
constexpr size_t maxSystemText = 32766;

// The multiplexer's section of the settings file.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string ReadString(const std::string& key, const std::string& fallback) = 0;
    virtual void WriteString(const std::string& key, const std::string& value) = 0;
    // A value longer than maxSystemText gives the fallback: the system could
    // not have written it, and a path that long names no file.
    std::string ReadValue(const std::string& key, const std::string& fallback);
    // A value that is not a decimal number gives the fallback.
    int ReadInteger(const std::string& key, int fallback);
    void WriteInteger(const std::string& key, int value);
};

struct ChildSlot {
    std::string Name; // library path; empty: the slot is free
    int Module = 0;   // -1 after a search that found no module
    void* Lib = nullptr;
    JukoraVisGetHeader GetHeader = nullptr;
    bool Active = false;  // started and to be rendered
    bool Started = false; // its startModule was called in this start
};

struct SlotTable {
    ChildSlot Slots[maxSlots + 1]; // numbered 1 to 30
    int SlotCount = 0;
    bool CompatibilityMode = false;

    // The slots in use: SlotCount within 0 to 30.
    int Used() const { return SlotCount < 0 ? 0 : SlotCount > maxSlots ? maxSlots : SlotCount; }
    ChildSlot& operator[](int n) { return Slots[n]; }
    const ChildSlot& operator[](int n) const { return Slots[n]; }
};

// Reads REDO_ZODODEZ (above 30 taken as 30; with atLeastOne, 0 or less as 1),
// then Vis and Mod of each slot in use, then Compatibility. Every slot is
// reset: no library, not active. An over-long Vis path leaves its slot empty,
// so that none of it is written back.
void ReadSlots(SettingsStore& store, SlotTable& table, bool atLeastOne);

// Writes Vis and Mod of each slot in use and Compatibility, with the count
// first (the multiplexer's order) or after the slots (the form's).
void WriteSlots(SettingsStore& store, const SlotTable& table, bool countFirst);

} // namespace morsk
