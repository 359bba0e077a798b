// Future Composer players on the plug-in's own Mixer and timer, opened at
// 44,100 Hz (ticks of 882 frames, 20 ms), and their state tick by tick.
#pragma once

#include "fc_file.h"
#include "pelmit/formats/future_composer_player.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelmit::test {

// Writes the bytes to a fresh file below the test's temporary folder.
inline std::string writeTempFile(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string path = jk::test::tempPath(name);
    jk::test::writeFile(path, bytes);
    return path;
}

// What voice 0 sends after one tick.
struct FcTick {
    uint16_t period;
    uint16_t volume;
    uint8_t frequencyValue;
    uint16_t flags;
    uint8_t slot;
};

class FcFixture : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SampleRate = 44100;
        ASSERT_TRUE(mixer.connect());
    }
    void TearDown() override {
        player.reset();
        mixer.disconnect();
    }

    // Loads the file and starts it; fails the test when it does not load.
    FutureComposerPlayer& load(const FcFile& file) {
        player = std::make_unique<FutureComposerPlayer>();
        const std::string path = writeTempFile(file.bytes(), "song.fc");
        EXPECT_EQ(player->loadSong(path.c_str()), 1);
        player->startSong();
        return *player;
    }

    // Runs ticks and records voice `voice` after each.
    std::vector<FcTick> run(int ticks, int voice = 0) {
        std::vector<FcTick> out;
        for (int i = 0; i < ticks; ++i) {
            audioEngine.runTick();
            const VoiceCommand& c = player->voice(voice).command;
            out.push_back({uint16_t(c.period >> 16), c.volume, player->voice(voice).frequencyValue,
                           c.flags, c.slot});
        }
        return out;
    }

    std::unique_ptr<FutureComposerPlayer> player;
};

} // namespace pelmit::test
