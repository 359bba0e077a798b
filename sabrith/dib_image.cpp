#include "sabrith/dib_image.h"

#include <algorithm>
#include <cstring>

namespace sabrith {

uint32_t* MemoryPixels::allocate(int width, int height) {
    pixels_.assign(std::size_t(width) * std::size_t(height), 0);
    return pixels_.data();
}

void MemoryPixels::release() {
    pixels_.clear();
    pixels_.shrink_to_fit();
}

DibImage::DibImage(const std::string& name, std::unique_ptr<PixelStorage> storage)
    : name_(name.substr(0, 255)), storage_(std::move(storage)) {}

DibImage::~DibImage() {
    release();
}

int DibImage::resize(int width, int height) {
    width = std::max(width, 4);
    height = std::max(height, 4);
    if (pixels_ && width == width_ && height == height_) return 1;
    if (lockCount_ != 0) return 0;
    release();
    pixels_ = storage_->allocate(width, height);
    if (!pixels_) return 0;
    width_ = width;
    height_ = height;
    return 1;
}

void DibImage::release() {
    if (pixels_) storage_->release();
    pixels_ = nullptr;
    width_ = height_ = 0;
}

int DibImage::lockView(FrameView& view) {
    if (!pixels_) return 0;
    ++lockCount_;
    view.imageWidth = width_;
    view.imageHeight = height_;
    view.pixels = pixels_;
    return 1;
}

void DibImage::unlockView(FrameView&) {
    if (lockCount_ > 0) --lockCount_;
}

void DibImage::clear(DibImage* other) {
    DibImage& target = other ? *other : *this;
    if (!target.pixels_ || target.width_ != width_ || target.height_ != height_) return;
    Lock lock(target);
    std::fill_n(target.pixels_, std::size_t(width_) * std::size_t(height_), 0u);
}

void DibImage::setAlpha(uint8_t alpha) {
    if (!pixels_) return;
    Lock lock(*this);
    const std::size_t count = std::size_t(width_) * std::size_t(height_);
    for (std::size_t i = 0; i < count; ++i)
        pixels_[i] = (pixels_[i] & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
}

namespace {

uint32_t blendPixel(uint32_t d, uint32_t s, uint32_t a) {
    uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int db = int((d >> shift) & 0xFF), sb = int((s >> shift) & 0xFF);
        // Arithmetic shift of the signed product rounds down, as the blend
        // wants for a source darker than the destination.
        const int v = db + ((sb - db) * int(a) >> 8);
        out |= uint32_t(v) << shift;
    }
    return out;
}

} // namespace

void DibImage::blit(int dx, int dy, int w, int h, const DibImage& source, int sx, int sy,
                    BlitMode mode) {
    if (!pixels_ || !source.pixels_) return;
    if (dx < 0) sx -= dx, w += dx, dx = 0;
    if (dy < 0) sy -= dy, h += dy, dy = 0;
    if (sx < 0) dx -= sx, w += sx, sx = 0;
    if (sy < 0) dy -= sy, h += sy, sy = 0;
    if (w < 1 || h < 1) return;
    // Positions far past an edge: nothing to copy (and no overflow below).
    if (dx >= width_ || dy >= height_ || sx >= source.width_ || sy >= source.height_) return;
    w = std::min({w, width_ - dx, source.width_ - sx});
    h = std::min({h, height_ - dy, source.height_ - sy});
    if (w < 1 || h < 1) return;
    Lock lock(*this);
    for (int row = 0; row < h; ++row) {
        uint32_t* d = pixels_ + std::size_t(dy + row) * std::size_t(width_) + std::size_t(dx);
        const uint32_t* s =
            source.pixels_ + std::size_t(sy + row) * std::size_t(source.width_) + std::size_t(sx);
        switch (mode) {
        case BlitMode::copy: std::memmove(d, s, std::size_t(w) * 4); break;
        case BlitMode::keyed:
            for (int i = 0; i < w; ++i)
                if (s[i] >> 24) d[i] = s[i];
            break;
        case BlitMode::alphaBlend:
            for (int i = 0; i < w; ++i) d[i] = blendPixel(d[i], s[i], s[i] >> 24);
            break;
        }
    }
}

void DibImage::fillRect(uint32_t color, int alpha, int x, int y, int w, int h) {
    if (!pixels_ || alpha == 0) return;
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    if (x >= width_ || y >= height_) return;
    w = std::min(w, width_ - x);
    h = std::min(h, height_ - y);
    if (w < 1 || h < 1) return;
    Lock lock(*this);
    const uint32_t pixel = pixelFromColor(color);
    const int a = std::clamp(alpha, 0, 255);
    for (int row = 0; row < h; ++row) {
        uint32_t* d = pixels_ + std::size_t(y + row) * std::size_t(width_) + std::size_t(x);
        for (int i = 0; i < w; ++i) {
            if (a == 255) {
                d[i] = pixel;
                continue;
            }
            uint32_t out = d[i] & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int c = int((pixel >> shift) & 0xFF), db = int((d[i] >> shift) & 0xFF);
                out |= uint32_t(((c - db) * a + db * 256) >> 8) << shift;
            }
            d[i] = out;
        }
    }
}

int DibImage::fade(int amount, DibImage* target) {
    DibImage& to = target ? *target : *this;
    if (!pixels_ || !to.pixels_ || to.width_ != width_ || to.height_ != height_) return 0;
    Lock lockThis(*this);
    Lock lockTarget(to);
    const std::size_t count = std::size_t(width_) * std::size_t(height_);
    if (amount < 0 || amount > 127) {
        std::fill_n(to.pixels_, count, 0u);
        return 1;
    }
    if (amount == 0) return 1;
    const uint32_t f = uint32_t(amount);
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t s = pixels_[i];
        const uint32_t b = s & 0xFF, g = (s >> 8) & 0xFF, r = (s >> 16) & 0xFF;
        to.pixels_[i] = (to.pixels_[i] & 0xFF000000u) | (r > f ? r - f : 0) << 16 |
                        (g > f ? g - f : 0) << 8 | (b > f ? b - f : 0);
    }
    return 1;
}

int DibImage::blurFade(int amount, DibImage* target) {
    DibImage& to = target ? *target : *this;
    if (!pixels_ || !to.pixels_ || to.width_ != width_ || to.height_ != height_) return 0;
    Lock lockThis(*this);
    Lock lockTarget(to);
    const std::size_t pitch = std::size_t(width_);
    uint32_t* out = to.pixels_;
    std::fill_n(out, pitch, 0u);
    std::fill_n(out + (std::size_t(height_) - 1) * pitch, pitch, 0u);
    for (int row = 0; row < height_; ++row) {
        out[std::size_t(row) * pitch] = 0;
        out[std::size_t(row) * pitch + pitch - 1] = 0;
    }
    if (amount >= 128) {
        std::fill_n(out, pitch * std::size_t(height_), 0u);
        return 1;
    }
    const int phase = blurPhase_;
    const int blocksX = width_ / 2 - (phase == 1 && width_ % 2 == 0 ? 1 : 0);
    const int blocksY = height_ / 2 - (phase == 1 && height_ % 2 == 0 ? 1 : 0);
    const int f = amount;
    for (int by = 0; by < blocksY; ++by) {
        const std::size_t top = std::size_t(phase + 2 * by) * pitch;
        for (int bx = 0; bx < blocksX; ++bx) {
            const std::size_t i = top + std::size_t(phase + 2 * bx);
            const uint32_t a = pixels_[i], b = pixels_[i + 1];
            const uint32_t c = pixels_[i + pitch], d = pixels_[i + pitch + 1];
            uint32_t value = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int sum = int((a >> shift) & 0xFF) + int((b >> shift) & 0xFF) +
                                int((c >> shift) & 0xFF) + int((d >> shift) & 0xFF);
                value |= uint32_t(std::clamp(sum / 4 - f, 0, 255)) << shift;
            }
            for (std::size_t j : {i, i + 1, i + pitch, i + pitch + 1})
                out[j] = (out[j] & 0xFF000000u) | value;
        }
    }
    blurPhase_ = to.blurPhase_ = phase ^ 1;
    return 1;
}

} // namespace sabrith
