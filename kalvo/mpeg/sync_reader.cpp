#include "kalvo/mpeg/sync_reader.h"

namespace kalvo {

void SyncReader::reset() {
    reader_.clear();
    header_ = FrameHeader{};
    status_ = sscSyncSearched;
    lockedPattern_ = 0;
    doubleChecks_ = 0;
    skipped_ = 0;
}

Mp3Ssc SyncReader::findFrame() {
    if (status_ == sscSyncEof) return status_;
    if (reader_.attached()) {
        if (header_.valid && reader_.bitsHeld() < header_.frameLengthBits)
            reader_.fill();
        else if (status_ == sscSyncSearched || status_ == sscSyncNeedData ||
                 reader_.bitsHeld() == 0)
            reader_.fill();
    }
    if (reader_.bitsHeld() < 32)
        status_ =
            (status_ == sscOk || status_ == sscSyncNeedData) ? sscSyncNeedData : sscSyncSearched;
    else if (status_ != sscOk && status_ != sscSyncNeedData)
        status_ = search();
    else
        status_ = checkNext();
    if (reader_.inputEnded() && (status_ == sscSyncSearched || status_ == sscSyncNeedData))
        status_ = sscSyncEof;
    return status_;
}

bool SyncReader::agrees(uint32_t word) const {
    return (word & headerLockMask) == lockedPattern_ && parseFrameHeader(word).valid;
}

Mp3Ssc SyncReader::search() {
    while (reader_.bitsHeld() >= 32) {
        uint32_t word = reader_.read32();
        FrameHeader h = parseFrameHeader(word);
        if (h.valid) {
            if (reader_.bitsHeld() + 32 < h.frameLengthBits + 32) {
                reader_.skip(-32);
                return sscSyncSearched;
            }
            reader_.skip(int32_t(h.frameLengthBits) - 32);
            uint32_t next = reader_.read32();
            reader_.skip(-int32_t(h.frameLengthBits));
            if ((next & headerLockMask) == (word & headerLockMask)) {
                lockedPattern_ = word & headerLockMask;
                doubleChecks_ = 10;
                header_ = h;
                reader_.skip(-32);
                return sscOk;
            }
        }
        ++skipped_;
        reader_.skip(-31);
    }
    return sscSyncSearched;
}

Mp3Ssc SyncReader::checkNext() {
    uint32_t word = reader_.read32();
    FrameHeader h = parseFrameHeader(word);
    if (!h.valid || (word & headerLockMask) != lockedPattern_) {
        reader_.skip(-32);
        return sscSyncLost;
    }
    header_ = h;
    if (reader_.bitsHeld() < h.frameLengthBits - 32) {
        reader_.skip(-32);
        return sscSyncNeedData;
    }
    // The first ten frames after a search also check the header after them.
    int32_t walked = 32;
    if (doubleChecks_ > 0 && reader_.bitsHeld() + 32 >= h.frameLengthBits + 32) {
        reader_.skip(int32_t(h.frameLengthBits) - 32);
        uint32_t next = reader_.read32();
        walked = int32_t(h.frameLengthBits) + 32;
        if (!agrees(next)) {
            reader_.skip(-walked);
            return sscSyncLost;
        }
        --doubleChecks_;
    }
    reader_.skip(-walked);
    return sscOk;
}

} // namespace kalvo
