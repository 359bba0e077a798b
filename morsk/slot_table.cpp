#include "morsk/slot_table.h"

#include <cerrno>
#include <cstdlib>

namespace morsk {

namespace {

const char countKey[] = "REDO_ZODODEZ";
const char compatibilityKey[] = "Compatibility";

std::string slotKey(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

} // namespace

std::string SettingsStore::ReadValue(const std::string& key, const std::string& fallback) {
    std::string text = ReadString(key, fallback);
    return text.size() > maxSystemText ? fallback : text;
}

int SettingsStore::ReadInteger(const std::string& key, int fallback) {
    std::string text = ReadValue(key, "");
    if (text.empty()) return fallback;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < -2147483647LL - 1 || value > 2147483647LL)
        return fallback;
    return int(value);
}

void SettingsStore::WriteInteger(const std::string& key, int value) {
    WriteString(key, std::to_string(value));
}

void ReadSlots(SettingsStore& store, SlotTable& table, bool atLeastOne) {
    table.SlotCount = store.ReadInteger(countKey, defaultSlotCount);
    if (table.SlotCount > maxSlots) table.SlotCount = maxSlots;
    if (atLeastOne && table.SlotCount < 1) table.SlotCount = 1;
    for (int n = 1; n <= maxSlots; ++n) table[n] = ChildSlot{};
    for (int n = 1; n <= table.Used(); ++n) {
        table[n].Name = store.ReadValue(slotKey("Vis", n), "");
        table[n].Module = store.ReadInteger(slotKey("Mod", n), 0);
    }
    table.CompatibilityMode = store.ReadInteger(compatibilityKey, 0) != 0;
}

void WriteSlots(SettingsStore& store, const SlotTable& table, bool countFirst) {
    if (countFirst) store.WriteInteger(countKey, table.SlotCount);
    for (int n = 1; n <= table.Used(); ++n) {
        store.WriteString(slotKey("Vis", n), table[n].Name);
        store.WriteInteger(slotKey("Mod", n), table[n].Module);
    }
    if (!countFirst) store.WriteInteger(countKey, table.SlotCount);
    store.WriteString(compatibilityKey, table.CompatibilityMode ? "1" : "0");
}

} // namespace morsk
