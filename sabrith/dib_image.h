// The plug-in's 32-bit picture: pixels 0x00RRGGBB (blue byte first in
// memory, the fourth byte free for a key or alpha), rows top-down. The frame,
// skin bitmaps and control previews all live in one. Where the pixels live is
// a `PixelStorage`: plain memory here and in the tests, a DIB section on
// Windows so that the picture can be handed to GDI without a copy.
//
// Effects never draw into an image directly: they lock a `FrameView`, which
// keeps the image from being resized under them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sabrith {

class PixelStorage {
public:
    virtual ~PixelStorage() = default;
    // width * height zeroed pixels, or nullptr; replaces any earlier ones.
    virtual uint32_t* allocate(int width, int height) = 0;
    virtual void release() = 0;
};

class MemoryPixels final : public PixelStorage {
public:
    uint32_t* allocate(int width, int height) override;
    void release() override;

private:
    std::vector<uint32_t> pixels_;
};

// The rectangle an effect draws in and the image around it. The caller sets
// x, y, width and height; lockView fills the rest.
struct FrameView {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int imageWidth = 0; // row pitch in pixels
    int imageHeight = 0;
    uint32_t* pixels = nullptr;
};

enum class BlitMode { copy = 0, keyed = 1, alphaBlend = 2 };

// Windows colour values (0x00BBGGRR) become pixels by swapping red and blue.
constexpr uint32_t pixelFromColor(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

class DibImage {
public:
    explicit DibImage(const std::string& name,
                      std::unique_ptr<PixelStorage> storage = std::make_unique<MemoryPixels>());
    ~DibImage();
    DibImage(const DibImage&) = delete;
    DibImage& operator=(const DibImage&) = delete;

    const std::string& name() const { return name_; }
    bool valid() const { return pixels_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int lockCount() const { return lockCount_; }
    int blurPhase() const { return blurPhase_; }
    PixelStorage& storage() { return *storage_; }
    // Row-major pixels (width() per row), or nullptr without a bitmap.
    uint32_t* pixels() { return pixels_; }
    const uint32_t* pixels() const { return pixels_; }

    // Each side raised to at least 4. 1 when the image has that size
    // afterwards (already or newly cleared to 0); 0 while locked (the old
    // bitmap stays) or when the storage fails (the image is then empty).
    int resize(int width, int height);
    void release();

    int lockView(FrameView& view);
    void unlockView(FrameView& view);

    // All pixels of the target (another image of this size, else this one) to 0.
    void clear(DibImage* other = nullptr);
    void setAlpha(uint8_t alpha);
    void blit(int dx, int dy, int w, int h, const DibImage& source, int sx, int sy, BlitMode mode);
    // color is a Windows colour value; alpha 255 writes it, 0 does nothing.
    void fillRect(uint32_t color, int alpha, int x, int y, int w, int h);
    // Trail copies of this image into `target` (this image when none). Both
    // refuse (0) a target of another size. fade: amount outside 0..127
    // clears, 0 leaves the target alone, else every colour byte drops by it.
    int fade(int amount, DibImage* target = nullptr);
    // 2 x 2 box blur minus `amount` on a block grid that moves by one pixel
    // every call, so that light spreads over several frames.
    int blurFade(int amount, DibImage* target = nullptr);

private:
    // Holds a lock for the span of one operation, as every drawing call must.
    struct Lock {
        explicit Lock(DibImage& image) : image(image) { ++image.lockCount_; }
        ~Lock() { --image.lockCount_; }
        DibImage& image;
    };

    std::string name_;
    std::unique_ptr<PixelStorage> storage_;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int lockCount_ = 0;
    int blurPhase_ = 0;
};

} // namespace sabrith
