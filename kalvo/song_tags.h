// The song fields that a TQZ file's ID3v2.3 tag gives: what the player's
// playlist, the information dialog and the song-details page show.
#pragma once

#include "kalvo/id3_reader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kalvo {

struct SongTags {
    std::string fileName;
    std::string title;             // TIT2
    std::string artist;            // TPE1
    std::string album;             // TALB
    std::string series;            // TSER
    std::string comment;           // COMM, the raw body up to its first zero byte
    std::string size;              // TSIZ, bytes as text
    std::string copyright;         // TCOP
    std::string publisher;         // TPUB
    std::string length;            // TLEN, ms as text
    std::string commercialAddress; // WCOM
    std::string artistAddress;     // WOAR
    std::string fileAddress;       // WOAF
    std::string fileType;          // TFLT
    std::string pictureMimeType;   // APIC
    std::string blurb;             // TXXX "OrvaneBLURB"
    std::string songId;            // UFID, 32 lower-case hex digits
};

constexpr const char* titleFileMissing = "File Missing or Deleted";
constexpr const char* titleNotValid = "Not a Valid Orvane Song File";
constexpr const char* blurbDescription = "OrvaneBLURB";

// Reads the tags of the file at path into tags (every field cleared first).
// A missing file or one without a valid ID3v2.3 tag still answers: the
// artist becomes the file name and the title tells the reason. When cover is
// given it receives the data of the last picture whose MIME type is exactly
// "image/jpeg", and stays as it was when there is none. Reader errors are
// written to errors as "ID3: error %d line %d".
void readTags(const std::string& path, SongTags& tags, std::vector<uint8_t>* cover = nullptr,
              WideToAnsiFn toAnsi = wideToLatin1, std::FILE* errors = stderr);

// The title the player shows for a song: the artist, "-", the title.
std::string songTitle(const SongTags& tags);

} // namespace kalvo
