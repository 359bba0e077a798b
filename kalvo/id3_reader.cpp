#include "kalvo/id3_reader.h"

#include "common/byte_order.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kalvo {

namespace {

constexpr const char* textFrameIds[] = {
    "TALB", "TBPM", "TCOM", "TCON", "TCOP", "TDAT", "TDLY", "TENC", "TEXT", "TFLT",
    "TIME", "TIT1", "TIT2", "TIT3", "TKEY", "TLAN", "TLEN", "TMED", "TOAL", "TOFN",
    "TOLY", "TOPE", "TORY", "TOWN", "TPE1", "TPE2", "TPE3", "TPE4", "TPOS", "TPUB",
    "TRCK", "TRDA", "TRSN", "TRSO", "TSEE", "TSER", "TSIZ", "TSRC"};

constexpr const char* linkFrameIds[] = {"WCOM", "WCOP", "WOAF", "WOAR",
                                        "WOAS", "WORS", "WPAY", "WPUB"};

// Bodies are read in pieces, so that a size that the file cannot back never
// turns into one huge allocation before the read fails.
constexpr uint32_t readPiece = 64 * 1024;

// One text field in the frame's encoding, from p up to its terminator (or
// the end of the body); *next is set after the terminator.
std::string decodeText(uint8_t encoding, const uint8_t* p, const uint8_t* end, const uint8_t** next,
                       WideToAnsiFn toAnsi) {
    if (encoding != 1 && encoding != 2) {
        const uint8_t* zero = std::find(p, end, uint8_t(0));
        *next = zero == end ? end : zero + 1;
        return std::string(reinterpret_cast<const char*>(p), size_t(zero - p));
    }
    bool bigEndian = encoding == 2;
    if (encoding == 1 && end - p >= 2) {
        if (p[0] == 0xFE && p[1] == 0xFF)
            bigEndian = true, p += 2;
        else if (p[0] == 0xFF && p[1] == 0xFE)
            p += 2;
    }
    std::u16string wide;
    *next = end;
    while (end - p >= 2) {
        char16_t c = bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
        p += 2;
        if (c == 0) {
            *next = p;
            break;
        }
        wide.push_back(c);
    }
    return toAnsi(wide);
}

} // namespace

std::string wideToLatin1(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(c < 0x100 ? char(c) : '?');
    return out;
}

Id3Kind id3KindOf(const char* id) {
    for (const char* t : textFrameIds)
        if (std::strcmp(id, t) == 0) return Id3Kind::text;
    for (const char* t : linkFrameIds)
        if (std::strcmp(id, t) == 0) return Id3Kind::link;
    if (std::strcmp(id, "TXXX") == 0) return Id3Kind::userText;
    if (std::strcmp(id, "APIC") == 0) return Id3Kind::picture;
    if (std::strcmp(id, "UFID") == 0) return Id3Kind::fileId;
    return Id3Kind::other;
}

int Id3Reader::open(Id3ReadFn read, Id3SkipFn skip, void* user, WideToAnsiFn toAnsi) {
    read_ = read;
    skip_ = skip;
    user_ = user;
    toAnsi_ = toAnsi ? toAnsi : wideToLatin1;
    state_ = fresh;
    left_ = 0;
    return read && skip ? id3Ok : id3NoReader;
}

int Id3Reader::skipBytes(uint32_t n) {
    if (n == 0) return id3Ok;
    if (skip_(user_, n) <= 0) return id3IoFailed;
    left_ -= std::min(n, left_);
    return id3Ok;
}

int Id3Reader::readHeader(Id3Header* out) {
    if (!read_) return id3NoReader;
    if (state_ != fresh) return id3BadState;
    uint8_t h[10];
    if (read_(user_, h, 10) <= 0) return id3IoFailed;
    if (std::memcmp(h, "ID3", 3) != 0) return id3NotId3;
    Id3Header header;
    header.version = uint16_t(h[3] << 8 | h[4]);
    header.flags = h[5];
    header.size = uint32_t(h[6] & 0x7F) << 21 | uint32_t(h[7] & 0x7F) << 14 |
                  uint32_t(h[8] & 0x7F) << 7 | (h[9] & 0x7F);
    left_ = header.size;
    if (header.flags & 0x40) {
        // The extended header's size excludes its own four bytes; both come
        // out of the tag, and neither may reach past it.
        uint8_t s[4];
        if (left_ < 4 || read_(user_, s, 4) <= 0) return id3IoFailed;
        left_ -= 4;
        uint32_t extended = std::min(jk::loadBe32(s), left_);
        if (int rc = skipBytes(extended)) return rc;
    }
    if (out) *out = header;
    state_ = betweenFrames;
    return id3Ok;
}

int Id3Reader::nextFrame(Id3FrameHeader* out) {
    if (!read_) return id3NoReader;
    if (state_ == frameHeaderRead) {
        if (int rc = skipFrame()) return rc;
    }
    if (state_ != betweenFrames) return id3BadState;
    if (left_ <= 9) {
        int rc = skipBytes(left_);
        state_ = endOfTag;
        return rc ? rc : id3EndOfTag;
    }
    uint8_t h[10];
    if (read_(user_, h, 10) <= 0) return id3IoFailed;
    left_ -= 10;
    if (h[0] == 0) { // padding runs to the end of the tag
        int rc = skipBytes(left_);
        state_ = endOfTag;
        return rc ? rc : id3EndOfTag;
    }
    Id3FrameHeader f;
    std::memcpy(f.id, h, 4);
    f.id[4] = '\0';
    // A size past the tag's end is cut to what the tag still holds.
    f.size = std::min(jk::loadBe32(h + 4), left_);
    f.flags = uint16_t(h[8] << 8 | h[9]);
    frame_ = f;
    if (out) *out = f;
    state_ = frameHeaderRead;
    return id3Ok;
}

int Id3Reader::skipFrame() {
    if (!read_) return id3NoReader;
    if (state_ != frameHeaderRead) return id3BadState;
    if (frame_.size > left_) return id3SkipTooFar;
    if (int rc = skipBytes(frame_.size)) return rc;
    state_ = betweenFrames;
    return id3Ok;
}

int Id3Reader::readFrame(Id3Frame* frame) {
    if (!read_) return id3NoReader;
    if (state_ != frameHeaderRead) return id3BadState;
    freeFrame(frame);
    frame->header = frame_;
    try {
        uint32_t done = 0;
        while (done < frame_.size) {
            uint32_t n = std::min(readPiece, frame_.size - done);
            frame->body.resize(done + n);
            if (read_(user_, frame->body.data() + done, n) <= 0) return id3IoFailed;
            done += n;
        }
        left_ -= frame_.size;
        split(*frame);
    } catch (const std::bad_alloc&) {
        freeFrame(frame);
        return id3NoMemory;
    }
    state_ = betweenFrames;
    return id3Ok;
}

void Id3Reader::split(Id3Frame& f) const {
    f.kind = id3KindOf(f.header.id);
    const uint8_t* p = f.body.data();
    const uint8_t* end = p + f.body.size();
    const uint8_t* next = end;
    switch (f.kind) {
    case Id3Kind::text:
        if (p < end) f.text = decodeText(p[0], p + 1, end, &next, toAnsi_);
        break;
    case Id3Kind::userText:
        if (p < end) {
            f.description = decodeText(p[0], p + 1, end, &next, toAnsi_);
            f.text = decodeText(p[0], next, end, &next, toAnsi_);
        }
        break;
    case Id3Kind::link: f.text = decodeText(0, p, end, &next, toAnsi_); break;
    case Id3Kind::picture:
        if (p < end) {
            uint8_t encoding = p[0];
            f.mimeType = decodeText(0, p + 1, end, &next, toAnsi_);
            if (next < end) {
                f.pictureType = *next;
                f.description = decodeText(encoding, next + 1, end, &next, toAnsi_);
            }
            f.dataOffset = uint32_t(next - p);
            f.dataLength = uint32_t(end - next);
        }
        break;
    case Id3Kind::fileId:
        f.owner = decodeText(0, p, end, &next, toAnsi_);
        // The owner's terminator, then a 0 byte and the 16 identifier bytes.
        if (end - next >= 17 && next[-1] == 0 && next[0] == 0) {
            f.hasIdentifier = true;
            std::memcpy(f.identifier, next + 1, 16);
        }
        break;
    case Id3Kind::other: break;
    }
}

void Id3Reader::freeFrame(Id3Frame* frame) {
    *frame = Id3Frame();
}

} // namespace kalvo
