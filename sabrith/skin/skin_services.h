// What the skin code needs from the world around it, each behind a small
// interface so that the model, the readers and the gizmos run natively with
// fakes: the files a skin is made of, the player's status, the clock, system
// fonts and text, and message boxes. The Win32 shell supplies the real ones.
#pragma once

#include "sabrith/dib_image.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sabrith {

// Skin files and the bitmaps they name, and the search of a folder for skin
// files. Paths are as the player gives them (backslashes on Windows).
class FileFinder {
public:
    virtual ~FileFinder() = default;
    // The whole file, or nullopt when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> readFile(const std::string& path) = 0;
    // Names (without the folder) of the files in `folder` whose names end in
    // `extension`, compared without case, in the order the system lists them.
    virtual std::vector<std::string> findFiles(const std::string& folder,
                                               const std::string& extension) = 0;
};

// Files held in memory, looked up without regard to case or to the kind of
// separator, as the player's file system does: the tests, the fuzz targets
// and the benchmark build their skins in one.
class MemoryFiles final : public FileFinder {
public:
    void add(const std::string& path, std::vector<uint8_t> bytes);
    void add(const std::string& path, std::string_view text);
    std::optional<std::vector<uint8_t>> readFile(const std::string& path) override;
    std::vector<std::string> findFiles(const std::string& folder,
                                       const std::string& extension) override;
    // Number of findFiles calls, so that tests can see a folder searched.
    int searches = 0;

private:
    static std::string keyOf(const std::string& path);
    // Key -> (path as added, bytes), in the order added.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files_;
    std::map<std::string, std::size_t> index_;
};

// Files on disk through the standard library; backslashes are taken as
// separators where the system does not know them.
class DiskFiles : public FileFinder {
public:
    std::optional<std::vector<uint8_t>> readFile(const std::string& path) override;
    std::vector<std::string> findFiles(const std::string& folder,
                                       const std::string& extension) override;
};

// The player's answers (each 0 when the player is gone or too slow) and the
// one command the skin sends of its own (the progress bar's seek).
class HostLink {
public:
    virtual ~HostLink() = default;
    virtual bool present() = 0;
    virtual int32_t playState() = 0;          // 0 stopped, 1 playing, 3 paused
    virtual int32_t queryTime(int which) = 0; // 0 position in ms, 1 length in s
    virtual int32_t listPosition() = 0;       // 0-based
    virtual int32_t listLength() = 0;
    virtual std::string entryTitle(int32_t position) = 0; // empty: none
    virtual std::string skinFolder() = 0;                 // empty: none
    virtual void seekMs(int32_t ms) = 0;
};

// Tick count in milliseconds, wrapping at 32 bits like the system's.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t now() = 0;
};

// A system font made for a skin; only the text renderer that matches the
// factory that made it looks inside.
class SystemFont {
public:
    virtual ~SystemFont() = default;
};

struct FontRequest {
    std::string faceName;
    int height = 0;
    int weight = 400;
};

class FontFactory {
public:
    virtual ~FontFactory() = default;
    // nullptr when the font cannot be made.
    virtual std::unique_ptr<SystemFont> createFont(const FontRequest& request) = 0;
};

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Width of the text's extent in pixels.
    virtual int textWidth(const SystemFont& font, std::string_view text) = 0;
    // A width x (height + 2) strip filled with backColour, the text written
    // at its top left in textColour, copied into the target at (x, y).
    // Colours are Windows colour values.
    virtual void drawText(const SystemFont& font, std::string_view text, uint32_t textColour,
                          uint32_t backColour, DibImage& target, int x, int y, int width,
                          int height) = 0;
};

// Message boxes: no owner, the exclamation icon, an OK button.
class Ui {
public:
    virtual ~Ui() = default;
    virtual void message(const std::string& caption, const std::string& text) = 0;
};

// Everything a SkinSet talks to; all must outlive it.
struct SkinServices {
    FileFinder& files;
    HostLink& host;
    Clock& clock;
    FontFactory& fonts;
    TextRenderer& text;
    Ui& ui;
};

} // namespace sabrith
