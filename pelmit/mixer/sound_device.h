// The device interface between the Mixer's front operations and the AudioEngine,
// and the records that players hand through it: voice sets, voice commands and
// sample descriptions.
#pragma once

#include <cstdint>

namespace pelmit {

class TickTimer;

// The voices that allocateVoices hands to one player. Set-relative voice i is
// the absolute voice voices[i].
struct VoiceSet {
    uint32_t* voices;     // absolute voice numbers, one per voice of the set
    uint32_t count;       // entries in voices
    uint32_t sampleBase;  // added to every slot number of the set's operations; always 0
    uint32_t loadedCount; // samples loaded through loadSample
};

// A player's description of one sample for loadSample and attachSampleMemory.
// Offsets are bytes from data; the Mixer clamps loops to the sample and drops a
// loop that does not end after it starts.
struct SampleDescriptor {
    const void* data;   // 8-bit signed sample bytes
    uint32_t size;      // bytes
    uint32_t loopStart; // loop start offset
    uint32_t loopEnd;   // loop end offset (exclusive); 0 = no loop
    uint16_t baseRate;  // carried, not used by the Mixer
    uint8_t slot;       // set-relative sample slot
    uint8_t flags;      // sampleWordSwapped
};

// Bit 0 of SampleDescriptor::flags: the memory holds host-order 16-bit words, so
// sample byte k lies at memory byte k XOR 1 (the emulated 68000's chip RAM).
constexpr uint8_t sampleWordSwapped = 0x01;

// One change to one voice. Fields that the flags do not name are not read.
struct VoiceCommand {
    uint16_t flags;  // cmd* bits below
    uint8_t slot;    // sample slot
    uint8_t voice;   // set-relative voice
    uint16_t volume; // 0-255 (higher values count as 255)
    uint32_t period; // Amiga period << 16; the low 16 bits are ignored
    uint32_t offset; // byte offset into the slot
    uint16_t delay;  // microseconds to wait before sounding (with cmdDelay)
    uint32_t length; // bytes (cmdLoopRange, cmdQueue)
};

// VoiceCommand flags. The Mixer applies them in the order stop, volume,
// period, queue, trigger; a command with no flag is ignored.
enum : uint16_t {
    cmdTrigger = 0x0001,     // start the slot's sample at offset, with the slot's loop
    cmdVolume = 0x0002,      // set the volume
    cmdPeriod = 0x0004,      // set the pitch from the period
    cmdKeepPlaying = 0x0010, // with cmdTrigger: a playing voice only takes the slot's loop
    cmdDelay = 0x0020,       // with cmdTrigger: wait delay microseconds before sounding
    cmdLoopRange = 0x0040,   // with cmdTrigger: play and loop offset..offset+length
    cmdStop = 0x0080,        // stop the voice
    // The Amiga's location and length registers: an idle voice starts and loops
    // offset..offset+length; a playing voice takes the range as its next loop.
    cmdQueue = 0x0100,
};

// What a device calls itself and how many voices it has.
struct DeviceInfo {
    const char* name;
    uint32_t voiceCount;
};

// The 17 device operations, in slot order. The Mixer implements them; the
// AudioEngine forwards them to the Mixer.
class SoundDevice {
public:
    virtual uint32_t openDevice() = 0; // 1 ok, 0 failed
    virtual void closeDevice() = 0;
    virtual uint32_t resetVoices(const VoiceSet* set) = 0; // 1
    virtual void setDeviceOption(uint32_t option) = 0;
    virtual void voiceCommand(const VoiceCommand* command, uint32_t voice) = 0; // absolute voice
    virtual uint32_t render(const VoiceSet* set) = 0; // frame counter after the block
    virtual void readSample(void* destination, uint32_t slot, uint32_t offset, uint32_t length) = 0;
    virtual void writeSample(const void* source, uint32_t slot, uint32_t offset,
                             uint32_t length) = 0;
    virtual uint32_t uploadSample(uint32_t slot, const SampleDescriptor* descriptor) = 0;
    virtual uint32_t isAvailable() = 0;
    virtual void updateVoiceUsage(const uint32_t inUse[256]) = 0;
    virtual const DeviceInfo* deviceInfo() = 0;
    virtual TickTimer* deviceTickTimer() = 0;
    virtual void boostOn() = 0;
    virtual void boostOff() = 0;
    virtual void freeSamples() = 0;
    virtual void setDeviceRate(uint32_t rate) = 0;

protected:
    ~SoundDevice() = default;
};

} // namespace pelmit
