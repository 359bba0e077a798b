// A test build of Pelmit whose emulated format is a stand-in, so that the
// emulated-format information dialog is driven without an emulated Amiga:
// a file that starts with "SUBSONGS n" holds n subsongs of one held square
// wave on the left voice, pitched by subsong (subsong k at k times the
// frequency of the first), so that a test hears which one plays.
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/playback.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace pelmit {
namespace {

constexpr uint32_t firstPeriod = 856;

class ProbePlayer final : public FormatPlayer, public SubsongSelection {
public:
    int loadSong(const char* path) override {
        std::FILE* f = std::fopen(path, "rb");
        if (!f) return 0;
        int ok = identify(f, path);
        if (ok) std::fscanf(f, "SUBSONGS %d", &count);
        std::fclose(f);
        if (!ok) return 0;
        set = mixer.allocateVoices(1);
        for (int i = 0; i < 64; ++i) wave[i] = int8_t(i < 32 ? 100 : -100);
        SampleDescriptor d{wave, sizeof wave, 0, sizeof wave, 0, 0, 0};
        mixer.loadSample(set, &d);
        return 1;
    }
    void startSong() override {
        TickTimer* t = mixer.getTickTimer();
        mixer.resetOutput();
        t->setBpm(125);
        t->setCallback(tick, this);
        t->start();
    }
    void stopSong() override { mixer.getTickTimer()->stop(); }
    void releaseSong() override {
        if (set) mixer.releaseVoices(set);
        set = nullptr;
    }
    int songFinished() override { return 0; }
    void songTitle(char* buffer, size_t size) override { std::snprintf(buffer, size, "probe"); }
    int songLengthMs() override { return lengthUnknownMs; }
    int seekToMs(int) override { return 0; }

    int subsongCount() const override { return count; }
    int currentSubsongIndex() const override { return current; }
    void selectSubsong(int index) override {
        current = index;
        retrigger = true;
        mixer.resetOutput();
    }
    const char* subFormatName() const override { return "Probe"; }

    static FormatPlayer* create() { return new ProbePlayer; }
    static int identify(std::FILE* f, const char*) {
        char head[9] = {};
        std::rewind(f);
        bool ok = std::fread(head, 1, 8, f) == 8 && std::memcmp(head, "SUBSONGS", 8) == 0;
        std::rewind(f);
        return ok;
    }

private:
    static void tick(void* self) { static_cast<ProbePlayer*>(self)->onTick(); }
    void onTick() {
        if (retrigger) {
            VoiceCommand c{};
            c.flags = cmdTrigger | cmdVolume | cmdPeriod;
            c.volume = 255;
            c.period = (firstPeriod / uint32_t(current < 1 ? 1 : current)) << 16;
            mixer.sendVoiceCommand(set, &c);
            retrigger = false;
        }
        mixer.renderVoices(set);
    }

    VoiceSet* set = nullptr;
    int8_t wave[64];
    int count = 0;
    int current = 1;
    bool retrigger = true;
};

const FormatEntry probeFormats[] = {
    {FormatKind::Emulated, ProbePlayer::create, ProbePlayer::identify, nullptr},
};

} // namespace
} // namespace pelmit

// The C runtime has built the plug-in's own format table by now; this one
// takes its place.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) pelmit::setFormats(pelmit::probeFormats);
    return TRUE;
}
