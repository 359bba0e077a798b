#include "tolvern/ym.h"

#include "tolvern/lha.h"
#include "tolvern/message_sink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tolvern {

namespace {

const char kCheckString[] = "TaMbUrK!";
const char kCorrupted[] = "Corrupted lh5 - file !";

struct YmMagic {
    char magic[5];
    int type;
};

const YmMagic kMagics[] = {
    {"YM2!", 2}, {"YM3!", 3}, {"YM4!", 4}, {"YM5!", 5}, {"YM6!", 6}, {"YM3b", kYm3b},
};

// A packed YM file is never larger than this; anything bigger is not read whole.
constexpr long kMaxPackedSize = long(2 * kMaxDepackedSize);

} // namespace

_corvel_YM::_corvel_YM(MessageSink* sink) : sink_(sink) {}

void _corvel_YM::report(const char* text, const char* caption) const {
    if (sink_) sink_->show(text, caption);
}

void _corvel_YM::copyText(const char* text, char* buffer, size_t size) {
    if (size == 0) return;
    size_t n = std::min(std::strlen(text), size - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

int _corvel_YM::LoadFile(const char* name) {
    return ymLoadFile(name);
}

int _corvel_YM::ymLoadFile(const char* name) {
    std::vector<uint8_t> image;
    if (!DepackFile(name, image)) return 0;
    return ymLoadImage(image.data(), image.size());
}

// Depacks in memory: no working file can overwrite or outlive a user's file.
int _corvel_YM::DepackFile(const char* name, std::vector<uint8_t>& out) {
    FILE* f = std::fopen(name, "rb");
    if (!f) {
        report(name, "Not found :");
        return 0;
    }
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    bool tooLarge = size < 0 || size > kMaxPackedSize;
    std::vector<uint8_t> file(tooLarge ? 22 : size_t(size));
    size_t got = std::fread(file.data(), 1, file.size(), f);
    std::fclose(f);
    file.resize(got);

    LhaStatus status = depackLha(file.data(), file.size(), out);
    if (tooLarge && status != LhaStatus::notLha && status != LhaStatus::badLevel)
        status = LhaStatus::tooLarge;
    switch (status) {
    case LhaStatus::ok: return 1;
    case LhaStatus::notLha: report(name, "Not an lha file :"); break;
    case LhaStatus::badLevel: report("LHA header level must be 0", "Error :"); break;
    case LhaStatus::crcMismatch: report("CRC error in lh5 - file !", "Error :"); break;
    case LhaStatus::emptyMember:
    case LhaStatus::tooLarge:
    case LhaStatus::truncated: report(kCorrupted, "Error :"); break;
    }
    out.clear();
    return 0;
}

int _corvel_YM::ymLoadImage(const uint8_t* data, size_t size) {
    ymFileSize = uint32_t(size);
    if (!ymGetType(data, size)) return 0;
    switch (ymType) {
    case 2:
    case 3: return ymLoadYM2(data, size);
    case 4: return ymLoadYM4(data, size);
    case 5:
    case 6: return ymLoadYM5(data, size);
    default: return 1; // YM3b is recognised but holds nothing we convert
    }
}

int _corvel_YM::ymGetType(const uint8_t* data, size_t size) {
    ymType = 0;
    for (const YmMagic& m : kMagics)
        if (size >= 4 && std::memcmp(data, m.magic, 4) == 0) ymType = m.type;
    if (ymType == 0) {
        report("File is either not an YM-file or not depacked !", "Error");
        return 0;
    }
    if (ymType < 4 || ymType == kYm3b) return 1;
    if (size >= 12 && std::memcmp(data + 4, kCheckString, 8) == 0) return 1;
    report("Wrong check string in YM-file !", "Error");
    return 0;
}

int _corvel_YM::ymLoadYM2(const uint8_t* data, size_t size) {
    std::strcpy(ymTitle, "not available");
    std::strcpy(ymAuthor, "not available");
    std::strcpy(ymComment, "not available");
    dwHeaderSize = 4;
    ymDigiDrums = 0;
    uint32_t frames = uint32_t((size - 4) / 14);
    ymLines = int(std::min<uint32_t>(frames, kYmMaxFrames));
    ymDeleave14(data + 4, frames);
    return 1;
}

int _corvel_YM::ymLoadYM4(const uint8_t* data, size_t size) {
    if (size < 28) {
        report("YM-file is truncated !", "Error");
        return 0;
    }
    uint32_t frames = m2il(data + 12);
    ymSongAttributes = int(m2il(data + 16));
    uint32_t drums = m2il(data + 20);
    size_t pos = 28;
    if (!readDrums(data, size, pos, drums, true) || !readTexts(data, size, pos)) return 0;
    return readFrames(data, size, pos, frames, 16);
}

int _corvel_YM::ymLoadYM5(const uint8_t* data, size_t size) {
    if (size < 34) {
        report("YM-file is truncated !", "Error");
        return 0;
    }
    uint32_t frames = m2il(data + 12);
    ymSongAttributes = int(m2il(data + 16));
    uint32_t drums = m2iw(data + 20);
    size_t pos = 34 + m2iw(data + 32);
    bool copy = (ymSongAttributes & 2) != 0 || ymSongAttributes == 1;
    if (!readDrums(data, size, pos, drums, copy) || !readTexts(data, size, pos)) return 0;
    return readFrames(data, size, pos, frames, 16);
}

// Walks every declared digidrum within the file and keeps the first 32.
bool _corvel_YM::readDrums(const uint8_t* data, size_t size, size_t& pos, uint32_t count,
                           bool copy) {
    for (uint32_t i = 0; i < count; ++i) {
        if (pos > size || size - pos < 4 || m2il(data + pos) > size - pos - 4) {
            report("YM-file is truncated !", "Error");
            return false;
        }
        uint32_t length = m2il(data + pos);
        pos += 4;
        if (i < kYmMaxDrums) {
            if (copy)
                sample[i].assign(data + pos, data + pos + length);
            else
                sample[i].assign(length, 0);
            sampleLength[i] = length;
            ymSampleAmount = int(i) + 1;
        }
        pos += length;
    }
    ymDigiDrums = count != 0;
    return true;
}

bool _corvel_YM::readTexts(const uint8_t* data, size_t size, size_t& pos) {
    for (char* text : {ymTitle, ymAuthor, ymComment}) {
        const uint8_t* end =
            pos < size ? static_cast<const uint8_t*>(std::memchr(data + pos, 0, size - pos))
                       : nullptr;
        if (!end) {
            report("YM-file is truncated !", "Error");
            return false;
        }
        size_t n = std::min<size_t>(size_t(end - (data + pos)), kYmTextSize - 1);
        std::memcpy(text, data + pos, n);
        text[n] = '\0';
        pos = size_t(end - data) + 1;
    }
    return true;
}

// Register r of frame i lies at r * declared + i, so only the frames whose last
// register is inside the file are complete.
int _corvel_YM::readFrames(const uint8_t* data, size_t size, size_t pos, uint32_t declared,
                           int registers) {
    dwHeaderSize = uint32_t(pos);
    uint64_t available = size - pos;
    uint64_t before = uint64_t(registers - 1) * declared;
    uint64_t complete = available > before ? std::min<uint64_t>(declared, available - before) : 0;
    ymLines = int(std::min<uint64_t>(complete, kYmMaxFrames));
    if (declared != 0 && ymLines == 0) {
        report("YM-file is truncated !", "Error");
        return 0;
    }
    if (registers == 16)
        ymDeleave16(data + dwHeaderSize, declared);
    else
        ymDeleave14(data + dwHeaderSize, declared);
    return 1;
}

void _corvel_YM::ymDeleave14(const uint8_t* data, uint32_t stride) {
    songLine.assign(size_t(ymLines), _corvel_YM_LINE{});
    const size_t s = stride;
    for (size_t i = 0; i < size_t(ymLines); ++i) {
        const uint8_t* r = data + i;
        _corvel_YM_LINE& l = songLine[i];
        l.PeriodA = uint16_t(r[1 * s] << 8 | r[0]);
        l.PeriodB = uint16_t(r[3 * s] << 8 | r[2 * s]);
        l.PeriodC = uint16_t(r[5 * s] << 8 | r[4 * s]);
        l.PeriodNoice = r[6 * s];
        l.MixerControl = r[7 * s];
        l.VolumeA = r[8 * s];
        l.VolumeB = r[9 * s];
        l.VolumeC = r[10 * s];
        l.WaveformPeriod = uint16_t(r[12 * s] << 8 | r[11 * s]);
        l.WaveformShape = r[13 * s];
    }
}

void _corvel_YM::ymDeleave16(const uint8_t* data, uint32_t stride) {
    ymDeleave14(data, stride);
    for (size_t i = 0; i < size_t(ymLines); ++i) {
        songLine[i].Timer1 = data[14 * size_t(stride) + i];
        songLine[i].Timer2 = data[15 * size_t(stride) + i];
    }
}

} // namespace tolvern
