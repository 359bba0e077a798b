#include "kalvo/song_tags.h"

#include <cstring>

namespace kalvo {

namespace {

// The steps that an error report names.
enum { stepOpen = 534, stepHeader = 536, stepFrame = 554 };

int readFromFile(void* user, uint8_t* buffer, uint32_t length) {
    return std::fread(buffer, 1, length, static_cast<std::FILE*>(user)) == length ? 1 : 0;
}

int skipInFile(void* user, uint32_t length) {
    return std::fseek(static_cast<std::FILE*>(user), long(length), SEEK_CUR) == 0 ? 1 : 0;
}

void report(std::FILE* errors, int code, int step) {
    if (errors && code != id3EndOfTag) std::fprintf(errors, "ID3: error %d line %d\n", code, step);
}

std::string hexDigits(const uint8_t* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

void store(const Id3Frame& f, SongTags& tags, std::vector<uint8_t>* cover) {
    static const struct {
        const char* id;
        std::string SongTags::*field;
    } fields[] = {
        {"TIT2", &SongTags::title},         {"TPE1", &SongTags::artist},
        {"TALB", &SongTags::album},         {"TSER", &SongTags::series},
        {"TSIZ", &SongTags::size},          {"TCOP", &SongTags::copyright},
        {"TPUB", &SongTags::publisher},     {"TLEN", &SongTags::length},
        {"TFLT", &SongTags::fileType},      {"WCOM", &SongTags::commercialAddress},
        {"WOAR", &SongTags::artistAddress}, {"WOAF", &SongTags::fileAddress},
    };
    const char* id = f.header.id;
    for (const auto& e : fields) {
        if (std::strcmp(id, e.id) == 0) {
            tags.*e.field = f.text;
            return;
        }
    }
    if (std::strcmp(id, "COMM") == 0) {
        const char* p = reinterpret_cast<const char*>(f.body.data());
        tags.comment.assign(p, strnlen(p, f.body.size()));
    } else if (f.kind == Id3Kind::userText) {
        if (f.description == blurbDescription) tags.blurb = f.text;
    } else if (f.kind == Id3Kind::fileId) {
        if (f.hasIdentifier) tags.songId = hexDigits(f.identifier, sizeof f.identifier);
    } else if (f.kind == Id3Kind::picture) {
        tags.pictureMimeType = f.mimeType;
        if (cover && f.mimeType == "image/jpeg")
            cover->assign(f.body.begin() + f.dataOffset,
                          f.body.begin() + f.dataOffset + f.dataLength);
    }
}

} // namespace

void readTags(const std::string& path, SongTags& tags, std::vector<uint8_t>* cover,
              WideToAnsiFn toAnsi, std::FILE* errors) {
    tags = SongTags();
    tags.fileName = path;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        tags.artist = path;
        tags.title = titleFileMissing;
        return;
    }
    Id3Reader reader;
    Id3Header header;
    int rc = reader.open(readFromFile, skipInFile, file, toAnsi);
    if (rc) {
        report(errors, rc, stepOpen);
    } else if ((rc = reader.readHeader(&header)) != 0 || header.version != 0x0300) {
        if (rc) report(errors, rc, stepHeader);
        tags.artist = path;
        tags.title = titleNotValid;
    } else {
        Id3Frame frame;
        while ((rc = reader.nextFrame(nullptr)) == 0 && (rc = reader.readFrame(&frame)) == 0)
            store(frame, tags, cover);
        report(errors, rc, stepFrame);
    }
    std::fclose(file);
}

std::string songTitle(const SongTags& tags) {
    return tags.artist + "-" + tags.title;
}

} // namespace kalvo
