// A started engine for the tests: the 640x480 viewport, a recording device
// in place of the board's, a stub texture table and platform hooks that
// capture the fatal message box and stand in for drives and folders.
#pragma once

#include "umbrek/vastrel/camera.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/keyframes.h"
#include "umbrek/vastrel/platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace umbrek::vastrel::test {

struct StubTexture {
    std::string name;
    int width = 0, height = 0;
    float sScale = 1, tScale = 1;
    int lastUsed = 0;
};

class StubTextures : public TextureTable {
public:
    std::vector<StubTexture> textures;
    int count() const override { return int(textures.size()); }
    TextureInfo info(int number) const override;
    void resetLastUsed() override;
};

// One call of the device's face-list slot, with the active lights' directions
// as they stood then.
struct DrawCall {
    Face* faces;
    Vertex* vertices;
    ScreenVertex* screen;
    int count;
    std::vector<std::array<int, 3>> lightDirections;
};

struct Recorded {
    std::vector<DrawCall> draws;
    std::vector<std::array<int, 4>> clipWindows;
    std::vector<std::pair<std::string, std::string>> messageBoxes;
    int drive = 3;
    std::string folder = "C:\\users\\me";
    std::vector<int> drivesChanged;
    std::vector<std::string> foldersChanged;
};
Recorded& recorded();

// Puts the recording stubs into the face-list and clip-window slots and the
// engine's own vertex lighting into slot 31; the rest keep the default.
void installRecordingDevice();

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    StubTextures textures;
    Viewport viewport;
    Camera* camera = nullptr;
};

// A model of one segment with the given vertices, one face over the first
// three, screen vertices linked and the box computed.
std::unique_ptr<Model> segmentModel(const std::vector<Vec3>& points);

// Frees a model or entity at the end of a scope.
struct ModelFree {
    void operator()(Model* m) const { KX_FreeModel(m); }
};
struct EntityFree {
    void operator()(Entity* e) const { KX_FreeEntity(e); }
};
using EntityPtr = std::unique_ptr<Entity, EntityFree>;

} // namespace umbrek::vastrel::test
