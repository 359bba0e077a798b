#include "umbrek/scene.h"

namespace umbrek {

namespace {

Settings current;

} // namespace

int startScene(const SceneStart& start) {
    current = start.settings;
    clampSettings(current);
    return 1;
}

int renderSceneFrame(const std::uint8_t*, const std::int8_t*) {
    return 0;
}

void stopScene() {}

bool sceneRunning() {
    return false;
}

const Settings& sceneSettings() {
    return current;
}

std::string sceneHostFolder() {
    return {};
}

int saveScreenshot() {
    return 0;
}

} // namespace umbrek
