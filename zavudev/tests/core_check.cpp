// What the Windows tests compare the plug-in against, computed by the same
// core in a fresh process (so the run-time generator starts at its load-time
// seed):
//   core_check picture MODULE FRAMES OUT   the picture (320 x 192 indexes in
//       storage order) and then the 256-entry colour table (blue, green, red,
//       0) after FRAMES silent frames of module MODULE (0 or 1)
//   core_check levels SIGNAL FRAMES        the loudness level of each frame
//       of rows made from SIGNAL as testhost vis makes them, as a JSON list
#include "testhost/vis_signal.h"
#include "zavudev/visualizer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

zavudev::Visualizer visualizer; // static, as in the plug-in

int writePicture(int module, int frames, const char* out) {
    using namespace zavudev;
    ModuleKind kind = module == 1 ? ModuleKind::dezoZazIru : ModuleKind::wakeUp;
    std::vector<uint8_t> picture(picturePixels, 0);
    ColourTable colours;
    fillGreyRamp(colours);
    uint8_t silence[2][spectrumRowLength] = {};
    startVisualizer(visualizer, kind);
    for (int n = 0; n < frames; ++n)
        frameVisualizer(visualizer, kind, silence, picture.data(), colours);
    FILE* f = std::fopen(out, "wb");
    if (!f) {
        std::perror(out);
        return 1;
    }
    bool ok = std::fwrite(picture.data(), 1, picture.size(), f) == picture.size() &&
              std::fwrite(colours, sizeof colours, 1, f) == 1;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", out);
    return ok ? 0 : 1;
}

int printLevels(const char* spec, int frames) {
    testhost::VisSignal signal;
    std::string error;
    if (!signal.open(spec, 44100, 2, frames, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("[");
    for (int n = 0; n < frames; ++n) {
        float first[testhost::visBlockLength], second[testhost::visBlockLength];
        signal.nextBlock(first, second);
        uint8_t rows[2][zavudev::spectrumRowLength];
        testhost::makeSpectrumRow(first, rows[0]);
        testhost::makeSpectrumRow(second, rows[1]);
        std::printf("%s%.9g", n ? "," : "", double(zavudev::frameLevel(rows)));
    }
    std::printf("]\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "picture") == 0)
        return writePicture(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if (argc == 4 && std::strcmp(argv[1], "levels") == 0)
        return printLevels(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: core_check picture MODULE FRAMES OUT | levels SIGNAL FRAMES\n");
    return 2;
}
