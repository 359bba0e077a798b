#include "fennick/fade.h"

namespace fennick {

void startFadeOut(FadeState& fade, FadeAction action, void* context) {
    fade.fadeOut = 1;
    fade.fadeAction = action;
    fade.actionContext = context;
    fade.fadeLevel = 0;
    fade.fadeDone = 0;
    fade.fadeIn = 0;
}

void startFadeIn(FadeState& fade) {
    fade.fadeIn = 1;
    fade.fadeOut = 0;
    fade.fadeDone = 0;
    fade.fadeLevel = 255;
}

void stepFade(FadeState& fade) {
    if (fade.fadeDone == 1) return;
    if (fade.fadeOut == 1) {
        if (fade.fadeLevel >= 255) {
            if (fade.fadeAction) fade.fadeAction(fade.actionContext);
            fade.fadeLevel = 255;
            fade.fadeOut = 0;
            fade.fadeIn = 1;
        } else {
            fade.fadeLevel += 20;
        }
    }
    if (fade.fadeIn == 1) {
        if (fade.fadeLevel > 0) {
            fade.fadeLevel -= 20;
        } else {
            fade.fadeDone = 1;
            fade.fadeLevel = 0;
            fade.fadeIn = 0;
        }
    }
    if (fade.fadeOut != 1 && fade.fadeIn != 1) {
        fade.fadeDone = 1;
        fade.fadeLevel = 0;
    }
}

} // namespace fennick
