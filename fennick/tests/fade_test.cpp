// The fade cycle as frames: when the Space action runs and when the cycle ends.
#include "fennick/fade.h"
#include "fennick/format_text.h"
#include "fennick/resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fennick {
namespace {

struct FadeRun {
    FadeState fade;
    std::vector<int> actionFrames;
    int frame = 0;

    static void action(void* self) {
        auto* run = static_cast<FadeRun*>(self);
        run->actionFrames.push_back(run->frame);
    }
    void press() { startFadeOut(fade, action, this); }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            ++frame;
            stepFade(fade);
        }
    }
};

TEST(Fade, ActionRunsOnTheFourteenthFrameAfterAPress) {
    struct Case {
        const char* name;
        int framesBeforePress; // after the start's fade-in
        int secondPressAfter;  // frames after the first press; 0 for none
        int actionFrame;       // counted from the last press
    } cases[] = {
        {"one press once the start's fade is done", 40, 0, 14},
        {"press during the start's fade-in", 3, 0, 14},
        {"second press within the cycle", 40, 6, 14},
        {"second press just before the action", 40, 13, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FadeRun run;
        startFadeIn(run.fade);
        run.frames(c.framesBeforePress);
        run.press();
        int lastPress = run.frame;
        if (c.secondPressAfter) {
            run.frames(c.secondPressAfter);
            run.press();
            lastPress = run.frame;
        }
        run.frames(60);
        ASSERT_EQ(run.actionFrames.size(), 1u);
        EXPECT_EQ(run.actionFrames[0] - lastPress, c.actionFrame);
    }
}

TEST(Fade, CycleEndsThirteenFramesAfterTheActionAndStaysDone) {
    FadeRun run;
    run.press();
    std::vector<int> levels;
    for (int i = 0; i < 30; ++i) {
        run.frames(1);
        levels.push_back(run.fade.fadeLevel);
        if (run.frame == 26) {
            EXPECT_EQ(run.fade.fadeDone, 0);
        }
    }
    EXPECT_EQ(levels[12], 260); // frame 13
    EXPECT_EQ(levels[13], 235); // the action's frame: 255, then the first step down
    EXPECT_EQ(run.fade.fadeDone, 1);
    EXPECT_EQ(levels[26], 0); // frame 27
    EXPECT_EQ(run.actionFrames, std::vector<int>{14});
}

TEST(Fade, NoActionIsHarmless) {
    FadeState fade;
    startFadeOut(fade, nullptr, nullptr);
    for (int i = 0; i < 30; ++i) stepFade(fade);
    EXPECT_EQ(fade.fadeDone, 1);
}

TEST(FormatText, FormatsAndCutsAtTheBufferSize) {
    EXPECT_STREQ(formatText("%d. New Preset", 6), "6. New Preset");
    std::string longName(3000, 'x');
    const char* text = formatText("Unable to load \"%s\"", longName.c_str());
    EXPECT_EQ(std::string(text).size(), std::size_t(formatTextSize - 1));
    EXPECT_EQ(std::string(text).substr(0, 16), "Unable to load \"");
}

TEST(Resolution, IndexesAreClampedIntoTheTableAndLabelsMatchTheModes) {
    struct Case {
        int index, width, height;
    } cases[] = {{0, 320, 240},  {3, 640, 480},    {8, 1280, 960},   {9, 1600, 1200},
                 {-1, 320, 240}, {10, 1600, 1200}, {99, 1600, 1200}, {-2147483647 - 1, 320, 240}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const Resolution& r = resolutionAt(c.index);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
    }
    for (const Resolution& r : resolutionTable)
        EXPECT_EQ(r.label, std::to_string(r.width) + "x" + std::to_string(r.height));
}

} // namespace
} // namespace fennick
