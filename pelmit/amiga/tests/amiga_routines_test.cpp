// 68000 routines of routines.s, called through the resident stub: the
// registers in and out, beam reads, a long register write, the CIA-B
// resource handing over a timer routine, support calls, a runaway routine, and
// a tone programmed through the audio registers, measured from the PCM.
#include "machine_fixture.h"
#include "pelmit/mixer/tests/mixer_rig.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

using namespace pelmit;
using namespace pelmit::test;

namespace {

const uint16_t routines[] = {
#include "routines.inc"
};

enum : uint32_t {
    probeRegisters = 0x2000,
    readBeam = 0x2004,
    longLocation = 0x2008,
    openCiaResource = 0x200C,
    startTone = 0x2010,
    fullVolume = 0x2014,
    runAway = 0x2018,
    supportCall = 0x201C,
    levelSixHandler = 0x2020,
};

class Routines : public BootedMachine {
protected:
    void SetUp() override {
        BootedMachine::SetUp();
        machine->pokeWords(tuneAddress, routines, uint32_t(std::size(routines)));
    }
    // The address of the first place in the routines holding these words.
    static uint32_t find(std::initializer_list<uint16_t> words) {
        const uint16_t* at =
            std::search(std::begin(routines), std::end(routines), words.begin(), words.end());
        EXPECT_NE(at, std::end(routines));
        return tuneAddress + 2 * uint32_t(at - routines);
    }
    uint32_t in[amigaRegisterCount] = {};
    uint32_t out[amigaRegisterCount] = {};
};

TEST_F(Routines, CallsForceA5ToTheSupportBlockRunsPassItAsGiven) {
    in[1] = 41;
    in[13] = 0x1234;
    in[14] = 0x5678;
    machine->callAmigaRoutine(probeRegisters, out, in);
    EXPECT_EQ(out[0], 0x1088u);
    EXPECT_EQ(out[1], 42u);
    EXPECT_EQ(out[13], 0x1088u);
    EXPECT_EQ(out[14], 0x5678u);
    EXPECT_EQ(machine->peekLong(0x3000), 0x1088u);

    machine->runAmigaRoutine(probeRegisters, in);
    EXPECT_EQ(machine->peekLong(0x3000), 0x1234u);
    EXPECT_EQ(m68k::cpuState.pc, 0x1082u);
}

TEST_F(Routines, BeamReadsCountFromZeroInEveryCall) {
    for (int call = 0; call < 2; ++call) {
        machine->callAmigaRoutine(readBeam, out, in);
        EXPECT_EQ(out[0], 0x0000u);
        EXPECT_EQ(out[1], 0x0100u);
        EXPECT_EQ(out[2] & 0xFF, 2u);
    }
}

TEST_F(Routines, LongWriteToTheLocationRegistersIsTwoWordWrites) {
    currentMachine = machine.get();
    chipWriteWord(0xDFF0A4, 8, nullptr);
    chipWriteWord(0xDFF096, 0x8001, nullptr);
    ASSERT_NE(voice(0).position, nullptr);

    machine->callAmigaRoutine(longLocation, out, in);
    EXPECT_EQ(machine->channelShadow(0).locationHigh, 0x0001);
    EXPECT_EQ(machine->channelShadow(0).locationLow, 0x2344);
    // The high word arrived first (start 0x10800 with the reset low word),
    // then the low word: the part to repeat is the second location.
    EXPECT_EQ(voice(0).loopStart, chip(0x12344));
    EXPECT_EQ(voice(0).loopEnd, chip(0x12354));
}

TEST_F(Routines, CiaResourceHandsOverTheTimerRoutine) {
    machine->callAmigaRoutine(openCiaResource, out, in);
    EXPECT_EQ(out[7], 0x162Au); // the resource's base
    EXPECT_EQ(out[0], 0u);
    // The interrupt record's is_Data (0x12345678) is followed by is_Code.
    const uint32_t isData = find({0x1234, 0x5678});
    const uint32_t tickRoutine = machine->peekLong(isData + 4);
    EXPECT_GT(tickRoutine, uint32_t(tuneAddress));
    EXPECT_EQ(machine->reportedRoutineOf(), tickRoutine);

    // Any other name gets no resource.
    machine->pokeWord(find({0x6369, 0x6162}), 0x7878); // "ciab"
    machine->callAmigaRoutine(openCiaResource, out, in);
    EXPECT_EQ(out[7], 0u);
}

TEST_F(Routines, SupportCallsKeepEveryRegister) {
    for (uint32_t i = 0; i < 13; ++i) in[i] = 0x100 * i + 1;
    machine->callAmigaRoutine(supportCall, out, in);
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(out[i], in[i]) << i;
    EXPECT_EQ(out[7], 7u);
    EXPECT_EQ(out[8], machine->peekLong(0x1088 + 56 + 12)); // A0 kept the call's address
    EXPECT_EQ(out[8], 0x1114u + 24 * 3);
    EXPECT_EQ(out[12], 0x4444u);
    EXPECT_EQ(out[13], 0x1088u);
}

TEST_F(Routines, RunawayCodeIsCutOffAtTheBudget) {
    machine->callAmigaRoutine(runAway, out, in);
    const uint32_t loop = runAway + 2 + machine->peekWord(runAway + 2);
    EXPECT_EQ(m68k::cpuState.pc, loop);
    // The stub takes no new call while it has not returned.
    machine->callAmigaRoutine(probeRegisters, out, in);
    EXPECT_EQ(machine->peekLong(0x1000), probeRegisters);
}

TEST_F(Routines, LevelSixInterruptRunsItsHandlerAndEndsInTheStub) {
    machine->pokeLong(levelSixVectorAddress, levelSixHandler);
    machine->callAmigaRoutine(readBeam, out, in); // three beam reads
    for (uint32_t tick = 1; tick <= 2; ++tick) {
        machine->raiseInterruptAndRun(6);
        EXPECT_EQ(machine->peekWord(0x3004), tick);
        // The beam counter runs on from the last call.
        EXPECT_EQ(machine->peekWord(0x3006), (2 + tick) << 8);
        EXPECT_EQ(m68k::cpuState.pc, 0x1082u);
        EXPECT_EQ(m68k::cpuState.sr & 0x2700, 0);
        EXPECT_EQ(m68k::cpuState.regs[15], userStackTop);
    }
    EXPECT_EQ(machine->channelShadow(1).volume, 48);
    EXPECT_EQ(voice(1).volume, 191);
}

TEST_F(Routines, ToneFromTheAudioRegistersHasItsPeriodsPitchAndItsVolume) {
    audioEngine.setBpm(125);
    machine->callAmigaRoutine(startTone, out, in);
    const auto render = [&](uint32_t ticks) -> std::vector<int16_t> {
        mixer.resetOutput();
        std::vector<int16_t> pcm;
        std::vector<int16_t> block(2 * 882);
        for (uint32_t t = 0; t < ticks; ++t) {
            mixer.renderVoices(voices);
            EXPECT_EQ(mixer.readBlock(block.data(), 882), 1u);
            pcm.insert(pcm.end(), block.begin(), block.end());
        }
        return pcm;
    };
    const auto peak = [](const std::vector<int16_t>& pcm) {
        int peakValue = 0;
        for (int16_t s : pcm) peakValue = std::max(peakValue, std::abs(int(s)));
        return peakValue;
    };
    // 16 bytes a cycle at period 254: 3,546,894.6 / 254 / 16 Hz.
    const double expected = 7093789.2 / 2 / 254 / 16;
    const std::vector<int16_t> quiet = render(50);
    EXPECT_NEAR(zeroCrossingFrequency(quiet, 44100, 2, 0), expected, 1.0);
    machine->callAmigaRoutine(fullVolume, out, in);
    const std::vector<int16_t> loud = render(50);
    EXPECT_NEAR(zeroCrossingFrequency(loud, 44100, 2, 0), expected, 1.0);
    // Volume 32 is 127 of 255 in the Mixer.
    ASSERT_GT(peak(loud), 1000);
    EXPECT_NEAR(double(peak(quiet)) / peak(loud), 127.0 / 255, 0.01);
}

} // namespace
