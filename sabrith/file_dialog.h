// The open and save dialogs for one kind of file (presets, skins), with a
// starting folder remembered in the registry. The system dialog itself is
// behind `FileChooser`, so that the folder and buffer rules are portable.
#pragma once

#include "sabrith/settings_store.h"

#include <string>
#include <utility>
#include <vector>

namespace sabrith {

struct FileKind {
    const char* section;                                      // registry section and folder name
    std::vector<std::pair<const char*, const char*>> filters; // description, pattern
    int firstFilter;                                          // 1-based
    const char* defaultExtension;                             // without the dot
};

extern const FileKind presetFiles;
extern const FileKind skinFiles;

// What the system dialog gets and gives back: the folder it starts in, the
// proposed file name (the path buffer), and on confirmation the full path
// and the file's title.
struct FileRequest {
    const FileKind* kind = nullptr;
    void* owner = nullptr;
    std::string startFolder;
    std::string path;
    std::string title;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // true when the user confirmed a file; then path and title are set.
    virtual bool choose(bool save, FileRequest& request) = 0;
};

class FileDialog {
public:
    static constexpr std::size_t bufferSize = 300;

    // pluginPath: the plug-in file's full path; the default starting folder
    // is its folder followed by the kind's section name.
    FileDialog(const FileKind& kind, RegistryBackend& registry, const std::string& pluginPath,
               FileChooser& chooser);

    // 1 with the chosen full path in `path`; 0 (and `path` untouched) on cancel.
    int openFile(void* owner, std::string& path);
    int saveFile(void* owner, std::string& path);
    const std::string& lastPath() const { return request_.path; }
    const std::string& startFolder() const { return request_.startFolder; }

private:
    int run(bool save, void* owner, std::string& path);

    FileRequest request_;
    FileChooser& chooser_;
};

} // namespace sabrith
