#include "tolvern/tests/ym_writer.h"
#include "tests/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tolvern::test {

Registers silentFrame() {
    Registers r{};
    r[rMixer] = 0x3F;
    return r;
}

void setTone(Registers& r, int voice, unsigned period) {
    r[2 * voice] = uint8_t(period);
    r[2 * voice + 1] = uint8_t(period >> 8);
}

void setEnvelope(Registers& r, unsigned period, unsigned shape) {
    r[rEnvelope] = uint8_t(period);
    r[rEnvelope + 1] = uint8_t(period >> 8);
    r[rShape] = uint8_t(shape);
}

void playTone(Registers& r, int voice, unsigned period, unsigned volume) {
    setTone(r, voice, period);
    r[rMixer] &= uint8_t(~(1 << voice));
    r[rVolumeA + voice] = uint8_t(volume);
}

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

} // namespace

std::vector<uint8_t> buildYm(const YmSong& song) {
    std::vector<uint8_t> out(song.magic.begin(), song.magic.end());
    const uint32_t frames =
        song.declaredFrames == UINT32_MAX ? uint32_t(song.frames.size()) : song.declaredFrames;
    const uint32_t drums =
        song.declaredDrums == UINT32_MAX ? uint32_t(song.drums.size()) : song.declaredDrums;
    const bool ym4 = song.magic == "YM4!";
    const bool ym56 = song.magic == "YM5!" || song.magic == "YM6!";
    int registers = 14;
    if (ym4 || ym56) {
        registers = 16;
        out.insert(out.end(), song.check.begin(), song.check.end());
        put32(out, frames);
        put32(out, song.attributes);
        if (ym4) {
            put32(out, drums);
            put32(out, 0); // loop frame
        } else {
            put16(out, drums);
            put32(out, 2000000); // master clock
            put16(out, 50);      // player rate
            put32(out, 0);       // loop frame
            put16(out, song.additional);
            out.resize(out.size() + song.additional, 0xEE);
        }
        for (const auto& d : song.drums) {
            put32(out, uint32_t(d.size()));
            out.insert(out.end(), d.begin(), d.end());
        }
        for (const std::string* t : {&song.title, &song.author, &song.comment}) {
            out.insert(out.end(), t->begin(), t->end());
            out.push_back(0);
        }
    }
    for (int r = 0; r < registers; ++r)
        for (const Registers& f : song.frames) out.push_back(f[size_t(r)]);
    if (ym4 || ym56) out.insert(out.end(), {'E', 'n', 'd', '!'});
    return out;
}

std::vector<uint8_t> readFile(const std::string& path) {
    return jk::test::readFile(path);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& data) {
    jk::test::writeFile(path, data);
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<uint8_t> packLh5(const std::vector<uint8_t>& data, const std::string& workDir) {
    const std::string dir = workDir + "/pack";
    std::filesystem::create_directories(dir);
    writeFile(dir + "/song.ym", data);
    std::filesystem::remove(dir + "/song.lzh");
    const std::string cmd = "cd '" + dir + "' && jlha c0o5 song.lzh song.ym >/dev/null 2>&1";
    jk::test::commandOutput(cmd);
    std::vector<uint8_t> archive = readFile(dir + "/song.lzh");
    if (archive.size() <= 22 || std::string(archive.begin() + 2, archive.begin() + 7) != "-lh5-")
        throw std::runtime_error("jlha stored the fixture instead of packing it");
    return archive;
}

TempDir::TempDir() {
    std::string pattern = jk::test::tempPath("tolvern-XXXXXX");
    errno = 0;
    if (!mkdtemp(pattern.data())) jk::test::failWith("cannot make the folder", pattern);
    path_ = pattern;
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
}

} // namespace tolvern::test
