// What the MOD tests share: the Mixer connected at 44,100 Hz, the switches at
// their defaults, modules written by ModWriter into a temporary folder and
// loaded into a ModPlayer.
#pragma once

#include "pelmit/formats/mod_player.h"
#include "pelmit/formats/tests/mod_writer.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelmit::test {

class ModTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SampleRate = 44100;
        ASSERT_TRUE(mixer.connect());
        ModPlayer::seedRandomDelay(1);
        ModPlayer::ignoreF00 = 0;
        ModPlayer::emulateFilter = 1;
        ModFileType::stripTrailingPause = 0;
    }
    void TearDown() override {
        player.reset();
        EXPECT_EQ(mixer.voicesInUse(), 0u); // every song gave its voices back
        mixer.disconnect();
        for (const std::string& f : files) std::remove(f.c_str());
    }

    std::string write(const std::vector<uint8_t>& bytes, const std::string& name = "song.mod") {
        const std::string path = jk::test::tempPath(name);
        jk::test::writeFile(path, bytes);
        files.push_back(path);
        return path;
    }
    std::string write(const ModWriter& w, const std::string& name = "song.mod") {
        return write(w.bytes(), name);
    }

    // Loads into `player`; false when the player refuses the file.
    bool load(const std::string& path) {
        player = std::make_unique<ModPlayer>();
        return player->loadSong(path.c_str()) != 0;
    }
    bool load(const ModWriter& w, const std::string& name = "song.mod") {
        return load(write(w, name));
    }

    // Runs one tick of the started song, dropping what it rendered.
    void tick() {
        audioEngine.runTick();
        mixer.resetOutput();
    }

    std::unique_ptr<ModPlayer> player;
    std::vector<std::string> files;
};

// A looped square wave, full volume, for the samples of test modules.
inline WriterSample loopedSample(uint8_t volume = 64, uint8_t finetune = 0) {
    WriterSample s;
    s.data = waveCycle(64, 1);
    s.volume = volume;
    s.finetune = finetune;
    s.loopStart = 0;
    s.loopLength = 32;
    return s;
}

} // namespace pelmit::test
