// What a file dropped on the window does, by its extension: skins load,
// presets load, music goes to the player. Rows are tried in order and the
// extension is compared without regard to case over the dropped
// extension's length, so "x.mp" matches ".mp3" and a name ending in "."
// matches the first row (the readers check the content anyway).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sabrith {

enum class DropAction { loadSkin, loadPreset, feedPlayer };

class DropTable {
public:
    static constexpr std::size_t maxRows = 100;

    // ".lbs", ".design", ".ini" skins; ".lbp" presets; ".mp3", ".mp2" music.
    static DropTable standard();

    // false (and nothing added) past the last row.
    bool add(std::string extension, DropAction action);
    // The first matching row's action; none for a name without a dot or
    // with an extension no row takes.
    std::optional<DropAction> match(const std::string& path) const;

private:
    struct Row {
        std::string extension;
        DropAction action;
    };
    std::vector<Row> rows_;
};

} // namespace sabrith
