// The bulging rot-zoomer: the steps between pixels grow toward
// the middle of each row and the steps between rows toward the middle of the
// picture, and shrink again beyond it, so the texture seems to bulge.
#include "yarnot/effects.h"

namespace yarnot {

namespace {

struct Perspective {
    int m, o, g, h; // row and pixel accelerations
    int r0, t0;     // start of the first row
};

Perspective start(int c, int s, int zoom, int w, int h) {
    int g0 = (280 - zoom) * -c, h0 = (280 - zoom) * -s;
    Perspective k;
    k.m = -h0 / (h * 128);
    k.o = g0 / (h * 128);
    k.g = g0 / (w * 128);
    k.h = h0 / (w * 128);
    k.r0 = ((-s + (-(h / 2) - 1) * k.m / 2) * h - (-c + k.g * (w / 2 + 1) / 2) * w) / 2 + 0x100000;
    k.t0 = (((-(w / 2) - 1) * k.h / 2 + s) * w - (-c + k.o * (h / 2 + 1) / 2) * h) / 2 + 0x100000;
    return k;
}

template <int Level>
void draw(const Texture& texture, const Perspective& k, int c, int s, const PixelTarget& target) {
    const int w = target.width, half = w / 2;
    int rowA = k.r0, rowB = k.t0, r = s, t = -c;
    int f = -c, l = -s;
    uint32_t* out = target.pixels;
    for (int y = 0; y < target.height; ++y) {
        int a = rowA, b = rowB;
        int x = 0;
        for (; x < half; ++x, ++out) {
            *out = Blend<Level>(texture.at(unsigned(b >> 13), unsigned(a >> 13)), *out);
            a += f;
            f += k.g;
            b += l;
            l += k.h;
        }
        for (; x < w; ++x, ++out) {
            *out = Blend<Level>(texture.at(unsigned(b >> 13), unsigned(a >> 13)), *out);
            a += f;
            b += l;
            f -= k.g;
            l -= k.h;
        }
        out += target.rowSkip;
        rowA += r;
        rowB += t;
        if (y < target.height / 2) {
            r += k.m;
            t += k.o;
        } else {
            r -= k.m;
            t -= k.o;
        }
    }
}

} // namespace

void DrawFakePerspective(RotZoomState& state, const Texture& texture, const SpectrumRows& spectrum,
                         int blur, const PixelTarget& target) {
    Angle a = AdvanceRotZoom(state, spectrum, [](int zoom) { return zoom > 48 ? zoom - 48 : 0; });
    Perspective k = start(a.c, a.s, state.zoom, target.width, target.height);
    WithBlurLevel(blur, [&](auto level) { draw<level()>(texture, k, a.c, a.s, target); });
}

} // namespace yarnot
