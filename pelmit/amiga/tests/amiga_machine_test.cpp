// The machine's memory: what booting lays out, chip RAM that file-derived
// addresses cannot leave, and which machine the one CPU serves.
#include "machine_fixture.h"

#include <cstring>

using namespace pelmit;
using namespace pelmit::test;

namespace {

using Machine = BootedMachine;

TEST_F(Machine, BootLaysOutLowMemoryAndResetsIntoTheStub) {
    EXPECT_EQ(machine->peekLong(0), 0u);
    EXPECT_EQ(machine->peekLong(4), 0x15FAu);
    EXPECT_EQ(machine->peekWord(0x1040), 0x6000u);
    EXPECT_EQ(machine->peekLong(0x1044), 0x1088u);
    EXPECT_EQ(machine->supportBlockOf(), 0x1088u);
    for (uint32_t i = 0; i < amigaStubWords; ++i)
        ASSERT_EQ(machine->peekWord(0x1000 + 2 * i), AmigaStub[i]) << i;
    EXPECT_EQ(machine->peekLong(0x163E), 0u);
    EXPECT_EQ(machine->peekLong(0x2000), 0u);
    EXPECT_EQ(machine->reportedRoutineOf(), 0u);
    EXPECT_EQ(machine->ciaTimerLatchOf(), 14188);
    const AudioChannelShadow& c = machine->channelShadow(2);
    EXPECT_EQ(c.locationLow, 0x0800);
    EXPECT_EQ(c.period, 114);

    EXPECT_EQ(m68k::cpuState.pc, 0x1040u);
    EXPECT_EQ(m68k::cpuState.regs[15], 0x80000u);
    EXPECT_EQ(m68k::cpuState.sr, 0x2700);

    // Chip RAM is the Mixer's slot 0, read as host-order words.
    const SampleSlot& slot = mixer.slotState(0);
    EXPECT_EQ(slot.end - slot.start, 0x80000);
    EXPECT_EQ(slot.wordSwapped, 1u);
    EXPECT_EQ(slot.loopEnd, nullptr);
    machine->pokeWord(0x3000, 0x1234);
    EXPECT_EQ(slot.start[0x3000 ^ 1], 0x12);
}

TEST_F(Machine, PeeksAndPokesStayInsideChipRam) {
    machine->pokeLong(0x3001, 0x11223344); // bit 0 is dropped
    EXPECT_EQ(machine->peekLong(0x3000), 0x11223344u);
    EXPECT_EQ(machine->peekWord(0x3003), 0x3344u);
    // Addresses wrap into the 512 KB; a long at the last word wraps its low half.
    machine->pokeWord(0x1083000, 0xBEEF);
    EXPECT_EQ(machine->peekWord(0x3000), 0xBEEFu);
    machine->pokeLong(0x7FFFE, 0xAAAA5555);
    EXPECT_EQ(machine->peekWord(0x7FFFE), 0xAAAAu);
    EXPECT_EQ(machine->peekWord(0), 0x5555u);
    EXPECT_EQ(machine->peekLong(0xFFFFFFFE), 0xAAAA5555u);
    // Words past the end are dropped.
    const uint16_t words[] = {1, 2, 3, 4};
    machine->pokeWords(0x7FFFC, words, 4);
    EXPECT_EQ(machine->peekLong(0x7FFFC), 0x00010002u);
    EXPECT_EQ(machine->peekWord(0), 0x5555u);

    machine->pokeSupportWord(54, 14188);
    EXPECT_EQ(machine->peekWord(0x1088 + 54), 14188u);
    EXPECT_EQ(machine->peekSupportWord(54), 14188u);
}

TEST(UnbootedMachine, IsZeroedMemoryThatRunsNothing) {
    AmigaMachine m;
    EXPECT_FALSE(m.booted());
    for (uint32_t a = 0; a < chipRamBytes; a += 0x1000) ASSERT_EQ(m.peekLong(a), 0u) << a;
    const uint32_t in[amigaRegisterCount] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    uint32_t out[amigaRegisterCount] = {};
    m.callAmigaRoutine(0x2000, out, in);
    EXPECT_EQ(std::memcmp(out, in, sizeof in), 0);
    m.runAmigaRoutine(0x2000, in);
    m.raiseInterruptAndRun(6);
    EXPECT_EQ(m.peekLong(0x1000), 0u);
    EXPECT_EQ(currentMachine, nullptr);
}

TEST_F(Machine, OnlyTheMachineBootedLastRunsTheCpu) {
    const uint32_t in[amigaRegisterCount] = {};
    uint32_t out[amigaRegisterCount];
    machine->callAmigaRoutine(0, out, in);
    EXPECT_EQ(currentMachine, machine.get());
    EXPECT_EQ(m68k::cpuState.pc, 0x1082u);
    {
        AmigaMachine second;
        ASSERT_EQ(second.bootMachine(), 1u);
        EXPECT_EQ(currentMachine, machine.get()); // booting leaves it
        machine->pokeLong(0x1000, 0);
        machine->callAmigaRoutine(0x2000, out, in);
        EXPECT_EQ(machine->peekLong(0x1000), 0u); // nothing was called
        EXPECT_EQ(m68k::cpuState.pc, 0x1040u);
        second.runAmigaRoutine(0, in);
        EXPECT_EQ(currentMachine, &second);
    }
    EXPECT_EQ(currentMachine, nullptr);
    // The CPU's maps pointed into the machine just destroyed: nobody may run.
    machine->runAmigaRoutine(0, in);
    EXPECT_EQ(currentMachine, nullptr);
    // Booting again takes the CPU back.
    ASSERT_EQ(machine->bootMachine(), 1u);
    machine->runAmigaRoutine(0, in);
    EXPECT_EQ(m68k::cpuState.pc, 0x1082u);
}

} // namespace
