// The four effects, each drawing one frame of the texture into a target.
// "Quorl I" and "Quorl II" bend it along the two waveform rows; "Rot-Zoomer"
// turns and zooms it with the spectrum; "Rot-Zoomer (fake perspective)" does
// so with steps that swell toward the middle of the picture.
#pragma once

#include "yarnot/pixel_target.h"
#include "yarnot/sine_table.h"
#include "yarnot/texture.h"

#include <cstdint>

namespace yarnot {

enum { rowLength = 576 };

using WaveRows = signed char[2][rowLength];
using SpectrumRows = unsigned char[2][rowLength];

// The movement of a rot-zoomer; all zero at first.
struct RotZoomState {
    uint32_t angle = 0;
    int16_t turn = 0;
    int zoom = 0;
    int hold = 0;
};

// Differences of neighbouring samples of one waveform row for the first
// `count` positions; positions at and beyond the last sample give 0.
void WaveSteps(const signed char* row, int count, int* steps);

void DrawQuorl1(const Texture& texture, const WaveRows& wave, int blur, const PixelTarget& target);
void DrawQuorl2(const Texture& texture, const WaveRows& wave, int blur, const PixelTarget& target);

// Bass (bins 0 to 3 of both rows, at most 512) and mid band (bins 40, 45, ...,
// 115 of both rows).
int BassSum(const SpectrumRows& spectrum);
int MidSum(const SpectrumRows& spectrum);

// The turn: a new mid-band peak sets the speed to peak / 32 against the
// current direction (a speed of 0 counts as positive, so the first peak
// turns it negative); otherwise the hold sinks by 16 a frame.
void UpdateTurn(RotZoomState& state, int mid);

// One frame's movement: the cosine and sine of the angle as it stands, then
// the angle moved on by the turn, the zoom up to a louder bass or down by
// `decay`, and the turn rule.
struct Angle {
    int c, s;
};
Angle AdvanceRotZoom(RotZoomState& state, const SpectrumRows& spectrum, int (*decay)(int zoom));

// The per-pixel steps and the start of the plain rot-zoomer, 13-bit fixed
// point: P is the texel row, Q the column.
struct RotZoomSteps {
    int du, dv, p0, q0;
};
RotZoomSteps RotZoomStart(int c, int s, int zoom, int width, int height);

void DrawRotZoomer(RotZoomState& state, const Texture& texture, const SpectrumRows& spectrum,
                   int blur, const PixelTarget& target);
void DrawFakePerspective(RotZoomState& state, const Texture& texture, const SpectrumRows& spectrum,
                         int blur, const PixelTarget& target);

} // namespace yarnot
