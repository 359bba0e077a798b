// A small ID3v2 reader: the 10-byte tag header, then one frame at a time
// through caller-given read and skip functions, each frame body split by
// its kind. Only what the song fields need is decoded; everything is
// bounded by the tag and by the frame, whatever the sizes in the file say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kalvo {

enum Id3Code {
    id3Ok = 0,
    id3NoMemory = -3,
    id3IoFailed = -4,   // the read or skip function failed
    id3NotId3 = -5,     // the file does not begin with "ID3"
    id3BadState = -7,   // not allowed in the reader's state
    id3NoReader = -8,   // Open was not called
    id3SkipTooFar = -9, // too few tag bytes left to skip the frame
    id3EndOfTag = -10,  // no more frames
};

// Both give a positive value on success: the read when all length bytes
// were read, the skip when the position moved forward by length.
using Id3ReadFn = int (*)(void* user, uint8_t* buffer, uint32_t length);
using Id3SkipFn = int (*)(void* user, uint32_t length);

// UTF-16 text (encoding 1) becomes text of the player's code page through
// this; the portable default keeps Latin-1 and writes '?' for the rest.
using WideToAnsiFn = std::string (*)(const std::u16string& text);
std::string wideToLatin1(const std::u16string& text);

struct Id3Header {
    uint16_t version = 0; // major byte, revision byte: 0x0300 for ID3v2.3.0
    uint8_t flags = 0;
    uint32_t size = 0; // the synch-safe size: the tag's bytes after the header
};

struct Id3FrameHeader {
    char id[5] = "";
    uint32_t size = 0;
    uint16_t flags = 0;
};

enum class Id3Kind { other = 0, text = 1, userText = 2, link = 3, picture = 5, fileId = 6 };

struct Id3Frame {
    Id3FrameHeader header;
    Id3Kind kind = Id3Kind::other;
    std::vector<uint8_t> body;
    std::string text;        // text: the text; userText: the value; link: the address
    std::string description; // userText and picture
    std::string mimeType;    // picture
    uint8_t pictureType = 0;
    uint32_t dataOffset = 0, dataLength = 0; // picture data within body
    std::string owner;                       // fileId
    bool hasIdentifier = false;              // fileId: a 0 byte and 16 bytes after the owner
    uint8_t identifier[16] = {};
};

class Id3Reader {
public:
    enum State { fresh = 0, betweenFrames = 1, frameHeaderRead = 2, endOfTag = 3 };

    int open(Id3ReadFn read, Id3SkipFn skip, void* user, WideToAnsiFn toAnsi = wideToLatin1);
    int readHeader(Id3Header* out);
    int nextFrame(Id3FrameHeader* out);
    int readFrame(Id3Frame* frame);
    int skipFrame();
    static void freeFrame(Id3Frame* frame);

    State state() const { return state_; }
    uint32_t bytesLeft() const { return left_; }

private:
    int skipBytes(uint32_t n);
    void split(Id3Frame& f) const;

    Id3ReadFn read_ = nullptr;
    Id3SkipFn skip_ = nullptr;
    void* user_ = nullptr;
    WideToAnsiFn toAnsi_ = wideToLatin1;
    State state_ = fresh;
    uint32_t left_ = 0;
    Id3FrameHeader frame_;
};

// The kind of a frame id (text frames, TXXX, links, APIC, UFID, other).
Id3Kind id3KindOf(const char* id);

} // namespace kalvo
