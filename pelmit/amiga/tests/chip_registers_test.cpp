// The chip registers as the 68000 code reaches them through the handler row:
// DMA and interrupt control, the audio channels' voice commands, the CIA-B
// timer latch, the trap register, and the handlers without a machine.
#include "machine_fixture.h"

using namespace pelmit;
using namespace pelmit::test;

namespace {

class ChipRegisters : public BootedMachine {
protected:
    void SetUp() override {
        BootedMachine::SetUp();
        currentMachine = machine.get();
    }
    static void word(uint32_t address, uint32_t value) { chipWriteWord(address, value, nullptr); }
    static void byte(uint32_t address, uint32_t value) { chipWriteByte(address, value, nullptr); }
    static uint32_t readWord(uint32_t address) { return chipReadWord(address, nullptr); }
    // Channel n's location and length registers, with DMA off.
    static void place(uint32_t channel, uint32_t start, uint32_t words) {
        const uint32_t base = 0xDFF0A0 + 16 * channel;
        word(base, start >> 16);
        word(base + 2, start & 0xFFFF);
        word(base + 4, words);
    }
};

TEST_F(ChipRegisters, DmaControlStartsOnlyChannelsNewlyNamed) {
    for (uint32_t n = 0; n < 4; ++n) place(n, 0x10000 + 0x1000 * n, 16);
    for (uint32_t n = 0; n < 4; ++n) EXPECT_EQ(voice(n).position, nullptr) << n;

    word(0xDFF096, 0x8004);
    EXPECT_EQ(voice(2).position, chip(0x12000));
    // Channel 2 is given another part to repeat; a second start would replace it.
    VoiceCommand queue = {};
    queue.flags = cmdQueue;
    queue.voice = 2;
    queue.offset = 0x30000;
    queue.length = 64;
    mixer.sendVoiceCommand(voices, &queue);

    word(0xDFF096, 0x800F);
    EXPECT_EQ(voice(0).position, chip(0x10000));
    EXPECT_EQ(voice(1).position, chip(0x11000));
    EXPECT_EQ(voice(3).position, chip(0x13000));
    EXPECT_EQ(voice(3).segmentEnd, chip(0x13020));
    EXPECT_EQ(voice(2).loopStart, chip(0x30000));
    EXPECT_EQ(readWord(0xDFF002), 0xFu);
    EXPECT_EQ(chipReadByte(0xDFF003, nullptr), 0xFu);
    EXPECT_EQ(readWord(0xDFF01E), 0x780u);
}

TEST_F(ChipRegisters, DmaControlStopsEveryChannelNamedRunningOrNot) {
    word(0xDFF096, 0x8000);
    EXPECT_EQ(readWord(0xDFF002), 0u);
    EXPECT_EQ(readWord(0xDFF01E), 0u);

    // Voice 0 sounds without the machine having started channel 0.
    VoiceCommand start = {};
    start.flags = cmdQueue;
    start.offset = 0x4000;
    start.length = 32;
    mixer.sendVoiceCommand(voices, &start);
    ASSERT_NE(voice(0).position, nullptr);
    word(0xDFF096, 0x0001);
    EXPECT_EQ(voice(0).position, nullptr);
    EXPECT_EQ(readWord(0xDFF01E), 0x80u);

    place(1, 0x5000, 8);
    word(0xDFF096, 0x8002);
    word(0xDFF096, 0x0002);
    EXPECT_EQ(voice(1).position, nullptr);
    EXPECT_EQ(readWord(0xDFF002), 0u);
}

TEST_F(ChipRegisters, InterruptControlSetsAndClearsByBit15) {
    word(0xDFF09A, 0xC020);
    word(0xDFF09C, 0x8081);
    EXPECT_EQ(readWord(0xDFF01C), 0x4020u);
    EXPECT_EQ(readWord(0xDFF01E), 0x0081u);
    word(0xDFF09A, 0x0020);
    word(0xDFF09C, 0x0001);
    EXPECT_EQ(readWord(0xDFF01C), 0x4000u);
    EXPECT_EQ(readWord(0xDFF01E), 0x0080u);
}

TEST_F(ChipRegisters, PeriodAndVolumeAreClampedIntoTheMixersRange) {
    const struct {
        bool byteWrite;
        uint32_t address, value;
        uint16_t storedPeriod, storedVolume, voiceVolume;
    } cases[] = {
        {false, 0xDFF0A6, 50, 114, 0, 0},    {false, 0xDFF0A6, 428, 428, 0, 0},
        {true, 0xDFF0A9, 80, 114, 80, 255},  {true, 0xDFF0A8, 32, 114, 32, 127},
        {false, 0xDFF0A8, 64, 114, 64, 255}, {false, 0xDFF0A8, 0x8000, 114, 0x8000, 255},
    };
    for (const auto& c : cases) {
        const AudioChannelShadow before = machine->channelShadow(0);
        if (c.byteWrite) {
            byte(c.address, c.value);
        } else {
            word(c.address, c.value);
        }
        const AudioChannelShadow& after = machine->channelShadow(0);
        const uint16_t period = c.address == 0xDFF0A6 ? c.storedPeriod : before.period;
        const uint16_t volume = c.address == 0xDFF0A6 ? before.volume : c.storedVolume;
        EXPECT_EQ(after.period, period) << std::hex << c.address << " " << c.value;
        EXPECT_EQ(after.volume, volume) << std::hex << c.address << " " << c.value;
        if (c.address == 0xDFF0A6) {
            EXPECT_EQ(voice(0).step, periodToStep(period, 44100)) << c.value;
        } else {
            EXPECT_EQ(voice(0).volume, c.voiceVolume) << c.value;
        }
    }
    // Channel 3's volume, and a byte write elsewhere in a channel, which stores nothing.
    byte(0xDFF0D9, 16);
    EXPECT_EQ(voice(3).volume, 63);
    byte(0xDFF0D5, 3);
    EXPECT_EQ(machine->channelShadow(3).length, 0);
}

TEST_F(ChipRegisters, SampleStartAndLengthFromTheLocationRegisters) {
    word(0xDFF0A0, 0xFFF2); // only the low three bits address chip RAM
    word(0xDFF0A2, 0x3457); // and only whole words
    word(0xDFF0A4, 1);
    word(0xDFF096, 0x8001);
    // Started with one word: two bytes, then nothing to repeat.
    EXPECT_EQ(voice(0).position, chip(0x23456));
    EXPECT_EQ(voice(0).segmentEnd, chip(0x23458));
    EXPECT_EQ(voice(0).loopStart, chip(0x23456));

    // While running, a length of one word means "no repeat".
    word(0xDFF0A4, 1);
    EXPECT_EQ(voice(0).loopStart, nullptr);
    word(0xDFF0A4, 4);
    EXPECT_EQ(voice(0).loopStart, chip(0x23456));
    EXPECT_EQ(voice(0).loopEnd, chip(0x2345E));

    // The last word of chip RAM with the longest length stays inside it.
    place(1, 0x7FFFE, 0xFFFF);
    word(0xDFF096, 0x8002);
    EXPECT_EQ(voice(1).position, chip(0x7FFFE));
    EXPECT_EQ(voice(1).segmentEnd, chip(0x80000));
}

TEST_F(ChipRegisters, CiaLatchTakesBytesOnlyAndRetunesTheTimer) {
    word(0xBFD400, 0x1234);
    EXPECT_EQ(machine->ciaTimerLatchOf(), 14188);
    EXPECT_TRUE(timer.ciaValues.empty());

    byte(0xBFD400, 0x6C);
    byte(0xBFD500, 0x37);
    EXPECT_EQ(timer.ciaValues, (std::vector<uint32_t>{0x376C, 0x376C}));
    byte(0xBFD500, 0x05);
    byte(0xBFD400, 0x12);
    EXPECT_EQ(timer.ciaValues, (std::vector<uint32_t>{0x376C, 0x376C, 0x056C, 0x0512}));
    EXPECT_EQ(machine->ciaTimerLatchOf(), 0x0512);
}

TEST_F(ChipRegisters, TrapRegisterReportsTheTimerRoutineOn18Only) {
    machine->pokeLong(0x1004, 0x2468);
    word(0xDFF1FE, 3);
    EXPECT_EQ(machine->reportedRoutineOf(), 0u);
    word(0xDFF1FE, 18);
    EXPECT_EQ(machine->reportedRoutineOf(), 0x2468u);
}

TEST_F(ChipRegisters, UnlistedRegistersAndWidthsReadZero) {
    word(0xDFF096, 0x8003);
    EXPECT_EQ(chipReadByte(0xDFF002, nullptr), 0u);
    EXPECT_EQ(readWord(0xDFF000), 0u);
    EXPECT_EQ(readWord(0xBFD400), 0u);
    EXPECT_EQ(readWord(0xDFF0A0), 0u);
}

TEST_F(ChipRegisters, HandlersWithoutAMachineDoNothing) {
    word(0xDFF09A, 0xC000);
    currentMachine = nullptr;
    EXPECT_EQ(readWord(0xDFF01C), 0u);
    EXPECT_EQ(chipReadByte(0xDFF006, nullptr), 0u);
    word(0xDFF096, 0x800F);
    byte(0xBFD400, 1);
    EXPECT_TRUE(timer.ciaValues.empty());

    currentMachine = machine.get();
    EXPECT_EQ(readWord(0xDFF01C), 0x4000u);
    machine.reset();
    EXPECT_EQ(currentMachine, nullptr);
    EXPECT_EQ(mixer.slotState(0).start, nullptr);
}

} // namespace
