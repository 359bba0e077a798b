// The emulated Amiga that runs the replay code of the emulated formats: 512 KB
// of chip RAM at 68000 address 0, the custom-chip and CIA-B registers served by
// four handlers, and a resident 68000 program through which the host calls the
// tune's routines. Audio register writes become voice commands for four mixer
// voices; CIA-B timer latch writes retune the player's tick timer.
//
// There is one 68000 CPU per process. Booting a machine hands the CPU to it;
// calls into a machine that no longer owns the CPU do nothing. Every call into
// a machine (boot, call, run, interrupt) must come from one thread at a time.
#pragma once

#include "pelmit/m68k/cpu.h"
#include "pelmit/mixer/sound_device.h"
#include "pelmit/mixer/tick_timer.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace pelmit {

// 68000 memory as the machine lays it out.
constexpr uint32_t chipRamBytes = 0x80000;
constexpr uint32_t callFrameAddress = 0x1000;     // entry long, then D0-D7/A0-A6
constexpr uint32_t callRegistersAddress = 0x1004; // also where the CIA-B resource leaves a routine
constexpr uint32_t stubBasePointerAddress = 0x1044;
constexpr uint32_t libraryBasePointerAddress = 0x1048;
constexpr uint32_t tuneAddress = 0x2000;
// Tunes end below this, which leaves 8 KB for the user stack at 0x7C000.
constexpr uint32_t tuneLimit = 0x7A000;
constexpr uint32_t userStackTop = 0x7C000;
constexpr uint32_t levelSixVectorAddress = 0x78;

// Cycles a routine or an interrupt may run before it is cut off.
constexpr int32_t routineBudget = 10000000;
// D0-D7 then A0-A6: index 13 is A5, 14 is A6.
constexpr uint32_t amigaRegisterCount = 15;

// The resident 68000 program, as the 68000 reads its words, copied to 0x1000.
constexpr uint32_t amigaStubWords = 799;
using AmigaStubTable = std::array<uint16_t, amigaStubWords>;
extern const AmigaStubTable AmigaStub;

struct AudioChannelShadow {
    uint16_t volume;
    uint16_t locationHigh;
    uint16_t locationLow;
    uint16_t period;
    uint16_t length; // in words
};

class AmigaMachine {
public:
    // Allocates chip RAM, zeroed; nothing else until bootMachine.
    AmigaMachine();
    // Detaches the chip RAM from the mixer and stops being the current machine
    // (or the CPU's owner) when it still is one.
    ~AmigaMachine();
    AmigaMachine(const AmigaMachine&) = delete;
    AmigaMachine& operator=(const AmigaMachine&) = delete;

    // Attaches chip RAM to the mixer as slot 0, installs the memory maps,
    // lays out low memory and the stub, and resets the CPU into the stub.
    // 1 ok, 0 failed (the machine is then unusable).
    uint32_t bootMachine();

    // Plain chip RAM access, no boot needed. Addresses wrap into chip RAM and
    // lose bit 0, so file-derived addresses can never leave it.
    void pokeLong(uint32_t address, uint32_t value);
    uint32_t peekLong(uint32_t address) const;
    void pokeWord(uint32_t address, uint32_t value);
    uint32_t peekWord(uint32_t address) const;
    // Words (host order) from address upward; those past the end of chip RAM
    // are dropped.
    void pokeWords(uint32_t address, const uint16_t* words, uint32_t count);
    uint32_t peekSupportWord(uint32_t offset) const;
    void pokeSupportWord(uint32_t offset, uint32_t value);

    // Calls the 68000 routine at entry with D0-D7/A0-A6 from registersIn, A5
    // replaced by the support block's address, and returns the registers it
    // left in registersOut. Routines that run past the budget are cut off and
    // resume on the next run.
    void callAmigaRoutine(uint32_t entry, uint32_t registersOut[amigaRegisterCount],
                          const uint32_t registersIn[amigaRegisterCount]);
    // The same with every register as given (A5 too), reading nothing back.
    void runAmigaRoutine(uint32_t entry, const uint32_t registersIn[amigaRegisterCount]);
    // Raises an autovectored interrupt (level 6: the handler at 0x78) and runs
    // the CPU until the stub ends the run or the budget is spent.
    void raiseInterruptAndRun(uint32_t level);

    void setVoiceSet(VoiceSet* set) { voiceSet = set; }
    void setTickTimer(TickTimer* timer) { tickTimer = timer; }
    uint32_t reportedRoutineOf() const { return reportedRoutine; }
    uint32_t supportBlockOf() const { return supportBlock; }

    // Places a hunk-format executable from 0x2000 upward, relocated. Returns
    // the address of hunk 0 (0x2004), or 0 when the file is not one or does
    // not fit (what was written before stays). No boot needed.
    uint32_t loadHunkProgram(std::FILE* file);
    // Skips the resident-library name list after the magic; returns the bytes
    // skipped, or 0xFFFFFFFF when the list runs past the end of the file.
    static uint32_t skipHunkNameList(std::FILE* file);
    // Walks the tag list at address (a bounded number of entries); 1 and out =
    // the value when tag is found, else 0 and out unchanged.
    uint32_t findTag(uint32_t address, uint32_t& out, uint32_t tag) const;

    // Register shadows, for the information of tests.
    const AudioChannelShadow& channelShadow(uint32_t channel) const {
        return channels[channel & 3];
    }
    uint16_t ciaTimerLatchOf() const { return ciaTimerLatch; }
    bool booted() const { return isBooted; }

private:
    friend uint32_t chipReadByte(uint32_t, const m68k::DataRegion*);
    friend uint32_t chipReadWord(uint32_t, const m68k::DataRegion*);
    friend void chipWriteByte(uint32_t, uint32_t, const m68k::DataRegion*);
    friend void chipWriteWord(uint32_t, uint32_t, const m68k::DataRegion*);

    uint32_t readRegisterByte(uint32_t address);
    uint32_t readRegisterWord(uint32_t address);
    void writeRegisterByte(uint32_t address, uint32_t value);
    void writeRegisterWord(uint32_t address, uint32_t value);
    void sendCommand(uint32_t channel, uint16_t flags, uint16_t volume = 0, uint32_t period = 0);
    void locationCommand(uint32_t channel);
    void writeDmaControl(uint32_t value);
    void writeVolume(uint32_t channel, uint32_t value);
    void writeCiaLatch(uint32_t shift, uint32_t value);
    bool ownsCpu() const;
    void enterCall(uint32_t entry, const uint32_t registersIn[amigaRegisterCount], bool forceA5);

    uint16_t* chipRam = nullptr;
    m68k::ProgramRegion programRegions[2] = {};
    m68k::DataRegion readByteRegions[3] = {};
    m68k::DataRegion readWordRegions[3] = {};
    m68k::DataRegion writeByteRegions[3] = {};
    m68k::DataRegion writeWordRegions[3] = {};
    AudioChannelShadow channels[4] = {};
    uint16_t dmaEnable = 0;
    uint16_t interruptEnable = 0;
    uint16_t interruptRequest = 0;
    VoiceSet* voiceSet = nullptr;
    TickTimer* tickTimer = nullptr;
    uint32_t beamCounter = 0;
    uint32_t supportBlock = 0;
    uint32_t reportedRoutine = 0;
    uint16_t ciaTimerLatch = 0;
    bool isBooted = false;
};

// The machine that the chip handlers serve; set by callAmigaRoutine,
// runAmigaRoutine and raiseInterruptAndRun, cleared when it is destroyed.
extern AmigaMachine* currentMachine;

// The handlers of the register row 0xBFD000-0xDFF1FF. Without a current
// machine, reads give 0 and writes are dropped.
uint32_t chipReadByte(uint32_t address, const m68k::DataRegion* row);
uint32_t chipReadWord(uint32_t address, const m68k::DataRegion* row);
void chipWriteByte(uint32_t address, uint32_t value, const m68k::DataRegion* row);
void chipWriteWord(uint32_t address, uint32_t value, const m68k::DataRegion* row);

} // namespace pelmit
