#include "sabrith/skin/skin_pixels.h"

#include "sabrith/bmp_reader.h"
#include "sabrith/byte_source.h"
#include "sabrith/screen_limits.h"
#include "sabrith/skin/region.h"

#include <algorithm>
#include <limits>
#include <new>

namespace sabrith {

namespace {

// Corners further out than this cannot overlap any image a skin can make;
// leaving them out keeps the clipping arithmetic far from overflow.
constexpr int64_t farOutside = int64_t(1) << 28;

struct LockedPixels {
    explicit LockedPixels(DibImage& image) : image(image) { locked = image.lockView(view) != 0; }
    ~LockedPixels() {
        if (locked) image.unlockView(view);
    }
    uint32_t& at(int x, int y) {
        return view.pixels[std::size_t(y) * std::size_t(view.imageWidth) + std::size_t(x)];
    }
    DibImage& image;
    FrameView view;
    bool locked = false;
};

} // namespace

int sizeSkinImage(DibImage& image, int64_t width, int64_t height) {
    width = std::max<int64_t>(width, 1);
    height = std::max<int64_t>(height, 1);
    if (width > maxSkinImageSide || height > maxSkinImageSide ||
        width * height > maxSkinImagePixels)
        return 0;
    try {
        if (!image.resize(int(width), int(height))) return 0;
    } catch (const std::bad_alloc&) {
        image.release();
        return 0;
    }
    image.clear();
    return 1;
}

int sizeSkinImage(SkinSet& set, DibImage& image, int64_t width, int64_t height) {
    const int64_t held = int64_t(image.width()) * image.height();
    const int64_t wanted = std::max<int64_t>(width, 4) * std::max<int64_t>(height, 4);
    // Sizes past the image bounds are refused below before any product
    // matters; the budget only sees those that pass them.
    if (width <= maxSkinImageSide && height <= maxSkinImageSide &&
        set.pixelsHeld - held + wanted > set.pixelBudget)
        return 0;
    if (!sizeSkinImage(image, width, height)) return 0;
    set.pixelsHeld += int64_t(image.width()) * image.height() - held;
    return 1;
}

bool skinWindowFits(int64_t width, int64_t height) {
    width = std::max<int64_t>(width, 1);
    height = std::max<int64_t>(height, 1);
    return width <= maxScreenSide && height <= maxScreenSide && width * height <= maxScreenPixels;
}

int32_t saturated(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

uint32_t colourFromComponents(int64_t red, int64_t green, int64_t blue) {
    const auto component = [](int64_t v) { return uint32_t(std::clamp<int64_t>(v, 0, 255)); };
    return component(red) | component(green) << 8 | component(blue) << 16;
}

bool colourMatches(uint32_t pixel, uint32_t colour) {
    const int dr = int((pixel >> 16) & 0xFF) - int(colour & 0xFF);
    const int dg = int((pixel >> 8) & 0xFF) - int((colour >> 8) & 0xFF);
    const int db = int(pixel & 0xFF) - int((colour >> 16) & 0xFF);
    return dr * dr + dg * dg + db * db < 1000;
}

int loadBitmapFile(SkinSet& set, SkinBitmap& bitmap, const std::string& folder,
                   const std::string& fileName) {
    bitmap.filePath = fileName;
    const auto bytes = set.services.files.readFile(folder + fileName);
    if (bytes) {
        MemorySource source(bytes->data(), bytes->size());
        if (isBmpFile(source) && source.seek(0) && readBmp(source, bitmap.pixels)) {
            // Each bitmap is read once per load; the placeholder it had is
            // too small to count.
            const int64_t read = int64_t(bitmap.pixels.width()) * bitmap.pixels.height();
            if (set.pixelsHeld + read <= set.pixelBudget) {
                set.pixelsHeld += read;
                return 1;
            }
        }
    }
    // Unreadable, broken or past the budget: the black placeholder, never
    // half a picture.
    bitmap.pixels.resize(16, 16);
    bitmap.pixels.clear();
    return 0;
}

void fillImageFromBitmap(SkinSet& set, DibImage& pixels, const std::string& bitmapName, int32_t x,
                         int32_t y) {
    SkinBitmap* bitmap = set.findOrCreateBitmap(bitmapName);
    if (!bitmap) return;
    if (bitmap->filePath.empty()) {
        const std::string file =
            set.skinReader.readString(set.skinPath.c_str(), bitmap->name.c_str(), "Image", 256, "");
        const std::string folder = directoryOf(set.skinPath);
        loadBitmapFile(set, *bitmap, folder, file);
        // Known from now on, even when unreadable: one attempt per load.
        bitmap->filePath = folder + file;
    }
    pixels.clear();
    if (std::abs(int64_t(x)) < farOutside && std::abs(int64_t(y)) < farOutside)
        pixels.blit(0, 0, pixels.width(), pixels.height(), bitmap->pixels, x, y, BlitMode::copy);
    pixels.setAlpha(255);
}

void maskByColour(DibImage& pixels, int32_t width, int32_t height, uint32_t colour) {
    LockedPixels view(pixels);
    if (!view.locked) return;
    const int w = std::min(width, view.view.imageWidth),
              h = std::min(height, view.view.imageHeight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& p = view.at(x, y);
            p = colourMatches(p, colour) ? 0 : p | 0xFF000000u;
        }
}

void applyAlphaBitmap(SkinSet& set, SkinImage& image) {
    DibImage alpha("TransparencyDIB");
    if (!image.pixels.valid() || !sizeSkinImage(alpha, image.pixels.width(), image.pixels.height()))
        return;
    fillImageFromBitmap(set, alpha, image.alphaBitmapName, image.alphaSourceX, image.alphaSourceY);
    LockedPixels target(image.pixels);
    LockedPixels source(alpha);
    if (!target.locked || !source.locked) return;
    for (int y = 0; y < target.view.imageHeight; ++y)
        for (int x = 0; x < target.view.imageWidth; ++x) {
            const uint32_t a = source.at(x, y);
            const uint32_t mean = (((a >> 16) & 0xFF) + ((a >> 8) & 0xFF) + (a & 0xFF)) / 3;
            uint32_t& p = target.at(x, y);
            p = (p & 0x00FFFFFFu) | mean << 24;
        }
}

void buildSeeThroughRegion(SkinImage& image) {
    LockedPixels view(image.pixels);
    if (!view.locked) return;
    const int w = std::min(image.width, view.view.imageWidth);
    const int h = std::min(image.height, view.view.imageHeight);
    RegionBuilder holes;
    for (int y = 0; y < h; ++y) {
        int runStart = -1;
        for (int x = 0; x <= w; ++x) {
            const bool hole = x < w && colourMatches(view.at(x, y), image.seeThroughColour);
            if (hole) {
                view.at(x, y) = 0;
                if (runStart < 0) runStart = x;
            } else if (runStart >= 0) {
                holes.addSpan(y, runStart, x);
                runStart = -1;
            }
        }
    }
    image.cutOutRegion = std::make_shared<Region>(holes.finish());
}

} // namespace sabrith
