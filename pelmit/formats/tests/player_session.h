// What the format tests share: a connected Mixer at 44,100 Hz, files written
// into a fresh folder, and a player driven tick by tick.
#pragma once

#include "format_writers.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace pelmit::test {

template <class Player>
class PlayerSession : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SampleRate = 44100;
        ASSERT_TRUE(mixer.connect());
        folder = std::filesystem::path(jk::test::tempFolder()) /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        player.reset();
        mixer.disconnect();
        std::filesystem::remove_all(folder);
    }

    std::string write(const Bytes& bytes, const std::string& name = "song") {
        std::string path = (folder / name).string();
        writeFile(path, bytes);
        return path;
    }
    // A fresh player with the file loaded; false when it refused the file.
    bool load(const Bytes& bytes) {
        player = std::make_unique<Player>();
        return player->loadSong(write(bytes).c_str()) != 0;
    }
    // Loads and starts the song. The Mixer stays in skip mode, so that ticks
    // move the voices without filling a ring that nobody reads.
    void start(const Bytes& bytes) {
        ASSERT_TRUE(load(bytes));
        player->startSong();
        ticksRun = 0;
        mixer.beginSkip();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) audioEngine.runTick();
        ticksRun += n;
    }

    std::filesystem::path folder;
    std::unique_ptr<Player> player;
    int ticksRun = 0; // since start
};

} // namespace pelmit::test
