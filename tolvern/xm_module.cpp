#include "tolvern/xm_module.h"

#include "tolvern/byte_writer.h"
#include "tolvern/message_sink.h"
#include "tolvern/ym.h"

#include <cstdio>
#include <cstring>

namespace tolvern {

namespace {

bool writeFile(const char* name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(name, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace

XmModule::XmModule() : Pattern(new xmPattern[kXmMaxPatterns]) {}

void XmModule::WriteToPattern(const uint8_t* cell, int length) {
    if (Full() || PatPointer + uint32_t(length) > uint32_t(kXmPatternData)) return;
    xmPattern& p = Pattern[ActualPattern];
    std::memcpy(p.data + PatPointer, cell, size_t(length));
    PatPointer += uint32_t(length);
    p.patDataSize = uint16_t(PatPointer);
}

void XmModule::NextLine() {
    if (Full()) return;
    Pattern[ActualPattern].numRows = uint16_t(++ActualLine);
    if (ActualLine == kXmRows) {
        ++ActualPattern;
        ActualLine = 0;
        PatPointer = 0;
    }
}

std::vector<uint8_t> XmModule::Build() const {
    const int patterns = PatternCount();
    std::vector<uint8_t> out;
    out.reserve(kXmHeaderSize + size_t(patterns) * (9 + kXmPatternData) + Instruments().size());
    putText(out, "Extended Module: ", 17);
    putText(out, "Converted by Melchor", 20);
    out.push_back(0x1A);
    putText(out, "FastTracker v2.00   ", 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, unsigned(patterns)); // song length
    put16(out, 0);                  // restart position
    put16(out, kXmChannels);
    put16(out, unsigned(patterns));
    put16(out, 8); // instruments
    put16(out, 1); // linear frequency table
    put16(out, 2); // ticks per row
    put16(out, 250);
    for (int i = 0; i < 256; ++i) out.push_back(i < patterns ? uint8_t(i) : 0);
    for (int i = 0; i < patterns; ++i) {
        const xmPattern& p = Pattern[size_t(i)];
        put32(out, 9);
        out.push_back(0);
        put16(out, p.numRows);
        put16(out, p.patDataSize);
        out.insert(out.end(), p.data, p.data + p.patDataSize);
    }
    out.insert(out.end(), Instruments().begin(), Instruments().end());
    return out;
}

bool XmModule::SaveModule(const char* xmName, const _corvel_YM& song, MessageSink* sink) const {
    const std::vector<uint8_t> file = Build();
    if (!writeFile(xmName, file.data(), file.size())) {
        if (sink) sink->show(xmName, "Not written :");
        return false;
    }
    // Digidrums are unsigned in the song and signed in a tracker's sample files.
    for (int i = 0; i < song.GetSampleAmount(); ++i) {
        const std::vector<uint8_t>& bytes = song.GetSample(i);
        if (bytes.empty()) continue;
        std::vector<uint8_t> signedBytes(bytes.size());
        for (size_t k = 0; k < bytes.size(); ++k) signedBytes[k] = uint8_t(bytes[k] + 0x80);
        char name[32];
        std::snprintf(name, sizeof name, "sample%d.smp", i + 16);
        if (!writeFile(name, signedBytes.data(), signedBytes.size()) && sink)
            sink->show(name, "Not written :");
    }
    return true;
}

} // namespace tolvern
