// The Mixer's life cycle, sample slots, voice commands and the front operations
// that players reach the device through.
#include "pelmit/mixer/mixer.h"

#include "pelmit/mixer/audio_engine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace pelmit {

Mixer mixer;

namespace {

// Twice the PAL Amiga's clock: 7,093,789.2 / (2 x period) is the playback rate
// of a period in Hz.
constexpr double palClockTwice = 7093789.2;

// The part of offset..offset+length that lies inside a slot, in bytes from its
// start. Word-swapped slots keep whole words, so that reads at k XOR 1 stay
// inside the range.
struct SlotRange {
    uint32_t begin, end;
    bool empty() const { return begin >= end; }
};

SlotRange slotRange(const SampleSlot& slot, uint32_t offset, uint32_t length) {
    if (!slot.start) return {0, 0};
    const uint32_t size = static_cast<uint32_t>(slot.end - slot.start);
    SlotRange r;
    r.begin = std::min(offset, size);
    r.end = r.begin + std::min(length, size - r.begin);
    if (slot.wordSwapped) {
        r.begin &= ~1u;
        r.end &= ~1u;
    }
    return r;
}

} // namespace

uint32_t saneSampleRate(int64_t rate) {
    return static_cast<uint32_t>(std::clamp<int64_t>(rate, minSampleRate, maxSampleRate));
}

uint32_t periodToStep(uint32_t period, uint32_t rate) {
    if (period == 0 || rate == 0) return 0;
    return static_cast<uint32_t>(palClockTwice / (2.0 * period) / rate * 65536.0);
}

Mixer::~Mixer() {
    freeSamples();
    closeDevice();
}

// --- Device life cycle ----------------------------------------------------------

uint32_t Mixer::openDevice() {
    closeDevice();
    for (SampleSlot& slot : slots) emptySlot(slot);
    leftBuffer = new (std::nothrow) int16_t[ringFrames + ringGuardFrames]();
    rightBuffer = new (std::nothrow) int16_t[ringFrames + ringGuardFrames]();
    volumeTable = new (std::nothrow) int16_t[256][256]();
    renderLimit = readLimit = ringFrames;
    resetOutput(); // a block size kept from an earlier opening sets the limits
    guardPlace = 0;
    outputFlags = 0;
    if (leftBuffer && rightBuffer && volumeTable) return 1;
    closeDevice(); // a half-open device must never render
    return 0;
}

void Mixer::closeDevice() {
    delete[] leftBuffer;
    delete[] rightBuffer;
    delete[] volumeTable;
    leftBuffer = rightBuffer = nullptr;
    volumeTable = nullptr;
}

void Mixer::setDeviceOption(uint32_t) {}

void Mixer::setDeviceRate(uint32_t newRate) {
    rate = saneSampleRate(newRate);
    for (uint32_t p = 1; p <= periodTableSize; ++p) periodStepTable[p] = periodToStep(p, rate);
}

uint32_t Mixer::stepFor(uint32_t period) const {
    if (period == 0) return 0;
    if (period <= periodTableSize) return periodStepTable[period];
    return periodToStep(period, rate);
}

// --- Sample slots -----------------------------------------------------------------

void Mixer::emptySlot(SampleSlot& slot) {
    if (slot.owned) std::free(slot.start);
    slot = SampleSlot{};
}

void Mixer::fillSlot(SampleSlot& slot, int8_t* data, const SampleDescriptor& descriptor) {
    const uint32_t swapped = descriptor.flags & sampleWordSwapped;
    uint32_t size = descriptor.size;
    uint32_t loopStart = descriptor.loopStart;
    uint32_t loopEnd = std::min(descriptor.loopEnd, size);
    if (swapped) {
        size &= ~1u;
        loopStart &= ~1u;
        loopEnd &= ~1u;
    }
    slot.start = data;
    slot.end = data + size;
    slot.wordSwapped = swapped;
    // Loaders pass loops that run past the sample (or end before they start);
    // such a loop is cut to the sample or dropped, so voices never leave it.
    if (descriptor.loopEnd != 0 && loopStart < loopEnd) {
        slot.loopStart = data + loopStart;
        slot.loopEnd = data + loopEnd;
    }
}

uint32_t Mixer::uploadSample(uint32_t slotNumber, const SampleDescriptor* descriptor) {
    if (!descriptor || slotNumber >= mixerSlotCount) return 0;
    SampleSlot& slot = slots[slotNumber];
    if (descriptor->size == 0) { // nothing to play: the slot stays empty
        emptySlot(slot);
        return 1;
    }
    int8_t* memory =
        descriptor->data ? static_cast<int8_t*>(std::malloc(descriptor->size)) : nullptr;
    if (memory) std::memcpy(memory, descriptor->data, descriptor->size);
    // Emptied only now: the new sample may have been copied out of the old one.
    emptySlot(slot);
    if (!memory) return 0;
    fillSlot(slot, memory, *descriptor);
    slot.owned = 1;
    return 1;
}

void Mixer::attachSampleMemory(uint32_t slotNumber, const SampleDescriptor* descriptor) {
    if (!descriptor || slotNumber >= mixerSlotCount) return;
    SampleSlot& slot = slots[slotNumber];
    emptySlot(slot);
    if (!descriptor->data || descriptor->size == 0) return;
    // The memory stays the caller's; the Mixer only reads it and writes where
    // writeSample is asked to.
    fillSlot(slot, static_cast<int8_t*>(const_cast<void*>(descriptor->data)), *descriptor);
}

void Mixer::freeSamples() {
    for (SampleSlot& slot : slots) emptySlot(slot);
}

// Bytes of offset..offset+length that lie inside a filled slot, from offset on.
static uint32_t bytesInside(const SampleSlot& slot, uint32_t offset, uint32_t length) {
    const uint32_t size = static_cast<uint32_t>(slot.end - slot.start);
    return slot.start && offset < size ? std::min(length, size - offset) : 0;
}

void Mixer::readSample(void* destination, uint32_t slotNumber, uint32_t offset, uint32_t length) {
    if (!destination || slotNumber >= mixerSlotCount) return;
    const SampleSlot& slot = slots[slotNumber];
    auto* out = static_cast<uint8_t*>(destination);
    const uint32_t inside = bytesInside(slot, offset, length);
    if (inside) std::memcpy(out, slot.start + offset, inside);
    std::memset(out + inside, 0, length - inside);
}

void Mixer::writeSample(const void* source, uint32_t slotNumber, uint32_t offset, uint32_t length) {
    if (!source || slotNumber >= mixerSlotCount) return;
    const SampleSlot& slot = slots[slotNumber];
    const uint32_t inside = bytesInside(slot, offset, length);
    if (inside) std::memcpy(slot.start + offset, source, inside);
}

// --- Voice commands ---------------------------------------------------------------

void Mixer::voiceCommand(const VoiceCommand* command, uint32_t voiceNumber) {
    if (!command || command->flags == 0 || voiceNumber >= mixerVoiceCount) return;
    const VoiceCommand& c = *command;
    MixerVoice& v = voices[voiceNumber];

    if (c.flags & cmdStop) v.position = nullptr;
    if (c.flags & cmdVolume) v.volume = std::min<uint16_t>(c.volume, 255);
    if (c.flags & cmdPeriod) v.step = stepFor(c.period >> 16);

    if (c.flags & cmdQueue) {
        const SampleSlot& slot = slots[c.slot];
        const SlotRange r = slotRange(slot, c.offset, c.length);
        // A playing voice keeps its stretch only when it reads it in the byte
        // order of the new slot; otherwise word-swapped reads could leave it.
        if (v.wordSwapped != slot.wordSwapped) v.position = nullptr;
        v.wordSwapped = slot.wordSwapped;
        if (r.empty()) {
            v.loopStart = v.loopEnd = nullptr;
        } else if (!v.position) {
            v.position = slot.start + r.begin;
            v.fraction = 0;
            v.loopStart = v.position;
            v.segmentEnd = v.loopEnd = slot.start + r.end;
        } else {
            v.loopStart = slot.start + r.begin;
            v.loopEnd = slot.start + r.end;
        }
    }

    if (c.flags & cmdTrigger) {
        const SampleSlot& slot = slots[c.slot];
        const bool sameOrder = v.wordSwapped == slot.wordSwapped;
        v.wordSwapped = slot.wordSwapped;
        if ((c.flags & cmdKeepPlaying) && v.position && sameOrder) {
            if (slot.loopEnd) {
                v.loopStart = slot.loopStart;
                v.loopEnd = slot.loopEnd;
            }
        } else if (!slot.start) {
            v.position = nullptr; // an empty slot leaves the voice stopped
        } else if (c.flags & cmdLoopRange) {
            const SlotRange r = slotRange(slot, c.offset, c.length);
            if (r.empty()) {
                v.position = v.loopStart = v.loopEnd = nullptr;
            } else {
                v.position = v.loopStart = slot.start + r.begin;
                v.fraction = 0;
                v.segmentEnd = v.loopEnd = slot.start + r.end;
            }
        } else {
            v.fraction = 0;
            v.loopStart = slot.loopEnd ? slot.loopStart : nullptr;
            v.segmentEnd = v.loopEnd = slot.loopEnd ? slot.loopEnd : slot.end;
            const uint32_t offset = slot.wordSwapped ? c.offset & ~1u : c.offset;
            // An offset at or past the first stretch starts the loop, or leaves
            // the voice stopped without one.
            if (offset >= static_cast<uint32_t>(v.segmentEnd - slot.start)) {
                v.position = v.loopStart;
            } else {
                v.position = slot.start + offset;
            }
        }
        // 64 bits: microseconds x rate overflows 32 bits above 44,739 us at 96 kHz.
        v.delay =
            (c.flags & cmdDelay) ? static_cast<int32_t>(uint64_t(c.delay) * rate / 1000000u) : 0;
    }
}

// --- Front operations -------------------------------------------------------------

uint32_t Mixer::findEngine() {
    if (engineDevice && engineDevice->isAvailable() == 1) {
        engine = engineDevice;
        return 1;
    }
    return 0;
}

uint32_t Mixer::connect() {
    if (!findEngine()) return 0;
    const DeviceInfo* info = engine->deviceInfo();
    const uint32_t count = info ? std::min(info->voiceCount, mixerVoiceCount) : 0;
    for (uint32_t i = 0; i < count; ++i) voiceInUse[i] = 0;
    return engine->openDevice();
}

void Mixer::disconnect() {
    if (engine) engine->closeDevice();
}

VoiceSet* Mixer::allocateVoices(uint32_t count) {
    if (!engine) return nullptr;
    const DeviceInfo* info = engine->deviceInfo();
    const uint32_t available = info ? std::min(info->voiceCount, mixerVoiceCount) : 0;
    if (count > available) return nullptr;
    auto* set = new (std::nothrow) VoiceSet{};
    if (!set) return nullptr;
    set->voices = new (std::nothrow) uint32_t[count ? count : 1];
    if (!set->voices) {
        delete set;
        return nullptr;
    }
    for (uint32_t v = 0; v < available && set->count < count; ++v) {
        if (!voiceInUse[v]) set->voices[set->count++] = v;
    }
    if (set->count < count) {
        delete[] set->voices;
        delete set;
        return nullptr;
    }
    for (uint32_t i = 0; i < count; ++i) voiceInUse[set->voices[i]] = 1;
    engine->resetVoices(set);
    engine->updateVoiceUsage(voiceInUse);
    return set;
}

void Mixer::sendVoiceCommand(VoiceSet* set, const VoiceCommand* command) {
    if (!engine || !set || !command || command->voice >= set->count) return;
    engine->voiceCommand(command, set->voices[command->voice]);
}

uint32_t Mixer::renderVoices(VoiceSet* set) {
    return engine ? engine->render(set) : 0;
}

void Mixer::releaseVoices(VoiceSet* set) {
    if (!set) return;
    for (uint32_t i = 0; i < set->count; ++i) {
        if (set->voices[i] < mixerVoiceCount) voiceInUse[set->voices[i]] = 0;
    }
    delete[] set->voices;
    delete set;
    if (!engine) return;
    engine->updateVoiceUsage(voiceInUse);
    engine->freeSamples();
}

void Mixer::readSampleBytes(VoiceSet* set, void* destination, uint32_t slot, uint32_t offset,
                            uint32_t length) {
    if (engine && set) engine->readSample(destination, slot + set->sampleBase, offset, length);
}

void Mixer::writeSampleBytes(VoiceSet* set, const void* source, uint32_t slot, uint32_t offset,
                             uint32_t length) {
    if (engine && set) engine->writeSample(source, slot + set->sampleBase, offset, length);
}

uint32_t Mixer::loadSample(VoiceSet* set, const SampleDescriptor* descriptor) {
    if (!engine || !set || !descriptor) return 0;
    ++set->loadedCount;
    return engine->uploadSample(descriptor->slot + set->sampleBase, descriptor);
}

TickTimer* Mixer::getTickTimer() {
    return engine ? engine->deviceTickTimer() : nullptr;
}

void Mixer::enableBoost() {
    if (engine) engine->boostOn();
}

void Mixer::setSampleRate(uint32_t newRate) {
    if (engine) engine->setDeviceRate(newRate);
}

} // namespace pelmit
