// Fakes for everything a skin set talks to, and small fixture helpers: the
// skins of the tests live in an in-memory file system, written by the tests.
#pragma once

#include "sabrith/skin/own_skin_reader.h"
#include "sabrith/skin/skin_set.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sabrith::test {

struct FakeHost final : HostLink {
    bool alive = true;
    int32_t state = 0, positionMs = 0, lengthS = 0, position = 0, length = 0;
    std::string title, folder;
    std::vector<int32_t> seeks;
    int statusQueries = 0;
    bool present() override { return alive; }
    int32_t playState() override {
        ++statusQueries;
        return state;
    }
    int32_t queryTime(int which) override { return which == 0 ? positionMs : lengthS; }
    int32_t listPosition() override { return position; }
    int32_t listLength() override { return length; }
    std::string entryTitle(int32_t) override { return title; }
    std::string skinFolder() override { return folder; }
    void seekMs(int32_t ms) override { seeks.push_back(ms); }
};

struct FakeClock final : Clock {
    uint32_t time = 10000;
    uint32_t now() override { return time; }
};

struct FakeFont final : SystemFont {
    FontRequest request;
};

struct FakeFonts final : FontFactory {
    std::vector<FontRequest> made;
    std::unique_ptr<SystemFont> createFont(const FontRequest& request) override;
};

// Every character is `perChar` pixels wide; drawing fills the strip with the
// back colour and the text's columns with the text colour.
struct FakeText final : TextRenderer {
    int perChar = 6;
    int textWidth(const SystemFont&, std::string_view text) override;
    void drawText(const SystemFont&, std::string_view text, uint32_t textColour,
                  uint32_t backColour, DibImage& target, int x, int y, int width,
                  int height) override;
};

struct FakeUi final : Ui {
    std::vector<std::string> messages;
    void message(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
};

struct SkinRig {
    explicit SkinRig(std::vector<SkinFormat> formats = allSkinFormats());
    MemoryFiles files;
    FakeHost host;
    FakeClock clock;
    FakeFonts fonts;
    FakeText text;
    FakeUi ui;
    SkinSet set;
    // Loads `text` as folder/name and sizes the window.
    int load(const std::string& text, int width = 100, int height = 100,
             const std::string& name = "test.lbs");
};

constexpr const char* skinFolder = "c:\\skins\\";

// A 24-bit BMP of the given pixels (0x00RRGGBB, top row first).
std::vector<uint8_t> bmpOf(int width, int height, const std::function<uint32_t(int, int)>& pixel);

// The pixel of an image, without its fourth byte.
uint32_t rgbAt(const DibImage& image, int x, int y);
uint32_t alphaAt(const DibImage& image, int x, int y);

SkinImage* imageNamed(SkinSet& set, const std::string& name);

} // namespace sabrith::test
