// The plain rot-zoomer and the spectrum-driven movement that both
// rot-zoomers share.
#include "yarnot/effects.h"

namespace yarnot {

int BassSum(const SpectrumRows& spectrum) {
    int sum = 0;
    for (const auto& row : spectrum)
        for (int i = 0; i < 4; ++i) sum += row[i];
    return sum > 512 ? 512 : sum;
}

int MidSum(const SpectrumRows& spectrum) {
    int sum = 0;
    for (const auto& row : spectrum)
        for (int i = 40; i <= 115; i += 5) sum += row[i];
    return sum;
}

void UpdateTurn(RotZoomState& state, int mid) {
    if (mid > state.hold) {
        state.hold = mid;
        state.turn = int16_t(state.turn < 0 ? mid / 32 : -(mid / 32));
    } else {
        state.hold -= 16;
    }
}

Angle AdvanceRotZoom(RotZoomState& state, const SpectrumRows& spectrum, int (*decay)(int zoom)) {
    const SineTable& sines = Sines();
    Angle a{sines.cos(state.angle), sines.sin(state.angle)};
    state.angle += uint32_t(int32_t(state.turn));
    int bass = BassSum(spectrum);
    state.zoom = bass > state.zoom ? bass : decay(state.zoom);
    UpdateTurn(state, MidSum(spectrum));
    return a;
}

RotZoomSteps RotZoomStart(int c, int s, int zoom, int width, int height) {
    RotZoomSteps r;
    r.du = s * 512 / (-zoom - 512);
    r.dv = c * 512 / (-zoom - 512);
    r.p0 = 0x100000 - (r.du * width + r.dv * height) / 2;
    r.q0 = 0x100000 - (r.dv * width - r.du * height) / 2;
    return r;
}

namespace {

template <int Level>
void draw(const Texture& texture, const RotZoomSteps& k, const PixelTarget& target) {
    const int w = target.width;
    int p = k.p0, q = k.q0;
    uint32_t* out = target.pixels;
    for (int y = 0; y < target.height; ++y) {
        for (int x = 0; x < w; ++x, ++out) {
            *out = Blend<Level>(texture.at(unsigned(p >> 13), unsigned(q >> 13)), *out);
            p += k.du;
            q += k.dv;
        }
        p += k.dv - k.du * w;
        q += -k.du - k.dv * w;
        out += target.rowSkip;
    }
}

} // namespace

void DrawRotZoomer(RotZoomState& state, const Texture& texture, const SpectrumRows& spectrum,
                   int blur, const PixelTarget& target) {
    Angle a = AdvanceRotZoom(state, spectrum, [](int zoom) { return zoom - (zoom >> 2); });
    RotZoomSteps k = RotZoomStart(a.c, a.s, state.zoom, target.width, target.height);
    WithBlurLevel(blur, [&](auto level) { draw<level()>(texture, k, target); });
}

} // namespace yarnot
