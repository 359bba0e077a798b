// One YM song: the chip's registers frame by frame, its texts and digidrums.
#ifndef TOLVERN_YM_H
#define TOLVERN_YM_H

#include "common/byte_order.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvern {

class MessageSink;
class XmChannel;
class XmModule;

#pragma pack(push, 1)
struct _corvel_YM_LINE {
    uint16_t PeriodA;
    uint16_t PeriodB;
    uint16_t PeriodC;
    uint8_t PeriodNoice;
    uint8_t MixerControl;
    uint8_t VolumeA;
    uint8_t VolumeB;
    uint8_t VolumeC;
    uint16_t WaveformPeriod;
    uint8_t WaveformShape;
    uint8_t Timer1;
    uint8_t Timer2;
};
#pragma pack(pop)
static_assert(sizeof(_corvel_YM_LINE) == 16, "a frame record is 16 bytes");

constexpr int kYmMaxFrames = 180000;
constexpr int kYmMaxDrums = 32;
constexpr int kYmTextSize = 256;
constexpr int kYm3b = 30;

class _corvel_YM {
public:
    explicit _corvel_YM(MessageSink* sink = nullptr);

    // Result 1 when the file loaded (a YM3b loads no frames), else 0 after
    // telling the sink why.
    int LoadFile(const char* name);
    // Converts every frame (at most 256 patterns' worth) and writes the XM file
    // and the digidrum sample files. Result 1 on success; 0 when there is nothing
    // to convert or the file cannot be written, and then no file is touched.
    int Convert(const char* xmName, XmModule& module, XmChannel* channels);

    int GetType() const { return ymType; }
    int GetLines() const { return ymLines; }
    void GetAuthor(char* buffer, size_t size) const { copyText(ymAuthor, buffer, size); }
    void GetTitle(char* buffer, size_t size) const { copyText(ymTitle, buffer, size); }
    void GetComment(char* buffer, size_t size) const { copyText(ymComment, buffer, size); }
    int GetPlayTime() const { return ymLines / 50; }
    int GetSampleAmount() const { return ymSampleAmount; }
    const _corvel_YM_LINE* GetLine(int i) const { return &songLine[size_t(i)]; }
    const std::vector<uint8_t>& GetSample(int i) const { return sample[i]; }
    uint32_t GetSampleLength(int i) const { return sampleLength[i]; }
    int GetAttributes() const { return ymSongAttributes; }

    // Loads an already depacked YM image (the second half of LoadFile).
    int ymLoadImage(const uint8_t* data, size_t size);

private:
    int ymLoadFile(const char* name);
    int DepackFile(const char* name, std::vector<uint8_t>& out);
    int ymGetType(const uint8_t* data, size_t size);
    int ymLoadYM2(const uint8_t* data, size_t size);
    int ymLoadYM4(const uint8_t* data, size_t size);
    int ymLoadYM5(const uint8_t* data, size_t size);
    bool readDrums(const uint8_t* data, size_t size, size_t& pos, uint32_t count, bool copy);
    bool readTexts(const uint8_t* data, size_t size, size_t& pos);
    int readFrames(const uint8_t* data, size_t size, size_t pos, uint32_t declared, int registers);
    void ymDeleave14(const uint8_t* data, uint32_t stride);
    void ymDeleave16(const uint8_t* data, uint32_t stride);
    void report(const char* text, const char* caption) const;
    static void copyText(const char* text, char* buffer, size_t size);

    MessageSink* sink_;

    int ymDigiDrums = 0;
    int ymTypeRealized = 0;
    uint32_t dwHeaderSize = 0;
    uint32_t ymFileSize = 0;
    int ymType = 0;
    int ymLines = 0;
    std::vector<_corvel_YM_LINE> songLine;
    char ymAuthor[kYmTextSize] = {};
    char ymTitle[kYmTextSize] = {};
    char ymComment[kYmTextSize] = {};
    int ymSongAttributes = 0;
    int ymSampleAmount = 0;
    std::vector<uint8_t> sample[kYmMaxDrums];
    uint32_t sampleLength[kYmMaxDrums] = {};
};

// Big-endian readers of the YM headers.
inline uint16_t m2iw(const uint8_t* p) {
    return jk::loadBe16(p);
}
inline uint32_t m2il(const uint8_t* p) {
    return jk::loadBe32(p);
}
inline uint32_t GetValue(const uint8_t* p, int size) {
    return size == 2 ? m2iw(p) : size == 4 ? m2il(p) : 0;
}

} // namespace tolvern

#endif
