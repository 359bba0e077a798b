#include "sabrith/file_dialog.h"

namespace sabrith {

const FileKind presetFiles{
    "LBNPresets", {{"Lumbrin Presets (*.lbp)", "*.lbp"}, {"All Files", "*.*"}}, 1, "lbp"};

const FileKind skinFiles{"LBNSkins",
                         {{"LBN Skin Files (*.lbs)", "*.lbs"},
                          {"Tovrel Skin Files (*.design)", "*.design"},
                          {"Nerrit Skin Files (skin.ini)", "skin.ini"},
                          {"All Skin Files", "*.lbs;*.design;skin.ini"},
                          {"All Files", "*.*"}},
                         4,
                         "lbs"};

namespace {

constexpr const char* folderValue = "DefaultDirectory";

std::string cut(std::string text) {
    if (text.size() > FileDialog::bufferSize - 1) text.resize(FileDialog::bufferSize - 1);
    return text;
}

} // namespace

FileDialog::FileDialog(const FileKind& kind, RegistryBackend& registry,
                       const std::string& pluginPath, FileChooser& chooser)
    : chooser_(chooser) {
    request_.kind = &kind;
    const std::size_t slash = pluginPath.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "" : pluginPath.substr(0, slash + 1);
    request_.startFolder = cut(folder + kind.section);
    if (registry.openOrCreate(kind.section)) {
        registry.setString(kind.section, folderValue, request_.startFolder);
        return;
    }
    // A stored folder wins even when it no longer exists; a value that
    // cannot be read (too long, missing) leaves the computed one.
    const auto bytes = registry.query(kind.section, folderValue);
    if (!bytes || bytes->size() > bufferSize) return;
    std::string stored(bytes->begin(), bytes->end());
    stored = stored.substr(0, stored.find('\0'));
    request_.startFolder = cut(stored);
}

int FileDialog::run(bool save, void* owner, std::string& path) {
    FileRequest request = request_;
    request.owner = owner;
    // The dialog proposes the last chosen name.
    if (!request.title.empty()) request.path = request.title;
    if (!chooser_.choose(save, request)) return 0;
    request_.path = cut(request.path);
    request_.title = cut(request.title);
    path = request_.path;
    return 1;
}

int FileDialog::openFile(void* owner, std::string& path) {
    return run(false, owner, path);
}

int FileDialog::saveFile(void* owner, std::string& path) {
    return run(true, owner, path);
}

} // namespace sabrith
