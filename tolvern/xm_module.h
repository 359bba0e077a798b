// The XM module that a conversion fills row by row and then writes, with the
// fixed instrument block and the song's digidrums as raw sample files.
#ifndef TOLVERN_XM_MODULE_H
#define TOLVERN_XM_MODULE_H

#include "tolvern/xm_channel.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tolvern {

class _corvel_YM;
class MessageSink;

constexpr int kXmMaxPatterns = 256;
constexpr int kXmRows = 256;
constexpr int kXmPatternData = kXmRows * kXmChannels * kMaxCellSize; // 15,360 bytes
constexpr int kXmHeaderSize = 336;

struct xmPattern {
    uint32_t headerLength = 9;
    uint8_t packType = 0;
    uint16_t numRows = 0;
    uint16_t patDataSize = 0;
    uint8_t data[kXmPatternData];
};

class XmModule {
public:
    XmModule();

    void WriteToPattern(const uint8_t* cell, int length);
    void NextLine();
    // The patterns written so far, the last one counted once it holds a row.
    int PatternCount() const { return int(ActualPattern) + (ActualLine > 0 ? 1 : 0); }
    bool Full() const { return ActualPattern >= kXmMaxPatterns; }
    const xmPattern& GetPattern(int i) const { return Pattern[size_t(i)]; }

    // The whole XM file as it is written.
    std::vector<uint8_t> Build() const;
    // Writes the XM file and the digidrums of the song, telling the sink of any
    // file that cannot be written; false when the XM file is not written.
    bool SaveModule(const char* xmName, const _corvel_YM& song, MessageSink* sink) const;

private:
    uint32_t PatPointer = 0;
    uint32_t ActualPattern = 0;
    uint32_t ActualLine = 0;
    std::unique_ptr<xmPattern[]> Pattern;
};

// The eight instruments written behind the patterns: 7,063 bytes.
const std::vector<uint8_t>& Instruments();

} // namespace tolvern

#endif
