// Test tooling: builds YM files register by register and packs them as the
// program expects them (a level-0 "-lh5-" archive made by jlha).
#ifndef TOLVERN_TESTS_YM_WRITER_H
#define TOLVERN_TESTS_YM_WRITER_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvern::test {

using Registers = std::array<uint8_t, 16>;

// Register numbers of the chip.
enum : int {
    rToneA = 0,
    rToneB = 2,
    rToneC = 4,
    rNoise = 6,
    rMixer = 7,
    rVolumeA = 8,
    rVolumeB = 9,
    rVolumeC = 10,
    rEnvelope = 11,
    rShape = 13,
    rTimer1 = 14,
    rTimer2 = 15,
};

// A frame with every voice off (tone and noise disabled, volume 0).
Registers silentFrame();
// Sets a voice's 12-bit tone period (plus flag bits in the high nibble).
void setTone(Registers& r, int voice, unsigned period);
void setEnvelope(Registers& r, unsigned period, unsigned shape);
// Enables the tone of a voice at a volume (0..15, or 16 for envelope mode).
void playTone(Registers& r, int voice, unsigned period, unsigned volume);

struct YmSong {
    std::string magic = "YM5!";
    std::string check = "TaMbUrK!";
    std::vector<Registers> frames;
    uint32_t declaredFrames = UINT32_MAX; // UINT32_MAX: the real count
    uint32_t attributes = 1;              // interleaved
    std::vector<std::vector<uint8_t>> drums;
    uint32_t declaredDrums = UINT32_MAX;
    std::string title, author, comment;
    uint16_t additional = 0; // bytes of additional data (YM5/YM6)
};

// The depacked file: header, digidrums, texts, interleaved registers.
std::vector<uint8_t> buildYm(const YmSong& song);

// Packs data with "jlha c0o5" under the member name "song.ym" and returns the
// archive; throws when jlha fails or does not choose "-lh5-".
std::vector<uint8_t> packLh5(const std::vector<uint8_t>& data, const std::string& workDir);

std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& data);
bool fileExists(const std::string& path);

// A fresh folder in the test's own folder, removed on destruction;
// while it lives it is the working directory.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string previous_;
};

} // namespace tolvern::test

#endif
