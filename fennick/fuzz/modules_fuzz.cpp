// Any value of every setting (as the profile API would give it: any 32-bit
// number), any rows and any settings change, for a few frames of each
// module's update and draw through the GL table. The table only counts its
// calls: the frames make tens of thousands of them, and formatting each
// would leave a handful of inputs a second.
#include "fennick/block_module.h"
#include "fennick/cube_module.h"
#include "fennick/tests/counting_gl.h"
#include "fennick/tunnel_module.h"
#include "fennick/wave_module.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using namespace fennick;

constexpr int settingCount = int(sizeof(Settings) / sizeof(std::int32_t));
static_assert(sizeof(Settings) == settingCount * sizeof(std::int32_t));
constexpr std::size_t rowBytes = 4 * soundRowLength;

struct Modules {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    WaveState wave;
    std::unique_ptr<BlockState> block = std::make_unique<BlockState>();
    std::unique_ptr<TunnelState> tunnel = std::make_unique<TunnelState>();
    std::unique_ptr<CubeState> cube = std::make_unique<CubeState>();
    FadeState fade;
    GlEntryPoints gl = testing::countingGl();
    Modules() { setUpScene(*scene, 1); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept across inputs as the plug-in keeps them across runs.
    static Modules m;
    Settings settings = defaultSettings();
    std::int32_t values[settingCount];
    std::memcpy(values, &settings, sizeof values);
    std::size_t used = std::min(size, sizeof values);
    std::memcpy(values, data, used);
    std::memcpy(&settings, values, sizeof values);
    data += used;
    size -= used;

    std::uint8_t rowData[rowBytes] = {};
    std::memcpy(rowData, data, std::min(size, rowBytes));
    const std::uint8_t* r = rowData;
    SoundRows rows = {{r, r + soundRowLength}, {r + 2 * soundRowLength, r + 3 * soundRowLength}};
    int frames = size > rowBytes ? 1 + data[rowBytes] % 4 : 3;
    int changed = size > rowBytes + 1 ? data[rowBytes + 1] & 1 : 0;

    // No texture is found: the loads fail and turn texturing off.
    const char* folder = "/nonexistent/";
    resetLights(*m.scene); // as every start does
    for (int module = 0; module < 4; ++module) {
        switch (module) {
        case 0: startWave(*m.scene, settings); break;
        case 1: startBlock(*m.scene, settings); break;
        case 2: startTunnel(m.gl, *m.tunnel, *m.scene, settings, folder); break;
        case 3: startCube(m.gl, settings, folder); break;
        }
        for (int f = 0; f < frames; ++f) {
            switch (module) {
            case 0:
                updateWave(m.wave, *m.scene, settings, rows);
                drawWave(m.gl, m.wave, *m.scene, settings, m.fade);
                break;
            case 1: {
                bool rebuilt = updateBlock(*m.block, *m.scene, settings, rows, changed);
                drawBlock(m.gl, *m.block, *m.scene, rebuilt, m.fade);
                break;
            }
            case 2:
                updateTunnel(*m.tunnel, *m.scene, settings, rows);
                drawTunnel(m.gl, *m.tunnel, settings, m.fade);
                break;
            case 3:
                updateCube(*m.cube, *m.scene, rows);
                drawCube(m.gl, *m.cube, m.fade);
                break;
            }
        }
        if (module == 2) stopTunnel(m.gl, *m.tunnel);
    }
    return 0;
}
