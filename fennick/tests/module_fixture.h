// What the module tests share: a scene set up as a start leaves it, rows of
// sound to fill by hand, settings at their defaults, and counts over the
// recording GL table's log.
#pragma once

#include "fennick/fade.h"
#include "fennick/scene.h"
#include "fennick/settings.h"
#include "fennick/sound_rows.h"
#include "fennick/tests/recording_gl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace fennick::testing {

struct ModuleFixture : ::testing::Test {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::uint8_t spectrum[2][soundRowLength] = {};
    std::int8_t waveform[2][soundRowLength] = {}; // 0 is silence
    Settings settings = defaultSettings();
    FadeState fade;
    GlEntryPoints gl = recordingGl();

    ModuleFixture() {
        setUpScene(*scene, 1);
        glLog().clear();
    }
    SoundRows rows() const {
        const auto* w = reinterpret_cast<const std::uint8_t*>(waveform);
        return {{spectrum[0], spectrum[1]}, {w, w + soundRowLength}};
    }
    void fillSpectrum(int row, std::uint8_t value) {
        std::memset(spectrum[row], value, soundRowLength);
    }
};

// Log lines that start with prefix.
inline int countOf(const std::string& prefix) {
    return int(callsOf(prefix).size());
}

// The vertex lines between each glBegin of mode and its glEnd, per primitive.
inline std::vector<std::vector<std::string>> primitives(GLenum mode) {
    std::vector<std::vector<std::string>> out;
    bool inside = false;
    const std::string begin = "glBegin " + std::to_string(mode);
    for (const std::string& line : glLog()) {
        if (line == begin) {
            inside = true;
            out.emplace_back();
        } else if (line == "glEnd") {
            inside = false;
        } else if (inside && line.rfind("glVertex3f", 0) == 0) {
            out.back().push_back(line);
        }
    }
    return out;
}

inline std::string vertexLine(const SceneVertex& v) {
    std::vector<std::string>& log = glLog();
    std::size_t mark = log.size();
    recordingGl().glVertex3f(v.x, v.y, v.z);
    std::string line = log.back();
    log.resize(mark);
    return line;
}

} // namespace fennick::testing
