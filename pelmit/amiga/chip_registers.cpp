// The custom-chip and CIA-B registers that replay code uses: DMA and interrupt
// control, the beam position, the four audio channels (as voice commands for
// the mixer), the CIA-B timer latch and the stub's trap register.
#include "pelmit/amiga/amiga_machine.h"

#include "pelmit/mixer/mixer.h"

#include <algorithm>

namespace pelmit {

namespace {

enum : uint32_t {
    dmaControlRead = 0xDFF002,
    dmaControlReadLow = 0xDFF003,
    beamPosition = 0xDFF006,
    interruptEnableRead = 0xDFF01C,
    interruptRequestRead = 0xDFF01E,
    dmaControl = 0xDFF096,
    interruptEnableControl = 0xDFF09A,
    interruptRequestControl = 0xDFF09C,
    audioFirst = 0xDFF0A0,
    audioEnd = 0xDFF0E0,
    ciaTimerLow = 0xBFD400,
    ciaTimerHigh = 0xBFD500,
    trapRegister = 0xDFF1FE,
};

// Register offsets inside a channel's 16 bytes.
enum : uint32_t {
    audioLocationHigh = 0,
    audioLocationLow = 2,
    audioLength = 4,
    audioPeriod = 6,
    audioVolume = 8,
    audioVolumeLow = 9,
};

constexpr uint32_t setClearBit = 0x8000;
constexpr uint32_t minimumPeriod = 114;
constexpr uint32_t trapEndRun = 255;
constexpr uint32_t trapTimerRoutine = 18;

uint32_t sampleStart(const AudioChannelShadow& c) {
    return uint32_t(c.locationHigh & 7) << 16 | (c.locationLow & 0xFFFE);
}

// 0x7FFFE plus 65,535 words would run past chip RAM.
uint32_t lengthInChip(uint32_t start, uint32_t bytes) {
    return std::min(bytes, chipRamBytes - start);
}

void setOrClear(uint16_t& shadow, uint32_t value) {
    if (value & setClearBit) {
        shadow |= value & 0x7FFF;
    } else {
        shadow &= ~value;
    }
}

} // namespace

void AmigaMachine::sendCommand(uint32_t channel, uint16_t flags, uint16_t volume, uint32_t period) {
    const AudioChannelShadow& c = channels[channel];
    VoiceCommand command = {};
    command.flags = flags;
    command.slot = 0;
    command.voice = uint8_t(channel);
    command.volume = volume;
    command.period = period;
    command.offset = sampleStart(c);
    // Location writes carry the part to repeat; one word means "none".
    command.length = c.length > 1 ? lengthInChip(command.offset, c.length * 2u) : 0;
    mixer.sendVoiceCommand(voiceSet, &command);
}

void AmigaMachine::locationCommand(uint32_t channel) {
    sendCommand(channel, (dmaEnable >> channel & 1) ? cmdQueue : 0);
}

void AmigaMachine::writeDmaControl(uint32_t value) {
    const uint32_t named = value & 0xF;
    if (value & setClearBit) {
        for (uint32_t n = 0; n < 4; ++n) {
            if (!(named >> n & 1) || (dmaEnable >> n & 1)) continue;
            const AudioChannelShadow& c = channels[n];
            VoiceCommand start = {};
            start.flags = cmdQueue;
            start.voice = uint8_t(n);
            start.offset = sampleStart(c);
            start.length = lengthInChip(start.offset, c.length * 2u);
            mixer.sendVoiceCommand(voiceSet, &start);
        }
        dmaEnable |= named;
    } else {
        for (uint32_t n = 0; n < 4; ++n) {
            if (!(named >> n & 1)) continue;
            VoiceCommand stop = {};
            stop.flags = cmdStop;
            stop.voice = uint8_t(n);
            mixer.sendVoiceCommand(voiceSet, &stop);
        }
        dmaEnable &= ~named;
    }
    interruptRequest |= named << 7;
}

void AmigaMachine::writeVolume(uint32_t channel, uint32_t value) {
    channels[channel].volume = uint16_t(value);
    sendCommand(channel, cmdVolume, uint16_t(std::min(value, 64u) * 255 / 64));
}

void AmigaMachine::writeCiaLatch(uint32_t shift, uint32_t value) {
    ciaTimerLatch = uint16_t((ciaTimerLatch & ~(0xFF << shift)) | (value & 0xFF) << shift);
    if (tickTimer) tickTimer->setCiaTimer(ciaTimerLatch);
}

uint32_t AmigaMachine::readRegisterByte(uint32_t address) {
    switch (address) {
    case dmaControlReadLow: return dmaEnable & 0xFF;
    case beamPosition: return beamCounter++ & 0xFF;
    default: return 0;
    }
}

uint32_t AmigaMachine::readRegisterWord(uint32_t address) {
    switch (address) {
    case dmaControlRead: return dmaEnable;
    case beamPosition: return (beamCounter++ & 0xFF) << 8;
    case interruptEnableRead: return interruptEnable;
    case interruptRequestRead: return interruptRequest;
    default: return 0;
    }
}

void AmigaMachine::writeRegisterByte(uint32_t address, uint32_t value) {
    if (address >= audioFirst && address < audioEnd) {
        const uint32_t channel = (address - audioFirst) / 16;
        const uint32_t reg = address & 0xF;
        if (reg == audioVolume || reg == audioVolumeLow) {
            writeVolume(channel, value);
        } else {
            sendCommand(channel, 0);
        }
    } else if (address == ciaTimerLow) {
        writeCiaLatch(0, value);
    } else if (address == ciaTimerHigh) {
        writeCiaLatch(8, value);
    }
}

void AmigaMachine::writeRegisterWord(uint32_t address, uint32_t value) {
    if (address >= audioFirst && address < audioEnd) {
        const uint32_t channel = (address - audioFirst) / 16;
        AudioChannelShadow& c = channels[channel];
        switch (address & 0xF) {
        case audioLocationHigh:
            c.locationHigh = uint16_t(value);
            locationCommand(channel);
            break;
        case audioLocationLow:
            c.locationLow = uint16_t(value);
            locationCommand(channel);
            break;
        case audioLength:
            c.length = uint16_t(value);
            locationCommand(channel);
            break;
        case audioPeriod:
            c.period = uint16_t(std::max(value, minimumPeriod));
            sendCommand(channel, cmdPeriod, 0, uint32_t(c.period) << 16);
            break;
        case audioVolume: writeVolume(channel, value); break;
        default: sendCommand(channel, 0); break;
        }
        return;
    }
    switch (address) {
    case dmaControl: writeDmaControl(value); break;
    case interruptEnableControl: setOrClear(interruptEnable, value); break;
    case interruptRequestControl: setOrClear(interruptRequest, value); break;
    case trapRegister:
        if (value == trapEndRun) m68k::cpuEndSlice();
        if (value == trapTimerRoutine) reportedRoutine = peekLong(callRegistersAddress);
        break;
    default: break;
    }
}

uint32_t chipReadByte(uint32_t address, const m68k::DataRegion*) {
    return currentMachine ? currentMachine->readRegisterByte(address) : 0;
}

uint32_t chipReadWord(uint32_t address, const m68k::DataRegion*) {
    return currentMachine ? currentMachine->readRegisterWord(address) : 0;
}

void chipWriteByte(uint32_t address, uint32_t value, const m68k::DataRegion*) {
    if (currentMachine) currentMachine->writeRegisterByte(address, value);
}

void chipWriteWord(uint32_t address, uint32_t value, const m68k::DataRegion*) {
    if (currentMachine) currentMachine->writeRegisterWord(address, value);
}

} // namespace pelmit
