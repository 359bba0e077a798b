#include "sabrith/skin/skin_gizmos.h"

#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_pixels.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace sabrith {

namespace {

// Ticks between two looks at the player's status.
constexpr int32_t statusTicks = 10;
constexpr uint32_t folderCheckMs = 1000;
constexpr int32_t scrollStep = 2;
constexpr int bitmapFontAdvance = 5;
constexpr uint32_t progressColour = 0xDCDCDC;
constexpr int progressAlpha = 180;
constexpr std::size_t trackTextBuffer = 200;

// Positions on the target past this lie outside any window.
constexpr int64_t farOutside = int64_t(1) << 28;

bool inside(int64_t x, int64_t y, int64_t left, int64_t top, int64_t width, int64_t height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

void keyedBlit(DibImage& target, int64_t x, int64_t y, int64_t w, int64_t h, const DibImage& source,
               int64_t sx, int64_t sy) {
    if (w < 1 || h < 1 || x >= target.width() || y >= target.height() || x + w <= 0 || y + h <= 0 ||
        sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height())
        return;
    target.blit(int(x), int(y), int(std::min<int64_t>(w, farOutside)),
                int(std::min<int64_t>(h, farOutside)), source, int(sx), int(sy), BlitMode::keyed);
}

// Draws `width` columns of one strip line, starting at column `scroll` and
// wrapping to column 0 at `textWidth`.
void drawScrolled(DibImage& target, int64_t x, int64_t y, int64_t width, int64_t rows,
                  const DibImage& strip, int64_t sourceRow, int64_t scroll, int64_t textWidth) {
    int64_t covered = 0, column = std::clamp<int64_t>(scroll, 0, textWidth);
    while (covered < width) {
        const int64_t piece = std::min(textWidth - column, width - covered);
        if (piece <= 0) {
            if (column == 0) break;
            column = 0;
            continue;
        }
        keyedBlit(target, x + covered, y, piece, rows, strip, column, sourceRow);
        covered += piece;
        column = 0;
    }
}

// The strip of a text gizmo: back colour, the text, the back colour keyed out.
void renderStripLine(SkinSet& set, const SkinFont& font, DibImage& strip, const std::string& text,
                     int32_t y, int32_t width) {
    drawText(set, font, strip, text, 0, y, width, font.charHeight);
}

void rebuildTrackInfo(SkinSet& set, Gizmo& gizmo) {
    if (!set.active || !gizmo.strip || !gizmo.font) return;
    const std::string text = composeTrackText(set) + " *** ";
    if (text.substr(0, trackTextBuffer - 1) == gizmo.newText) return;
    const SkinFont& font = *gizmo.font;
    gizmo.oldText = gizmo.newText;
    gizmo.newText = text.substr(0, trackTextBuffer - 1);
    gizmo.newTextWidth = textWidth(set, font, gizmo.newText);
    gizmo.oldTextWidth = textWidth(set, font, gizmo.oldText);
    const int32_t w = std::max(gizmo.newTextWidth, gizmo.oldTextWidth);
    const int64_t h = 2 * int64_t(font.charHeight) + 2;
    if (sizeSkinImage(set, *gizmo.strip, w, h)) {
        gizmo.strip->fillRect(font.backColour, 255, 0, 0, w, int(h));
        renderStripLine(set, font, *gizmo.strip, gizmo.newText, 0, w);
        renderStripLine(set, font, *gizmo.strip, gizmo.oldText, font.charHeight + 1, w);
        maskByColour(*gizmo.strip, w, int32_t(h), font.backColour);
    }
    gizmo.oldScroll = gizmo.newScroll;
    gizmo.newScroll = 0;
    gizmo.slideRows = font.charHeight;
}

bool hasTrackText(const SkinSet& set) {
    for (const ImageSlot& slot : set.currentSkin->images)
        if (slot.shownImage)
            for (const Gizmo* gizmo : slot.shownImage->gizmos)
                if (gizmo->gizmoKind == gizmoTrackInfo && gizmo->font && gizmo->strip) return true;
    return false;
}

int gizmoMouseEvent(SkinSet& set, const SkinImage& owner, Gizmo& gizmo, int64_t x, int64_t y,
                    int event) {
    const int64_t left = int64_t(owner.posX) + gizmo.offsetX;
    const int64_t top = int64_t(owner.posY) + gizmo.offsetY;
    switch (gizmo.gizmoKind) {
    case gizmoButton: {
        if (!gizmo.image) return 0;
        // Button faces change at once; slots wait for their delays.
        const bool over = inside(x, y, left, top, gizmo.image->effWidth, gizmo.image->effHeight);
        int result = 0;
        if (over && event == mouseMove) gizmo.image = gizmo.image->events[onMouseEnter];
        if (over && event == mouseDown) {
            gizmo.image = gizmo.image->events[onMouseDown];
            result = mouseOverGizmo;
        }
        if (over && event == mouseUp) result = gizmo.image->action;
        if (!over && event == mouseMove) gizmo.image = gizmo.image->events[onMouseExit];
        if (event == mouseUp) gizmo.image = gizmo.image->events[onMouseUp];
        return result;
    }
    case gizmoTimeInfo:
        if (!inside(x, y, left, top, gizmo.width, gizmo.height)) return 0;
        if (event != mouseUp) return mouseOverGizmo;
        gizmo.showRemaining = !gizmo.showRemaining;
        return 0;
    case gizmoProgress:
        if (!inside(x, y, left, top, gizmo.width, gizmo.height)) return 0;
        if (event != mouseUp) return mouseOverGizmo;
        // Only a song of known length can be sought in; 64 bits because
        // a wide bar in a long song passes 2^31 before the division.
        if (gizmo.source == 0 && gizmo.width >= 1 && gizmo.rangeValue >= 1)
            set.services.host.seekMs(
                saturated((x - left) * int64_t(gizmo.rangeValue) * 1000 / gizmo.width));
        return 0;
    default: return 0;
    }
}

bool sameFolder(const std::string& a, const std::string& b) {
    const std::size_t limit = 260;
    const std::size_t n = std::min(std::max(a.size(), b.size()), limit);
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = i < a.size() ? std::tolower(static_cast<unsigned char>(a[i])) : 0;
        const int cb = i < b.size() ? std::tolower(static_cast<unsigned char>(b[i])) : 0;
        if (ca != cb) return false;
    }
    return true;
}

} // namespace

bool skinTick(SkinSet& set) {
    const uint32_t now = set.services.clock.now();
    bool replaced = false;
    if (now - set.lastGizmoRefresh > folderCheckMs) {
        replaced = followHostSkinFolder(set);
        set.lastGizmoRefresh = now;
    }
    if (!set.isActive()) return replaced;
    // Time and progress live on the status the track text asks for; a skin
    // without one asks at the same pace itself, or they would never move.
    if (!hasTrackText(set) && ++set.statusPollCount >= statusTicks) {
        set.statusPollCount = 0;
        composeTrackText(set);
    }
    for (ImageSlot& slot : set.currentSkin->images) {
        runDueSwitch(slot, now);
        SkinImage* image = slot.shownImage;
        if (!image) continue;
        if (!image->placed) driftImage(set, *image);
        for (Gizmo* gizmo : image->gizmos) {
            switch (gizmo->gizmoKind) {
            case gizmoTrackInfo: updateTrackInfo(set, *gizmo); break;
            case gizmoTimeInfo: updateTimeInfo(set, *gizmo); break;
            case gizmoProgress: updateProgress(set, *gizmo); break;
            default: break;
            }
        }
    }
    return replaced;
}

void updateTrackInfo(SkinSet& set, Gizmo& gizmo) {
    if (!gizmo.font) return;
    if (gizmo.refreshCount >= statusTicks || gizmo.newText.empty() || !gizmo.strip) {
        rebuildTrackInfo(set, gizmo);
        gizmo.refreshCount -= statusTicks;
    }
    if (gizmo.newTextWidth > 0)
        gizmo.newScroll = int32_t((int64_t(gizmo.newScroll) + scrollStep) % gizmo.newTextWidth);
    if (gizmo.oldTextWidth > 0 && gizmo.slideRows > 0)
        gizmo.oldScroll = int32_t((int64_t(gizmo.oldScroll) + scrollStep) % gizmo.oldTextWidth);
    if (gizmo.slideRows > 0) --gizmo.slideRows;
    ++gizmo.refreshCount;
}

std::string composeTrackText(SkinSet& set) {
    HostLink& host = set.services.host;
    const int32_t state = host.playState();
    set.listPosition = host.listPosition();
    set.listLength = host.listLength();
    std::string title = host.entryTitle(set.listPosition);
    if (title.empty()) title = "Lumbrin";
    char suffix[40] = "";
    switch (state) {
    case 0: std::snprintf(suffix, sizeof suffix, " (Stopped)"); break;
    case 1:
        set.playPositionMs = host.queryTime(0);
        set.songLengthS = host.queryTime(1);
        if (set.songLengthS > 0)
            std::snprintf(suffix, sizeof suffix, " (%d:%02d)", int(set.songLengthS / 60),
                          int(set.songLengthS % 60));
        break;
    case 3: std::snprintf(suffix, sizeof suffix, " (Paused)"); break;
    default: std::snprintf(suffix, sizeof suffix, " (Wibble)"); break;
    }
    const std::string tail = suffix;
    // The whole text fits the 190-byte buffer with its terminator.
    title.resize(std::min(title.size(), trackTextCapacity - 1 - tail.size()));
    return title + tail;
}

std::string timeText(const SkinSet& set, int32_t showRemaining) {
    if (set.songLengthS < 1) return "-:--";
    int64_t p = std::max<int64_t>(set.playPositionMs / 1000, 0);
    if (p / 60 > 99) p = 5999;
    char text[32];
    if (showRemaining) {
        // A position past the end shows no negative time.
        const int64_t r = std::max<int64_t>(set.songLengthS - p, 0);
        std::snprintf(text, sizeof text, "-%lld:%02lld", static_cast<long long>(r / 60),
                      static_cast<long long>(r % 60));
    } else {
        std::snprintf(text, sizeof text, " %lld:%02lld", static_cast<long long>(p / 60),
                      static_cast<long long>(p % 60));
    }
    return text;
}

void updateTimeInfo(SkinSet& set, Gizmo& gizmo) {
    if (!gizmo.font || !gizmo.strip) return;
    const SkinFont& font = *gizmo.font;
    const std::string text = timeText(set, gizmo.showRemaining);
    gizmo.timeTextWidth = textWidth(set, font, text);
    if (!sizeSkinImage(set, *gizmo.strip, gizmo.timeTextWidth, font.charHeight)) return;
    gizmo.strip->fillRect(font.backColour, 255, 0, 0, gizmo.timeTextWidth, font.charHeight);
    drawText(set, font, *gizmo.strip, text, 0, 0, gizmo.timeTextWidth, font.charHeight);
    maskByColour(*gizmo.strip, gizmo.timeTextWidth, font.charHeight, font.backColour);
}

void updateProgress(SkinSet& set, Gizmo& gizmo) {
    if (gizmo.source == 0) {
        gizmo.rangeValue = set.songLengthS;
        gizmo.currentValue = set.playPositionMs / 1000;
    } else {
        gizmo.rangeValue = set.listLength;
        gizmo.currentValue = set.listPosition;
    }
}

void drawTrackInfo(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo) {
    if (!imageFits(set, owner) || !gizmo.strip || !gizmo.font) return;
    const int64_t x0 = int64_t(owner.posX) + gizmo.offsetX;
    const int64_t y0 = int64_t(owner.posY) + gizmo.offsetY;
    const int64_t rows = gizmo.font->charHeight;
    if (gizmo.newTextWidth > 0 && gizmo.slideRows < rows)
        drawScrolled(target, x0, y0 + gizmo.slideRows, gizmo.width, rows - gizmo.slideRows,
                     *gizmo.strip, 0, gizmo.newScroll, gizmo.newTextWidth);
    if (gizmo.oldTextWidth > 0 && gizmo.slideRows >= 1)
        drawScrolled(target, x0, y0, gizmo.width, gizmo.slideRows, *gizmo.strip,
                     2 * rows + 2 - gizmo.slideRows, gizmo.oldScroll, gizmo.oldTextWidth);
}

void drawTimeInfo(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo) {
    if (!imageFits(set, owner) || !gizmo.strip || !gizmo.font) return;
    const int64_t x =
        int64_t(owner.posX) + gizmo.offsetX + (int64_t(gizmo.width) - gizmo.timeTextWidth) / 2;
    keyedBlit(target, x, int64_t(owner.posY) + gizmo.offsetY, gizmo.timeTextWidth,
              gizmo.font->charHeight, *gizmo.strip, 0, 0);
}

void drawProgress(SkinSet& set, DibImage& target, const SkinImage& owner, const Gizmo& gizmo) {
    if (!imageFits(set, owner)) return;
    const int64_t filled = std::min<int64_t>(
        gizmo.rangeValue == 0 ? gizmo.width
                              : int64_t(gizmo.currentValue) * gizmo.width / gizmo.rangeValue,
        gizmo.width);
    const int64_t x = int64_t(owner.posX) + gizmo.offsetX;
    const int64_t y = int64_t(owner.posY) + gizmo.offsetY;
    if (filled < 1 || x >= target.width() || y >= target.height() || x + filled <= 0 ||
        y + gizmo.height <= 0)
        return;
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    target.fillRect(progressColour, progressAlpha, int(left), int(top),
                    int(std::min<int64_t>(x + filled - left, target.width())),
                    int(std::min<int64_t>(y + gizmo.height - top, target.height())));
}

int textWidth(SkinSet& set, const SkinFont& font, std::string_view text) {
    if (font.fontKind == 1 && font.fontHandle)
        return std::max(set.services.text.textWidth(*font.fontHandle, text), 0);
    return std::max(saturated(int64_t(text.size()) * font.charWidth), 0);
}

void drawText(SkinSet& set, const SkinFont& font, DibImage& target, std::string_view text,
              int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!set.active) return;
    if (font.fontKind == 1 && font.fontHandle) {
        set.services.text.drawText(*font.fontHandle, text, font.textColour, font.backColour, target,
                                   x, y, width, height);
        return;
    }
    if (!font.glyphImage) return;
    const DibImage& glyphs = font.glyphImage->pixels;
    int64_t at = x;
    for (const char c : text) {
        // Unsigned: codes past 127 are cells of the table like any other.
        const GlyphCell cell = set.glyphMap[static_cast<unsigned char>(c)];
        const int64_t sx = int64_t(cell.column) * font.charWidth;
        const int64_t sy = int64_t(cell.row) * font.charHeight;
        if (font.charWidth > 0 && font.charHeight > 0 && sx < glyphs.width() &&
            sy < glyphs.height() && at < target.width() && at + font.charWidth > 0 &&
            std::abs(int64_t(y)) < farOutside)
            target.blit(int(at), y, font.charWidth, font.charHeight, glyphs, int(sx), int(sy),
                        BlitMode::copy);
        // The cells are 5 pixels apart whatever the font's width says.
        at += bitmapFontAdvance;
    }
}

int skinMouseEvent(SkinSet& set, int32_t x, int32_t y, int event) {
    if (!set.isActive()) return 0;
    const uint32_t now = set.services.clock.now();
    int result = 0;
    for (ImageSlot& slot : set.currentSkin->images) {
        SkinImage* image = slot.shownImage;
        if (!image || !imageFits(set, *image)) continue;
        const bool over = inside(x, y, image->posX, image->posY, image->effWidth, image->effHeight);
        const auto schedule = [&](SkinEvent e) {
            scheduleSwitch(slot, image->events[e], image->delays[e], now);
        };
        if (over && event == mouseMove) schedule(onMouseEnter);
        if (over && event == mouseDown) {
            if (image->action) result = mouseOverAction;
            schedule(onMouseDown);
        }
        if (over && event == mouseUp) result = image->action;
        if (!over && event == mouseMove) schedule(onMouseExit);
        if (event == mouseUp) schedule(onMouseUp);
        for (Gizmo* gizmo : image->gizmos)
            if (const int answer = gizmoMouseEvent(set, *image, *gizmo, x, y, event))
                result = answer;
    }
    return result;
}

bool followHostSkinFolder(SkinSet& set) {
    HostLink& host = set.services.host;
    if (!set.checkHostSkinChanges || !host.present()) return false;
    const std::string folder = host.skinFolder();
    if (sameFolder(folder, set.hostSkinFolder)) return false;
    // Remembered before the search, so that a folder without a usable skin
    // is not searched again until the player's folder changes.
    set.hostSkinFolder = folder;
    for (const std::string& name : set.services.files.findFiles(folder, ".lbs")) {
        if (!set.loadSkinFile(folder + "\\" + name)) continue;
        layoutImages(set);
        return true;
    }
    return false;
}

} // namespace sabrith
