// sabrith_window_picture OUT.bmp|OUT.png [--frames N] [--signal SIGNAL] [--rate HZ]
//     [--channels 1|2] [--set SECTION/NAME=NUMBER]...
//
// The picture Sabrith's window shows after N host frames, computed without
// Windows: the window model over a platform that is only memory, fed the
// spectrum rows that "testhost vis" makes of the same signal, frame by frame
// (the same signal library, opened the same way). The settings start empty,
// as on a clean registry, with the values given by --set on top; the Wine
// test writes the same values into the registry and compares this picture
// with a screenshot of the window, pixel for pixel. Built for Windows too,
// so that both sides run the same build of the core.
#include "sabrith/frame/tests/fake_platform.h"
#include "sabrith/frame/window_model.h"
#include "testhost/image_file.h"
#include "testhost/vis_signal.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sabrith;

namespace {

const char usageText[] =
    "usage: sabrith_window_picture OUT.bmp|OUT.png [--frames N] [--signal SIGNAL] [--rate HZ]\n"
    "       [--channels 1|2] [--set SECTION/NAME=NUMBER]...\n";

struct Options {
    std::string out;
    int frames = 100; // as testhost vis
    std::string signal = "sine:440";
    int rateHz = 44100;
    int channels = 2;
    MemoryRegistry registry;
};

// "RurizirudoviV/Fade=16": one number, stored as the registry holds it.
bool addSetting(const std::string& text, MemoryRegistry& registry) {
    const std::size_t slash = text.find('/'), equals = text.find('=');
    if (slash == 0 || slash == std::string::npos || equals == std::string::npos ||
        equals <= slash + 1)
        return false;
    const char* digits = text.c_str() + equals + 1;
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits, &end, 0);
    if (end == digits || *end != '\0') return false;
    registry.setDword(text.substr(0, slash), text.substr(slash + 1, equals - slash - 1),
                      uint32_t(value));
    return true;
}

bool parseOptions(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.out = argv[1];
    for (int i = 2; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        const std::string a = argv[i];
        const char* value = argv[i + 1];
        if (a == "--frames") {
            o.frames = std::atoi(value);
        } else if (a == "--signal") {
            o.signal = value;
        } else if (a == "--rate") {
            o.rateHz = std::atoi(value);
        } else if (a == "--channels") {
            o.channels = std::atoi(value);
        } else if (a != "--set" || !addSetting(value, o.registry)) {
            return false;
        }
    }
    return o.frames >= 0 && o.rateHz > 0 && (o.channels == 1 || o.channels == 2);
}

bool writePicture(const DibImage& picture, const std::string& path) {
    const int w = picture.width(), h = picture.height();
    const std::size_t count = std::size_t(w) * std::size_t(h);
    std::vector<uint8_t> rgb;
    rgb.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t p = picture.pixels()[i];
        rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    }
    return testhost::writeImage(path, w, h, rgb);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::fputs(usageText, stderr);
        return 2;
    }
    testhost::VisSignal signal;
    std::string error;
    // testhost opens the signal for as many blocks as the run has frames (a
    // sweep rises over them).
    if (!signal.open(o.signal, o.rateHz, o.channels, o.frames, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    test::FakePlatform platform;
    NoSkin skin;
    IniFileProfile profile;
    test::FakeChooser chooser;
    WindowModel model(WindowContext{platform, skin, o.registry, profile, chooser, "sabrith.dll"});
    model.create();
    // Sabrith asks for two spectrum rows and no waveform: each frame gets
    // the two channels' spectra of the next block, as testhost fills them.
    static_assert(testhost::visBlockLength == spectrumBins);
    std::array<uint8_t, 2 * spectrumBins> rows{};
    float first[testhost::visBlockLength], second[testhost::visBlockLength];
    for (int f = 0; f < o.frames; ++f) {
        signal.nextBlock(first, second);
        testhost::makeSpectrumRow(first, rows.data());
        testhost::makeSpectrumRow(second, rows.data() + spectrumBins);
        model.renderFrame(rows);
    }
    if (!writePicture(model.frontImage(), o.out)) {
        std::fprintf(stderr, "%s: cannot write\n", o.out.c_str());
        return 1;
    }
    std::printf("%s: %d x %d after %d frames\n", o.out.c_str(), model.frontImage().width(),
                model.frontImage().height(), o.frames);
    return 0;
}
