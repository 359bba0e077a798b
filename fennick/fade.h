// The fade cycle that delays a module's Space action: the level climbs by 20
// a frame from 0, the action runs on the frame it has reached 255 (the 14th
// after the press), then it falls back to 0. The level only times the cycle;
// nothing is dimmed by it.
#pragma once

namespace fennick {

using FadeAction = void (*)(void* context);

struct FadeState {
    int fadeOut = 0;
    int fadeIn = 0;
    int fadeDone = 0;
    int fadeLevel = 0;
    FadeAction fadeAction = nullptr;
    void* actionContext = nullptr;
};

// A press of Space; a press during a cycle starts it again from level 0.
void startFadeOut(FadeState& fade, FadeAction action, void* context);
// The fall from 255 that every module start begins with.
void startFadeIn(FadeState& fade);
// Once a frame.
void stepFade(FadeState& fade);

} // namespace fennick
