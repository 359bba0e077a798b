#include "sabrith/frame/drop_table.h"

#include <cctype>

namespace sabrith {

DropTable DropTable::standard() {
    DropTable table;
    table.add(".lbs", DropAction::loadSkin);
    table.add(".design", DropAction::loadSkin);
    table.add(".ini", DropAction::loadSkin);
    table.add(".lbp", DropAction::loadPreset);
    table.add(".mp3", DropAction::feedPlayer);
    table.add(".mp2", DropAction::feedPlayer);
    return table;
}

bool DropTable::add(std::string extension, DropAction action) {
    if (rows_.size() >= maxRows) return false;
    rows_.push_back({std::move(extension), action});
    return true;
}

namespace {

// Equal over the dropped extension's length, as a bounded case-blind
// compare: a row shorter than that meets its end and differs.
bool sameOverLength(const std::string& dropped, const std::string& row) {
    if (row.size() < dropped.size()) return false;
    for (std::size_t i = 0; i < dropped.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(dropped[i])) !=
            std::tolower(static_cast<unsigned char>(row[i])))
            return false;
    return true;
}

} // namespace

std::optional<DropAction> DropTable::match(const std::string& path) const {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    const std::string extension = path.substr(dot);
    for (const Row& row : rows_)
        if (sameOverLength(extension, row.extension)) return row.action;
    return std::nullopt;
}

} // namespace sabrith
